#include "app/file_selection.h"

#include <string>

#include "app/form1.h"
#include "platform/messages.h"
#include "platform/runtime_error.h"
#include "platform/text.h"
#include "runtime/traps.h"

namespace tervalux::app {

namespace {

const std::wstring kNotReady = L"O Dispositivo n\u00e3o est\u00e1 pronto";
const std::wstring kFileNotFound = L"Arquivo n\u00e3o encontrado";

constexpr std::int16_t kEnter = 13;

}  // namespace

void Drive_Change(Form1& form) {
    rt::Trapped(
        [&] {
            const std::wstring root = LeftChars(form.Drive().Drive(), 2) + L"\\";
            form.Dir().SetPath(root);
        },
        [&](const RuntimeError&) {
            form.services().ShowMessage(kNotReady);
            form.Dir().SetPath(L"c:\\");
            // Runs Drive_Change again, nested, with a trap of its own.
            form.Drive().SetDrive(L"c");
        });
}

void Dir_Change(Form1& form) {
    form.File().SetFileName(form.Dir().Path());
    form.File().SetPattern(L"*.ocx;*.dll");
}

void File_Click(Form1& form) {
    form.txtarq().SetText(form.File().FileName());
}

void File_DblClick(Form1& form) {
    rt::Trapped(
        [&] {
            // Plain concatenation: at a drive root this gives two backslashes, which the system reads
            // as one.
            const std::wstring path = form.File().Path() + L"\\" + form.File().FileName();
            const std::wstring commandLine = path.find(L' ') == std::wstring::npos ? path : L"\"" + path + L"\"";
            form.services().StartProgram(path, commandLine, WindowStyle::NormalWithFocus);
        },
        [&](const RuntimeError& error) {
            if (error.Number() == err::InvalidCall) form.services().ShowMessage(msg::NotAProgram);
        });
}

void txtarq_KeyPress(Form1& form, std::int16_t& KeyAscii) {
    rt::ShowOnError(form.services(), kFileNotFound, [&] {
        if (KeyAscii != kEnter) return;
        form.File().SetFileName(form.txtarq().Text());
    });
}

}  // namespace tervalux::app

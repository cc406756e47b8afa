#pragma once
// Form1 over a small machine on the in-memory platform, for the tests of the file-picking handlers:
// the form as the program builds it, every handler run and message box logged by nesting depth,
// and the moves a user makes in the three lists and the name box.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/form1.h"
#include "platform/runtime_error.h"
#include "runtime/description_values.h"
#include "runtime/form_builder.h"
#include "tests/fakes/memory_file_queries.h"
#include "tests/fakes/memory_platform.h"
#include "tests/support/form1_layout.h"

namespace tervalux::testing {

struct PickerHost : rt::FormHost {
    int ended = 0;
    void Unloaded() override {}
    void EndProgram() override { ++ended; }
};

// Form1 with its eight controls over a small machine: drive C with components, a program, a
// folder with a blank in its name; drive D ready; drive E without a medium; drive G whose target
// is gone. Every handler run and message box goes to `log`, indented by nesting depth.
struct Picker {
    fake::MemoryPlatform platform;
    fake::MemoryFileQueries queries{platform.fs};
    PickerHost host;
    Module1 module{platform};
    std::unique_ptr<rt::Form> form;
    std::unique_ptr<app::Form1> code;
    std::vector<std::wstring> log;
    int depth = 0;

    Picker() {
        queries.AddDrive(L'D', L"DADOS");
        queries.AddDrive(L'E');
        queries.SetNotReady(L'E');
        queries.AddDrive(L'G');
        queries.SetNotReady(L'G', err::DeviceUnavailable);
        auto& fs = platform.fs;
        fs.AddFile(L"C:\\a.ocx", "MZ");
        fs.AddFile(L"C:\\b.dll", "MZ");
        fs.AddFile(L"C:\\prog.exe", "MZ");
        fs.AddFile(L"C:\\leia.txt");
        fs.AddFile(L"C:\\Sub\\x.ocx", "MZ");
        fs.AddFile(L"C:\\Arquivos de Programas\\app.exe", "MZ");
        fs.AddFile(L"D:\\d1.ocx", "MZ");
        fs.AddFile(L"D:\\Comp\\d2.dll", "MZ");
        fs.AddFile(L"\\\\servidor\\comp\\ocx\\s.ocx", "MZ");
        platform.onMessage = [this](const std::wstring& text) {
            log.push_back(std::wstring(2 * depth, L' ') + L"message: " + text);
        };
    }

    // Builds the form (the drive list reads the drives now) and loads it.
    void Load() {
        std::vector<std::unique_ptr<rt::Control>> controls;
        for (const rt::layout::ControlRow& row : rt::layout::kControls) {
            rt::ControlDescription control;
            control.name = rt::FromWindows1252(row.name);
            control.kind = static_cast<std::uint8_t>(row.kind);
            control.caption = row.caption != nullptr ? rt::FromWindows1252(row.caption) : L"";
            control.tabIndex = row.tab;
            controls.push_back(rt::MakeControl(control, queries));
        }
        form = std::make_unique<rt::Form>(L"Form1", rt::FormSettings{}, std::move(controls), platform, host);
        code = std::make_unique<app::Form1>(*form, platform, module);
        std::vector<rt::Binding> logged;
        for (rt::Binding binding : code->Bindings()) {
            logged.push_back(rt::Binding{binding.handler, [this, binding](rt::EventArgs& args) {
                                             log.push_back(std::wstring(2 * depth, L' ') +
                                                           std::wstring(binding.handler));
                                             ++depth;
                                             struct Leave {
                                                 int& depth;
                                                 ~Leave() { --depth; }
                                             } leave{depth};
                                             binding.run(args);
                                         }});
        }
        form->Bind(logged);
        form->Load();
    }

    rt::DriveList& Drive() { return code->Drive(); }
    rt::FolderList& Dir() { return code->Dir(); }
    rt::FileList& File() { return code->File(); }
    rt::TextBox& txtarq() { return code->txtarq(); }

    // The user picks a drive in the drop-down list.
    void ChooseDrive(wchar_t letter) {
        for (std::size_t i = 0; i < Drive().ListCount(); ++i) {
            if (Drive().List(i)[0] == letter) {
                Drive().UserSelect(i);
                return;
            }
        }
        FAIL() << "no drive " << static_cast<char>(letter);
    }
    // The user opens a folder entry by its name.
    void OpenFolder(const std::wstring& name) {
        for (std::size_t i = 0; i < Dir().Items().size(); ++i) {
            if (Dir().Items()[i].name == name) {
                Dir().UserOpen(i);
                return;
            }
        }
        FAIL() << "no folder entry";
    }
    void ClickFile(const std::wstring& name) {
        for (std::size_t i = 0; i < File().ListCount(); ++i) {
            if (File().List(i) == name) {
                File().UserClick(i);
                return;
            }
        }
        FAIL() << "no file entry";
    }
    std::int16_t Key(std::int16_t keyAscii) {
        txtarq().UserKeyPress(keyAscii);
        return keyAscii;
    }
    std::vector<std::wstring> Shown() {
        std::vector<std::wstring> names;
        for (std::size_t i = 0; i < File().ListCount(); ++i) names.emplace_back(File().List(i));
        return names;
    }
};

}  // namespace tervalux::testing

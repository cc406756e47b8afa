#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "runtime/check_box.h"
#include "runtime/command_button.h"
#include "runtime/form.h"
#include "runtime/text_box.h"
#include "runtime/traps.h"
#include "tests/fakes/memory_platform.h"

namespace tervalux::rt {
namespace {

struct RecordingHost : FormHost {
    int unloaded = 0;
    int ended = 0;
    void Unloaded() override { ++unloaded; }
    void EndProgram() override { ++ended; }
};

// A small form: a text box, a button and a check box, with handlers that log their calls.
struct Fixture {
    fake::MemoryPlatform platform;
    RecordingHost host;
    std::unique_ptr<Form> form;
    std::vector<std::wstring> log;

    Fixture() {
        std::vector<std::unique_ptr<Control>> controls;
        controls.push_back(std::make_unique<TextBox>(L"txt", TwipsRect{}, 0));
        controls.push_back(std::make_unique<CommandButton>(L"cmd", TwipsRect{}, 1, L"Ok"));
        controls.push_back(std::make_unique<CheckBox>(L"chk", TwipsRect{}, 2, L"Marcar"));
        form = std::make_unique<Form>(L"Form1", FormSettings{}, std::move(controls), platform, host);
    }
    TextBox& txt() { return form->Get<TextBox>(L"txt"); }
    CommandButton& cmd() { return form->Get<CommandButton>(L"cmd"); }
    CheckBox& chk() { return form->Get<CheckBox>(L"chk"); }
    std::function<void(EventArgs&)> Logger(std::wstring name) {
        return [this, name](EventArgs&) { log.push_back(name); };
    }
};

TEST(FormBinding, TableThatDoesNotFitTheFormIsALoadErrorNamingTheHandler) {
    struct Case {
        const wchar_t* handler;
        const wchar_t* expectedInText;  // empty: the binding is accepted
    };
    const Case cases[] = {
        {L"cmd_Click", L""},
        {L"CMD_click", L""},  // names compare without regard to case
        {L"Form_Load", L""},
        {L"Form_QueryUnload", L""},
        {L"chk_Click", L""},
        {L"chk_LostFocus", L""},
        {L"txt_KeyPress", L""},
        {L"txt_Change", L""},
        {L"cmdx_Click", L"controle 'cmdx'"},
        {L"Form1_Load", L"controle 'Form1'"},  // the form is "Form" in handler names
        {L"cmd_DblClick", L"evento 'DblClick'"},
        {L"chk_Change", L"evento 'Change'"},
        {L"cmd_KeyPress", L"evento 'KeyPress'"},
        {L"Form_Click", L"evento 'Click'"},
        {L"cmdClick", L"controle_evento"},
        {L"_Click", L"controle_evento"},
        {L"cmd_", L"controle_evento"},
    };
    for (const Case& c : cases) {
        Fixture f;
        const Binding table[] = {{c.handler, f.Logger(c.handler)}};
        if (std::wstring(c.expectedInText).empty()) {
            EXPECT_NO_THROW(f.form->Bind(table)) << c.handler;
            continue;
        }
        try {
            f.form->Bind(table);
            ADD_FAILURE() << "accepted " << std::string(c.handler, c.handler + wcslen(c.handler));
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number(), kBindingError);
            EXPECT_NE(error.Description().find(c.handler), std::wstring::npos) << error.Description().c_str();
            EXPECT_NE(error.Description().find(c.expectedInText), std::wstring::npos);
        }
    }
}

TEST(FormBinding, DuplicateOrEmptyHandlerIsRejectedAndNothingIsBound) {
    Fixture f;
    const Binding duplicate[] = {{L"cmd_Click", f.Logger(L"a")}, {L"Cmd_Click", f.Logger(L"b")}};
    EXPECT_THROW(f.form->Bind(duplicate), RuntimeError);
    const Binding empty[] = {{L"cmd_Click", f.Logger(L"a")}, {L"chk_Click", nullptr}};
    EXPECT_THROW(f.form->Bind(empty), RuntimeError);
    f.cmd().UserClick();
    EXPECT_TRUE(f.log.empty());
}

TEST(FormBinding, GetOfAMissingOrOtherKindOfControlThrows) {
    Fixture f;
    EXPECT_THROW(f.form->Get<CheckBox>(L"cmd"), RuntimeError);
    EXPECT_THROW(f.form->Get<TextBox>(L"nada"), RuntimeError);
    EXPECT_EQ(&f.form->Get<TextBox>(L"TXT"), &f.txt());
}

TEST(FormEvents, PropertyWritesRaiseTheirEventsNestedInsideTheWriter) {
    Fixture f;
    const Binding table[] = {
        {L"cmd_Click",
         [&](EventArgs&) {
             f.log.push_back(L"cmd_Click begin");
             f.txt().SetText(L"x");
             f.chk().SetValue(CheckBox::Checked);
             f.chk().SetValue(CheckBox::Checked);  // unchanged: no event
             f.txt().SetText(L"x");
             f.log.push_back(L"cmd_Click end");
         }},
        {L"txt_Change",
         [&](EventArgs&) {
             f.log.push_back(L"txt_Change " + f.txt().Text());
             if (f.txt().Text() == L"x") f.txt().SetText(L"xy");  // re-entry, nested again
         }},
        {L"chk_Click", [&](EventArgs&) { f.log.push_back(L"chk_Click " + std::to_wstring(f.chk().Value())); }},
    };
    f.form->Bind(table);
    f.cmd().UserClick();
    const std::vector<std::wstring> expected = {L"cmd_Click begin", L"txt_Change x",  L"txt_Change xy", L"chk_Click 1",
                                                L"txt_Change x",    L"txt_Change xy", L"cmd_Click end"};
    EXPECT_EQ(f.log, expected);
}

TEST(FormEvents, KeyPressPassesTheCodeByReference) {
    Fixture f;
    const Binding table[] = {{L"txt_KeyPress", [&](EventArgs& args) {
                                  f.log.push_back(std::to_wstring(*args.keyAscii));
                                  if (*args.keyAscii == 27) *args.keyAscii = 0;
                              }}};
    f.form->Bind(table);
    std::int16_t enter = 13;
    std::int16_t escape = 27;
    f.txt().UserKeyPress(enter);
    f.txt().UserKeyPress(escape);
    EXPECT_EQ(enter, 13);
    EXPECT_EQ(escape, 0);
    EXPECT_EQ(f.log, (std::vector<std::wstring>{L"13", L"27"}));
}

TEST(FormLifecycle, LoadThenUnloadRaiseTheirEventsWithTheirArguments) {
    Fixture f;
    std::int16_t modeSeen = -1;
    const Binding table[] = {{L"Form_Load", f.Logger(L"Load")}, {L"Form_QueryUnload", [&](EventArgs& args) {
                                                                     f.log.push_back(L"QueryUnload");
                                                                     modeSeen = *args.unloadMode;
                                                                     EXPECT_EQ(*args.cancel, 0);
                                                                 }}};
    f.form->Bind(table);
    EXPECT_FALSE(f.form->Loaded());
    f.form->Load();
    EXPECT_TRUE(f.form->Loaded());
    EXPECT_TRUE(f.form->Unload(UnloadMode::ControlMenu));
    EXPECT_FALSE(f.form->Loaded());
    EXPECT_EQ(modeSeen, 0);
    EXPECT_EQ(f.host.unloaded, 1);
    EXPECT_TRUE(f.form->Unload(UnloadMode::Code));  // already unloaded: nothing more happens
    EXPECT_EQ(f.log, (std::vector<std::wstring>{L"Load", L"QueryUnload"}));
    EXPECT_EQ(f.host.unloaded, 1);
}

TEST(FormLifecycle, NonZeroCancelKeepsTheFormLoaded) {
    Fixture f;
    int refusals = 1;
    const Binding table[] = {{L"Form_QueryUnload", [&](EventArgs& args) {
                                  if (refusals-- > 0) *args.cancel = -1;
                              }}};
    f.form->Bind(table);
    f.form->Load();
    EXPECT_FALSE(f.form->Unload(UnloadMode::Code));
    EXPECT_TRUE(f.form->Loaded());
    EXPECT_EQ(f.host.unloaded, 0);
    EXPECT_TRUE(f.form->Unload(UnloadMode::SessionEnd));
    EXPECT_EQ(f.host.unloaded, 1);
}

TEST(FormLifecycle, UnloadFromAButtonHandlerRunsQueryUnloadNested) {
    Fixture f;
    const Binding table[] = {{L"cmd_Click",
                              [&](EventArgs&) {
                                  f.log.push_back(L"click");
                                  f.form->Unload(UnloadMode::Code);
                                  f.log.push_back(L"after unload");
                              }},
                             {L"Form_QueryUnload", f.Logger(L"QueryUnload")}};
    f.form->Bind(table);
    f.form->Load();
    f.cmd().UserClick();
    EXPECT_EQ(f.log, (std::vector<std::wstring>{L"click", L"QueryUnload", L"after unload"}));
    EXPECT_EQ(f.host.unloaded, 1);
}

TEST(DefaultErrorHandling, UntrappedErrorShowsNumberAndDescriptionThenEnds) {
    struct Case {
        const wchar_t* name;
        std::function<void(Fixture&)> act;
    };
    // The error starts in a handler, in a handler nested under a property write, or in Load.
    const Case cases[] = {
        {L"click", [](Fixture& f) { f.cmd().UserClick(); }},
        {L"nested", [](Fixture& f) { f.txt().SetText(L"novo"); }},
        {L"load", [](Fixture& f) { f.form->Load(); }},
        {L"dispatch", [](Fixture& f) { f.form->Dispatch([] { throw RuntimeError(err::FileNotFound); }); }},
    };
    for (const Case& c : cases) {
        Fixture f;
        const Binding table[] = {
            {L"cmd_Click", [&](EventArgs&) { throw RuntimeError(err::FileNotFound); }},
            {L"txt_Change",
             [&](EventArgs&) {
                 f.log.push_back(L"change");
                 f.chk().SetValue(CheckBox::Checked);  // its handler fails inside this one
                 f.log.push_back(L"not reached");
             }},
            {L"chk_Click", [&](EventArgs&) { throw RuntimeError(err::FileNotFound); }},
            {L"Form_Load", [&](EventArgs&) { throw RuntimeError(err::FileNotFound); }},
        };
        f.form->Bind(table);
        c.act(f);
        EXPECT_EQ(
            f.platform.messages,
            std::vector<std::wstring>{L"Erro em tempo de execu\u00e7\u00e3o '53':\r\n\r\nArquivo n\u00e3o encontrado"})
            << c.name;
        EXPECT_EQ(f.host.ended, 1) << c.name;
        EXPECT_TRUE(f.form->Ended());
        EXPECT_EQ(std::count(f.log.begin(), f.log.end(), L"not reached"), 0);
        // Nothing runs after the end.
        f.cmd().UserClick();
        EXPECT_EQ(f.host.ended, 1);
    }
}

TEST(DefaultErrorHandling, ForeignExceptionsAndErrorsAfterATrapAreReportedToo) {
    Fixture f;
    const Binding table[] = {{L"cmd_Click", [&](EventArgs&) {
                                  Trapped([] { throw RuntimeError(err::FileNotFound); },
                                          [](const RuntimeError&) { throw std::bad_alloc(); });
                              }}};
    f.form->Bind(table);
    f.cmd().UserClick();
    EXPECT_EQ(f.platform.messages,
              std::vector<std::wstring>{L"Erro em tempo de execu\u00e7\u00e3o '7':\r\n\r\nMem\u00f3ria insuficiente"});
    EXPECT_EQ(f.host.ended, 1);
}

TEST(Traps, EachWayMeetsErrorsAsItSays) {
    fake::MemoryPlatform platform;
    std::vector<std::wstring> steps;
    const auto failing = [&] {
        steps.push_back(L"1");
        throw RuntimeError(err::InvalidCall);
    };

    std::int32_t number = 0;
    Trapped(failing, [&](const RuntimeError& error) { number = error.Number(); });
    EXPECT_EQ(number, err::InvalidCall);

    ShowOnError(platform, L"O Dispositivo n\u00e3o est\u00e1 pronto", failing);
    ShowOnError(platform, L"nunca", [&] { steps.push_back(L"2"); });
    EXPECT_EQ(platform.messages, std::vector<std::wstring>{L"O Dispositivo n\u00e3o est\u00e1 pronto"});

    IgnoreErrors(failing);
    IgnoreErrors([] { throw 42; });
    EXPECT_EQ(steps, (std::vector<std::wstring>{L"1", L"1", L"2", L"1"}));
    EXPECT_EQ(platform.messages.size(), 1u);
}

}  // namespace
}  // namespace tervalux::rt

// Form1 built from the program's own description, with its real handlers over the in-memory
// platform: the start-up, the nested events of Form_Load, the closing and the commands' wiring.
#include "app/form1.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/form1_data.h"
#include "runtime/start.h"
#include "tests/fakes/memory_file_queries.h"
#include "tests/fakes/memory_platform.h"
#include "tests/support/components.h"
#include "tests/support/families.h"

namespace tervalux::app {
namespace {

struct RecordingHost : rt::FormHost {
    int unloaded = 0;
    int ended = 0;
    void Unloaded() override { ++unloaded; }
    void EndProgram() override { ++ended; }
};

// Form1 whose bound handlers also note, on entry, where they run: "Form_Load/Dir_Change" is
// Dir_Change nested inside Form_Load.
class TracedForm1 : public Form1 {
   public:
    TracedForm1(rt::Form& form, Services& services, Module1& module, std::vector<std::wstring>& trace)
        : Form1(form, services, module), trace_(trace) {}

    std::vector<rt::Binding> Bindings() override {
        auto bindings = Form1::Bindings();
        for (auto& binding : bindings) {
            binding.run = [this, name = std::wstring(binding.handler), run = binding.run](rt::EventArgs& args) {
                stack_.push_back(name);
                std::wstring path;
                for (const auto& entry : stack_) path += (path.empty() ? L"" : L"/") + entry;
                trace_.push_back(path);
                struct Pop {
                    std::vector<std::wstring>& stack;
                    ~Pop() { stack.pop_back(); }
                } pop{stack_};
                run(args);
            };
        }
        return bindings;
    }

   private:
    std::vector<std::wstring>& trace_;
    std::vector<std::wstring> stack_;
};

constexpr wchar_t kWinDir[] = L"C:\\WINDOWS";
constexpr char kRegistrarBytes[] = "registrar";

struct App {
    fake::MemoryPlatform platform;
    fake::MemoryFileQueries queries{platform.fs};
    Module1 module{platform};
    RecordingHost host;
    std::vector<std::wstring> trace;
    TracedForm1* code = nullptr;
    rt::StartUpForm startUp;

    App() {
        platform.SetVersionCode(2);  // Windows 98: the system route
        platform.fs.AddFolder(L"C:\\WINDOWS\\system");
        platform.fs.AddFile(L"C:\\WINDOWS\\system\\regsvr32.exe", kRegistrarBytes);
        platform.fs.AddFolder(L"C:\\comp");
        platform.fs.AddFile(L"C:\\comp\\a.ocx");
        queries.AddDrive(L'D');
        platform.fs.AddFolder(L"D:\\comp");
        platform.fs.AddFile(L"D:\\comp\\a.ocx");
    }

    void Build() {
        const rt::FormModule forms[] = {{L"Form1", [this](rt::Form& form, Services& services) {
                                             auto created =
                                                 std::make_unique<TracedForm1>(form, services, module, trace);
                                             code = created.get();
                                             return std::unique_ptr<rt::FormCode>(std::move(created));
                                         }}};
        startUp =
            rt::BuildStartUpForm(rt::Program{form_data::ProjectDescriptionBytes(), forms}, platform, queries, host);
    }
    void Start() {
        Build();
        startUp.form->Load();
    }
    rt::Form& form() { return *startUp.form; }
    Form1& f() { return *code; }
    // Shows a folder in the file list and selects a file there, as the user's picking would.
    void Pick(const std::wstring& folder, const std::wstring& name) {
        f().File().SetPath(folder);
        if (!name.empty()) f().File().SetFileName(name);
    }
};

TEST(Form1StartUp, BuiltFromItsDescriptionWithEveryHandlerBound) {
    App app;
    app.Build();
    EXPECT_EQ(app.startUp.applicationTitle, L"Quenlor");
    EXPECT_EQ(app.form().Name(), L"Form1");
    EXPECT_EQ(app.form().Settings().caption, L"Tervalux");
    EXPECT_EQ(app.form().Settings().client, (rt::TwipsRect{60, 345, 6405, 5070}));
    EXPECT_EQ(app.form().Settings().startUpPosition, 2);
    EXPECT_EQ(app.f().Bindings().size(), 12u);
    EXPECT_EQ(app.f().ChkDir().Caption(), L"Copiar o arquivo para o diret\u00f3rio System do Windows");
    EXPECT_EQ(app.f().ChkDir().Value(), 0);  // ticked by Form_Load, not by the description
    EXPECT_EQ(app.f().cmdReg().Caption(), L"Registrar");
    EXPECT_EQ(app.f().CmdDes().Caption(), L"Desrregistrar");
    EXPECT_EQ(app.f().CmdSair().Caption(), L"Sair");
    EXPECT_EQ(app.f().txtarq().Text(), L"");
    EXPECT_EQ(app.f().Drive().TabIndex(), 0);
    EXPECT_FALSE(app.form().Loaded());
    EXPECT_TRUE(app.trace.empty());  // nothing runs before Load
}

TEST(Form1StartUp, LoadWritesFolderDriveAndCheckBoxWithTheirNestedEventsInOrder) {
    struct Case {
        wchar_t currentDrive;
        std::vector<std::wstring> trace;
    };
    const Case cases[] = {
        // Already on C: writing "c" to the drive list changes nothing and raises nothing.
        {L'C', {L"Form_Load", L"Form_Load/Dir_Change"}},
        // On D: the drive list moves to C, and its change points the folder list at "c:\" again.
        {L'D',
         {L"Form_Load", L"Form_Load/Dir_Change", L"Form_Load/Drive_Change", L"Form_Load/Drive_Change/Dir_Change"}},
    };
    for (const Case& c : cases) {
        App app;
        app.queries.currentDrive = c.currentDrive;
        app.Start();
        EXPECT_EQ(app.trace, c.trace) << static_cast<char>(c.currentDrive);
        EXPECT_TRUE(app.form().Loaded());
        EXPECT_EQ(app.f().Dir().Path(), L"c:\\");
        EXPECT_EQ(app.f().Drive().Drive().substr(0, 2), L"c:");
        EXPECT_EQ(app.f().File().Path(), L"c:\\");
        EXPECT_EQ(app.f().File().Pattern(), testing::ComponentPattern());
        EXPECT_EQ(app.f().ChkDir().Value(), 1);
        EXPECT_TRUE(app.platform.messages.empty());
        EXPECT_EQ(app.host.ended, 0);
    }
}

TEST(Form1StartUp, DriveCNotReadyEndsTheProgramBeforeTheWindowShows) {
    App app;
    app.queries.SetNotReady(L'C', 71);
    app.Start();
    ASSERT_EQ(app.platform.messages.size(), 1u);
    EXPECT_EQ(app.platform.messages[0].rfind(L"Erro em tempo de execu\u00e7\u00e3o '71':\r\n\r\n", 0), 0u)
        << app.platform.messages[0].c_str();
    EXPECT_EQ(app.host.ended, 1);
    EXPECT_EQ(app.trace, std::vector<std::wstring>{L"Form_Load"});
    EXPECT_EQ(app.f().ChkDir().Value(), 0);  // the later writes never ran
}

TEST(Form1Closing, EveryWayOfClosingDeletesOnlyTheRunsOwnWorkingCopyAndNeverRefuses) {
    enum class Way { Sair, CloseBox, SessionEnd };
    struct Case {
        const char* what;
        const wchar_t* folder;
        const char* copyBytes;  // null: no regsvr32.exe in the folder
        bool placedByRun;       // "Registrar" with the box clear put it there; otherwise it was there
        bool failDelete;
        bool deleted;
    };
    const Case cases[] = {
        {"working copy", L"D:\\comp", kRegistrarBytes, true, false, true},
        {"working copy at a root", L"D:\\", kRegistrarBytes, true, false, true},
        {"a copy an earlier run left", L"D:\\comp", kRegistrarBytes, false, false, false},
        {"someone's own regsvr32.exe", L"D:\\comp", "other bytes", false, false, false},
        {"the system directory itself", L"C:\\WINDOWS\\system", kRegistrarBytes, true, false, false},
        {"no copy", L"D:\\comp", nullptr, false, false, false},
        {"copy in use", L"D:\\comp", kRegistrarBytes, true, true, false},
    };
    for (const Way way : {Way::Sair, Way::CloseBox, Way::SessionEnd}) {
        for (const Case& c : cases) {
            App app;
            app.Start();
            const std::wstring folder = c.folder;
            const std::wstring copy = folder + (folder.back() == L'\\' ? L"" : L"\\") + L"regsvr32.exe";
            if (c.placedByRun) {
                app.platform.fs.AddFile(copy.substr(0, copy.size() - 12) + L"a.ocx");
                app.Pick(folder, L"a.ocx");
                app.f().ChkDir().SetValue(0);
                app.f().cmdReg().UserClick();
            } else if (c.copyBytes != nullptr) {
                app.platform.fs.AddFile(copy, c.copyBytes);
            }
            if (c.failDelete) app.platform.Fail(fake::Op::Delete, copy, 70);
            // Closing goes by what the run placed, never by the folder shown: another folder is shown
            // where the copy must go, the copy's own where it must stay.
            app.Pick(c.deleted ? L"C:\\comp" : folder, L"");
            app.trace.clear();
            switch (way) {
                case Way::Sair: app.f().CmdSair().UserClick(); break;
                case Way::CloseBox: EXPECT_TRUE(app.form().Unload(rt::UnloadMode::ControlMenu)); break;
                case Way::SessionEnd: EXPECT_TRUE(app.form().Unload(rt::UnloadMode::SessionEnd)); break;
            }
            SCOPED_TRACE(c.what);
            EXPECT_FALSE(app.form().Loaded());
            EXPECT_EQ(app.host.unloaded, 1);
            EXPECT_EQ(app.host.ended, 0);
            EXPECT_TRUE(app.platform.messages.empty());
            EXPECT_EQ(app.platform.fs.IsFile(copy), c.copyBytes != nullptr && !c.deleted);
            EXPECT_TRUE(app.platform.fs.IsFile(L"C:\\WINDOWS\\system\\regsvr32.exe"));
            const std::wstring query = way == Way::Sair ? L"CmdSair_Click/Form_QueryUnload" : L"Form_QueryUnload";
            EXPECT_EQ(std::count(app.trace.begin(), app.trace.end(), query), 1);
        }
    }
}

TEST(Form1Commands, ButtonsRunTheCommandsOnTheSelectionAsItStandsAtTheClick) {
    App app;
    app.Start();
    app.Pick(L"D:\\comp", L"a.ocx");
    app.f().ChkDir().SetValue(0);
    app.f().txtarq().SetText(L"ignored.ocx");  // the commands never read the box
    app.f().cmdReg().UserClick();
    ASSERT_EQ(app.platform.starts.size(), 1u);
    EXPECT_EQ(app.platform.starts[0].commandLine, L"D:\\comp\\regsvr32.exe a.ocx");
    EXPECT_EQ(app.module.WinFamily, testing::kFamilyNames[2]);

    // The button loses the focus to another control: the working copy goes.
    app.f().cmdReg().UserLostFocus();
    EXPECT_FALSE(app.platform.fs.IsFile(L"D:\\comp\\regsvr32.exe"));

    app.f().ChkDir().SetValue(1);
    app.f().cmdReg().UserClick();
    ASSERT_EQ(app.platform.starts.size(), 2u);
    EXPECT_EQ(app.platform.starts[1].commandLine, L"C:\\WINDOWS\\system\\regsvr32.exe a.ocx");
    EXPECT_TRUE(app.platform.fs.IsFile(L"C:\\WINDOWS\\system\\a.ocx"));

    // Already in the system directory: unregistered there, twice by the system route.
    app.f().CmdDes().UserClick();
    ASSERT_EQ(app.platform.starts.size(), 4u);
    EXPECT_EQ(app.platform.starts[2].commandLine, L"C:\\WINDOWS\\system\\regsvr32.exe /u a.ocx");
    EXPECT_EQ(app.platform.starts[3].commandLine, L"C:\\WINDOWS\\system\\regsvr32.exe /u a.ocx");

    // Nothing selected: nothing happens, no message.
    app.Pick(L"D:\\comp", L"");
    app.f().cmdReg().UserClick();
    app.f().CmdDes().UserClick();
    EXPECT_EQ(app.platform.starts.size(), 4u);
    EXPECT_TRUE(app.platform.messages.empty());
    EXPECT_TRUE(app.form().Loaded());
}

TEST(Form1Commands, UnregisterLostFocusDeletesItsOwnSpellingOfTheCopy) {
    App app;
    app.Start();
    app.Pick(L"D:\\comp", L"a.ocx");
    app.f().CmdDes().UserClick();
    ASSERT_TRUE(app.platform.fs.IsFile(L"D:\\comp\\REGSVR32.EXE"));
    app.f().CmdDes().UserLostFocus();
    EXPECT_FALSE(app.platform.fs.IsFile(L"D:\\comp\\regsvr32.exe"));
    EXPECT_EQ(app.platform.events.back(), (fake::Event{L"delete", L"D:\\comp\\REGSVR32.EXE", L""}));
}

}  // namespace
}  // namespace tervalux::app

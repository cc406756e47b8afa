// One real registration each way through the commands' own code, with the prefix's registrar and
// a test component that records itself in the current user's registry.
#include <gtest/gtest.h>

#include <vector>

#include "platform/module1.h"
#include "platform/win32/win32_kernel.h"
#include "platform/win32/win32_services.h"
#include "registration/commands.h"
#include "tests/support/families.h"
#include "win32_test_support.h"

namespace tervalux::win32 {
namespace {

using namespace tervalux::win32::testing;

constexpr wchar_t kComponentKey[] = L"Software\\TervaluxTest\\Component";
constexpr wchar_t kComponent[] = L"tvxcomp.dll";

// The real services, but a message box would hold the test: boxes are recorded instead.
class RecordingServices : public Win32Services {
   public:
    std::vector<std::wstring> messages;
    void ShowMessage(const std::wstring& prompt) override { messages.push_back(prompt); }
};

std::wstring SystemDirectoryPath() {
    wchar_t buffer[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
    return std::wstring(buffer, length);
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

class Registration : public ::testing::Test {
   protected:
    void SetUp() override {
        DeleteKeyTree(kComponentKey);
        RemoveSystemCopy();
        ASSERT_FALSE(Exists(systemCopy)) << "a component copy from an earlier run could not be removed";
        // A folder name with blanks and non-ANSI letters: the registrar's path must reach the process
        // start whole, and the registrar must find the component beside it.
        selection.folder = scratch / L"Componentes de teste \u00e7\u00e3o";
        selection.file = kComponent;
        MakeFolder(selection.folder);
        services.CopyFileTo(TestProgramFolder() + L"\\" + kComponent, selection.folder + L"\\" + kComponent);
    }

    void TearDown() override {
        RemoveSystemCopy();
        DeleteKeyTree(kComponentKey);
    }

    // The registrar may still hold the file for a moment after its work shows in the registry.
    void RemoveSystemCopy() {
        WaitFor([&] { return DeleteFileW(systemCopy.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND; });
    }

    bool ComponentRegistered() { return KeyExists(kComponentKey); }
    std::wstring LoadedFrom() { return StringValue(kComponentKey, L"LoadedFrom"); }

    // Runs the clean-up until the working copy is gone (the registrar may still be running from it).
    bool CleanUpWorkingCopy(WorkingCopySpelling spelling) {
        return WaitFor([&] {
            DeleteWorkingCopy(context, spelling);
            return !Exists(selection.folder + L"\\regsvr32.exe");
        });
    }

    ScratchFolder scratch;
    RecordingServices services;
    Win32Kernel kernel;
    Module1 module{kernel};
    PlainSelection selection;
    PlacedCopies placed;
    CommandContext context{services, module, selection, placed};
    const std::wstring systemCopy = SystemDirectoryPath() + L"\\" + kComponent;
};

TEST_F(Registration, BoxCheckedRegistersTheCopyInTheSystemDirectoryAndUnregistersIt) {
    selection.box = 1;
    RegisterComponent(context);
    EXPECT_TRUE(services.messages.empty()) << Narrow(services.messages.front());
    // Wine reports a modern Windows: "Windows 32 Bits", whose system folder does not exist, so the
    // registrar is found in system32 and the component goes there.
    EXPECT_EQ(module.WinFamily, tervalux::testing::kFamilyNames[0]);
    EXPECT_TRUE(services.SameContents(systemCopy, selection.folder + L"\\" + kComponent));
    ASSERT_TRUE(WaitFor([&] { return ComponentRegistered(); })) << "the registrar never registered the component";
    EXPECT_TRUE(SamePath(LoadedFrom(), systemCopy)) << Narrow(LoadedFrom());
    EXPECT_FALSE(Exists(selection.folder + L"\\regsvr32.exe"));

    UnregisterComponent(context);
    EXPECT_TRUE(services.messages.empty()) << Narrow(services.messages.front());
    EXPECT_TRUE(WaitFor([&] { return !ComponentRegistered(); })) << "the registrar never unregistered it";
    EXPECT_FALSE(Exists(selection.folder + L"\\regsvr32.exe"));
}

TEST_F(Registration, BoxUncheckedRunsAWorkingCopyBesideTheComponentThatTheCleanUpRemoves) {
    selection.box = 0;
    RegisterComponent(context);
    EXPECT_TRUE(services.messages.empty()) << Narrow(services.messages.front());
    EXPECT_TRUE(services.SameContents(selection.folder + L"\\regsvr32.exe", SystemDirectoryPath() + L"\\regsvr32.exe"));
    ASSERT_TRUE(WaitFor([&] { return ComponentRegistered(); })) << "the registrar never registered the component";
    EXPECT_TRUE(SamePath(LoadedFrom(), selection.folder + L"\\" + kComponent)) << Narrow(LoadedFrom());
    EXPECT_FALSE(Exists(systemCopy));
    EXPECT_TRUE(CleanUpWorkingCopy(WorkingCopySpelling::Register));

    // Not in the system directory: the unregister command falls back to a working copy beside it.
    UnregisterComponent(context);
    EXPECT_TRUE(services.messages.empty()) << Narrow(services.messages.front());
    EXPECT_TRUE(WaitFor([&] { return !ComponentRegistered(); })) << "the registrar never unregistered it";
    EXPECT_FALSE(Exists(systemCopy));
    EXPECT_TRUE(CleanUpWorkingCopy(WorkingCopySpelling::Unregister));
    EXPECT_TRUE(Exists(SystemDirectoryPath() + L"\\regsvr32.exe"));  // the system's own is never touched
}

}  // namespace
}  // namespace tervalux::win32

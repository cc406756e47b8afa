#pragma once
// Shared pieces of the Win32 tests: a scratch folder on the real file system, small file helpers,
// and waiting for a state (never for a fixed time).
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

#include "tests/support/plain_selection.h"

namespace tervalux::win32::testing {

// A fresh folder under the system's temporary folder, removed with everything in it (read-only
// files and paths past MAX_PATH included) when the object goes.
class ScratchFolder {
   public:
    // A new folder in `base`, the temporary folder when none is given.
    explicit ScratchFolder(const std::wstring& base = {});
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring Name() const { return path_.substr(path_.find_last_of(L'\\') + 1); }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

   private:
    std::wstring path_;
};

// Long-path forms are used throughout so the helpers work on any path the tests build.
std::wstring Extended(const std::wstring& path);
void MakeFolder(const std::wstring& path);  // with its parents
void WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);  // empty when missing
bool Exists(const std::wstring& path);
void RemoveTree(const std::wstring& path);

// A wide text in UTF-8, for failure messages.
std::string Utf8(const std::wstring& text);

// The folder of the running test program, where the helper programs are built.
std::wstring TestProgramFolder();

// Polls `condition` until it holds or `limit` passes; true when it held.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit = std::chrono::seconds(30));

// Whether the test program runs under Wine rather than on Windows.
bool RunningUnderWine();

// For a test that cannot run where it was started: it skips with `reason`. The test set-up
// (tervalux_wine_test_setup, scripts/wine-env.sh) provides all the tests need and says so in
// TERVALUX_SKIPS_FAIL; there, not running is a failure. The test or its SetUp returns at once:
// `return CannotRunHere("...");`.
void CannotRunHere(const char* reason);

// The number of the runtime error `action` throws; 0 when it throws none.
int ErrorNumberOf(const std::function<void()>& action);

// Registry helpers on the current user's hive.
bool KeyExists(const std::wstring& subKey);
void SetStringValue(const std::wstring& subKey, const std::wstring& name, const std::wstring& value);
std::wstring StringValue(const std::wstring& subKey, const std::wstring& name);  // empty when missing
void DeleteKeyTree(const std::wstring& subKey);

// A file held open as another program would hold it while it runs: for reading, sharing it with
// `share` (none by default: nobody else may open it at all).
class HeldOpen {
   public:
    explicit HeldOpen(const std::wstring& path, DWORD share = 0)
        : handle_(path.empty()
                      ? INVALID_HANDLE_VALUE
                      : CreateFileW(Extended(path).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~HeldOpen() { Release(); }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;
    bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Release() {
        if (Held()) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

   private:
    HANDLE handle_;
};

using tervalux::testing::PlainSelection;

}  // namespace tervalux::win32::testing

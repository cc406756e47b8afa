#pragma once
// Driving the real tervalux.exe from another process with window messages only: finding the
// program and its windows, the focus, the message boxes. Every wait is for a state, never for a
// fixed time.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/form1_layout.h"
#include "tests/win32/win32_test_support.h"

namespace tervalux::win32::testing {

namespace layout = rt::layout;

// The driver is built in a folder under the build folder; the program at its top.
inline std::wstring ProgramPath() {
    std::wstring folder = TestProgramFolder();
    for (int up = 0; up < 4; ++up) {
        const std::wstring candidate = folder + L"\\tervalux.exe";
        if (GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES) return candidate;
        const auto cut = folder.find_last_of(L'\\');
        if (cut == std::wstring::npos) break;
        folder.resize(cut);
    }
    return L"";
}

inline std::wstring TextOf(HWND hwnd) {
    wchar_t buffer[512] = {};
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000, nullptr);
    return buffer;
}

inline std::wstring ClassOf(HWND hwnd) {
    wchar_t buffer[128] = {};
    GetClassNameW(hwnd, buffer, 128);
    return buffer;
}

// The form's control of that name: the child at its place in the tab order, which the z-order
// follows; nullptr when there is none.
inline HWND ControlOf(HWND form, std::string_view name) {
    HWND child = GetWindow(form, GW_CHILD);
    for (std::size_t i = 0; i < layout::TabOf(name) && child != nullptr; ++i) child = GetWindow(child, GW_HWNDNEXT);
    return child;
}

// The prompt of a message box: its one static text that is not empty.
inline std::wstring PromptOf(HWND box) {
    std::wstring prompt;
    for (HWND part = GetWindow(box, GW_CHILD); part != nullptr; part = GetWindow(part, GW_HWNDNEXT)) {
        if (_wcsicmp(ClassOf(part).c_str(), L"Static") == 0 && !TextOf(part).empty()) prompt = TextOf(part);
    }
    return prompt;
}

// One running tervalux.exe; ended by force when a test leaves it running.
class Running {
   public:
    // `atFirstSight`, when given, runs the moment the form is first seen visible: the wait for it
    // does not sleep, so that what the window shows when it appears can be asked.
    explicit Running(const std::function<void(HWND form)>& atFirstSight = {}) : Running(ProgramPath(), atFirstSight) {}
    // The program at `program`: a copy of it in another folder, for one.
    explicit Running(const std::wstring& program, const std::function<void(HWND form)>& atFirstSight = {}) {
        if (program.empty()) {
            ADD_FAILURE() << "tervalux.exe not found beside the test";
            return;
        }
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process_)) {
            ADD_FAILURE() << "CreateProcessW failed: " << GetLastError();
            return;
        }
        const auto visible = [&] {
            return (form_ = FindOwn(L"TervaluxForm", L"Tervalux")) != nullptr && IsWindowVisible(form_);
        };
        if (!atFirstSight) {
            // Visible is not yet ready: the program still takes the foreground and sets its first
            // focus after showing, and what the driver sends meanwhile would race with that. Idle
            // means it waits for input in its message loop.
            if (WaitFor(visible)) WaitForInputIdle(process_.hProcess, 30000);
            return;
        }
        // Found by class alone: asking the title would be a message the program answers only
        // between its own steps.
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        for (;;) {
            form_ = FindWindowExW(nullptr, nullptr, L"TervaluxForm", nullptr);
            DWORD pid = 0;
            if (form_ != nullptr) GetWindowThreadProcessId(form_, &pid);
            if (pid == process_.dwProcessId && IsWindowVisible(form_)) break;
            form_ = nullptr;
            if (std::chrono::steady_clock::now() >= until) break;
            SwitchToThread();
        }
        if (form_ != nullptr) atFirstSight(form_);
    }
    ~Running() {
        if (process_.hProcess == nullptr) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 99);
            WaitForSingleObject(process_.hProcess, 30000);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

    HWND Form() const { return form_; }
    DWORD ProcessId() const { return process_.dwProcessId; }

    // A top-level window of this process, by class and title.
    HWND FindOwn(const wchar_t* className, const wchar_t* title) const {
        WindowSearch search{process_.dwProcessId, className, title, nullptr};
        EnumWindows(&Running::Match, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    // The child windows of the form in z-order, which is the tab order.
    std::vector<HWND> Children() const {
        std::vector<HWND> children;
        for (HWND child = GetWindow(form_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            children.push_back(child);
        }
        return children;
    }

    HWND Control(std::string_view name) const { return ControlOf(form_, name); }

    HWND Focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        if (!GetGUIThreadInfo(process_.dwThreadId, &info)) return nullptr;
        return info.hwndFocus;
    }

    // Whether the focus is on `control` or on a window inside it (a combo box's own parts).
    bool FocusOn(HWND control) const {
        const HWND focus = Focus();
        return focus != nullptr && (focus == control || IsChild(control, focus));
    }

    bool Ended(DWORD* exitCode = nullptr, DWORD limitMs = 30000) const {
        if (WaitForSingleObject(process_.hProcess, limitMs) != WAIT_OBJECT_0) return false;
        if (exitCode != nullptr) GetExitCodeProcess(process_.hProcess, exitCode);
        return true;
    }

    void PressTab(HWND from) const { PostMessageW(from, WM_KEYDOWN, VK_TAB, 0x000F0001); }

    // Waits until the program has handled every message posted to it before now, and those that
    // these posted in turn (the file list catching up, a LostFocus). A harmless message posted to
    // the drive list (the form's first child) tells when the queue got there, seen from outside in
    // its keyboard interface; a second, posted once the first shows, comes behind what the first's
    // forerunners posted. A sent message proves nothing (it is handled before anything queued), and
    // real input comes after posted messages: input is followed by input.
    void Settle() const {
        const HWND drive = GetWindow(form_, GW_CHILD);
        const auto extendedUi = [&] {
            DWORD_PTR result = 2;  // no answer: neither TRUE nor FALSE
            SendMessageTimeoutW(drive, CB_GETEXTENDEDUI, 0, 0, SMTO_ABORTIFHUNG, 10000, &result);
            return result;
        };
        const DWORD_PTR before = extendedUi();
        const DWORD_PTR toggled = before == 0 ? 1 : 0;
        for (const DWORD_PTR state : {toggled, before}) {
            EXPECT_TRUE(PostMessageW(drive, CB_SETEXTENDEDUI, state, 0) &&
                        WaitFor([&] { return extendedUi() == state; }))
                << "the program did not get to a message posted to it";
        }
    }

    // The message box the program shows: titled with the application title, owned by the form, with
    // `prompt`. Nothing when none came in time; the box stands for the caller.
    HWND WaitForMessage(const std::wstring& prompt) const {
        HWND box = nullptr;
        if (!WaitFor([&] { return (box = FindOwn(L"#32770", kTitle)) != nullptr && IsWindowVisible(box); },
                     std::chrono::seconds(20))) {
            ADD_FAILURE() << "no message box; expected: " << Utf8(prompt);
            return nullptr;
        }
        EXPECT_EQ(PromptOf(box), prompt);
        EXPECT_EQ(GetWindow(box, GW_OWNER), form_);
        return box;
    }

    // The same, then closed with its OK button and the program settled after it, for what the
    // handler left to be seen. False when no box came or it did not close.
    [[nodiscard]] bool ExpectMessage(const std::wstring& prompt) const {
        const HWND box = WaitForMessage(prompt);
        if (box == nullptr) return false;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        if (!WaitFor([&] { return !IsWindow(box); }, std::chrono::seconds(20))) {
            ADD_FAILURE() << "the message box did not close";
            return false;
        }
        Settle();
        return true;
    }

    // No message box once the program has settled; one that stands is closed, for the test to go
    // on with the window.
    void ExpectNoMessage() const {
        Settle();
        const HWND box = FindOwn(L"#32770", kTitle);
        EXPECT_EQ(box, nullptr) << "message: " << Utf8(PromptOf(box));
        if (box != nullptr) {
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            WaitFor([&] { return !IsWindow(box); });
        }
    }

   private:
    static constexpr const wchar_t* kTitle = L"Quenlor";  // the application title

    struct WindowSearch {
        DWORD pid;
        const wchar_t* className;
        const wchar_t* title;
        HWND found;
    };
    static BOOL CALLBACK Match(HWND hwnd, LPARAM data) {
        auto& search = *reinterpret_cast<WindowSearch*>(data);
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid != search.pid || ClassOf(hwnd) != search.className || TextOf(hwnd) != search.title) return TRUE;
        search.found = hwnd;
        return FALSE;
    }

    PROCESS_INFORMATION process_{};
    HWND form_ = nullptr;
};

// Types a text into the box and hands it the Enter character, waiting until its KeyPress has run.
// False when the box does not hold the text or the program did not take the key in time (a
// message box of its own, or a program that no longer answers): the caller stops there rather
// than waiting for a result that cannot come.
[[nodiscard]] inline bool EnterInBox(HWND box, const std::wstring& text) {
    DWORD_PTR ignored = 0;
    if (SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, 30000, &ignored) ==
            0 ||
        TextOf(box) != text) {
        ADD_FAILURE() << "the name box did not take the text";
        return false;
    }
    if (SendMessageTimeoutW(box, WM_CHAR, L'\r', 0x001C0001, SMTO_NORMAL, 30000, &ignored) == 0) {
        ADD_FAILURE() << "the name box did not take Enter: " << GetLastError();
        return false;
    }
    return true;
}

// Clicks the check box until it shows `state`, each click taken before the next is posted, so that
// none lands on a state already left. False when the box does not come to show it.
[[nodiscard]] inline bool SetCheckBox(HWND box, LRESULT state) {
    for (int click = 0; click < 3 && SendMessageW(box, BM_GETCHECK, 0, 0) != state; ++click) {
        const LRESULT before = SendMessageW(box, BM_GETCHECK, 0, 0);
        PostMessageW(box, BM_CLICK, 0, 0);
        WaitFor([&] { return SendMessageW(box, BM_GETCHECK, 0, 0) != before; }, std::chrono::seconds(10));
    }
    return SendMessageW(box, BM_GETCHECK, 0, 0) == state;
}

// Whether a file exists and no process holds it open (a registrar running from it, for one).
inline bool ExistsUnheld(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

}  // namespace tervalux::win32::testing

// Start-up time of Tervalux against a minimal Win32 program, both started here the same way.
//
// One run: the clock starts just before CreateProcessW and stops when the program's window is
// visible and ready: for the minimal program, its window shown and the process idle; for Tervalux,
// the window "Tervalux" shown, the process idle, and its file list (the list box third in tab
// order) holding the expected number of components of the folder it starts in, "c:\". The runs
// are interleaved (minimal, Tervalux, then Tervalux, minimal...) after one warm-up of each, so a
// drift of the machine weighs on both alike. Each program is ended by force once measured: how it
// closes is not part of its start-up.
//
// Usage: startup_bench.exe <tervalux.exe> <minimal_window.exe> [runs] [components in c:\]
// Prints each run, the medians and their ratio against the target of 1.2, and the ratio of the
// fastest runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr double kTarget = 1.2;
constexpr double kRunLimitMs = 60000;

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / frequency;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t buffer[128] = {};
    GetClassNameW(hwnd, buffer, 128);
    return buffer;
}

struct Search {
    DWORD pid;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK Match(HWND hwnd, LPARAM data) {
    auto& search = *reinterpret_cast<Search*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search.pid || ClassOf(hwnd) != search.className) return TRUE;
    search.found = hwnd;
    return FALSE;
}

HWND VisibleWindowOf(DWORD pid, const wchar_t* className) {
    Search search{pid, className, nullptr};
    EnumWindows(&Match, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr && IsWindowVisible(search.found) ? search.found : nullptr;
}

// Tervalux's file list: the third child in z-order, which is the tab order.
long FileListCount(HWND form) {
    HWND child = GetWindow(form, GW_CHILD);
    for (int i = 0; i < 2 && child != nullptr; ++i) child = GetWindow(child, GW_HWNDNEXT);
    if (child == nullptr || _wcsicmp(ClassOf(child).c_str(), L"ListBox") != 0) return -1;
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(child, LB_GETCOUNT, 0, 0, SMTO_NORMAL, 5000, &count)) return -1;
    return static_cast<long>(count);
}

struct Program {
    const wchar_t* label;
    std::wstring path;
    const wchar_t* className;
    long components;  // the file list count that means "filled"; -1: the program has none
    std::vector<double> times;
};

// Milliseconds from CreateProcessW to the ready window; negative when it never got there.
double MeasureOnce(const Program& program) {
    std::wstring commandLine = L"\"" + program.path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const double start = Now();
    if (!CreateProcessW(program.path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fwprintf(stderr, L"cannot start %ls: error %lu\n", program.path.c_str(), GetLastError());
        return -1;
    }
    WaitForInputIdle(process.hProcess, static_cast<DWORD>(kRunLimitMs));
    double elapsed = -1;
    while (Now() - start < kRunLimitMs) {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;  // ended early
        const HWND window = VisibleWindowOf(process.dwProcessId, program.className);
        if (window != nullptr && (program.components < 0 || FileListCount(window) == program.components)) {
            elapsed = Now() - start;
            break;
        }
        Sleep(1);
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: startup_bench <tervalux.exe> <minimal_window.exe> [runs] [components]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 15;
    const long components = argc > 4 ? _wtol(argv[4]) : 0;
    Program tervalux{L"tervalux", argv[1], L"TervaluxForm", components, {}};
    Program minimal{L"minimal", argv[2], L"TervaluxBenchMinimal", -1, {}};

    // Warm-up: the first start of each loads its files into the caches.
    if (MeasureOnce(minimal) < 0 || MeasureOnce(tervalux) < 0) {
        std::fwprintf(stderr, L"a program never showed its ready window\n");
        return 1;
    }
    for (int run = 0; run < runs; ++run) {
        Program* order[2] = {&minimal, &tervalux};
        if (run % 2 == 1) std::swap(order[0], order[1]);
        for (Program* program : order) {
            const double ms = MeasureOnce(*program);
            if (ms < 0) {
                std::fwprintf(stderr, L"%ls: run %d never showed its ready window\n", program->label, run + 1);
                return 1;
            }
            program->times.push_back(ms);
        }
        std::wprintf(L"run %2d: minimal %7.1f ms, tervalux %7.1f ms\n", run + 1, minimal.times.back(),
                     tervalux.times.back());
    }
    const double minimalMedian = Median(minimal.times);
    const double tervaluxMedian = Median(tervalux.times);
    const double ratio = tervaluxMedian / minimalMedian;
    std::wprintf(L"\nruns: %d each, file list filled with %ld components\n", runs, components);
    std::wprintf(L"median minimal:  %7.1f ms (min %.1f)\n", minimalMedian,
                 *std::min_element(minimal.times.begin(), minimal.times.end()));
    std::wprintf(L"median tervalux: %7.1f ms (min %.1f)\n", tervaluxMedian,
                 *std::min_element(tervalux.times.begin(), tervalux.times.end()));
    std::wprintf(L"ratio: %.2f (target <= %.1f): %ls\n", ratio, kTarget, ratio <= kTarget ? L"met" : L"MISSED");
    // On a busy machine single runs stall by tens of milliseconds; the ratio of the fastest runs
    // shows the floor of each program, for telling a real change from a noisy median.
    std::wprintf(L"ratio of the fastest runs: %.2f\n",
                 *std::min_element(tervalux.times.begin(), tervalux.times.end()) /
                     *std::min_element(minimal.times.begin(), minimal.times.end()));
    return 0;
}

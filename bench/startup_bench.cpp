// Start-up time of Tervalux against two programs that do nothing of their own, all started here
// the same way.
//
// One run: the clock starts just before CreateProcessW and stops when the program's window is
// visible and ready: for the two floors, their window shown and the process idle; for Tervalux,
// the window "Tervalux" shown, the process idle, and its file list (a list box) holding the
// expected number of components of the folder it starts in, "c:\". The floors:
// a minimal Win32 program that shows an empty window, and one that shows Tervalux's eight
// standard controls with the same manifest and nothing behind them (what any program with this
// window pays), run twice: with its lists empty, and with its file list given as many made-up
// names as Tervalux's shows (what any program pays that opens this window with that list filled:
// the entries and the list's scroll bar). The runs are interleaved, the order turning each run,
// after one warm-up of each, so a drift of the machine weighs on all alike; the filled window and
// Tervalux always start back to back. Each program is ended by force once measured: how it closes
// is not part of its start-up, and the next start waits until the system has cleared away what the
// last one left (its windows, its display connection), which otherwise falls on whichever program
// comes next.
//
// Usage: startup_bench.exe <tervalux.exe> <minimal_window.exe> <standard_controls_window.exe>
//                          [runs] [components in c:\]
// Prints each run, the medians, and the ratios of each run's times: against the empty window and
// Tervalux's to the controls-only window for the record, and the verdict, the median of
// Tervalux's ratios to the filled window (target 1.10), each with its spread.
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_timing.h"
#include "tests/support/form1_layout.h"

namespace {

constexpr double kTarget = 1.10;  // Tervalux against the filled window, median of the runs
constexpr double kRunLimitMs = 60000;
constexpr DWORD kSettleMs = 300;  // after a program ends, before the next one starts

using tervalux::bench::Median;
using tervalux::bench::Now;
using tervalux::bench::Quantile;

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

// Tervalux's file list: the child at its place in the tab order, which the z-order follows.
long FileListCount(HWND form) {
    HWND child = GetWindow(form, GW_CHILD);
    for (std::size_t i = 0; i < tervalux::rt::layout::TabOf("File") && child != nullptr; ++i) {
        child = GetWindow(child, GW_HWNDNEXT);
    }
    if (child == nullptr || _wcsicmp(ClassOf(child).c_str(), L"ListBox") != 0) return -1;
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(child, LB_GETCOUNT, 0, 0, SMTO_NORMAL, 5000, &count)) return -1;
    return static_cast<long>(count);
}

struct Program {
    const wchar_t* label;
    std::wstring path;
    std::wstring arguments;
    const wchar_t* className;
    long components;  // the file list count that means "filled"; -1: the program has none
    std::vector<double> times;
};

// Milliseconds from CreateProcessW to the ready window; negative when it never got there.
double MeasureOnce(const Program& program) {
    std::wstring commandLine = L"\"" + program.path + L"\"";
    if (!program.arguments.empty()) commandLine += L" " + program.arguments;
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
    Sleep(kSettleMs);
    return elapsed;
}

// The programs in the order one run starts them. The three places turn from run to run, so that a
// drift of the machine weighs on all alike; the filled window and Tervalux share one place and
// start back to back, each first in every other run, so that their ratio in a run compares two
// starts under the same conditions.
std::vector<Program*> RunOrder(int run, Program& minimal, Program& controls, Program& filled, Program& tervalux) {
    std::vector<std::vector<Program*>> places = {{&minimal}, {&controls}, {&filled, &tervalux}};
    if (run % 2 == 1) std::swap(places[2][0], places[2][1]);
    std::rotate(places.begin(), places.begin() + run % 3, places.end());
    std::vector<Program*> order;
    for (const auto& place : places) order.insert(order.end(), place.begin(), place.end());
    return order;
}

// The ratio of two programs' times in each run.
std::vector<double> PerRun(const Program& numerator, const Program& denominator) {
    std::vector<double> ratios;
    for (std::size_t run = 0; run < numerator.times.size(); ++run) {
        ratios.push_back(numerator.times[run] / denominator.times[run]);
    }
    return ratios;
}

// The median of per-run ratios with their spread: one disturbed stretch of runs moves the ends,
// not the median. The line ends with the verdict when one is given.
void PrintSpread(const wchar_t* label, const std::vector<double>& ratios, const wchar_t* verdict = nullptr) {
    std::wprintf(L"  %-20ls median %.2f (min %.2f, quartiles %.2f to %.2f, max %.2f)%ls%ls\n", label, Median(ratios),
                 Quantile(ratios, 0), Quantile(ratios, 0.25), Quantile(ratios, 0.75), Quantile(ratios, 1),
                 verdict != nullptr ? L": " : L"", verdict != nullptr ? verdict : L"");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fwprintf(stderr,
                      L"usage: startup_bench <tervalux.exe> <minimal_window.exe> <standard_controls_window.exe> "
                      L"[runs] [components]\n");
        return 2;
    }
    const int runs = argc > 4 ? std::max(1, _wtoi(argv[4])) : 15;
    const long components = argc > 5 ? _wtol(argv[5]) : 0;
    Program tervalux{L"tervalux", argv[1], {}, L"TervaluxForm", components, {}};
    Program minimal{L"minimal", argv[2], {}, L"TervaluxBenchMinimal", -1, {}};
    Program controls{L"controls", argv[3], {}, L"TervaluxBenchControls", -1, {}};
    Program filled{L"filled", argv[3], std::to_wstring(components), L"TervaluxBenchControls", -1, {}};
    Program* programs[] = {&minimal, &controls, &filled, &tervalux};

    // Warm-up: the first start of each loads its files into the caches.
    for (Program* program : programs) {
        if (MeasureOnce(*program) < 0) {
            std::fwprintf(stderr, L"%ls never showed its ready window\n", program->label);
            return 1;
        }
    }
    for (int run = 0; run < runs; ++run) {
        for (Program* program : RunOrder(run, minimal, controls, filled, tervalux)) {
            const double ms = MeasureOnce(*program);
            if (ms < 0) {
                std::fwprintf(stderr, L"%ls: run %d never showed its ready window\n", program->label, run + 1);
                return 1;
            }
            program->times.push_back(ms);
        }
        std::wprintf(
            L"run %2d: minimal %7.1f ms, controls %7.1f ms, filled %7.1f ms, tervalux %7.1f ms; tervalux / filled "
            L"%.2f\n",
            run + 1, minimal.times.back(), controls.times.back(), filled.times.back(), tervalux.times.back(),
            tervalux.times.back() / filled.times.back());
    }
    const auto fastest = [](const Program& p) { return *std::min_element(p.times.begin(), p.times.end()); };
    std::wprintf(L"\nruns: %d each, file list filled with %ld components\n", runs, components);
    for (const Program* program : programs) {
        std::wprintf(L"median %-9ls %7.1f ms (min %.1f)\n", program->label, Median(program->times), fastest(*program));
    }
    std::wprintf(L"ratios per run, for the record:\n");
    PrintSpread(L"tervalux / minimal", PerRun(tervalux, minimal));
    PrintSpread(L"controls / minimal", PerRun(controls, minimal));
    PrintSpread(L"tervalux / controls", PerRun(tervalux, controls));
    // What Tervalux does of its own beyond showing the same window with the same entries, from the
    // runs in which the two started back to back.
    const std::vector<double> ratios = PerRun(tervalux, filled);
    std::wprintf(L"ratio per run judged (target: median <= %.2f):\n", kTarget);
    const bool met = Median(ratios) <= kTarget;
    PrintSpread(L"tervalux / filled", ratios, met ? L"met" : L"MISSED");
    return met ? 0 : 3;
}

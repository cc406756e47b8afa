// How long the file list takes to show the components of a folder of 100,000 files, against
// (a) the floor: the file system's own enumeration of the folder, and (b) the platform's classic
// fill: LB_DIR into a sorted list box, once per pattern. (c) is the time from writing the folder
// to the file list (pattern "*.ocx;*.dll") to the list showing all 50,000 components, painted.
// (d) is the floor of a list that lets the system filter: its enumerations of "*.ocx" then
// "*.dll" alone.
//
// It also tells what the shown names cost in memory: the process's committed private memory and
// working set before the folder is read, once it is read (the system's enumeration and the
// model's names), and once the list box holds its copies of the names too.
//
// Usage: file_list_bench.exe [folder]   (default: %TEMP%\tervalux-bench-100k, made when missing)
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "platform/win32/win32_file_queries.h"
#include "runtime/file_list.h"
#include "runtime/win32/list_views.h"

namespace {

constexpr int kFiles = 100000;
constexpr int kComponents = kFiles / 2;
constexpr int kRuns = 5;
const wchar_t* const kExtensions[] = {L".ocx", L".dll", L".txt", L".exe"};

using tervalux::bench::Median;
using tervalux::bench::Now;

int CountEntries(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return count;
}

bool MakeFolder(const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    if (CountEntries(folder) == kFiles) return true;
    std::printf("making %d files in %ls ...\n", kFiles, folder.c_str());
    std::fflush(stdout);
    for (int i = 0; i < kFiles; ++i) {
        wchar_t name[64];
        // Mixed case, so that the sort has to ignore it.
        swprintf(name, 64, L"\\%ls%06d%ls", (i % 7 == 0) ? L"Comp" : L"comp", i, kExtensions[i % 4]);
        HANDLE file = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        CloseHandle(file);
    }
    return CountEntries(folder) == kFiles;
}

// (a): a bare enumeration of every entry; (d): one per pattern ("\\*.ocx", "\\*.dll").
double Enumerate(const std::wstring& folder, std::initializer_list<const wchar_t*> patterns, int& count) {
    const double start = Now();
    count = 0;
    for (const wchar_t* pattern : patterns) {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileExW((folder + pattern).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                       nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (find == INVALID_HANDLE_VALUE) continue;
        do {
            ++count;
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    return Now() - start;
}

struct Memory {
    double committedMb = 0;
    double workingSetMb = 0;
};

Memory MemoryNow() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    Memory memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof(counters))) {
        // Wine leaves PrivateUsage at zero; PagefileUsage is the same count (the commit charge).
        memory.committedMb = static_cast<double>(counters.PagefileUsage) / (1024.0 * 1024.0);
        memory.workingSetMb = static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
    }
    return memory;
}

int paints = 0;

LRESULT CALLBACK CountPaints(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_PAINT) ++paints;
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

HWND MakeWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = L"TervaluxBench";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, L"TervaluxBench", L"bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 640, 480,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    Pump();
    return hwnd;
}

}  // namespace

int main(int argc, char** argv) {
    std::wstring folder;
    if (argc > 1) {
        const std::string arg = argv[1];
        folder.assign(arg.begin(), arg.end());
    } else {
        wchar_t temp[MAX_PATH + 1];
        GetTempPathW(MAX_PATH + 1, temp);
        folder = std::wstring(temp) + L"tervalux-bench-100k";
    }
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    const std::wstring empty = folder + L"-empty";
    CreateDirectoryW(empty.c_str(), nullptr);
    if (!MakeFolder(folder)) {
        std::printf("cannot make the folder\n");
        return 1;
    }

    HWND window = MakeWindow();
    tervalux::win32::Win32FileQueries queries;
    tervalux::rt::FileList model(L"File", {}, 0, queries);
    auto view = tervalux::rt::win32::MakeListView(model, window, RECT{8, 8, 308, 440}, 100,
                                                  static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    HWND list = view->Handle();
    SetWindowSubclass(list, &CountPaints, 1, 0);

    HWND classic = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                                   WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_SORT | LBS_HASSTRINGS | LBS_NOTIFY, 320, 8,
                                   300, 432, window, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(classic, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);

    // Warm the system's caches of the folder once before anything is timed.
    int entries = 0;
    Enumerate(folder, {L"\\*"}, entries);

    model.SetPattern(L"*.ocx;*.dll");

    // The first fill, untimed, for what the names cost: the heap grows here and is reused after.
    model.SetFileName(empty);
    Pump();
    UpdateWindow(list);
    const Memory before = MemoryNow();
    model.SetFileName(folder);
    const std::size_t listed = model.ListCount();  // the model reads the folder; the box waits
    const Memory inModel = MemoryNow();
    Pump();
    UpdateWindow(list);
    const Memory inBox = MemoryNow();

    std::vector<double> floor;
    std::vector<double> filtered;
    int components = 0;
    std::vector<double> ours;
    std::vector<int> ourPaints;
    std::size_t shown = 0;
    for (int run = 0; run < kRuns; ++run) {
        floor.push_back(Enumerate(folder, {L"\\*"}, entries));
        filtered.push_back(Enumerate(folder, {L"\\*.ocx", L"\\*.dll"}, components));

        model.SetFileName(empty);
        Pump();
        UpdateWindow(list);
        paints = 0;
        const double start = Now();
        model.SetFileName(folder);
        Pump();
        UpdateWindow(list);
        ours.push_back(Now() - start);
        ourPaints.push_back(paints);
        shown = static_cast<std::size_t>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    }

    // (b): once; the classic fill is slow enough that a few runs change nothing.
    const double classicStart = Now();
    SendMessageW(classic, LB_RESETCONTENT, 0, 0);
    for (const wchar_t* pattern : {L"\\*.ocx", L"\\*.dll"}) {
        SendMessageW(classic, LB_DIR, DDL_READWRITE, reinterpret_cast<LPARAM>((folder + pattern).c_str()));
    }
    UpdateWindow(classic);
    const double classicTime = Now() - classicStart;
    const auto classicCount = SendMessageW(classic, LB_GETCOUNT, 0, 0);

    const double a = Median(floor);
    const double c = Median(ours);
    const double d = Median(filtered);
    std::printf("folder: %ls, %d entries with . and .. (a quarter of the files each .ocx .dll .txt .exe)\n",
                folder.c_str(), entries);
    std::printf("(a) FindFirstFileExW enumeration, basic info, large fetch: %8.1f ms (median of %d)\n", a, kRuns);
    std::printf("(b) LB_DIR per pattern into a sorted list box:            %8.1f ms (%ld items)\n", classicTime,
                static_cast<long>(classicCount));
    std::printf("(c) File.FileName = folder until all shown and painted:    %8.1f ms (median of %d; %zu items)\n", c,
                kRuns, shown);
    std::printf(
        "(d) FindFirstFileExW \"*.ocx\" then \"*.dll\", basic, large fetch: %8.1f ms (median of %d; %d entries)\n", d,
        kRuns, components);
    std::printf("    list box paints per fill:");
    for (int p : ourPaints) std::printf(" %d", p);
    std::printf("\n");
    std::printf(
        "memory, committed / working set: %.1f / %.1f MB empty; %.1f / %.1f MB with the folder read "
        "(%zu names; +%.1f / +%.1f); %.1f / %.1f MB with the list box's texts (+%.1f / +%.1f)\n",
        before.committedMb, before.workingSetMb, inModel.committedMb, inModel.workingSetMb, listed,
        inModel.committedMb - before.committedMb, inModel.workingSetMb - before.workingSetMb, inBox.committedMb,
        inBox.workingSetMb, inBox.committedMb - inModel.committedMb, inBox.workingSetMb - inModel.workingSetMb);
    std::printf("c/a = %.2f (target <= 1.25), c/b = %.2f (target <= 0.7)\n", c / a, c / classicTime);
    std::printf("c/d = %.2f (target <= 1.25)\n", c / d);
    const bool ok = shown == static_cast<std::size_t>(kComponents) && c / a <= 1.25 && c / classicTime <= 0.7 &&
                    c / d <= 1.25 && std::all_of(ourPaints.begin(), ourPaints.end(), [](int p) { return p == 1; });
    std::printf("%s\n", ok ? "targets met" : "TARGETS MISSED");
    view.reset();
    DestroyWindow(window);
    return ok ? 0 : 2;
}

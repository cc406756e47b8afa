#include "tree_snapshot.h"

#include <windows.h>

#include "win32_test_support.h"

namespace tervalux::win32::testing {

namespace {

constexpr char kUnreadable[] = "<unreadable>";

std::string ReadWhole(const std::wstring& path) {
    HANDLE file = CreateFileW(Extended(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return kUnreadable;
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    BOOL ok = TRUE;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr)) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return ok ? bytes : kUnreadable;
}

void Walk(const std::wstring& folder, TreeSnapshot& snapshot) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((Extended(folder) + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            Walk(path, snapshot);
        } else {
            snapshot[SnapshotKey(path)] = ReadWhole(path);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace

std::wstring SnapshotKey(const std::wstring& path) {
    std::wstring key = path;
    if (!key.empty()) CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

TreeSnapshot SnapshotTree(const std::wstring& folder) {
    TreeSnapshot snapshot;
    Walk(folder, snapshot);
    return snapshot;
}

std::string SnapshotDifferences(const TreeSnapshot& expected, const TreeSnapshot& actual) {
    std::string report;
    for (const auto& [path, bytes] : expected) {
        const auto found = actual.find(path);
        if (found == actual.end()) {
            report += "removed: " + Utf8(path) + "\n";
        } else if (found->second != bytes) {
            report += "changed: " + Utf8(path) + "\n";
        }
    }
    for (const auto& [path, bytes] : actual) {
        if (expected.find(path) == expected.end()) report += "added: " + Utf8(path) + "\n";
    }
    return report;
}

}  // namespace tervalux::win32::testing

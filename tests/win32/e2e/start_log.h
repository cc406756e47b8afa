#pragma once
// What the end-to-end tests read back from a run of the real program: the start records that the
// logging registrars and the test component write (log_record.h), and a few file helpers.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tests/win32/gui/app_driver.h"

namespace tervalux::win32::testing {

// What the end-to-end tests set up around the program: the 64-bit test component, the key it
// writes when registered, the per-program Windows version, and the folder the start records go to.
inline constexpr wchar_t kComponent[] = L"tvxcomp.dll";
inline constexpr wchar_t kComponentKey[] = L"Software\\TervaluxTest\\Component";
inline constexpr wchar_t kAppDefaults[] = L"Software\\Wine\\AppDefaults\\tervalux.exe";
inline constexpr wchar_t kLogVariable[] = L"TERVALUX_E2E_LOG";

inline std::wstring Widen(const char* text) {
    return std::wstring(text, text + strlen(text));
}

inline std::wstring WindowsDirectory() {
    wchar_t buffer[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH);
    return std::wstring(buffer, length);
}

// A part of a command line that a blank would split goes in double quotes.
inline std::wstring Quoted(const std::wstring& part) {
    return part.find_first_of(L" \t") == std::wstring::npos ? part : L"\"" + part + L"\"";
}

// The name under which a file is stored, letter case included; empty when there is none.
inline std::wstring StoredName(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(Extended(path).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return {};
    FindClose(search);
    return found.cFileName;
}

// Deletes a file once no process holds it; true when it is gone.
inline bool RemoveWhenFree(const std::wstring& path) {
    return WaitFor([&] {
        SetFileAttributesW(Extended(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        return DeleteFileW(Extended(path).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
               GetLastError() == ERROR_PATH_NOT_FOUND;
    });
}

// One start record: who wrote it and the facts it holds (show, command, loaded, exit).
struct Record {
    std::wstring writer;  // "reg": the logging registrar; "dll": the component, loaded by a registrar
    std::map<std::wstring, std::wstring> facts;
};

// A fact of a record, or a visible placeholder when the writer did not record it.
inline std::wstring Fact(const Record& record, const wchar_t* key) {
    const auto found = record.facts.find(key);
    return found == record.facts.end() ? std::wstring(L"(not recorded)") : found->second;
}

class StartLog {
   public:
    explicit StartLog(std::wstring folder) : folder_(std::move(folder)) { MakeFolder(folder_); }

    std::vector<Record> Records() const {
        std::vector<Record> records;
        ForEachRecord([&](const std::wstring& name) {
            const std::string bytes = ReadBytes(folder_ + L"\\" + name);
            std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
            std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(text.size() * sizeof(wchar_t)),
                      reinterpret_cast<char*>(text.data()));
            Record record;
            record.writer = name.substr(0, name.find(L'-'));
            std::size_t at = 0;
            while (at < text.size()) {
                const std::size_t end = std::min(text.find(L'\n', at), text.size());
                const std::wstring line = text.substr(at, end - at);
                const std::size_t equals = line.find(L'=');
                if (equals != std::wstring::npos) record.facts[line.substr(0, equals)] = line.substr(equals + 1);
                at = end + 1;
            }
            // A record that cannot be read whole yet (still being handed over by its writer) is
            // left for the next poll rather than read as an empty one.
            if (record.facts.count(L"command") != 0) records.push_back(std::move(record));
        });
        return records;
    }

    // The command lines that one writer recorded, sorted; waits until there are `count` of them.
    std::vector<std::wstring> Commands(const wchar_t* writer, std::size_t count) const {
        std::vector<std::wstring> commands;
        WaitFor([&] {
            commands.clear();
            for (const Record& record : Records()) {
                if (record.writer == writer) commands.push_back(Fact(record, L"command"));
            }
            return commands.size() >= count;
        });
        std::sort(commands.begin(), commands.end());
        return commands;
    }

    void Clear() const {
        ForEachRecord([&](const std::wstring& name) { DeleteFileW((folder_ + L"\\" + name).c_str()); });
    }

    const std::wstring& Folder() const { return folder_; }

   private:
    template <typename Action>
    void ForEachRecord(Action action) const {
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW((folder_ + L"\\*.rec").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return;
        do {
            action(std::wstring(found.cFileName));
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }

    std::wstring folder_;
};

inline std::vector<std::wstring> Sorted(std::vector<std::wstring> items) {
    std::sort(items.begin(), items.end());
    return items;
}

inline std::string Show(const std::vector<std::wstring>& lines) {
    std::string out;
    for (const auto& line : lines) out += "\n  " + Utf8(line);
    return out.empty() ? " (none)" : out;
}

}  // namespace tervalux::win32::testing

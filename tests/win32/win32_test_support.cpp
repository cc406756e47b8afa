#include "win32_test_support.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/runtime_error.h"

namespace tervalux::win32::testing {

std::wstring Extended(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\", 0) == 0) return path;
    std::wstring plain;
    for (wchar_t c : path) {
        if (c == L'/') c = L'\\';
        if (c == L'\\' && !plain.empty() && plain.back() == L'\\') continue;
        plain.push_back(c);
    }
    return L"\\\\?\\" + plain;
}

void MakeFolder(const std::wstring& path) {
    const std::wstring full = Extended(path);
    // Create each level after the drive ("\\?\C:\" is 7 characters).
    for (std::size_t at = full.find(L'\\', 7); at != std::wstring::npos; at = full.find(L'\\', at + 1)) {
        CreateDirectoryW(full.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryW(full.c_str(), nullptr);
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file =
        CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw RuntimeError(75, L"test could not write " + path);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(Extended(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(Extended(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveTree(const std::wstring& path) {
    const std::wstring full = Extended(path);
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((full + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = full + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(full.c_str());
}

ScratchFolder::ScratchFolder(const std::wstring& in) {
    wchar_t temp[MAX_PATH + 1] = {};
    std::wstring base = in;
    if (base.empty()) base.assign(temp, GetTempPathW(MAX_PATH + 1, temp));
    if (!base.empty() && base.back() == L'\\') base.pop_back();
    static unsigned serial = 0;
    path_ = base + L"\\tervalux-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
    RemoveTree(path_);
    MakeFolder(path_);
}

ScratchFolder::~ScratchFolder() {
    RemoveTree(path_);
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::wstring TestProgramFolder() {
    std::vector<wchar_t> buffer(32768);
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    std::wstring path(buffer.data(), length);
    return path.substr(0, path.find_last_of(L'\\'));
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

void CannotRunHere(const char* reason) {
    if (GetEnvironmentVariableW(L"TERVALUX_SKIPS_FAIL", nullptr, 0) != 0) {
        FAIL() << "cannot run, though the test set-up provides all the tests need: " << reason;
    }
    GTEST_SKIP() << reason;
}

int ErrorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

bool KeyExists(const std::wstring& subKey) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void SetStringValue(const std::wstring& subKey, const std::wstring& name, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        throw RuntimeError(75, L"test could not create key " + subKey);
    }
    RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

std::wstring StringValue(const std::wstring& subKey, const std::wstring& name) {
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, subKey.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, buffer, &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    return buffer;
}

void DeleteKeyTree(const std::wstring& subKey) {
    RegDeleteTreeW(HKEY_CURRENT_USER, subKey.c_str());
}

}  // namespace tervalux::win32::testing

#pragma once
// What the program's lists should show for a folder, read from the file system directly: its
// visible subfolders, its files neither hidden nor system, and of these the components, each in
// the lists' order.
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <iterator>
#include <string>

#include "tests/support/components.h"
#include "tests/win32/gui/list_reader.h"

namespace tervalux::win32::testing {

// The lists' order: without regard to case (Latin letters folded), names equal but for case by
// their code units.
inline bool ListedBefore(const std::wstring& a, const std::wstring& b) {
    auto fold = [](std::wstring text) {
        for (wchar_t& c : text) c = static_cast<wchar_t>(towupper(c));
        return text;
    };
    const std::wstring fa = fold(a);
    const std::wstring fb = fold(b);
    return fa != fb ? fa < fb : a < b;
}

struct Listing {
    Texts folders;
    Texts files;
};

inline Listing ListingOf(const std::wstring& folder) {
    Listing listing;
    WIN32_FIND_DATAW data;
    const std::wstring pattern = folder.back() == L'\\' ? folder + L"*" : folder + L"\\*";
    HANDLE find = FindFirstFileW(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return listing;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const DWORD attributes = data.dwFileAttributes;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!(attributes & FILE_ATTRIBUTE_HIDDEN)) listing.folders.push_back(name);
        } else if (!(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) {
            listing.files.push_back(name);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(listing.folders.begin(), listing.folders.end(), ListedBefore);
    std::sort(listing.files.begin(), listing.files.end(), ListedBefore);
    return listing;
}

// The files of a folder that end in one of `extensions`.
template <typename Extensions>
Texts FilesEndingIn(const std::wstring& folder, const Extensions& extensions) {
    Texts files;
    for (const std::wstring& name : ListingOf(folder).files) {
        const auto endsIn = [&](const std::wstring& end) {
            return name.size() >= end.size() && _wcsicmp(name.c_str() + (name.size() - end.size()), end.c_str()) == 0;
        };
        if (std::any_of(std::begin(extensions), std::end(extensions), endsIn)) files.push_back(name);
    }
    return files;
}

inline Texts ComponentsOf(const std::wstring& folder) {
    return FilesEndingIn(folder, tervalux::testing::kComponentExtensions);
}

inline LRESULT ComponentCount(const std::wstring& folder) {
    return static_cast<LRESULT>(ComponentsOf(folder).size());
}

// Entries of the folder list at a drive root: the root and its subfolders.
inline LRESULT RootFolderEntries(wchar_t drive) {
    const wchar_t root[] = {drive, L':', L'\\', 0};
    return static_cast<LRESULT>(1 + ListingOf(root).folders.size());
}

}  // namespace tervalux::win32::testing

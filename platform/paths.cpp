#include "platform/paths.h"

#include "platform/text.h"

namespace tervalux {

namespace {

bool StartsWithDrive(std::wstring_view text) {
    return text.size() >= 2 && text[1] == L':' &&
           ((text[0] >= L'a' && text[0] <= L'z') || (text[0] >= L'A' && text[0] <= L'Z'));
}

// Splits at "\" (after "/" became "\"), applying "." and "..". `steps` holds what is there already.
void ApplySteps(std::wstring_view text, std::vector<std::wstring>& steps) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(L"\\/", start);
        if (end == std::wstring_view::npos) end = text.size();
        const std::wstring_view step = text.substr(start, end - start);
        if (step == L"..") {
            if (!steps.empty()) steps.pop_back();
        } else if (!step.empty() && step != L".") {
            steps.emplace_back(step);
        }
        start = end + 1;
    }
}

std::wstring Spell(const std::wstring& root, const std::vector<std::wstring>& steps) {
    std::wstring path = root;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (i > 0) path.push_back(L'\\');
        path += steps[i];
    }
    return path;
}

// Splits a full path into its root and its steps; false when it has no root.
bool SplitFull(std::wstring_view path, std::wstring& root, std::vector<std::wstring>& steps) {
    root = RootOf(path);
    if (root.empty()) return false;
    std::size_t skip = 2;  // "x:"
    if (!StartsWithDrive(path)) {
        // "\\server\share": skip both names.
        const auto server = path.find_first_of(L"\\/", 2);
        const auto share = server == std::wstring_view::npos ? server : path.find_first_of(L"\\/", server + 1);
        skip = share == std::wstring_view::npos ? path.size() : share;
    }
    steps.clear();
    ApplySteps(path.substr(skip), steps);
    return true;
}

}  // namespace

std::wstring RootOf(std::wstring_view path) {
    if (StartsWithDrive(path)) return std::wstring(path.substr(0, 2)) + L"\\";
    const auto isSep = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    if (path.size() > 2 && isSep(path[0]) && isSep(path[1])) {
        const auto server = path.find_first_of(L"\\/", 2);
        if (server == std::wstring_view::npos || server == 2) return {};
        auto share = path.find_first_of(L"\\/", server + 1);
        if (share == std::wstring_view::npos) share = path.size();
        if (share == server + 1) return {};
        std::wstring root = L"\\\\";
        root += path.substr(2, server - 2);
        root += L'\\';
        root += path.substr(server + 1, share - server - 1);
        root += L'\\';
        return root;
    }
    return {};
}

bool IsRoot(std::wstring_view path) {
    return !path.empty() && RootOf(path) == path;
}

std::wstring ResolveFolder(std::wstring_view base, std::wstring_view text) {
    if (text.empty()) return {};
    std::wstring root;
    std::vector<std::wstring> steps;
    const auto isSep = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    if (StartsWithDrive(text)) {
        root = RootOf(text);
        std::wstring baseRoot;
        std::vector<std::wstring> baseSteps;
        // "x:name" continues from base when base lies on drive x.
        const bool relative = text.size() > 2 && !isSep(text[2]);
        if (relative && SplitFull(base, baseRoot, baseSteps) && FoldChar(baseRoot[0]) == FoldChar(root[0]) &&
            StartsWithDrive(baseRoot)) {
            root = baseRoot;
            steps = std::move(baseSteps);
        }
        ApplySteps(text.substr(2), steps);
        return Spell(root, steps);
    }
    if (text.size() > 1 && isSep(text[0]) && isSep(text[1])) {
        if (!SplitFull(text, root, steps)) return {};
        return Spell(root, steps);
    }
    if (!SplitFull(base, root, steps)) return {};
    if (isSep(text[0])) steps.clear();
    ApplySteps(text, steps);
    return Spell(root, steps);
}

std::wstring JoinPath(std::wstring_view folder, std::wstring_view name) {
    std::wstring path(folder);
    if (!path.empty() && path.back() != L'\\') path.push_back(L'\\');
    path += name;
    return path;
}

std::vector<std::wstring> PathSteps(std::wstring_view path) {
    std::wstring root;
    std::vector<std::wstring> steps;
    if (!SplitFull(path, root, steps)) return {};
    steps.insert(steps.begin(), root);
    return steps;
}

std::wstring OrdinaryPath(std::wstring_view path) {
    constexpr std::wstring_view kExtended = L"\\\\?\\";
    constexpr std::wstring_view kExtendedUnc = L"\\\\?\\UNC\\";
    constexpr std::size_t kMaxPath = 260;
    std::wstring ordinary;
    if (path.starts_with(kExtendedUnc)) {
        ordinary = L"\\\\" + std::wstring(path.substr(kExtendedUnc.size()));
    } else if (path.starts_with(kExtended)) {
        const std::wstring_view rest = path.substr(kExtended.size());
        if (rest.size() < 3 || rest[1] != L':' || rest[2] != L'\\') return {};
        ordinary = rest;
    } else {
        ordinary = path;
    }
    return ordinary.size() < kMaxPath ? ordinary : std::wstring();
}

}  // namespace tervalux

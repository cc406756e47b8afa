#pragma once
// The registrar's working copies that this run copied itself. The clean-up deletes nothing else: a
// regsvr32.exe that the user keeps in a folder of theirs, or one an earlier run left, looks the same
// by name and bytes, and only the program's own memory tells them apart. A copy is known by the file
// itself, so that every spelling of its path ("regsvr32.exe", "REGSVR32.EXE", "c:\x", "C:\X") finds
// it, and by the path it was placed at, so that the closing finds it in a folder no longer shown.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/services.h"

namespace tervalux {

class PlacedCopies {
   public:
    // A copy whose identity tells no file apart is never known as ours, so it is never deleted.
    void Remember(const FileIdentity& file, const std::wstring& path) {
        if (file.TellsFilesApart() && !Holds(file)) copies_.push_back(Copy{file, path});
    }
    // A copy stays ours until a delete of it succeeds.
    void Forget(const FileIdentity& file) {
        std::erase_if(copies_, [&](const Copy& copy) { return copy.file == file; });
    }
    bool Holds(const FileIdentity& file) const {
        return std::ranges::any_of(copies_, [&](const Copy& copy) { return copy.file == file; });
    }
    bool Empty() const { return copies_.empty(); }
    // Where each copy was placed, as the command spelt it: a list of its own, so that the caller may
    // forget copies as it goes through it.
    std::vector<std::wstring> Paths() const {
        std::vector<std::wstring> paths;
        for (const Copy& copy : copies_) paths.push_back(copy.path);
        return paths;
    }

   private:
    struct Copy {
        FileIdentity file;
        std::wstring path;
    };
    std::vector<Copy> copies_;  // a handful at most: one per folder a command ran in
};

}  // namespace tervalux

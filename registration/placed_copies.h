#pragma once
// The registrar's working copies that this run copied itself. The clean-up deletes nothing else: a
// regsvr32.exe that the user keeps in a folder of theirs, or one an earlier run left, looks the same
// by name and bytes, and only the program's own memory tells them apart. A copy is known by the file
// itself, so that every spelling of its path ("regsvr32.exe", "REGSVR32.EXE", "c:\x", "C:\X") finds
// it.
#include <algorithm>
#include <vector>

#include "platform/services.h"

namespace tervalux {

class PlacedCopies {
   public:
    void Remember(const FileIdentity& file) {
        if (!Holds(file)) files_.push_back(file);
    }
    // A copy stays ours until a delete of it succeeds.
    void Forget(const FileIdentity& file) { std::erase(files_, file); }
    bool Holds(const FileIdentity& file) const { return std::ranges::find(files_, file) != files_.end(); }
    bool Empty() const { return files_.empty(); }

   private:
    std::vector<FileIdentity> files_;  // a handful at most: one per folder a command ran in
};

}  // namespace tervalux

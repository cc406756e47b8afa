#pragma once
// The application runtime's services that the handlers call. A failing service throws a
// RuntimeError; the caller's trap meets it. The Win32 implementation lives in platform/win32/,
// the in-memory one the native tests use in tests/fakes/.
#include <compare>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/system_bitness.h"

namespace tervalux {

enum class WindowStyle : int {
    NormalWithFocus = 1,
    MinimizedWithFocus = 2,
};

enum class Overwrite : bool { No = false, Yes = true };

// Read-only 1, hidden 2, system 4, folder 16, archive 32: the bits the commands test. The system
// reports a file with none of them as "normal" (0x80), and adds bits of its own (not indexed,
// compressed, sparse, offline, ...) that say nothing about whether the file is there.
inline constexpr std::uint32_t kClassicAttributeBits = 0x01 | 0x02 | 0x04 | 0x10 | 0x20;

constexpr std::uint32_t ClassicAttributes(std::uint32_t systemAttributes) {
    return systemAttributes & kClassicAttributeBits;
}

// A file as the file system knows it, however its path is spelt: its volume and its 128-bit id
// there (the 64-bit index in the low half where the system offers no more).
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    std::uint64_t indexHigh = 0;
    auto operator<=>(const FileIdentity&) const = default;

    // Some network servers give every file the id zero: such an identity tells no file apart.
    constexpr bool TellsFilesApart() const { return index != 0 || indexHigh != 0; }
};

// A file opened so that, until the hold ends, no other program can write, rename or delete it: what
// the program checks through the hold is the file it then starts or deletes, not whatever a path
// names a moment later.
class HeldFile {
   public:
    virtual ~HeldFile() = default;

    virtual FileIdentity Identity() = 0;

    // The held file's own path as the system resolves the open file, links and mount points above
    // it included, so that a start by this path starts the file held; the path it was opened by
    // where the system cannot say or its answer fits no ordinary path. Never throws.
    virtual std::wstring ResolvedPath() = 0;

    // Whether the held file has the same bytes as the file at `other`. False when `other` is
    // missing or either cannot be read; never throws.
    virtual bool SameContentsAs(const std::wstring& other) = 0;

    // Deletes the held file, for a hold made for deleting only. Throws when the system refuses (a
    // program still runs from it, no right to delete).
    virtual void Delete() = 0;
};

enum class HoldFor { Starting, Deleting };

class Services {
   public:
    virtual ~Services() = default;

    // The classic attribute bits of a file or folder (ClassicAttributes); 0 for a file with none of
    // them. A missing file throws 53, whether or not its folder is there.
    virtual std::uint32_t FileAttributes(const std::wstring& path) = 0;

    // Copies one file. With Overwrite::No an existing destination throws 58 and is left untouched,
    // which is how a copy that must never replace a foreign file stays race-free.
    virtual void CopyFileTo(const std::wstring& source, const std::wstring& destination,
                            Overwrite overwrite = Overwrite::Yes) = 0;

    virtual void DeleteFileAt(const std::wstring& path) = 0;

    // Opens the file at `path` and holds it (HeldFile); for Deleting, with the right to delete it.
    // Throws the open's error: 53 for a missing file, 70 for one another program holds for writing.
    virtual std::unique_ptr<HeldFile> HoldFile(const std::wstring& path, HoldFor purpose) = 0;

    // The identity of the file or folder at `path`; nothing when it is missing. Never throws.
    virtual std::optional<FileIdentity> IdentityOf(const std::wstring& path) = 0;

    // Starts `program` (a full path, never searched for) with `commandLine` as its whole command
    // line (by convention beginning with the program itself), in `currentFolder` (empty: this
    // program's own current folder). Never waits; a file that is not a program the platform can
    // start throws 5.
    virtual void StartProgram(const std::wstring& program, const std::wstring& commandLine, WindowStyle style,
                              const std::wstring& currentFolder = {}) = 0;

    // A modal box titled with the application title, one OK button, no icon; the answer is not used.
    virtual void ShowMessage(const std::wstring& prompt) = 0;

    // Whether the two paths name one existing file or folder (however they are spelt). False when
    // either is missing or its volume tells no files apart; never throws.
    virtual bool SameFile(const std::wstring& a, const std::wstring& b) = 0;

    // Whether both files exist and hold the same bytes. False when either is missing or unreadable;
    // never throws.
    virtual bool SameContents(const std::wstring& a, const std::wstring& b) = 0;

    // Reads the file at `path` to its end, for telling a file that cannot be read from one whose
    // bytes differ once a comparison has failed. Throws the open's or the read's error: 53 for a
    // missing file, 70 for one that may not be read.
    virtual void ReadWholeFile(const std::wstring& path) = 0;

    // Whether a file (not a folder) exists at the path; never throws.
    virtual bool FileExists(const std::wstring& path) = 0;
    // The machine the image at the path is built for (ImageMachine of its first bytes); nothing for
    // a file that is missing, unreadable or no image. Never throws.
    virtual std::optional<std::uint16_t> ImageMachineOf(const std::wstring& path) = 0;

    // Whether the system is 32-bit or 64-bit, and how this build sees it. Never throws.
    virtual SystemBitness Bitness() = 0;
};

}  // namespace tervalux

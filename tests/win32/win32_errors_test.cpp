#include "platform/win32/win32_errors.h"

#include <gtest/gtest.h>

namespace tervalux::win32 {
namespace {

struct Case {
    DWORD code;
    Operation op;
    std::int32_t number;
};

TEST(Win32Errors, KnownCodesMapToTheirRuntimeNumbers) {
    const Case cases[] = {
        {ERROR_FILE_NOT_FOUND, Operation::Copy, 53},
        {ERROR_FILE_NOT_FOUND, Operation::Start, 53},
        {ERROR_PATH_NOT_FOUND, Operation::Attributes, 53},
        {ERROR_DIRECTORY, Operation::Attributes, 53},
        {ERROR_PATH_NOT_FOUND, Operation::Copy, 76},
        {ERROR_PATH_NOT_FOUND, Operation::Delete, 76},
        {ERROR_ACCESS_DENIED, Operation::Copy, 70},
        {ERROR_ACCESS_DENIED, Operation::Delete, 70},
        {ERROR_ACCESS_DENIED, Operation::Attributes, 75},
        {ERROR_ACCESS_DENIED, Operation::Start, 75},
        {ERROR_SHARING_VIOLATION, Operation::Delete, 70},
        {ERROR_LOCK_VIOLATION, Operation::Copy, 70},
        {ERROR_NOT_READY, Operation::Attributes, 71},
        {ERROR_DISK_FULL, Operation::Copy, 61},
        {ERROR_HANDLE_DISK_FULL, Operation::Copy, 61},
        {ERROR_INVALID_NAME, Operation::Copy, 52},
        {ERROR_BAD_PATHNAME, Operation::Attributes, 52},
        {ERROR_FILENAME_EXCED_RANGE, Operation::Copy, 52},
        {ERROR_FILE_EXISTS, Operation::Copy, 58},
        {ERROR_ALREADY_EXISTS, Operation::Copy, 58},
        {ERROR_NOT_ENOUGH_MEMORY, Operation::Start, 7},
        {ERROR_OUTOFMEMORY, Operation::Copy, 7},
        {ERROR_DEV_NOT_EXIST, Operation::Attributes, 68},
        {ERROR_BAD_NETPATH, Operation::Copy, 68},
        {ERROR_NETWORK_UNREACHABLE, Operation::Copy, 68},
        // What a user of this tool meets on its paths besides the plain cases.
        {ERROR_WRITE_PROTECT, Operation::Copy, 70},
        {ERROR_USER_MAPPED_FILE, Operation::Copy, 70},
        {ERROR_NETWORK_ACCESS_DENIED, Operation::Copy, 70},
        {740, Operation::Start, 70},  // elevation required
        {ERROR_CANCELLED, Operation::Start, 70},
        {ERROR_NO_MEDIA_IN_DRIVE, Operation::Attributes, 71},
        {1295, Operation::Copy, 61},  // disk quota exceeded
        {ERROR_FILE_TOO_LARGE, Operation::Copy, 61},
        {ERROR_NOT_ENOUGH_QUOTA, Operation::Start, 7},
        {ERROR_NO_SYSTEM_RESOURCES, Operation::Copy, 7},
        {ERROR_BUFFER_OVERFLOW, Operation::Attributes, 52},
        {ERROR_TOO_MANY_OPEN_FILES, Operation::Copy, 67},
        {ERROR_BAD_NET_NAME, Operation::Attributes, 68},
        {ERROR_DEVICE_NOT_CONNECTED, Operation::Copy, 68},
        {ERROR_HOST_UNREACHABLE, Operation::Copy, 68},
        {ERROR_SEM_TIMEOUT, Operation::Copy, 68},
        {ERROR_IO_DEVICE, Operation::Copy, 57},
        {ERROR_FILE_CORRUPT, Operation::Copy, 57},
        {ERROR_MOD_NOT_FOUND, Operation::Load, 48},
        {ERROR_PROC_NOT_FOUND, Operation::Load, 453},
    };
    for (const Case& c : cases) {
        const RuntimeError error = ErrorFromWin32(c.code, c.op);
        EXPECT_EQ(error.Number(), c.number) << "code " << c.code;
        EXPECT_EQ(error.Description(), StandardDescription(c.number)) << "code " << c.code;
    }
}

TEST(Win32Errors, BadExecutableFormatIsError5OnlyWhenStartingAProgram) {
    for (DWORD code : {DWORD{ERROR_BAD_EXE_FORMAT}, DWORD{ERROR_EXE_MACHINE_TYPE_MISMATCH}, DWORD{ERROR_BAD_FORMAT},
                       DWORD{ERROR_INVALID_EXE_SIGNATURE}, DWORD{ERROR_EXE_MARKED_INVALID}}) {
        EXPECT_EQ(ErrorFromWin32(code, Operation::Start).Number(), 5) << code;
        EXPECT_EQ(ErrorFromWin32(code, Operation::Start).Description(),
                  L"Chamada de procedimento ou argumento inv\u00e1lido");
        EXPECT_EQ(ErrorFromWin32(code, Operation::Load).Number(), 48) << code;
        EXPECT_EQ(ErrorFromWin32(code, Operation::Copy).Number(), 75) << code;
    }
}

std::wstring EnglishText(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length != 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
    if (text != nullptr) LocalFree(text);
    return message;
}

bool Contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

// Every code the table does not map, over the whole range the system uses for files, processes
// and networks: 75 with a description that is the system's Portuguese or ours, never its English.
TEST(Win32Errors, UnmappedCodesAreDescribedInPortugueseOnly) {
    int unmapped = 0;
    for (DWORD code = 1; code < 16000; ++code) {
        const RuntimeError error = ErrorFromWin32(code, Operation::Copy);
        if (error.Description() == StandardDescription(error.Number())) continue;  // mapped
        ++unmapped;
        SCOPED_TRACE(code);
        EXPECT_EQ(error.Number(), 75);
        ASSERT_FALSE(error.Description().empty());
        const std::wstring english = EnglishText(code);
        if (!english.empty()) {
            EXPECT_FALSE(Contains(english, error.Description())) << "English text shown";
        }
        if (error.Description() != UnmappedCodeDescription(code)) {
            // The system's own Portuguese, trimmed for the report's " <number>".
            const wchar_t last = error.Description().back();
            EXPECT_TRUE(last != L'\n' && last != L'\r' && last != L' ' && last != L'.') << int(last);
            EXPECT_NE(error.Description().front(), L' ');
        }
    }
    EXPECT_GT(unmapped, 100);
}

TEST(Win32Errors, OurOwnTextForAnUnmappedCodeCarriesTheCode) {
    const RuntimeError error = ErrorFromWin32(0x2FFFFFFF, Operation::Other);
    EXPECT_EQ(error.Number(), 75);
    EXPECT_EQ(error.Description(), L"Erro de acesso ao caminho/arquivo (c\u00f3digo do sistema 805306367)");
    EXPECT_EQ(ErrorReportText(error), L"Erro de acesso ao caminho/arquivo (c\u00f3digo do sistema 805306367) 75");
}

TEST(Win32Errors, ThrowLastErrorUsesTheThreadsLastError) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    try {
        ThrowLastError(Operation::Delete);
        FAIL() << "nothing thrown";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), 76);
    }
}

}  // namespace
}  // namespace tervalux::win32

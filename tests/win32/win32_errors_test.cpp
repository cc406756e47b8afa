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

TEST(Win32Errors, UnknownCodeIs75WithTheSystemsOwnMessageTrimmed) {
    const RuntimeError error = ErrorFromWin32(ERROR_INVALID_FUNCTION, Operation::Copy);
    EXPECT_EQ(error.Number(), 75);
    ASSERT_FALSE(error.Description().empty());
    EXPECT_NE(error.Description(), StandardDescription(75));
    const wchar_t last = error.Description().back();
    EXPECT_TRUE(last != L'\n' && last != L'\r' && last != L' ' && last != L'.') << int(last);
    EXPECT_NE(error.Description().front(), L' ');
}

TEST(Win32Errors, CodeWithoutAnySystemMessageGetsTheStandard75Text) {
    const RuntimeError error = ErrorFromWin32(0x2FFFFFFF, Operation::Other);
    EXPECT_EQ(error.Number(), 75);
    EXPECT_EQ(error.Description(), StandardDescription(75));
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

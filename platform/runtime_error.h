#pragma once
// A runtime error as the handlers see it: a number they test in their traps and a Portuguese
// description they show. Every failing service or control access throws one.
#include <cstdint>
#include <exception>
#include <string>

namespace tervalux {

namespace err {
inline constexpr std::int32_t InvalidCall = 5;
inline constexpr std::int32_t OutOfMemory = 7;
inline constexpr std::int32_t DllLoad = 48;
inline constexpr std::int32_t InternalError = 51;
inline constexpr std::int32_t BadFileName = 52;
inline constexpr std::int32_t FileNotFound = 53;
inline constexpr std::int32_t DeviceIo = 57;
inline constexpr std::int32_t FileAlreadyExists = 58;
inline constexpr std::int32_t DiskFull = 61;
inline constexpr std::int32_t TooManyFiles = 67;
inline constexpr std::int32_t DeviceUnavailable = 68;
inline constexpr std::int32_t PermissionDenied = 70;
inline constexpr std::int32_t DiskNotReady = 71;
inline constexpr std::int32_t PathFileAccess = 75;
inline constexpr std::int32_t PathNotFound = 76;
inline constexpr std::int32_t DllEntryPoint = 453;
}  // namespace err

class RuntimeError : public std::exception {
   public:
    // Uses the standard Portuguese description of the number.
    explicit RuntimeError(std::int32_t number);
    RuntimeError(std::int32_t number, std::wstring description);

    std::int32_t Number() const noexcept { return number_; }
    const std::wstring& Description() const noexcept { return description_; }
    const char* what() const noexcept override { return "tervalux runtime error"; }

   private:
    std::int32_t number_;
    std::wstring description_;
};

// The standard description of a runtime error number; empty for a number we have none for.
std::wstring StandardDescription(std::int32_t number);

// The error being handled, for use inside a catch block only: a RuntimeError as it is, an
// exhausted allocation as error 7, anything else as error 51 ("Erro interno"): a fault of the
// program, which no trap may take for one of the errors it tests for. It lets a handler's trap meet
// every exception in one way, so nothing escapes a handler by an unexpected type.
RuntimeError CurrentError();

// The text of an error report: description, one blank, number in decimal.
std::wstring ErrorReportText(const RuntimeError& error);

}  // namespace tervalux

#pragma once
// The one error type a failing platform operation throws: a number and the
// platform's message text for it (on Windows: GetLastError and FormatMessageW).
#include <cstdint>
#include <exception>
#include <string>
#include <utility>

namespace tesvar::platform {

class Error : public std::exception {
public:
    Error(std::int32_t number, std::wstring message) : number_(number), message_(std::move(message)) {}
    std::int32_t Number() const noexcept { return number_; }
    const std::wstring& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return "platform error"; }

private:
    std::int32_t number_;
    std::wstring message_;
};

// Windows error numbers, used by the simulated platform and by the portable code for
// the failures it raises itself, so both platforms report the same numbers.
namespace win_error {
inline constexpr std::int32_t FileNotFound = 2;
inline constexpr std::int32_t PathNotFound = 3;
inline constexpr std::int32_t AccessDenied = 5;
inline constexpr std::int32_t InvalidHandle = 6;  // file number that is not open
inline constexpr std::int32_t InvalidData = 13;
inline constexpr std::int32_t WriteProtect = 19;
inline constexpr std::int32_t SharingViolation = 32;
inline constexpr std::int32_t InvalidParameter = 87;
inline constexpr std::int32_t DiskFull = 112;
inline constexpr std::int32_t InvalidName = 123;
inline constexpr std::int32_t NoMoreFiles = 18;
inline constexpr std::int32_t ArithmeticOverflow = 534;
}  // namespace win_error

}  // namespace tesvar::platform

#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace morvane {

// A failure that abandons the check run where it happens. It is caught once,
// at the edge that started the run (the window's click handler, the
// command-line's main), which restores the window and shows the text.
class RunError : public std::runtime_error {
public:
    // number 0: a condition of this program's own, shown without a number.
    RunError(std::int32_t number, std::u16string message);

    std::int32_t number() const { return m_number; }
    const std::u16string& message() const { return m_message; }

private:
    std::int32_t m_number;
    std::u16string m_message;
};

namespace ErrorNumber {
inline constexpr std::int32_t Overflow = 6;
inline constexpr std::int32_t FileNotFound = 53;
inline constexpr std::int32_t DeviceIo = 57;
inline constexpr std::int32_t InputPastEnd = 62;
inline constexpr std::int32_t PermissionDenied = 70;
inline constexpr std::int32_t PathInvalid = 75;
} // namespace ErrorNumber

// The error with the standard message for its number.
RunError runError(std::int32_t number);

// "実行時エラー 'N':", an empty line, then the message; lines joined with
// lineBreak. An error without a number is its message alone.
std::u16string runErrorText(const RunError& e, std::u16string_view lineBreak);

// Counter arithmetic that reports signed 32-bit overflow as error 6.
std::int32_t checkedAdd(std::int32_t a, std::int32_t b);

} // namespace morvane

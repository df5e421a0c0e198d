#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace morvane {

// Where a run-time error arose: the file, and the line of the file (1-based;
// 0 when no line of it caused the error).
struct ErrorPlace {
    std::filesystem::path file;
    std::int32_t line = 0;
};

// A failure that abandons the check run where it happens. It is caught once,
// at the edge that started the run (the window's click handler, the
// command-line's main), which restores the window and shows the text.
class RunError : public std::runtime_error {
public:
    // number 0: a condition of this program's own, shown without a number
    // (see withoutNumber).
    RunError(std::int32_t number, std::u16string message);

    // A condition of this program's own: its text is all there is to say.
    static RunError withoutNumber(std::u16string message) { return {0, std::move(message)}; }

    std::int32_t number() const { return m_number; }
    const std::u16string& message() const { return m_message; }
    const ErrorPlace& place() const { return m_place; }
    // Filled in on the way out by those that know: the reader the line, the
    // run the file.
    void setLine(std::int32_t line) { m_place.line = line; }
    void setFile(const std::filesystem::path& file) { m_place.file = file; }

private:
    std::int32_t m_number;
    std::u16string m_message;
    ErrorPlace m_place;
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

// An error that no check expected (out of memory, a fault of this program):
// "予期しないエラーが発生しました。", then what the error itself says, joined
// with lineBreak. A RunError gives its own text (runErrorText).
std::u16string errorText(const std::exception& error, std::u16string_view lineBreak);

// "ファイル: NAME　N 行目" (the unit's shown name: no folder, but a
// member's whole path), or without the line; empty when the place names no
// file.
std::u16string errorPlaceText(const ErrorPlace& place);

// Counter arithmetic that reports signed 32-bit overflow as error 6.
std::int32_t checkedAdd(std::int32_t a, std::int32_t b);

} // namespace morvane

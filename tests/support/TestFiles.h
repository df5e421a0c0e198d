#pragma once

#include "core/TextEncoding.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace morvane::test {

// Code page 932 bytes of a text (iconv); throws std::invalid_argument on a
// character without a code page 932 form.
std::string cp932(std::u16string_view text);

// The bytes of a text saved in this encoding, with the byte order mark where
// the encoding has one.
std::string savedAs(FileEncoding encoding, std::u16string_view text);

// A file in a fresh temporary folder, removed with the folder at the end.
class TempFile {
public:
    explicit TempFile(const std::string& bytes, const std::string& name = "points.sim");
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    const std::filesystem::path& folder() const { return m_folder; }

private:
    std::filesystem::path m_folder;
    std::filesystem::path m_path;
};

// "A01,no,name,x,y," lines joined with CR LF, as a survey program writes them.
std::string simaFile(const std::vector<std::u16string>& records);

// A map sheet of zone 9 with two points 1 cm apart: one coincident pair under
// the default tolerance.
extern const std::string PairSheet;

// A file's bytes as they are; empty when it cannot be read.
std::string readFile(const std::filesystem::path& path);

// How many lines of a text (LF or CR LF line ends) are exactly `line`.
std::size_t countLines(std::string_view text, std::string_view line);

} // namespace morvane::test

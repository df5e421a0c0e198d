#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

// What checking one file writes to standard output and standard error, kept
// in order until it is that file's turn: files checked in parallel still
// print exactly as if they were checked one after another.
class FileOutput {
public:
    void out(std::string_view text) { append(Stream::Out, text); }
    // The same, moving the pieces in: a full report is not copied.
    void outMoving(std::vector<std::string>&& pieces);
    void err(std::string_view text) { append(Stream::Err, text); }

    // Writes every part in order, flushing standard output before each part
    // for standard error, so one terminal shows them as they were written.
    void writeTo(std::FILE* out, std::FILE* err) const;

private:
    enum class Stream { Out, Err };
    void append(Stream stream, std::string_view text);

    std::vector<std::pair<Stream, std::string>> m_parts;
};

} // namespace morvane

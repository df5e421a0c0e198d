#include "cli/FileOutput.h"

#include <utility>

namespace morvane {

void FileOutput::append(Stream stream, std::string_view text) {
    if (text.empty())
        return;
    if (!m_parts.empty() && m_parts.back().first == stream)
        m_parts.back().second += text;
    else
        m_parts.emplace_back(stream, std::string(text));
}

void FileOutput::outMoving(std::vector<std::string>&& pieces) {
    // Parts of their own even after standard output: appended, they would be
    // copied.
    for (std::string& piece : pieces)
        if (!piece.empty())
            m_parts.emplace_back(Stream::Out, std::move(piece));
}

void FileOutput::writeTo(std::FILE* out, std::FILE* err) const {
    for (const auto& [stream, text] : m_parts) {
        if (stream == Stream::Out) {
            std::fwrite(text.data(), 1, text.size(), out);
        } else {
            std::fflush(out);
            std::fwrite(text.data(), 1, text.size(), err);
        }
    }
}

} // namespace morvane

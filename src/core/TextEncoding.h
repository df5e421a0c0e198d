#pragma once

namespace morvane {

// How a coordinate file is to be read: guessed from its bytes, or as the user
// says.
enum class EncodingChoice { Auto, Cp932, Utf8, Utf16 };

// How a coordinate file was read. The byte order mark, where there is one,
// is no part of the text.
enum class FileEncoding { Cp932, Utf8, Utf8WithBom, Utf16Le, Utf16Be };

// The encoding as the user would name it, for the run's summary.
constexpr const char* encodingName(FileEncoding encoding) {
    switch (encoding) {
    case FileEncoding::Cp932:
        return "CP932";
    case FileEncoding::Utf8:
        return "UTF-8";
    case FileEncoding::Utf8WithBom:
        return "UTF-8 with BOM";
    case FileEncoding::Utf16Le:
        return "UTF-16LE";
    case FileEncoding::Utf16Be:
        return "UTF-16BE";
    }
    return "?";
}

} // namespace morvane

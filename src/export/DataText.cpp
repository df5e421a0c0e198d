#include "export/DataText.h"

#include "core/NumberFormat.h"
#include "core/Text.h"

#include <cmath>

namespace morvane {

std::string pathText(const std::filesystem::path& path) {
    return toUtf8(toUtf16(path.string()));
}

std::string_view kindName(FindingKind kind) {
    switch (kind) {
    case FindingKind::DuplicateName:
        return "duplicate_name";
    case FindingKind::CoincidentPoint:
        return "coincident_point";
    case FindingKind::DuplicateNumber:
        return "duplicate_number";
    }
    return "";
}

std::string jsonString(std::string_view utf8) {
    static constexpr char Hex[] = "0123456789abcdef";
    std::string out = "\"";
    out.reserve(utf8.size() + 2);
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte < 0x20) {
                out += "\\u00";
                out += Hex[byte >> 4];
                out += Hex[byte & 0xf];
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

std::string jsonNumber(double value) {
    return std::isfinite(value) ? formatPlainDecimal(value) : "null";
}

std::string_view checkEndName(CheckEnd end) {
    switch (end) {
    case CheckEnd::Finished:
        return "";
    case CheckEnd::Stopped:
        return "answer";
    case CheckEnd::ReportFull:
        return "report_full";
    }
    return "";
}

} // namespace morvane

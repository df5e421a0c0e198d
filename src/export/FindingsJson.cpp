#include "export/FindingsJson.h"

#include "core/FileFindings.h"
#include "core/RunError.h"
#include "core/Text.h"
#include "export/DataText.h"

#include <string>

namespace morvane {

namespace {

std::string jsonPoint(const FoundPoint& p) {
    return "{\"number\":" + std::to_string(p.number) + ",\"name\":" + jsonString(p.name) +
           ",\"x\":" + jsonNumber(p.x) + ",\"y\":" + jsonNumber(p.y) +
           ",\"line\":" + std::to_string(p.line) + "}";
}

std::string stoppedChecks(const RunSummary& s) {
    std::string members;
    const auto add = [&](FindingKind check, CheckEnd end) {
        if (end == CheckEnd::Finished)
            return;
        if (!members.empty())
            members += ',';
        members += jsonString(kindName(check)) + ":" + jsonString(checkEndName(end));
    };
    add(FindingKind::DuplicateName, s.duplicateNameCheck);
    add(FindingKind::CoincidentPoint, s.coincidentPointCheck);
    add(FindingKind::DuplicateNumber, s.duplicateNumberCheck);
    return members.empty() ? "null" : "{" + members + "}";
}

} // namespace

void writeJsonLine(std::ostream& out, const FileFindings& file) {
    const RunSummary& s = file.summary;
    std::string line =
        "{\"file\":" + jsonString(pathText(s.file)) + ",\"encoding\":" + jsonString(s.encoding) +
        ",\"points\":" + std::to_string(s.points) + ",\"lower\":" + jsonNumber(s.lower) +
        ",\"tolerance\":" + jsonNumber(s.tolerance) + ",\"stopped\":" + stoppedChecks(s) +
        ",\"findings\":[";
    for (std::size_t i = 0; i < file.findings.size(); ++i) {
        const FoundPair& f = file.findings[i];
        if (i > 0)
            line += ',';
        line += "{\"kind\":" + jsonString(kindName(f.kind)) +
                ",\"distance\":" + jsonNumber(f.distance) + ",\"points\":[" + jsonPoint(f.first) +
                "," + jsonPoint(f.second) + "]}";
    }
    line += "]}\n";
    out << line;
}

void writeJsonErrorLine(std::ostream& out, const std::filesystem::path& file,
                        const RunError& error) {
    const std::int32_t line = error.place().line;
    out << "{\"file\":" << jsonString(pathText(file)) << ",\"error\":{\"number\":"
        << (error.number() == 0 ? "null" : std::to_string(error.number()))
        << ",\"message\":" << jsonString(toUtf8(error.message()))
        << ",\"line\":" << (line > 0 ? std::to_string(line) : "null") << "}}\n";
}

} // namespace morvane

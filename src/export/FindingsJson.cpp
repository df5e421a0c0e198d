#include "export/FindingsJson.h"

#include "core/FileFindings.h"
#include "core/RunError.h"
#include "core/Text.h"
#include "export/DataText.h"

#include <string>

namespace morvane {

namespace {

// With its file when it is a point of a job.
std::string jsonPoint(const FoundPoint& p, bool ofJob) {
    return "{\"number\":" + std::to_string(p.number) + ",\"name\":" + jsonString(p.name) +
           ",\"x\":" + jsonNumber(p.x) + ",\"y\":" + jsonNumber(p.y) +
           ",\"line\":" + std::to_string(p.line) +
           (ofJob ? ",\"file\":" + jsonString(pathText(p.file)) : "") + "}";
}

// "\"files\":[...],": the files of a job; nothing for one file.
std::string jobFiles(const FileFindings& file) {
    if (file.jobFiles.empty())
        return "";
    std::string list;
    for (const std::filesystem::path& name : file.jobFiles)
        list += (list.empty() ? "" : ",") + jsonString(pathText(name));
    return ",\"files\":[" + list + "]";
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
    const bool ofJob = !file.jobFiles.empty();
    std::string line =
        "{\"file\":" + jsonString(pathText(s.file)) + jobFiles(file) +
        ",\"encoding\":" + jsonString(s.encoding) + ",\"points\":" + std::to_string(s.points) +
        ",\"lower\":" + jsonNumber(s.lower) + ",\"tolerance\":" + jsonNumber(s.tolerance) +
        ",\"stopped\":" + stoppedChecks(s) + ",\"findings\":[";
    for (std::size_t i = 0; i < file.findings.size(); ++i) {
        const FoundPair& f = file.findings[i];
        if (i > 0)
            line += ',';
        line += "{\"kind\":" + jsonString(kindName(f.kind)) +
                ",\"distance\":" + jsonNumber(f.distance) + ",\"points\":[" +
                jsonPoint(f.first, ofJob) + "," + jsonPoint(f.second, ofJob) + "]}";
    }
    line += "]}\n";
    out << line;
}

void writeJsonErrorLine(std::ostream& out, const std::filesystem::path& file,
                        const RunError& error) {
    const std::int32_t line = error.place().line;
    // The file of a job that failed it, which the line is a line of.
    const std::filesystem::path& failed = error.place().file;
    const std::string failedFile =
        !failed.empty() && failed != file ? ",\"file\":" + jsonString(pathText(failed)) : "";
    out << "{\"file\":" << jsonString(pathText(file)) << ",\"error\":{\"number\":"
        << (error.number() == 0 ? "null" : std::to_string(error.number()))
        << ",\"message\":" << jsonString(toUtf8(error.message()))
        << ",\"line\":" << (line > 0 ? std::to_string(line) : "null") << failedFile << "}}\n";
}

} // namespace morvane

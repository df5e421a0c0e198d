#include "cli/Summary.h"

#include "core/NumberFormat.h"
#include "core/Text.h"

namespace morvane {

namespace {

std::string number(double value) {
    return toUtf8(formatShortest(value));
}

std::string count(std::int32_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string ending(CheckEnd end, const char* check) {
    switch (end) {
    case CheckEnd::Finished:
        return "";
    case CheckEnd::Stopped:
        return std::string(", ") + check + " check stopped after too many findings";
    case CheckEnd::ReportFull:
        return std::string(", ") + check + " check cut off: the report is full";
    }
    return "";
}

} // namespace

std::string summaryLine(const RunSummary& s) {
    std::string line = s.file.string() + ": " + s.encoding + ", ";
    if (s.coordinateSystem.kind == CoordinateSystem::Kind::PlaneZone)
        line += "zone " + std::to_string(s.coordinateSystem.zone) + ", ";
    else if (s.coordinateSystem.kind == CoordinateSystem::Kind::Local)
        line += "local coordinates, ";
    line += count(s.points, "point", "points");
    // Only the checks made: a count of 0 would read as a clean result.
    if (s.checks.duplicateNames) {
        line += ", " + count(s.duplicateNames, "duplicate name", "duplicate names");
        if (s.checks.names == NameComparison::LookAlike)
            line += " (NFKC)";
    }
    if (s.checks.coincidentPoints) {
        line += ", " + count(s.coincidentPoints, "coincident point", "coincident points");
        line += ", band " + number(s.lower) + " ≤ d < " + number(s.tolerance);
        if (s.bandEmpty())
            line += " (empty: no coincident points can be found)";
    }
    if (s.checks.duplicateNumbers)
        line += ", " + count(s.duplicateNumbers, "duplicate number", "duplicate numbers");
    line += ending(s.duplicateNameCheck, "duplicate-name");
    line += ending(s.coincidentPointCheck, "coincident-point");
    line += ending(s.duplicateNumberCheck, "duplicate-number");
    return line;
}

} // namespace morvane

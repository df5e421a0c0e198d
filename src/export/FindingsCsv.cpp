#include "export/FindingsCsv.h"

#include "core/FileFindings.h"
#include "core/NumberFormat.h"
#include "export/DataText.h"

#include <cmath>

namespace morvane {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view LineEnd = "\r\n";

// A distance too large for a double stays empty rather than "inf", which no
// spreadsheet reads as a number.
std::string csvNumber(double value) {
    return std::isfinite(value) ? formatPlainDecimal(value) : "";
}

void writePoint(std::ostream& out, const FoundPoint& p, CsvColumns columns) {
    // Text throughout, never the stream's own number output, which follows
    // whatever locale the stream was given.
    out << ',' << std::to_string(p.number) << ',' << csvField(p.name) << ',' << csvNumber(p.x)
        << ',' << csvNumber(p.y) << ',' << std::to_string(p.line);
    if (columns == CsvColumns::FindingsWithPointFiles)
        out << ',' << csvField(pathText(p.file));
}

CsvColumns columnsOf(const FileFindings& file) {
    return file.jobFiles.empty() ? CsvColumns::Findings : CsvColumns::FindingsWithPointFiles;
}

} // namespace

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

void writeCsvHeader(std::ostream& out, CsvColumns columns) {
    if (columns == CsvColumns::FindingsWithPointFiles)
        out << ByteOrderMark
            << "file,kind,distance,number1,name1,x1,y1,line1,file1,number2,name2,x2,y2,line2,file2"
            << LineEnd;
    else
        out << ByteOrderMark
            << "file,kind,distance,number1,name1,x1,y1,line1,number2,name2,x2,y2,line2" << LineEnd;
}

void writeCsvRows(std::ostream& out, const FileFindings& file) {
    const std::string fileField = csvField(pathText(file.summary.file));
    const CsvColumns columns = columnsOf(file);
    for (const FoundPair& f : file.findings) {
        out << fileField << ',' << kindName(f.kind) << ',' << csvNumber(f.distance);
        writePoint(out, f.first, columns);
        writePoint(out, f.second, columns);
        out << LineEnd;
    }
}

void writeFindingsCsv(std::ostream& out, const FileFindings& file) {
    writeCsvHeader(out, columnsOf(file));
    writeCsvRows(out, file);
}

} // namespace morvane

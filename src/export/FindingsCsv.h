#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace morvane {

struct FileFindings;

// Findings as CSV for spreadsheets: UTF-8 with a byte order mark (so that a
// spreadsheet in Japan opens it as UTF-8), CR LF, a header row, then a row a
// finding: file,kind,distance,number1,name1,x1,y1,line1,number2,name2,x2,y2,
// line2. Numbers are plain decimals that read back as the same double. The
// rows of a job also name each point's file: file1 after line1, file2 after
// line2, and the job's name in the file column.

// Whether the rows name each point's file, as those of a job do.
enum class CsvColumns { Findings, FindingsWithPointFiles };

// The byte order mark and the header row: the start of every CSV file.
void writeCsvHeader(std::ostream& out, CsvColumns columns = CsvColumns::Findings);

// A row for each of the file's findings, in report order; with the point
// files when it is a job's.
void writeCsvRows(std::ostream& out, const FileFindings& file);

// A whole CSV file of one checked file, as the window saves its last run.
void writeFindingsCsv(std::ostream& out, const FileFindings& file);

// A field quoted as RFC 4180 wants it: in double quotes, inner quotes doubled,
// when it holds a comma, a quote, CR or LF; as it is otherwise.
std::string csvField(std::string_view text);

} // namespace morvane

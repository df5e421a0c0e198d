#pragma once

#include "cli/CliOptions.h"
#include "export/FindingsGeoJson.h"
#include "export/PlaneToGeographic.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>

namespace morvane {

struct FileFindings;
class RunError;

// Standard output in a data format: what comes before the first file (the
// CSV header, the opening of the collection), each file's findings or error in
// file order, and what closes the output.
class DataOutput {
public:
    // Sets up the conversion for --zone at once, so that a PROJ that cannot
    // serve is known before any file is read: throws ProjectionError.
    DataOutput(const CliOptions& options, std::FILE* out);
    ~DataOutput();

    // Throws ProjectionError when a point cannot be placed on the map; then
    // nothing of the file is written.
    void fileChecked(const FileFindings& file);
    // JSON keeps the error beside the files' objects; the other formats leave
    // it to standard error.
    void fileFailed(const std::filesystem::path& file, const RunError& error);
    void finish();

private:
    // The conversion for a file's coordinates: the zone given on the command
    // line. A file that states its own zone would choose its own here.
    const PlaneToGeographic& projectionFor(const FileFindings& file) const;
    void flush();

    OutputFormat m_format;
    std::FILE* m_out;
    std::ostringstream m_text;
    std::unique_ptr<PlaneToGeographic> m_projection;
    std::unique_ptr<GeoJsonWriter> m_geoJson;
};

} // namespace morvane

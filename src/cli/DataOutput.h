#pragma once

#include "cli/CliOptions.h"
#include "export/FindingsGeoJson.h"
#include "export/PlaneToGeographic.h"

#include <cstdio>
#include <filesystem>
#include <map>
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
    // The conversion for a file's coordinates: the zone the file states, else
    // the one given with --zone. Throws ProjectionError for a file in local
    // coordinates, or one without a zone when --zone was not given.
    const PlaneToGeographic& projectionFor(const FileFindings& file);
    void flush();

    OutputFormat m_format;
    std::FILE* m_out;
    std::ostringstream m_text;
    std::int32_t m_zone = 0;
    // Made on first use, one a zone; PROJ runs on the writing thread only.
    std::map<std::int32_t, std::unique_ptr<PlaneToGeographic>> m_projections;
    std::unique_ptr<GeoJsonWriter> m_geoJson;
};

} // namespace morvane

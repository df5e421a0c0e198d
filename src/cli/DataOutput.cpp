#include "cli/DataOutput.h"

#include "core/FileFindings.h"
#include "core/RunError.h"
#include "export/FindingsCsv.h"
#include "export/FindingsJson.h"

namespace morvane {

DataOutput::DataOutput(const CliOptions& options, std::FILE* out)
    : m_format(options.format), m_out(out), m_zone(options.zone) {
    if (m_format == OutputFormat::Csv)
        writeCsvHeader(m_text, options.together ? CsvColumns::FindingsWithPointFiles
                                                : CsvColumns::Findings);
    if (m_format == OutputFormat::GeoJson) {
        if (m_zone != 0)
            m_projections[m_zone] = std::make_unique<PlaneToGeographic>(m_zone);
        m_geoJson = std::make_unique<GeoJsonWriter>(m_text);
    }
    flush();
}

DataOutput::~DataOutput() = default;

const PlaneToGeographic& DataOutput::projectionFor(const FileFindings& file) {
    const CoordinateSystem& stated = file.summary.coordinateSystem;
    if (stated.kind == CoordinateSystem::Kind::Local)
        throw ProjectionError("the sheet is in local coordinates (任意座標系), which have no place "
                              "on the map; its findings are left out");
    const std::int32_t zone =
        stated.kind == CoordinateSystem::Kind::PlaneZone ? stated.zone : m_zone;
    if (zone == 0)
        throw ProjectionError("the file states no zone; give --zone N (1 to 19) to place it on "
                              "the map; its findings are left out");
    auto& projection = m_projections[zone];
    if (!projection)
        projection = std::make_unique<PlaneToGeographic>(zone);
    return *projection;
}

void DataOutput::fileChecked(const FileFindings& file) {
    switch (m_format) {
    case OutputFormat::Report:
        break;
    case OutputFormat::Csv:
        writeCsvRows(m_text, file);
        break;
    case OutputFormat::Json:
        writeJsonLine(m_text, file);
        break;
    case OutputFormat::GeoJson:
        m_geoJson->addFile(file, projectionFor(file));
        break;
    }
    flush();
}

void DataOutput::fileFailed(const std::filesystem::path& file, const RunError& error) {
    if (m_format != OutputFormat::Json)
        return;
    writeJsonErrorLine(m_text, file, error);
    flush();
}

void DataOutput::finish() {
    if (m_geoJson)
        m_geoJson->finish();
    flush();
}

void DataOutput::flush() {
    const std::string text = m_text.str();
    std::fwrite(text.data(), 1, text.size(), m_out);
    m_text.str({});
}

} // namespace morvane

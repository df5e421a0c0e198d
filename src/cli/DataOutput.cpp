#include "cli/DataOutput.h"

#include "core/RunError.h"
#include "export/FileFindings.h"
#include "export/FindingsCsv.h"
#include "export/FindingsJson.h"

namespace morvane {

DataOutput::DataOutput(const CliOptions& options, std::FILE* out)
    : m_format(options.format), m_out(out) {
    if (m_format == OutputFormat::Csv)
        writeCsvHeader(m_text);
    if (m_format == OutputFormat::GeoJson) {
        m_projection = std::make_unique<PlaneToGeographic>(options.zone);
        m_geoJson = std::make_unique<GeoJsonWriter>(m_text);
    }
    flush();
}

DataOutput::~DataOutput() = default;

const PlaneToGeographic& DataOutput::projectionFor(const FileFindings&) const {
    return *m_projection;
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

#include "export/FindingsGeoJson.h"

#include "core/FileFindings.h"
#include "export/DataText.h"
#include "export/PlaneToGeographic.h"

#include <string>

namespace morvane {

namespace {

bool hasCoordinates(const FoundPoint& p) {
    return p.x != 0 || p.y != 0;
}

std::string position(const FoundPoint& p, const PlaneToGeographic& projection) {
    LonLat at;
    try {
        at = projection.toLonLat(p.x, p.y);
    } catch (const ProjectionError& e) {
        throw ProjectionError(e.what(), p.line, p.file);
    }
    return "[" + jsonNumber(at.longitude) + "," + jsonNumber(at.latitude) + "]";
}

std::string geometry(const FoundPair& f, const PlaneToGeographic& projection) {
    const bool first = hasCoordinates(f.first);
    const bool second = hasCoordinates(f.second);
    if (!first && !second)
        return "null";
    const bool samePlace = f.first.x == f.second.x && f.first.y == f.second.y;
    if (!first || !second || samePlace)
        return "{\"type\":\"Point\",\"coordinates\":" +
               position(first ? f.first : f.second, projection) + "}";
    return "{\"type\":\"LineString\",\"coordinates\":[" + position(f.first, projection) + "," +
           position(f.second, projection) + "]}";
}

// With its file when it is a point of a job, as the CSV columns have it.
std::string pointProperties(const FoundPoint& p, char which, bool ofJob) {
    const std::string n(1, which);
    return ",\"number" + n + "\":" + std::to_string(p.number) + ",\"name" + n +
           "\":" + jsonString(p.name) + ",\"x" + n + "\":" + jsonNumber(p.x) + ",\"y" + n +
           "\":" + jsonNumber(p.y) + ",\"line" + n + "\":" + std::to_string(p.line) +
           (ofJob ? ",\"file" + n + "\":" + jsonString(pathText(p.file)) : "");
}

} // namespace

GeoJsonWriter::GeoJsonWriter(std::ostream& out) : m_out(out) {
    m_out << "{\"type\":\"FeatureCollection\",\"features\":[";
}

void GeoJsonWriter::addFile(const FileFindings& file, const PlaneToGeographic& projection) {
    // Built whole before anything is written, so a point that cannot be
    // converted leaves the collection as it was.
    std::string features;
    const std::string fileName = jsonString(pathText(file.summary.file));
    const bool ofJob = !file.jobFiles.empty();
    std::int64_t added = 0;
    for (const FoundPair& f : file.findings) {
        features += m_features + added > 0 ? ",\n" : "\n";
        features +=
            "{\"type\":\"Feature\",\"geometry\":" + geometry(f, projection) +
            ",\"properties\":{\"file\":" + fileName + ",\"kind\":" + jsonString(kindName(f.kind)) +
            ",\"distance\":" + jsonNumber(f.distance) + pointProperties(f.first, '1', ofJob) +
            pointProperties(f.second, '2', ofJob) + "}}";
        ++added;
    }
    m_out << features;
    m_features += added;
}

void GeoJsonWriter::finish() {
    m_out << "\n]}\n";
}

} // namespace morvane

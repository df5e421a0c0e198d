#pragma once

#include <cstdint>
#include <ostream>

namespace morvane {

struct FileFindings;
class PlaneToGeographic;

// Findings as one GeoJSON FeatureCollection (RFC 7946) over any number of
// files, a feature a line. Each finding is a Feature: a LineString from its
// first point to its second in longitude and latitude, a Point when both lie
// on exactly the same spot; a point at exactly (0, 0), which has no
// coordinates, is left out of the geometry (a Point at the other point, or no
// geometry when both have none). Its properties are the CSV columns: file,
// kind, distance, number1, name1, x1, y1, line1, number2, ... line2.
class GeoJsonWriter {
public:
    // Writes the opening of the collection.
    explicit GeoJsonWriter(std::ostream& out);

    // Adds the file's findings, converted by `projection` (the file's zone).
    // A point PROJ cannot convert throws ProjectionError, naming the point's
    // line; then none of the file's findings are added.
    void addFile(const FileFindings& file, const PlaneToGeographic& projection);

    // Closes the collection; call once, after the last file.
    void finish();

private:
    std::ostream& m_out;
    std::int64_t m_features = 0;
};

} // namespace morvane

#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>

struct PJconsts;
struct pj_ctx;

namespace morvane {

// The Japanese plane rectangular zones I to XIX of JGD2011.
inline constexpr std::int32_t FirstPlaneZone = 1;
inline constexpr std::int32_t LastPlaneZone = 19;

// PROJ could not set up or carry out a conversion; the text says what and why.
class ProjectionError : public std::runtime_error {
public:
    explicit ProjectionError(const std::string& what, std::int32_t line = 0,
                             std::filesystem::path file = {})
        : std::runtime_error(what), m_line(line), m_file(std::move(file)) {}

    // The 1-based line of the point's record; 0 when no point is to blame.
    std::int32_t line() const { return m_line; }
    // The file of a job that the point is of; empty outside a job.
    const std::filesystem::path& file() const { return m_file; }

private:
    std::int32_t m_line;
    std::filesystem::path m_file;
};

struct LonLat {
    double longitude = 0;
    double latitude = 0;
};

// Plane rectangular coordinates of one zone (EPSG:6668 + zone) to JGD2011
// longitude and latitude in degrees (EPSG:6668), through PROJ. One object
// serves one thread at a time.
class PlaneToGeographic {
public:
    // Throws ProjectionError for a zone outside 1 to 19 or when PROJ cannot
    // build the conversion.
    // By EPSG code where PROJ's database is found, else by the zone's steps
    // written out; `writtenOut` takes the steps always.
    explicit PlaneToGeographic(std::int32_t zone, bool writtenOut = false);
    ~PlaneToGeographic();
    PlaneToGeographic(const PlaneToGeographic&) = delete;
    PlaneToGeographic& operator=(const PlaneToGeographic&) = delete;

    std::int32_t zone() const { return m_zone; }

    // x northing, y easting in metres, as a coordinate file holds them.
    // Throws ProjectionError when PROJ cannot convert the point.
    LonLat toLonLat(double x, double y) const;

private:
    std::int32_t m_zone;
    pj_ctx* m_context = nullptr;
    PJconsts* m_conversion = nullptr;
};

} // namespace morvane

#include "SimaLayouts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <random>
#include <vector>

namespace morvane::bench {

namespace {

struct Point {
    std::string name;
    double x;
    double y;
    int number = 0; // 0: its place in the file
};

constexpr double Half = 500.0; // the uniform area is 1 km square around the origin
constexpr int ClusterSize = 50'000;

std::string name(char prefix, int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%c%d", prefix, number);
    return text;
}

// Millimetres, as survey files hold them.
double mm(double v) {
    return std::round(v * 1000.0) / 1000.0;
}

std::optional<std::vector<Point>> generate(std::string_view layout, int n) {
    std::mt19937_64 rng(20240607);
    std::uniform_real_distribution<double> across(-Half, Half);
    std::vector<Point> points(n);
    for (int k = 0; k < n; ++k) {
        // Every thousandth point repeats a name, as a re-observed point does.
        const int id = (k % 1000 == 999) ? k - 1 : k;
        points[k].name = name('P', id + 1);
        points[k].x = mm(across(rng));
        points[k].y = mm(across(rng));
    }
    if (layout == "uniform") {
    } else if (layout == "columns") {
        for (auto& p : points)
            p.x = -Half + 10.0 * std::uniform_int_distribution<int>(0, 99)(rng);
    } else if (layout == "line") {
        // A traverse along one grid line, in random record order.
        std::vector<int> order(n);
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), rng);
        for (int k = 0; k < n; ++k) {
            points[k].x = 1234.567;
            points[k].y = mm(-25'000.0 + 0.1 * order[k]);
        }
    } else if (layout == "square") {
        std::uniform_real_distribution<double> small(0.0, 10.0);
        for (auto& p : points) {
            p.x = mm(small(rng));
            p.y = mm(small(rng));
        }
    } else if (layout == "origin") {
        for (int k = 0; k < n; k += 10)
            points[k].x = points[k].y = 0.0;
    } else if (layout == "interleaved") {
        // Records 2, 4, ... small, 1, 3, ... large, in X and in name alike.
        std::uniform_real_distribution<double> low(-Half, 0.0), high(0.0, Half);
        for (int k = 0; k < n; ++k) {
            const bool even = (k + 1) % 2 == 0;
            points[k].x = mm(even ? low(rng) : high(rng));
            points[k].name = name(even ? 'A' : 'B', 1'000'000 + k);
        }
    } else if (layout == "cluster") {
        for (int k = 0; k < std::min(n, ClusterSize); ++k) {
            points[k].x = 123.456;
            points[k].y = -78.901;
        }
        std::shuffle(points.begin(), points.end(), rng);
    } else if (layout == "renumbered") {
        // Numbers given out of order, some twice, as after a merge of two
        // surveys: the point-number check's hardest sort.
        std::vector<int> numbers(n);
        for (int k = 0; k < n; ++k)
            numbers[k] = k % 1000 == 999 ? k : k + 1;
        std::shuffle(numbers.begin(), numbers.end(), rng);
        for (int k = 0; k < n; ++k)
            points[k].number = numbers[k];
    } else {
        return std::nullopt;
    }
    return points;
}

} // namespace

std::optional<std::string> simaFile(std::string_view layout, int points) {
    const auto generated = generate(layout, points);
    if (!generated)
        return std::nullopt;
    std::string out = "G00,01,benchmark,\r\nZ00,coordinates,\r\nA00,\r\n";
    char line[128];
    for (std::size_t k = 0; k < generated->size(); ++k) {
        const auto& p = (*generated)[k];
        const std::size_t number = p.number != 0 ? static_cast<std::size_t>(p.number) : k + 1;
        std::snprintf(line, sizeof line, "A01,%zu,%s,%.3f,%.3f,0.000,\r\n", number, p.name.c_str(),
                      p.x, p.y);
        out += line;
    }
    out += "A99,\r\n";
    return out;
}

} // namespace morvane::bench

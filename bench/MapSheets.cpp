#include "MapSheets.h"

#include <cstdio>
#include <random>

namespace morvane::bench {

std::string mapSheet(int points) {
    std::mt19937_64 rng(12);
    std::uniform_int_distribution<int> millimetres(-500'000, 500'000);
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<地図 xmlns=\"http://www.moj.go.jp/MINJI/tizuxml\" "
                      "xmlns:zmn=\"http://www.moj.go.jp/MINJI/tizuzumen\">\n"
                      "\t<座標系>公共座標9系</座標系>\n\t<空間属性>\n";
    xml.reserve(static_cast<std::size_t>(points) * 330);
    char buffer[512];
    for (int i = 1; i <= points; ++i) {
        const int x = millimetres(rng) - 42'000'000;
        const int y = millimetres(rng) + 26'000'000;
        std::snprintf(buffer, sizeof buffer,
                      "\t\t<zmn:GM_Point id=\"P%09d\">\n\t\t\t<zmn:GM_Point.position>\n"
                      "\t\t\t\t<zmn:DirectPosition>\n\t\t\t\t\t<zmn:X>%d.%03d</zmn:X>\n"
                      "\t\t\t\t\t<zmn:Y>%d.%03d</zmn:Y>\n\t\t\t\t</zmn:DirectPosition>\n"
                      "\t\t\t</zmn:GM_Point.position>\n\t\t</zmn:GM_Point>\n",
                      i, x / 1000, std::abs(x % 1000), y / 1000, std::abs(y % 1000));
        xml += buffer;
    }
    xml += "\t</空間属性>\n\t<主題属性>\n";
    for (int i = 1; i <= points; ++i) {
        const int name = i % 1000 == 0 ? i - 1 : i;
        std::snprintf(buffer, sizeof buffer,
                      "\t\t<筆界点>\n\t\t\t<点番名>%d</点番名>\n\t\t\t<形状 idref=\"P%09d\"/>\n"
                      "\t\t</筆界点>\n",
                      name, i);
        xml += buffer;
    }
    xml += "\t</主題属性>\n</地図>\n";
    return xml;
}

} // namespace morvane::bench

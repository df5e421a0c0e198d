// Writes one of the generated coordinate files that bench/run.sh measures,
// or with the layout "sheet" a generated map sheet (XML).
//
//   morvane_gensima LAYOUT POINTS FILE

#include "MapSheets.h"
#include "SimaLayouts.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: morvane_gensima LAYOUT POINTS FILE\n", stderr);
        return 2;
    }
    const auto file = std::string_view(argv[1]) == "sheet"
                          ? morvane::bench::mapSheet(std::atoi(argv[2]))
                          : morvane::bench::simaFile(argv[1], std::atoi(argv[2]));
    if (!file) {
        std::fprintf(stderr, "morvane_gensima: unknown layout %s\n", argv[1]);
        return 2;
    }
    std::FILE* out = std::fopen(argv[3], "wb");
    if (!out) {
        std::perror(argv[3]);
        return 2;
    }
    const bool written = std::fwrite(file->data(), 1, file->size(), out) == file->size();
    return std::fclose(out) == 0 && written ? 0 : 2;
}

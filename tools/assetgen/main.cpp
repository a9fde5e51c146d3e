// assetgen: writes the resource pack files that the JSON descriptions of a
// folder describe (docs/formats.md), byte for byte the same on every run.
//
//   assetgen [--seeds FOLDER] [--fonts FOLDER] DESCRIPTIONS OUTPUT
//   assetgen [--fonts FOLDER] --sheet PACK SHEET.png [--zoom N] DESCRIPTIONS
//
// A description that cannot be written gives one message naming its file and
// field, exit status 1, and leaves OUTPUT as it was. --seeds also writes
// every resource and pack file, by kind, into FOLDER (fuzz corpora); it
// empties FOLDER first, so it takes only a new or empty folder or one it
// made itself. --sheet writes no pack files, only a contact sheet of one pack:
// every frame of its animation sets with the boxes outlined (sheet.h).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <filesystem>
#include <string>

#include "describe.h"
#include "font.h"
#include "image.h"
#include "output.h"

int main(int argc, char** argv) {
    std::string seeds, fonts = assetgen::defaultFontDirectory(), sheet;
    int sheetPack = 0, zoom = 1;
    std::vector<std::string> folders;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--sheet") == 0 && i + 2 < argc) {
            char* end = nullptr;
            const long pack = std::strtol(argv[i + 1], &end, 10);
            if (*end != '\0' || pack < 1 || pack > 2097151) {
                std::fprintf(stderr, "assetgen: --sheet: not a pack number\n");
                return 2;
            }
            sheetPack = static_cast<int>(pack);
            sheet = argv[i + 2];
            i += 2;
        } else if (std::strcmp(argv[i], "--zoom") == 0 && i + 1 < argc) {
            zoom = std::atoi(argv[i + 1]);
            if (zoom < 1 || zoom > 8) {
                std::fprintf(stderr, "assetgen: --zoom: 1 to 8\n");
                return 2;
            }
            ++i;
        } else if ((std::strcmp(argv[i], "--seeds") == 0 || std::strcmp(argv[i], "--fonts") == 0) && i + 1 < argc) {
            (argv[i][2] == 's' ? seeds : fonts) = argv[i + 1];
            ++i;
        } else {
            folders.emplace_back(argv[i]);
        }
    }
    if (folders.size() != (sheet.empty() ? 2u : 1u) || (!sheet.empty() && !seeds.empty())) {
        std::fprintf(stderr,
                     "usage: assetgen [--seeds FOLDER] [--fonts FOLDER] DESCRIPTIONS OUTPUT\n"
                     "       assetgen [--fonts FOLDER] --sheet PACK SHEET.png [--zoom N] DESCRIPTIONS\n");
        return 2;
    }
    if (!fonts.empty() && fonts.back() != '/') fonts += '/';

    if (!seeds.empty()) {
        const std::string refused = assetgen::checkSeedsFolder(seeds, folders);
        if (!refused.empty()) {
            std::fprintf(stderr, "assetgen: %s\n", assetgen::excerpt(refused, 600).c_str());
            return 1;
        }
    }

    assetgen::Generated generated;
    try {
        generated = assetgen::generateFolder(folders[0], fonts);
    } catch (const assetgen::DescriptionError& e) {
        std::fprintf(stderr, "assetgen: %s\n", e.text().c_str());
        return 1;
    }
    if (!sheet.empty()) {
        auto found = generated.models.find(sheetPack);
        if (found == generated.models.end()) {
            std::fprintf(stderr, "assetgen: %s: no images or animation sets in pack %d\n",
                         assetgen::excerpt(folders[0], 300).c_str(), sheetPack);
            return 1;
        }
        const assetgen::Bytes png = assetgen::writePngRgba(assetgen::zoomed(assetgen::drawSheet(found->second), zoom));
        std::ofstream out(sheet, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        out.close();
        if (!out) {
            std::fprintf(stderr, "assetgen: %s: cannot be written\n", assetgen::excerpt(sheet, 300).c_str());
            return 1;
        }
        return 0;
    }
    std::string failed = assetgen::writeFolder(folders[1], generated.files);
    if (failed.empty() && !seeds.empty()) failed = assetgen::writeSeeds(seeds, generated.seeds);
    if (!failed.empty()) {
        std::fprintf(stderr, "assetgen: %s\n", failed.c_str());
        return 1;
    }
    return 0;
}

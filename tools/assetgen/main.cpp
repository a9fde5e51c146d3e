// assetgen: writes the resource pack files that the JSON descriptions of a
// folder describe (docs/formats.md), byte for byte the same on every run.
//
//   assetgen [--seeds FOLDER] [--fonts FOLDER] DESCRIPTIONS OUTPUT
//
// A description that cannot be written gives one message naming its file and
// field, exit status 1, and leaves OUTPUT as it was. --seeds also writes
// every resource and pack file, by kind, into FOLDER (fuzz corpora); it
// empties FOLDER first, so it takes only a new or empty folder or one it
// made itself.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "describe.h"
#include "font.h"
#include "output.h"

int main(int argc, char** argv) {
    std::string seeds, fonts = assetgen::defaultFontDirectory();
    std::vector<std::string> folders;
    for (int i = 1; i < argc; ++i) {
        if ((std::strcmp(argv[i], "--seeds") == 0 || std::strcmp(argv[i], "--fonts") == 0) && i + 1 < argc) {
            (argv[i][2] == 's' ? seeds : fonts) = argv[i + 1];
            ++i;
        } else {
            folders.emplace_back(argv[i]);
        }
    }
    if (folders.size() != 2) {
        std::fprintf(stderr, "usage: assetgen [--seeds FOLDER] [--fonts FOLDER] DESCRIPTIONS OUTPUT\n");
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
    std::string failed = assetgen::writeFolder(folders[1], generated.files);
    if (failed.empty() && !seeds.empty()) failed = assetgen::writeSeeds(seeds, generated.seeds);
    if (!failed.empty()) {
        std::fprintf(stderr, "assetgen: %s\n", failed.c_str());
        return 1;
    }
    return 0;
}

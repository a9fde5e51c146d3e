// The game's data set (assets/game): the text table holds every text the
// game reads, the fonts and sounds are where the game looks for them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "assetgen_test_support.h"
#include "hal_audio.h"

namespace {

namespace fs = std::filesystem;
using assetgen_test::Bytes;
using assetgen_test::makeTempDir;
using assetgen_test::Reader;
using assetgen_test::readFile;
using assetgen_test::runGenerator;

TEST(AssetgenGameData, TextsFontsAndSoundsAreComplete) {
    const std::string out = makeTempDir("game"), seeds = makeTempDir("gameseeds");
    const auto run = runGenerator("--seeds " + seeds + " " ASSETGEN_SOURCE_DIR "assets/game " + out);
    ASSERT_EQ(run.status, 0) << run.output;

    // Text ids 0 to 95; all but the placeholder 0 have words.
    const Bytes table = readFile(seeds + "text/20-0");
    Reader r(table);
    ASSERT_EQ(r.u16(), 96u);
    std::vector<std::string> texts;
    while (!r.atEnd() && texts.size() < 96) {
        const Bytes s = r.bytes(r.u16());
        texts.emplace_back(s.begin(), s.end());
    }
    ASSERT_EQ(texts.size(), 96u);
    EXPECT_TRUE(r.atEnd());
    EXPECT_EQ(texts[0], "");
    for (size_t id = 1; id < texts.size(); ++id) EXPECT_FALSE(texts[id].empty()) << id;
    EXPECT_GT(texts[38].size(), 400u) << "the first story fills more than one story-board page";

    // Fonts 0x4C00 and 0x4C01 with their sheets, sounds 0x5400 to 0x5405.
    for (const char* name : {"gobs/19-0", "gobs/19-1", "png/19-2", "png/19-3", "midi/21-5"}) {
        EXPECT_TRUE(fs::is_regular_file(seeds + name)) << name;
    }
    for (int k = 0; k < 5; ++k) {
        const Bytes wav = readFile(seeds + "wav/21-" + std::to_string(k));
        ASSERT_GT(wav.size(), 44u) << k;
        EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF") << k;
        HAL_WaveInfo info;
        EXPECT_EQ(HAL_readWaveInfo(wav.data(), wav.size(), &info), HAL_OK) << k;
    }
    // The menu tune is a song the platform's player takes (one track).
    const Bytes tune = readFile(seeds + "midi/21-5");
    HAL_MidiSong song;
    EXPECT_EQ(HAL_readMidiSong(tune.data(), tune.size(), &song), HAL_OK);
    EXPECT_GT(song.events.size(), 40u);
    for (const char* name : {"RP19part0.rp", "RP20.rp", "RP21part0.rp"}) {
        EXPECT_TRUE(fs::is_regular_file(out + name)) << name;
    }
    fs::remove_all(out);
    fs::remove_all(seeds);
}

}  // namespace

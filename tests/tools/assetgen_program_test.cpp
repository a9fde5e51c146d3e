// The generator as a program: byte-identical runs, refused descriptions that
// leave the previous output alone, and the test data set the build made.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "assetgen_test_support.h"
#include "bytes.h"
#include "program_dir.h"

namespace {

namespace fs = std::filesystem;
using assetgen_test::Bytes;
using assetgen_test::makeTempDir;
using assetgen_test::readFile;
using assetgen_test::runGenerator;
using assetgen_test::sha256;
using assetgen_test::writeFile;

const std::string kTestDescriptions = ASSETGEN_SOURCE_DIR "assets/test";

// Name → SHA-256 of every file of the folder (the listing file included).
std::map<std::string, std::string> digests(const std::string& folder) {
    std::map<std::string, std::string> out;
    for (const fs::directory_entry& e : fs::directory_iterator(folder)) {
        if (e.is_regular_file()) out[e.path().filename().string()] = sha256(readFile(e.path().string()));
    }
    return out;
}

TEST(AssetgenProgram, Sha256OfKnownTexts) {
    EXPECT_EQ(sha256({}), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    const std::string abc = "abc";
    EXPECT_EQ(sha256(Bytes(abc.begin(), abc.end())),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    const std::string twoBlocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    EXPECT_EQ(sha256(Bytes(twoBlocks.begin(), twoBlocks.end())),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST(AssetgenProgram, RunsAreByteIdenticalWhateverTheTimeZoneAndLocale) {
    const std::string first = makeTempDir("assetgen_first"), second = makeTempDir("assetgen_second");
    const std::string seeds = makeTempDir("assetgen_seeds");
    ASSERT_EQ(runGenerator(kTestDescriptions + " " + first, "TZ=UTC LC_ALL=C").status, 0);
    const assetgen_test::Run run =
        runGenerator("--seeds " + seeds + " " + kTestDescriptions + " " + second, "TZ=Asia/Kathmandu LC_ALL=C.UTF-8");
    ASSERT_EQ(run.status, 0) << run.output;
    const auto a = digests(first), b = digests(second);
    EXPECT_GT(a.size(), 20u);
    EXPECT_EQ(a, b);
    // The build's own run over the same descriptions made the same files.
    EXPECT_EQ(digests(testProgramDir() + "rsc"), a);
    // Seeds: every pack file, and the resources by kind.
    for (const char* kind : {"pack", "png", "gobs", "animset", "text", "wav", "midi", "level", "raw"}) {
        EXPECT_TRUE(fs::is_directory(seeds + kind)) << kind;
    }
    EXPECT_EQ(readFile(seeds + "pack/RP16.rp"), readFile(first + "RP16.rp"));
    fs::remove_all(first);
    fs::remove_all(second);
    fs::remove_all(seeds);
}

TEST(AssetgenProgram, RefusedDescriptionNamesFileAndFieldAndLeavesTheOutput) {
    const std::string descriptions = makeTempDir("assetgen_descriptions"), out = makeTempDir("assetgen_out");
    writeFile(descriptions + "a.json", R"({"pack": 16, "resources": [{"kind": "text", "strings": ["old"]}]})");
    writeFile(descriptions + "notes.txt", "not a description");
    ASSERT_EQ(runGenerator(descriptions + " " + out).status, 0);
    const auto before = digests(out);
    ASSERT_EQ(before.count("RP16.rp"), 1u);

    struct Case {
        std::string json;
        std::string message;  // what the one line must say after "a.json: "
    };
    const Case cases[] = {
        {R"({"pack": 16, "resources": [{"kind": "text", "strings": ["new"]}, {"kind": "animset", "frames": [{"parts": [{"gob": 1024}]}]}]})",
         "resources[1].frames[0].parts[0].gob: 1024 is outside 0 to 1023"},
        {R"({"pack": 16, "resources": [{"kind": "text", "strngs": []}]})", "resources[0].strings: missing"},
        // A set described like another must come after it, and has no frames of its own.
        {R"({"pack": 16, "resources": [{"kind": "animset", "like": 1}, {"index": 1, "kind": "animset", "frames": []}]})",
         "resources[0].like: no animation set of this pack described before it at that index"},
        {R"({"pack": 16, "resources": [{"kind": "animset", "frames": []}, {"kind": "animset", "like": 0, "frames": []}]})",
         "resources[1].frames: unknown field"},
        {R"({"pack": 16, "resources": [{"kind": "text", "strings": [], "colour": 1}]})",
         "resources[0].colour: unknown field"},
        {R"({"pack": 16, "resources": [{"kind": "level", "objects": [{"type": 1, "span": 0, "objects": [{"position": 1}]}]}]})",
         "resources[0].objects[0].span: 0 is outside 1 to 65535"},
        {R"({"pack": 3, "layout": "plain", "resources": []})", "layout: pack 3 is read as a chunked pack"},
        {R"({"pack": 16, "resources": [{"index": 1024, "kind": "raw", "hex": ""}]})",
         "resources[0].index: 1024 is outside 0 to 1023"},
        {R"({"pack": 16, "resources": [{"kind": "raw", "hex": "00", "type": 200}]})",
         "resources[0].type: 200 is outside -128 to 127"},
        {R"({"pack": 16, "resources": [{"kind": "gobs", "image": 0, "records": [{"region": [0, 0, 1, 1]}]}]})",
         "resources[0].records[0]: \"alpha\" must be given"},
        {R"({"pack": 16, "resources": [{"kind": "image", "width": 2, "height": 2, "ops": [{"op": "circle"}]}]})",
         "resources[0].ops[0].op: unknown operation"},
        {R"({"pack": 16, "resources": [{"kind": "text", "strings": [1]}]})",
         "resources[0].strings[0]: expected a text"},
        {R"({"pack": 16, "resources": [)", "not JSON"},
        // Each key once: the parser alone would take the last.
        {R"({"pack": 16, "pack": 17, "resources": []})", "pack: the key appears twice"},
        {R"({"pack": 16, "resources": [{"kind": "raw", "hex": "00"}, {"kind": "raw", "hex": "00", "hex": "01"}]})",
         "resources[1].hex: the key appears twice"},
        // A list where an object of colours belongs.
        {R"({"pack": 16, "resources": [{"kind": "image", "width": 1, "height": 1,
             "ops": [{"op": "pixels", "x": 0, "y": 0, "rows": ["0"], "colors": ["#FFFFFF"]}]}]})",
         "resources[0].ops[0].colors: expected an object"},
        // Outside text is quoted in part, control characters escaped.
        {R"({"pack": 16, "resources": [], "line\nbreak": 1})", "line\\nbreak: unknown field"},
        {R"({"pack": 16, "resources": [], ")" + std::string(1 << 20, 'k') + R"(": 1})",
         std::string(40, 'k') + "...: unknown field"},
        {R"({"pack": 16, "resources": [{"kind": ")" + std::string(1 << 20, 'k') + R"("}]})",
         "resources[0].kind: unknown kind \"" + std::string(40, 'k') + "...\""},
        // Music: a note ending past the last tick a delta time reaches; a
        // format-0 song is one track.
        {R"({"pack": 16, "resources": [{"kind": "music", "tracks": [{"notes": [{"at": 268435455, "length": 1, "key": 1}]}]}]})",
         "resources[0].tracks[0].notes[0].length: the note ends at tick 268435456"},
        {R"({"pack": 16, "resources": [{"kind": "music", "format": 0, "tracks": [{}, {"channel": 9}]}]})",
         "resources[0].tracks: a format-0 song holds exactly one track, not 2"},
        // More grid cells than the sheet holds, alpha kinds given or not.
        {R"({"pack": 16, "resources": [{"kind": "image", "width": 32, "height": 16},
             {"kind": "gobs", "image": 0, "grid": {"width": 16, "height": 16, "columns": 2, "count": 3, "alpha": 1}}]})",
         "resources[1].grid: the region lies outside the 32 × 16 image"},
        // A font size whose glyphs need a sheet taller than any image.
        {R"({"pack": 16, "resources": [{"kind": "font", "index": 1, "image": 0, "face": "DejaVuSans.ttf", "size": 200, "ranges": [[33, 126]]}]})",
         "resources[0].size: the glyphs at 200 pixels do not fit a sheet 256 wide and at most 4096 high"},
        // A font's glyph sheet takes an index of its own; the font is refused
        // for a glyph wider than the sheet, too few glyphs or a bad metric.
        {R"({"pack": 16, "resources": [{"kind": "image", "width": 1, "height": 1},
             {"kind": "font", "index": 1, "image": 0, "face": "DejaVuSans.ttf", "size": 16, "ranges": [[33, 126]]}]})",
         "resources[1]: index 0 is used twice"},
        {R"({"pack": 16, "resources": [{"kind": "font", "index": 1, "image": 0, "face": "DejaVuSans.ttf", "size": 30,
             "sheetWidth": 16, "ranges": [[65, 90]]}]})",
         "resources[0].sheetWidth: narrower than a glyph"},
        {R"({"pack": 16, "resources": [{"kind": "font", "index": 1, "image": 0, "face": "DejaVuSans.ttf", "size": 16, "ranges": [[65, 70]]}]})",
         "resources[0].ranges: a font needs at least 7 glyphs"},
        {R"({"pack": 16, "resources": [{"kind": "font", "index": 1, "image": 0, "face": "DejaVuSans.ttf", "size": 16,
             "ranges": [[33, 126]], "missingAdvance": -1}]})",
         "resources[0].missingAdvance: -1 is outside 0 to 32767"},
        // A field the pack writer refuses is named by the resource's own path.
        {R"({"pack": 3, "layout": "files", "resources": [{"kind": "raw", "hex": "00", "file": 0}]})",
         "resources[0].file: file 0 with extension rp is the pack's own file"},
        // The size of the output is bounded before it is made.
        {R"({"pack": 1, "parts": 65535, "partPadding": 65535, "resources": []})",
         "partPadding: 65535 parts with their padding make 4294836225 bytes"},
        {R"({"pack": 16, "resources": [
             {"kind": "raw", "size": 16777216}, {"kind": "raw", "size": 16777216}, {"kind": "raw", "size": 16777216},
             {"kind": "raw", "size": 16777216}, {"kind": "raw", "size": 1}]})",
         "resources[4].size: more than the 64 MiB that one run writes"}};
    for (const Case& c : cases) {
        writeFile(descriptions + "a.json", c.json);
        const assetgen_test::Run run = runGenerator(descriptions + " " + out);
        EXPECT_EQ(run.status, 1) << c.json;
        EXPECT_NE(run.output.find("a.json: " + c.message), std::string::npos) << assetgen::excerpt(run.output, 2000);
        EXPECT_LT(run.output.size(), 1000u) << "a short line";
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << "one line: " << run.output;
        EXPECT_EQ(digests(out), before) << c.json;
    }
    // Two descriptions of one pack.
    writeFile(descriptions + "a.json", R"({"pack": 16, "resources": []})");
    writeFile(descriptions + "b.json", R"({"pack": 16, "resources": []})");
    const assetgen_test::Run twice = runGenerator(descriptions + " " + out);
    EXPECT_EQ(twice.status, 1);
    EXPECT_NE(twice.output.find("b.json: "), std::string::npos) << twice.output;
    EXPECT_EQ(digests(out), before);

    // A good run replaces the files and removes those no description writes any more.
    fs::remove(descriptions + "b.json");
    writeFile(descriptions + "a.json", R"({"pack": 20, "resources": []})");
    ASSERT_EQ(runGenerator(descriptions + " " + out).status, 0);
    EXPECT_FALSE(fs::exists(out + "RP16.rp"));
    EXPECT_EQ(readFile(out + "RP20.rp"), (Bytes{0, 0, 0, 0, 0, 0, 0}));
    std::set<std::string> left;
    for (const fs::directory_entry& e : fs::directory_iterator(out)) left.insert(e.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{".assetgen-files", "RP20.rp"})) << "no temporary files stay";
    fs::remove_all(descriptions);
    fs::remove_all(out);
}

// --seeds empties its folder: it takes a new or empty one, or one it made.
TEST(AssetgenProgram, SeedsGoOnlyIntoANewEmptyOrOwnFolder) {
    const std::string descriptions = makeTempDir("assetgen_descriptions"), out = makeTempDir("assetgen_out");
    const std::string stranger = makeTempDir("assetgen_stranger"), empty = makeTempDir("assetgen_empty");
    writeFile(descriptions + "a.json", R"({"pack": 16, "resources": [{"kind": "text", "strings": ["a"]}]})");
    writeFile(stranger + "keep.txt", "not the generator's");
    ASSERT_EQ(runGenerator(descriptions + " " + out).status, 0);
    const auto before = digests(out);

    for (const std::string& seeds : {descriptions, stranger, out, out + "seeds", stranger + "keep.txt"}) {
        const assetgen_test::Run run = runGenerator("--seeds " + seeds + " " + descriptions + " " + out);
        EXPECT_EQ(run.status, 1) << seeds;
        EXPECT_EQ(run.output.rfind("assetgen: " + seeds, 0), 0u) << run.output;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
        EXPECT_EQ(digests(out), before) << seeds;
    }
    EXPECT_TRUE(fs::exists(descriptions + "a.json"));
    EXPECT_TRUE(fs::exists(stranger + "keep.txt"));

    // An empty folder becomes the generator's own, and is taken again.
    for (int run = 0; run < 2; ++run) {
        ASSERT_EQ(runGenerator("--seeds " + empty + " " + descriptions + " " + out).status, 0) << run;
        EXPECT_TRUE(fs::exists(empty + ".assetgen-seeds"));
        EXPECT_EQ(readFile(empty + "pack/RP16.rp"), readFile(out + "RP16.rp"));
        if (run == 0) writeFile(empty + "stale.txt", "");
    }
    EXPECT_FALSE(fs::exists(empty + "stale.txt")) << "an own folder is emptied";
    for (const std::string& folder : {descriptions, out, stranger, empty}) fs::remove_all(folder);
}

// The test data set holds what the readers' tests need.
TEST(AssetgenProgram, TestDataSetHasTheAskedFiles) {
    const std::string rsc = testProgramDir() + "rsc/";
    for (const char* name : {"RP1part0.rp", "RP1part1.rp", "RP1part2.rp", "RP1part3.rp", "RP2part0.rp", "RP2part1.rp",
                             "RP3part0.rp", "RP3part1.png", "RP3part5.rp", "RP3part7.png", "RP16.rp", "RP17part0.rp",
                             "RP18part0.rp", "RP18part1.wav", "RP18part5.mid", "RP20.rp", "RP22.rp", "RP23.rp"}) {
        EXPECT_TRUE(fs::is_regular_file(rsc + name)) << name;
    }
    EXPECT_EQ(readFile(rsc + "RP23.rp").size(), 20u);
    const Bytes texts = readFile(rsc + "RP20.rp");
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0], 1) << "a resource longer than 65535 bytes makes the sizes 4 bytes wide";
}

}  // namespace

// Images read back through libpng, fonts against FreeType, text tables, WAV
// and MIDI files against checks written here.
#include <gtest/gtest.h>
#include <png.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>

#include "assetgen_test_support.h"
#include "font.h"
#include "image.h"
#include "sound.h"
#include "text.h"

namespace {

using assetgen::Bytes;
using assetgen::Raster;
using assetgen_test::Reader;

// --- images ------------------------------------------------------------------

// The image as ARGB pixels, through libpng's simplified reader.
Raster decodePng(const Bytes& png) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    EXPECT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size())) << image.message;
    image.format = PNG_FORMAT_BGRA;  // byte order of a little-endian ARGB word
    Raster r(static_cast<int>(image.width), static_cast<int>(image.height));
    EXPECT_TRUE(png_image_finish_read(&image, nullptr, r.pixels.data(), 0, nullptr)) << image.message;
    return r;
}

std::vector<std::string> chunkTypes(const Bytes& png) {
    std::vector<std::string> types;
    Reader in(png, 8);
    while (!in.atEnd()) {
        const uint32_t length = in.u32();
        Bytes type = in.bytes(4);
        types.emplace_back(type.begin(), type.end());
        in.bytes(length + 4);
    }
    return types;
}

TEST(AssetgenImage, RgbaPixelsReadBackWithPartialAlpha) {
    Raster r(8, 6);
    assetgen::fillRect(r, 1, 1, 3, 2, 0x80FF0000, assetgen::Blend::Over);
    assetgen::fillRect(r, 2, 2, 3, 3, 0xFF00FF00, assetgen::Blend::Over);
    assetgen::fillRect(r, 6, 0, 2, 2, 0x40102030, assetgen::Blend::Copy);
    assetgen::fillRect(r, 6, 0, 1, 1, 0x80405060, assetgen::Blend::Over);
    const Raster back = decodePng(assetgen::writePngRgba(r));
    EXPECT_EQ(back.pixels, r.pixels);
    EXPECT_EQ(back.at(1, 1), 0x80FF0000u);
    EXPECT_EQ(back.at(2, 2), 0xFF00FF00u);
    EXPECT_EQ(back.at(0, 0), 0u);
    // Source-over: 0x80 over 0x40 gives alpha 0x80 + 0x40 × 0x7F / 0xFF.
    EXPECT_EQ(back.at(6, 0) >> 24, 0x80u + (0x40u * 0x7Fu + 127) / 255);
    EXPECT_EQ(chunkTypes(assetgen::writePngRgba(r)), (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
}

TEST(AssetgenImage, PaletteWithTransparentIndexZero) {
    Raster r(4, 2, 0x00000000);
    assetgen::fillRect(r, 1, 0, 2, 2, 0xFFE02020, assetgen::Blend::Over);
    r.at(3, 1) = 0xFF2020E0;
    const std::vector<uint32_t> palette{0x00000000, 0xFFE02020, 0xFF2020E0};
    const Bytes png = assetgen::writePngPalette(r, palette);
    EXPECT_EQ(chunkTypes(png), (std::vector<std::string>{"IHDR", "PLTE", "tRNS", "IDAT", "IEND"}));
    // PLTE of 3 colours is 9 bytes; tRNS holds only the entry that is not opaque.
    Reader in(png, 33);
    EXPECT_EQ(in.u32(), 9u);
    in.bytes(4 + 9 + 4);
    EXPECT_EQ(in.u32(), 1u);
    EXPECT_EQ(in.u32(), 0x74524E53u);
    EXPECT_EQ(in.u8(), 0u) << "index 0 transparent";
    EXPECT_EQ(decodePng(png).pixels, r.pixels);

    Raster opaque(2, 1, 0xFF808080);
    EXPECT_EQ(chunkTypes(assetgen::writePngPalette(opaque, {0xFF808080})),
              (std::vector<std::string>{"IHDR", "PLTE", "IDAT", "IEND"}));
    r.at(0, 0) = 0xFF123456;
    EXPECT_THROW(assetgen::writePngPalette(r, palette), assetgen::Error) << "a colour outside the palette";
}

TEST(AssetgenImage, ShapesFollowTheIntegerRules) {
    Raster r(10, 10);
    assetgen::fillEllipse(r, 0, 0, 10, 10, 0xFFFFFFFF, assetgen::Blend::Over);
    EXPECT_EQ(r.at(5, 0), 0xFFFFFFFFu);
    EXPECT_EQ(r.at(0, 0), 0u);
    EXPECT_EQ(r.at(0, 5), 0xFFFFFFFFu);
    EXPECT_EQ(r.at(9, 9), 0u);
    Raster line(5, 5);
    assetgen::drawLine(line, 0, 0, 4, 4, 0xFF000000, assetgen::Blend::Over);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(line.at(i, i), 0xFF000000u) << i;
    Raster g(5, 1);
    assetgen::fillGradient(g, 0, 0, 5, 1, 0xFF000000, 0x00FF0000, false, assetgen::Blend::Copy);
    EXPECT_EQ(g.at(0, 0), 0xFF000000u);
    EXPECT_EQ(g.at(2, 0), 0x80800000u);
    EXPECT_EQ(g.at(4, 0), 0x00FF0000u);
    EXPECT_EQ(assetgen::alphaKind(g, 0, 0, 1, 1), 1);
    EXPECT_EQ(assetgen::alphaKind(g, 4, 0, 1, 1), 2);
    EXPECT_EQ(assetgen::alphaKind(g, 0, 0, 5, 1), 3);
}

// --- fonts -------------------------------------------------------------------

TEST(AssetgenFont, GlyphArrayCarriesCodesMetricsAndFreeTypesAdvances) {
    assetgen::FontDescription font;
    font.face = "DejaVuSans.ttf";
    font.pixelSize = 14;
    font.ranges = {{32, 40}, {65, 66}, {0x20AC, 0x20AC}};
    font.extra = 3;
    const assetgen::FontResult result = assetgen::renderFont(font, assetgen::defaultFontDirectory());
    ASSERT_EQ(result.glyphs.size(), 12u);

    FT_Library library;
    FT_Face face;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    ASSERT_EQ(
        FT_New_Face(library, (std::string(assetgen::defaultFontDirectory()) + "DejaVuSans.ttf").c_str(), 0, &face), 0);
    FT_Set_Pixel_Sizes(face, 0, 14);
    int code = 0;
    for (size_t i = 0; i < result.glyphs.size(); ++i) {
        const auto& v = result.glyphs[i].values;
        code += v[0] << 8 | v[1];
        EXPECT_EQ(code, result.codes[i]) << "codes build up from the differences";
        ASSERT_EQ(FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_DEFAULT), 0);
        EXPECT_EQ(v[8], static_cast<int>((face->glyph->advance.x + 32) >> 6)) << "advance of " << code;
    }
    const int ascender = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    EXPECT_EQ(result.codes.front(), 32);
    EXPECT_EQ(result.codes.back(), 0x20AC);
    EXPECT_EQ(result.glyphs.back().values[0], (0x20AC - 66) >> 8);
    const auto& space = result.glyphs[0].values;
    EXPECT_EQ(space[4], 0) << "the space has no ink";
    EXPECT_EQ(space[5], 0);
    std::vector<int> metrics;
    for (int i = 0; i < 7; ++i) metrics.push_back(result.glyphs[static_cast<size_t>(i)].values[9]);
    EXPECT_EQ(metrics[1], ascender);
    EXPECT_EQ(metrics[2], space[8]) << "missing characters advance as the space";
    EXPECT_EQ(metrics[3], 255);
    EXPECT_EQ(metrics[5], 3);
    EXPECT_EQ(metrics[6], 0);
    EXPECT_EQ(result.glyphs[7].values[9], 0);
    // 'A' is drawn from the sheet at its region, inside the line's height.
    const auto& a = result.glyphs[9].values;
    EXPECT_EQ(result.codes[9], 65);
    EXPECT_GT(a[4], 0);
    EXPECT_GE(a[7], 0);
    EXPECT_LE(a[7] + a[5], metrics[0]);
    EXPECT_EQ(assetgen::alphaKind(result.sheet, a[2], a[3], a[4], a[5]), result.glyphs[9].alphaKind);

    font.ranges = {{65, 70}};
    EXPECT_THROW(assetgen::renderFont(font, assetgen::defaultFontDirectory()), assetgen::Error) << "six glyphs";
    font.face = "../DejaVuSans.ttf";
    EXPECT_THROW(assetgen::renderFont(font, assetgen::defaultFontDirectory()), assetgen::Error);
}

// An outlined font: each glyph grows a pixel on every side, moves a pixel up
// and left, keeps its advance, and its rim is the outline colour wherever the
// ink does not cover it.
TEST(AssetgenFont, AnOutlineRimsEveryGlyphByOnePixel) {
    assetgen::FontDescription font;
    font.face = "DejaVuSans.ttf";
    font.pixelSize = 14;
    font.ranges = {{65, 72}};
    const assetgen::FontResult plain = assetgen::renderFont(font, assetgen::defaultFontDirectory());
    font.outline = 0x102030;
    const assetgen::FontResult rimmed = assetgen::renderFont(font, assetgen::defaultFontDirectory());
    ASSERT_EQ(plain.glyphs.size(), rimmed.glyphs.size());
    for (size_t i = 0; i < plain.glyphs.size(); ++i) {
        const auto& p = plain.glyphs[i].values;
        const auto& r = rimmed.glyphs[i].values;
        EXPECT_EQ(r[4], p[4] + 2);
        EXPECT_EQ(r[5], p[5] + 2);
        EXPECT_EQ(r[6], p[6] - 1);
        EXPECT_EQ(r[7], p[7] - 1);
        EXPECT_EQ(r[8], p[8]) << "the advance stays";
        int rim = 0, ink = 0;
        for (int y = 0; y < r[5]; ++y) {
            for (int x = 0; x < r[4]; ++x) {
                const uint32_t argb = rimmed.sheet.at(r[2] + x, r[3] + y);
                if ((argb >> 24) == 0) continue;
                if ((argb & 0xFFFFFF) == 0x102030) ++rim;
                if ((argb & 0xFFFFFF) == 0xFFFFFF) ++ink;
                if (x == 0 || y == 0 || x == r[4] - 1 || y == r[5] - 1) {
                    EXPECT_EQ(argb & 0xFFFFFF, 0x102030u) << "the outermost pixels are rim";
                }
            }
        }
        EXPECT_GT(rim, 0);
        EXPECT_GT(ink, 0);
    }
}

// --- text tables ---------------------------------------------------------------

TEST(AssetgenText, TableHoldsLengthsAndUtf8Bytes) {
    EXPECT_EQ(assetgen::writeTextTable({"A\xC3\xA9\xE2\x82\xAC", ""}),
              (Bytes{0x00, 0x02, 0x00, 0x06, 0x41, 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0x00, 0x00}));
    EXPECT_EQ(assetgen::writeTextTable({}), (Bytes{0, 0}));
    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"ok", "\xF0\x9F\x98\x80"}, "strings[1]"},  // above U+FFFF
        {{"\xC3"}, "strings[0]"},
        {{"\x80"}, "strings[0]"},
        {{std::string(32768, 'x')}, "strings[0]"}};
    for (const auto& [texts, field] : refused) {
        try {
            assetgen::writeTextTable(texts);
            ADD_FAILURE() << "accepted " << field;
        } catch (const assetgen::Error& e) {
            EXPECT_EQ(e.field(), field);
        }
    }
    EXPECT_EQ(assetgen::writeTextTable({std::string(32767, 'x')}).size(), 2u + 2u + 32767u);
}

// --- sounds ------------------------------------------------------------------

uint32_t le32(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24;
}
uint32_t le16(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8; }

TEST(AssetgenSound, WavHeadersDescribeTheSamples) {
    for (int bits : {8, 16}) {
        for (int channels : {1, 2}) {
            assetgen::SoundDescription s;
            s.rate = 8000;
            s.bits = bits;
            s.channels = channels;
            s.length = 100;
            s.tones.push_back({assetgen::Wave::Sine, 1000, -1, 0, 100, 100, 0, 0, 100, 0, 100, 1});
            const std::vector<int16_t> samples = assetgen::synthesise(s);
            ASSERT_EQ(samples.size(), static_cast<size_t>(800 * channels));
            const Bytes wav = assetgen::writeWav(s.rate, bits, channels, samples);
            const std::string tags(wav.begin(), wav.begin() + 16);
            EXPECT_EQ(tags.substr(0, 4), "RIFF");
            EXPECT_EQ(tags.substr(8, 8), "WAVEfmt ");
            EXPECT_EQ(le32(wav, 4), wav.size() - 8);
            EXPECT_EQ(le32(wav, 16), 16u);
            EXPECT_EQ(le16(wav, 20), 1u) << "PCM";
            EXPECT_EQ(le16(wav, 22), static_cast<uint32_t>(channels));
            EXPECT_EQ(le32(wav, 24), 8000u);
            EXPECT_EQ(le32(wav, 28), static_cast<uint32_t>(8000 * channels * bits / 8));
            EXPECT_EQ(le16(wav, 32), static_cast<uint32_t>(channels * bits / 8));
            EXPECT_EQ(le16(wav, 34), static_cast<uint32_t>(bits));
            EXPECT_EQ(std::string(wav.begin() + 36, wav.begin() + 40), "data");
            EXPECT_EQ(le32(wav, 40), wav.size() - 44);
            EXPECT_EQ(wav.size() - 44, samples.size() * static_cast<size_t>(bits / 8));
            // Full pan right: the left channel is silent; 1 kHz at 8 kHz peaks near full scale.
            int peak = 0;
            for (size_t i = 0; i < samples.size(); i += static_cast<size_t>(channels)) {
                peak = std::max(peak, std::abs(static_cast<int>(samples[i + static_cast<size_t>(channels) - 1])));
                if (channels == 2) {
                    EXPECT_EQ(samples[i], 0);
                }
            }
            EXPECT_GT(peak, 30000);
        }
    }
    assetgen::SoundDescription bad;
    bad.bits = 12;
    EXPECT_THROW(assetgen::synthesise(bad), assetgen::Error);
}

// Reads a standard MIDI file: per track the channel messages (status, data)
// with running status undone, and whether the track ends with FF 2F 00.
struct MidiFile {
    int format = -1, division = 0;
    std::vector<std::vector<std::array<int, 4>>> tracks;  // tick, status, data1, data2
};

MidiFile parseMidi(const Bytes& data) {
    MidiFile m;
    Reader in(data);
    EXPECT_EQ(in.u32(), 0x4D546864u);  // MThd
    EXPECT_EQ(in.u32(), 6u);
    m.format = static_cast<int>(in.u16());
    const uint32_t count = in.u16();
    m.division = static_cast<int>(in.u16());
    for (uint32_t t = 0; t < count; ++t) {
        EXPECT_EQ(in.u32(), 0x4D54726Bu);  // MTrk
        const uint32_t length = in.u32();
        const size_t end = in.at() + length;
        std::vector<std::array<int, 4>> events;
        int tick = 0, running = 0;
        bool ended = false;
        while (in.at() < end && !in.atEnd()) {
            EXPECT_FALSE(ended) << "events after the end of the track";
            int delta = 0;
            uint32_t b;
            do {
                b = in.atEnd() ? 0 : in.u8();
                delta = delta << 7 | static_cast<int>(b & 0x7F);
            } while (b & 0x80);
            tick += delta;
            uint32_t status = in.u8();
            if (status == 0xFF) {
                const uint32_t type = in.u8(), length = in.u8();
                in.bytes(length);
                ended = type == 0x2F;
                running = 0;
                continue;
            }
            int data1;
            if (status < 0x80) {
                EXPECT_NE(running, 0) << "running status without a status";
                data1 = static_cast<int>(status);
                status = static_cast<uint32_t>(running);
            } else {
                data1 = static_cast<int>(in.u8());
            }
            running = static_cast<int>(status);
            const int data2 = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 0 : static_cast<int>(in.u8());
            events.push_back({tick, static_cast<int>(status), data1, data2});
        }
        EXPECT_TRUE(ended);
        EXPECT_EQ(in.at(), end);
        m.tracks.push_back(events);
    }
    EXPECT_TRUE(in.atEnd());
    return m;
}

TEST(AssetgenSound, MidiTracksParseWithRunningStatusAndNoteOffs) {
    assetgen::MusicDescription music;
    music.tracks.push_back({0, 5, {{0, 96, 60, 100}, {96, 96, 64, 90}, {96, 0x0FFFFFFF - 96, 36, 127}}});
    const Bytes single = assetgen::writeMidi(music);
    const MidiFile m = parseMidi(single);
    EXPECT_EQ(m.format, 0);
    EXPECT_EQ(m.division, 96);
    ASSERT_EQ(m.tracks.size(), 1u);
    const std::vector<std::array<int, 4>> expected = {
        {0, 0xC0, 5, 0},     {0, 0x90, 60, 100},  {96, 0x80, 60, 64},        {96, 0x90, 64, 90},
        {96, 0x90, 36, 127}, {192, 0x80, 64, 64}, {0x0FFFFFFF, 0x80, 36, 64}};
    EXPECT_EQ(m.tracks[0], expected) << "a note may end on the last tick a delta time reaches";

    // A note ending later, or a second track in a format-0 song, is refused.
    music.tracks[0].notes.back().length += 1;
    EXPECT_THROW(assetgen::writeMidi(music), assetgen::Error);
    music.tracks[0].notes.pop_back();
    music.tracks.push_back({9, -1, {{48, 24, 36, 127}}});
    EXPECT_THROW(assetgen::writeMidi(music), assetgen::Error);

    music.format = 1;
    music.noteOffs = false;
    const MidiFile multi = parseMidi(assetgen::writeMidi(music));
    ASSERT_EQ(multi.tracks.size(), 3u) << "a tempo track and one a track";
    EXPECT_TRUE(multi.tracks[0].empty());
    ASSERT_EQ(multi.tracks[1].size(), 5u);
    EXPECT_EQ(multi.tracks[1][2], (std::array<int, 4>{96, 0x90, 60, 0})) << "note-on with velocity 0 ends a note";

    // Running status leaves out a repeated status byte: 90 90 80 80.
    music.format = 0;
    music.noteOffs = true;
    music.tracks = {{0, -1, {{0, 10, 60, 100}, {0, 10, 62, 100}}}};
    const size_t withRunning = assetgen::writeMidi(music).size();
    music.runningStatus = false;
    EXPECT_EQ(assetgen::writeMidi(music).size(), withRunning + 2);
}

}  // namespace

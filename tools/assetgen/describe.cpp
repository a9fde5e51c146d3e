#include "describe.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "animset.h"
#include "font.h"
#include "gob.h"
#include "image.h"
#include "level.h"
#include "pack.h"
#include "sound.h"
#include "text.h"

namespace assetgen {

std::string DescriptionError::text() const {
    // Outside text is quoted in part only, so that the message stays one short line.
    return excerpt(file_, 300) + ": " + (field_.empty() ? "" : excerpt(field_, 200) + ": ") + excerpt(what(), 300);
}

namespace {

using json = nlohmann::json;

// One JSON value with its path; an object remembers which members were read
// so that `finish` can refuse the others (a misspelt key is an error).
class Node {
public:
    Node(const json& value, std::string path) : value_(&value), path_(std::move(path)) {}

    const std::string& path() const { return path_; }
    const json& value() const { return *value_; }
    [[noreturn]] void fail(const std::string& message) const { throw Error(path_, message); }

    bool has(const char* key) const { return object().contains(key); }
    Node at(const char* key) {
        if (!has(key)) Node(*value_, join(path_, key)).fail("missing");
        used_.insert(key);
        return Node((*value_)[key], join(path_, key));
    }
    std::optional<Node> find(const char* key) {
        if (!has(key)) return std::nullopt;
        return at(key);
    }
    void finish() const {
        for (const auto& [key, member] : object().items()) {
            if (key != "comment" && !used_.count(key)) Node(member, join(path_, excerpt(key))).fail("unknown field");
        }
    }

    int64_t integer(int64_t lo, int64_t hi) const {
        if (!value_->is_number_integer()) fail("expected a whole number");
        const int64_t v =
            value_->is_number_unsigned() && value_->get<uint64_t>() > INT64_MAX ? INT64_MAX : value_->get<int64_t>();
        checkRange(v, lo, hi, path_);
        return v;
    }
    int integer(const char* key, int lo, int hi) { return static_cast<int>(at(key).integer(lo, hi)); }
    int integer(const char* key, int fallback, int lo, int hi) { return has(key) ? integer(key, lo, hi) : fallback; }
    std::optional<int> optionalInteger(const char* key, int lo, int hi) {
        if (!has(key) || object()[key].is_null()) {
            if (has(key)) used_.insert(key);
            return std::nullopt;
        }
        return integer(key, lo, hi);
    }
    bool boolean() const {
        if (!value_->is_boolean()) fail("expected true or false");
        return value_->get<bool>();
    }
    bool boolean(const char* key, bool fallback) { return has(key) ? at(key).boolean() : fallback; }
    std::string string() const {
        if (!value_->is_string()) fail("expected a text");
        return value_->get<std::string>();
    }
    std::string string(const char* key, const std::string& fallback) { return has(key) ? at(key).string() : fallback; }
    // "#RRGGBB" (opaque), "#AARRGGBB", or a whole number 0xAARRGGBB.
    uint32_t colour() const {
        if (value_->is_number_integer()) return static_cast<uint32_t>(integer(0, 0xFFFFFFFF));
        const std::string s = string();
        const bool hex = s.size() > 1 && s[0] == '#' && std::all_of(s.begin() + 1, s.end(), [](char c) {
                             return std::isxdigit(static_cast<unsigned char>(c));
                         });
        if (!hex || (s.size() != 7 && s.size() != 9)) fail("expected a colour \"#RRGGBB\" or \"#AARRGGBB\"");
        const auto v = static_cast<uint32_t>(std::stoul(s.substr(1), nullptr, 16));
        return s.size() == 7 ? 0xFF000000u | v : v;
    }
    uint32_t colour(const char* key, uint32_t fallback) { return has(key) ? at(key).colour() : fallback; }
    std::vector<Node> array() const {
        if (!value_->is_array()) fail("expected a list");
        std::vector<Node> items;
        for (size_t i = 0; i < value_->size(); ++i) items.emplace_back((*value_)[i], item(path_, i));
        return items;
    }
    std::vector<Node> array(const char* key) { return has(key) ? at(key).array() : std::vector<Node>{}; }
    // A list of exactly n whole numbers.
    std::vector<int> numbers(size_t n, int64_t lo, int64_t hi) const {
        std::vector<Node> items = array();
        if (items.size() != n) fail("expected " + std::to_string(n) + " numbers");
        std::vector<int> values;
        for (const Node& i : items) values.push_back(static_cast<int>(i.integer(lo, hi)));
        return values;
    }

private:
    const json& object() const {
        if (!value_->is_object()) fail("expected an object { ... }");
        return *value_;
    }

    const json* value_;
    std::string path_;
    std::set<std::string> used_;
};

// Parses a description, refusing a key that appears twice in one object
// (the parser alone would keep the last value without a word).
json parseRefusingDuplicateKeys(const std::string& text) {
    struct Level {
        bool object;
        std::set<std::string> keys;
        std::string key;   // object: the member being read
        size_t count = 0;  // list: the items begun
    };
    std::vector<Level> levels;
    auto path = [&] {
        std::string p;
        for (const Level& l : levels) p = l.object ? join(p, excerpt(l.key)) : item(p, l.count - 1);
        return p;
    };
    auto begin = [&] {
        if (!levels.empty() && !levels.back().object) ++levels.back().count;
    };
    const json::parser_callback_t check = [&](int, json::parse_event_t event, json& parsed) {
        switch (event) {
            case json::parse_event_t::object_start:
            case json::parse_event_t::array_start:
                begin();
                levels.push_back({event == json::parse_event_t::object_start, {}, {}, 0});
                break;
            case json::parse_event_t::object_end:
            case json::parse_event_t::array_end: levels.pop_back(); break;
            case json::parse_event_t::key: {
                Level& l = levels.back();
                l.key = parsed.get<std::string>();
                if (!l.keys.insert(l.key).second) throw Error(path(), "the key appears twice in its object");
                break;
            }
            case json::parse_event_t::value: begin(); break;
        }
        return true;
    };
    return json::parse(text, check);
}

// Runs the writer, naming the field of a refused value from `path` on.
template <typename F>
auto within(const std::string& path, F&& write) {
    try {
        return write();
    } catch (const Error& e) {
        throw e.within(path);
    }
}

constexpr int kCoordinate = 32767;

// --- images ---------------------------------------------------------------------

Blend blendOf(Node& op) {
    const std::string blend = op.string("blend", "over");
    if (blend == "over") return Blend::Over;
    if (blend == "copy") return Blend::Copy;
    op.at("blend").fail("expected \"over\" or \"copy\"");
}

void drawOperation(Raster& r, Node op) {
    const std::string name = op.at("op").string();
    auto coord = [&](const char* key) { return op.integer(key, -kCoordinate, kCoordinate); };
    auto size = [&](const char* key) { return op.integer(key, 0, kCoordinate); };
    if (name == "fill") {
        std::fill(r.pixels.begin(), r.pixels.end(), op.at("color").colour());
    } else if (name == "rect") {
        fillRect(r, coord("x"), coord("y"), size("width"), size("height"), op.at("color").colour(), blendOf(op));
    } else if (name == "roundRect") {
        fillRoundRect(r, coord("x"), coord("y"), size("width"), size("height"), size("radius"), op.at("color").colour(),
                      blendOf(op));
    } else if (name == "ellipse") {
        fillEllipse(r, coord("x"), coord("y"), size("width"), size("height"), op.at("color").colour(), blendOf(op));
    } else if (name == "line") {
        drawLine(r, coord("x0"), coord("y0"), coord("x1"), coord("y1"), op.at("color").colour(), blendOf(op));
    } else if (name == "gradient") {
        fillGradient(r, coord("x"), coord("y"), size("width"), size("height"), op.at("from").colour(),
                     op.at("to").colour(), op.boolean("vertical", false), blendOf(op));
    } else if (name == "outline") {
        outline(r, op.at("color").colour());
    } else if (name == "pixels") {
        // Rows of characters; each names a colour of "colors", "." leaves the pixel.
        const int x = coord("x"), y = coord("y");
        Node colours = op.at("colors");
        if (!colours.value().is_object()) colours.fail("expected an object {\"c\": colour, ...}");
        std::map<char, uint32_t> legend;
        for (const auto& [key, value] : colours.value().items()) {
            if (key.size() != 1 || key == ".") {
                Node(value, join(colours.path(), excerpt(key))).fail("a key is one character other than \".\"");
            }
            legend[key[0]] = Node(value, join(colours.path(), key)).colour();
        }
        std::vector<Node> rows = op.at("rows").array();
        const Blend blend = blendOf(op);
        for (size_t row = 0; row < rows.size(); ++row) {
            const std::string text = rows[row].string();
            for (size_t column = 0; column < text.size(); ++column) {
                if (text[column] == '.') continue;
                auto found = legend.find(text[column]);
                if (found == legend.end()) {
                    rows[row].fail("'" + excerpt(std::string(1, text[column])) + "' is not in \"colors\"");
                }
                plot(r, x + static_cast<int>(column), y + static_cast<int>(row), found->second, blend);
            }
        }
    } else {
        op.at("op").fail("unknown operation \"" + excerpt(name) +
                         "\" (fill, rect, roundRect, ellipse, line, gradient, outline, pixels)");
    }
    op.finish();
}

Bytes describeImage(Node& d, Raster& raster) {
    raster = Raster(d.integer("width", 1, 4096), d.integer("height", 1, 4096));
    for (Node& op : d.array("ops")) drawOperation(raster, op);
    const std::string mode = d.string("mode", "rgba");
    if (mode == "rgba") return within(d.path(), [&] { return writePngRgba(raster); });
    if (mode != "palette") d.at("mode").fail("expected \"rgba\" or \"palette\"");
    std::vector<uint32_t> palette;
    if (d.has("palette")) {
        for (Node& c : d.at("palette").array()) palette.push_back(c.colour());
        if (palette.empty() || palette.size() > 256) d.at("palette").fail("a palette holds 1 to 256 colours");
    } else {
        palette = distinctColours(raster, 256);
        if (palette.size() > 256) d.at("mode").fail("the image has more than 256 colours");
    }
    return within(d.path(), [&] { return writePngPalette(raster, palette); });
}

// --- Gob records ----------------------------------------------------------------

struct Sheets {
    std::map<int, Raster> byIndex;  // the images of this pack, by resource index
};

// What a record says besides its region; alpha kind -1: from the sheet.
struct RecordTemplate {
    std::vector<int> offset{0, 0};
    std::vector<int> box{0, 0, 0, 0};
    bool round = false;
    int alpha = -1;
};

RecordTemplate recordTemplate(Node& d) {
    RecordTemplate t;
    if (d.has("offset")) t.offset = d.at("offset").numbers(2, -32768, 32767);
    if (d.has("box")) t.box = d.at("box").numbers(4, -32768, 32767);
    t.round = d.boolean("round", false);
    if (t.round && t.box[2] > 0x7FFF) d.at("box").fail("a round box's width is at most 32767");
    if (d.has("alpha")) {
        Node alpha = d.at("alpha");
        if (!(alpha.value().is_string() && alpha.value() == "auto")) t.alpha = static_cast<int>(alpha.integer(0, 3));
    }
    return t;
}

GobRecord gobRecord(const Node& d, const RecordTemplate& t, const std::vector<int>& region, const Raster* sheet,
                    const std::string& imageField) {
    GobRecord r;
    r.values = {t.offset[0], t.offset[1], region[0],
                region[1],   region[2],   region[3],
                t.box[0],    t.box[1],    t.box[2] | (t.round ? 0x8000 : 0),
                t.box[3]};
    r.alphaKind = t.alpha;
    if (t.alpha < 0 && !sheet) d.fail("\"alpha\" must be given: " + imageField + " is not an image of this pack");
    // The reader refuses a region outside its image (one without pixels excepted).
    const bool empty = region[2] == 0 || region[3] == 0;
    if (sheet && (t.alpha < 0 || !empty) &&
        (region[0] + region[2] > sheet->width || region[1] + region[3] > sheet->height)) {
        d.fail("the region lies outside the " + std::to_string(sheet->width) + " × " + std::to_string(sheet->height) +
               " image");
    }
    if (t.alpha < 0) r.alphaKind = alphaKind(*sheet, region[0], region[1], region[2], region[3]);
    return r;
}

Bytes describeGobs(Node& d, const Sheets& sheets, PackModel::GobList& list) {
    const int image = d.integer("image", 0, 1023);
    auto found = sheets.byIndex.find(image);
    const Raster* sheet = found == sheets.byIndex.end() ? nullptr : &found->second;
    const std::string imageField = join(d.path(), "image");
    std::vector<GobRecord> records;
    if (auto grid = d.find("grid")) {
        // Cell i of `columns` a row: region (x + (i mod columns) × (width + gap), y + (i / columns) × (height + gap)).
        const int x = grid->integer("x", 0, 0, kCoordinate), y = grid->integer("y", 0, 0, kCoordinate);
        const int w = grid->integer("width", 0, kCoordinate), h = grid->integer("height", 0, kCoordinate);
        const int columns = grid->integer("columns", 1, 4095), count = grid->integer("count", 0, 4095);
        const int gap = grid->integer("gap", 0, 0, kCoordinate);
        const RecordTemplate t = recordTemplate(*grid);
        grid->finish();
        for (int i = 0; i < count; ++i) {
            const std::vector<int> region{x + (i % columns) * (w + gap), y + (i / columns) * (h + gap), w, h};
            records.push_back(gobRecord(*grid, t, region, sheet, imageField));
        }
    }
    for (Node& r : d.array("records")) {
        const std::vector<int> region = r.at("region").numbers(4, 0, kCoordinate);
        records.push_back(gobRecord(r, recordTemplate(r), region, sheet, imageField));
        r.finish();
    }
    const bool kinds = d.boolean("alphaKinds", true);
    list = {image, records};
    return within(d.path(), [&] { return writeGobs(image, records, kinds); });
}

// --- animation sets, texts, fonts, sounds, music, levels, raw bytes --------------

// An animation set described as another of the pack (`like`, described
// before it) without the parts drawing some of its Gobs (`withoutGobs`) and
// without some box ids (`withoutBoxes`): the same figure with an overlay
// left out, kept in step with the set it copies.
void copyAnimSet(Node& d, const PackModel& pack, PackModel::Set& model) {
    Node like = d.at("like");
    const auto from = pack.sets.find(static_cast<int>(like.integer(0, 1023)));
    if (from == pack.sets.end()) like.fail("no animation set of this pack described before it at that index");
    std::vector<int64_t> gobs, boxes;
    for (Node& v : d.array("withoutGobs")) gobs.push_back(v.integer(0, 65535));
    for (Node& v : d.array("withoutBoxes")) boxes.push_back(v.integer(0, 31));
    const auto listed = [](const std::vector<int64_t>& list, int value) {
        return std::find(list.begin(), list.end(), value) != list.end();
    };
    model = from->second;
    for (AnimFrame& frame : model.set.frames) {
        std::erase_if(frame.parts, [&](const AnimPart& part) { return listed(gobs, part.gob); });
        std::erase_if(frame.boxes, [&](const AnimBox& box) { return listed(boxes, box.id); });
    }
}

Bytes describeAnimSet(Node& d, const PackModel& pack, PackModel::Set& model) {
    AnimSetDescription& set = model.set;
    if (d.has("like")) {
        copyAnimSet(d, pack, model);
        return within(d.path(), [&] { return writeAnimSet(set); });
    }
    model.gobs = d.integer("gobs", -1, 0, 1023);
    for (Node& f : d.array("frames")) {
        AnimFrame frame;
        for (Node& p : f.array("parts")) {
            frame.parts.push_back({p.integer("gob", 0, 65535), p.integer("dx", 0, -32768, 32767),
                                   p.integer("dy", 0, -32768, 32767), p.integer("flip", 0, 0, 3)});
            p.finish();
        }
        for (Node& b : f.array("boxes")) {
            frame.boxes.push_back({b.integer("x", -32768, 32767), b.integer("y", -32768, 32767),
                                   b.integer("width", 0, 65535), b.integer("height", 0, 65535),
                                   b.integer("id", 0, 0, 31), b.boolean("circle", false)});
            b.finish();
        }
        f.finish();
        set.frames.push_back(std::move(frame));
    }
    for (Node& a : d.array("animations")) {
        Animation animation;
        animation.playCount = a.integer("play", 1, -32768, 32767);
        for (Node& s : a.array("steps")) {
            animation.steps.push_back({s.integer("frame", 0, 65535), s.integer("dx", 0, -32768, 32767),
                                       s.integer("dy", 0, -32768, 32767), s.integer("duration", 0, 65535),
                                       s.integer("interpolation", 0, 0, 3), s.integer("marker", 0, 0, 3)});
            s.finish();
        }
        a.finish();
        set.animations.push_back(std::move(animation));
    }
    for (Node& v : d.array("durations")) set.durations.push_back(static_cast<int>(v.integer(0, 65535)));
    return within(d.path(), [&] { return writeAnimSet(set); });
}

// For a resource larger than the `room` left of what one run writes.
std::string tooMuch() { return "more than the " + std::to_string(kMaxOutputBytes >> 20) + " MiB that one run writes"; }

Bytes describeText(Node& d, int64_t room) {
    std::vector<std::string> texts;
    int64_t size = 0;
    for (Node& s : d.at("strings").array()) {
        if (s.value().is_object()) {
            // {"repeat": text, "count": n}: the text n times.
            const std::string unit = s.at("repeat").string();
            const int count = s.integer("count", 0, 32767);
            if (unit.size() * static_cast<size_t>(count) > 32767) s.fail("longer than 32767 bytes");
            size += static_cast<int64_t>(unit.size()) * count;
            if (size > room) s.fail("the texts make " + tooMuch());
            std::string text;
            for (int i = 0; i < count; ++i) text += unit;
            texts.push_back(std::move(text));
            s.finish();
        } else {
            texts.push_back(s.string());
        }
        size += static_cast<int64_t>(texts.back().size());
        if (size > room) s.fail("the texts make " + tooMuch());
    }
    return within(d.path(), [&] { return writeTextTable(texts); });
}

FontResult describeFont(Node& d, const std::string& fontDirectory) {
    FontDescription font;
    font.face = d.at("face").string();
    font.pixelSize = d.integer("size", 1, 1000);
    for (Node& r : d.at("ranges").array()) {
        const std::vector<int> range = r.numbers(2, 0, 0x10FFFF);
        font.ranges.emplace_back(range[0], range[1]);
    }
    font.colour = d.colour("color", 0xFFFFFFFF);
    if (d.has("outline")) font.outline = d.at("outline").colour();
    font.missingAdvance = d.optionalInteger("missingAdvance", 0, 32767);
    font.extra = d.integer("extra", 0, 0, 32767);
    font.alignByAdvance = d.boolean("alignByAdvance", false);
    font.sheetWidth = d.integer("sheetWidth", 256, 16, 4096);
    return within(d.path(), [&] { return renderFont(font, fontDirectory); });
}

Bytes describeSound(Node& d) {
    SoundDescription s;
    s.rate = d.integer("rate", 11025, 1, 1000000);
    s.bits = d.integer("bits", 16, 1, 64);
    s.channels = d.integer("channels", 1, 1, 16);
    s.length = d.integer("length", 0, 1000000);
    static const std::map<std::string, Wave> kWaves = {{"sine", Wave::Sine},
                                                       {"square", Wave::Square},
                                                       {"triangle", Wave::Triangle},
                                                       {"saw", Wave::Saw},
                                                       {"noise", Wave::Noise}};
    for (Node& t : d.array("tones")) {
        Tone tone;
        const std::string wave = t.string("wave", "sine");
        if (!kWaves.count(wave)) t.at("wave").fail("expected sine, square, triangle, saw or noise");
        tone.wave = kWaves.at(wave);
        tone.frequency = t.integer("frequency", 440, 0, 1000000);
        tone.toFrequency = t.integer("to", -1, 0, 1000000);
        tone.start = t.integer("start", 0, 0, 1000000);
        tone.length = t.integer("length", 0, 1000000);
        tone.volume = t.integer("volume", 100, 0, 1000);
        tone.attack = t.integer("attack", 0, 0, 1000000);
        tone.decay = t.integer("decay", 0, 0, 1000000);
        tone.sustain = t.integer("sustain", 100, 0, 1000);
        tone.release = t.integer("release", 0, 0, 1000000);
        tone.pan = t.integer("pan", 0, -1000, 1000);
        tone.seed = static_cast<uint32_t>(t.integer("seed", 1, 0, INT32_MAX));
        t.finish();
        s.tones.push_back(tone);
    }
    return within(d.path(), [&] { return writeWav(s.rate, s.bits, s.channels, synthesise(s)); });
}

Bytes describeMusic(Node& d) {
    MusicDescription m;
    m.format = d.integer("format", 0, 0, 1);
    m.division = d.integer("division", 96, 1, 32767);
    m.tempo = d.integer("tempo", 500000, 0, 0xFFFFFF);
    m.runningStatus = d.boolean("runningStatus", true);
    m.noteOffs = d.boolean("noteOffs", true);
    for (Node& t : d.at("tracks").array()) {
        MidiTrack track;
        track.channel = t.integer("channel", 0, 0, 15);
        track.program = t.integer("program", -1, 0, 127);
        for (Node& n : t.array("notes")) {
            track.notes.push_back({n.at("at").integer(0, 0x0FFFFFFF), n.at("length").integer(1, 0x0FFFFFFF),
                                   n.integer("key", 0, 127), n.integer("velocity", 100, 1, 127)});
            n.finish();
        }
        t.finish();
        m.tracks.push_back(std::move(track));
    }
    return within(d.path(), [&] { return writeMidi(m); });
}

std::vector<BitField> bitFields(Node& d, const char* key) {
    std::vector<BitField> fields;
    for (Node& f : d.array(key)) {
        std::vector<Node> pair = f.array();
        if (pair.size() != 2) f.fail("expected [bits, value]");
        fields.push_back({static_cast<int>(pair[0].integer(1, 32)), pair[1].integer(INT32_MIN, UINT32_MAX)});
    }
    return fields;
}

// A map as its cells: "width", "height" and "cells", one list of entry
// numbers a tile row.
LevelMap cellMap(Node& m) {
    if (m.has("legend")) m.at("legend").fail("belongs to a map given by \"rows\"");
    LevelMap map;
    map.width = m.integer("width", 0, 4095);
    map.height = m.integer("height", 0, 4095);
    std::vector<Node> rows = m.at("cells").array();
    if (rows.size() != static_cast<size_t>(map.height)) m.at("cells").fail("expected one row per map row");
    for (Node& row : rows) {
        std::vector<Node> cells = row.array();
        if (cells.size() != static_cast<size_t>(map.width)) row.fail("expected one entry per map column");
        for (Node& c : cells) map.cells.push_back(static_cast<int>(c.integer(0, 4095)));
    }
    return map;
}

// The characters of a text map and the tile-set entries they stand for: the
// locations' eight tiles in their order (entry 1 the wall ... 8 the skirting)
// and a space for no tile.
const std::map<char, int>& standardLegend() {
    static const std::map<char, int> kLegend = {{' ', 0}, {'.', 1}, {'p', 2}, {'-', 3}, {'=', 4},
                                                {'f', 5}, {'#', 6}, {'o', 7}, {'_', 8}};
    return kLegend;
}

constexpr size_t kMapSide = 4095;

// Appends the tile rows of a text map's "rows": each a text of one character
// a tile, or {"repeat": n, "rows": [...]}, those rows n times over.
void appendTextRows(Node& list, const std::map<char, int>& legend, std::vector<std::vector<int>>& out, int depth) {
    if (depth > 8) list.fail("repeats nest more than 8 deep");
    for (Node& entry : list.array()) {
        if (entry.value().is_string()) {
            const std::string text = entry.string();
            if (text.size() > kMapSide) entry.fail("more than 4095 tiles in a row");
            std::vector<int> row;
            for (char c : text) {
                auto found = legend.find(c);
                if (found == legend.end()) entry.fail("'" + excerpt(std::string(1, c)) + "' is not in the legend");
                row.push_back(found->second);
            }
            if (!out.empty() && row.size() != out.front().size()) {
                entry.fail(std::to_string(row.size()) + " tiles where the first row has " +
                           std::to_string(out.front().size()));
            }
            out.push_back(std::move(row));
            if (out.size() > kMapSide) entry.fail("more than 4095 rows");
            continue;
        }
        if (!entry.value().is_object()) entry.fail("expected a text or {\"repeat\": n, \"rows\": [...]}");
        const int times = entry.integer("repeat", 1, static_cast<int>(kMapSide));
        Node inner = entry.at("rows");
        entry.finish();
        const size_t first = out.size();
        appendTextRows(inner, legend, out, depth + 1);
        const size_t block = out.size() - first;
        if (first + block * static_cast<size_t>(times) > kMapSide) entry.fail("more than 4095 rows");
        for (int t = 1; t < times; ++t) {
            for (size_t r = 0; r < block; ++r) out.push_back(out[first + r]);
        }
    }
}

// A map as text (docs/formats.md, "Level files"): "rows" of characters, each
// one tile, and an optional "legend" that adds characters or gives the
// standard ones other entries.
LevelMap textMap(Node& m) {
    std::map<char, int> legend = standardLegend();
    if (auto l = m.find("legend")) {
        if (!l->value().is_object()) l->fail("expected an object {\"c\": entry, ...}");
        for (const auto& [key, value] : l->value().items()) {
            Node entry(value, join(l->path(), excerpt(key)));
            if (key.size() != 1) entry.fail("a key is one character");
            legend[key[0]] = static_cast<int>(entry.integer(0, 4095));
        }
    }
    Node rows = m.at("rows");
    std::vector<std::vector<int>> tiles;
    appendTextRows(rows, legend, tiles, 0);
    LevelMap map;
    map.height = static_cast<int>(tiles.size());
    map.width = tiles.empty() ? 0 : static_cast<int>(tiles.front().size());
    if (m.has("width") && m.integer("width", 0, 4095) != map.width) {
        m.at("width").fail("the rows are " + std::to_string(map.width) + " tiles wide");
    }
    if (m.has("height") && m.integer("height", 0, 4095) != map.height) {
        m.at("height").fail("there are " + std::to_string(map.height) + " rows");
    }
    for (const std::vector<int>& row : tiles) map.cells.insert(map.cells.end(), row.begin(), row.end());
    return map;
}

// A level's description; `named`: objects may give their fields by name, as
// the game's object types read them (the level files).
Bytes describeLevel(Node& d, bool named) {
    LevelDescription level;
    level.filler = d.boolean("filler", false);
    level.flags = d.integer("flags", 0, 0, 127);
    level.header = d.optionalInteger("header", 0, 1023);
    level.headerFields = bitFields(d, "headerFields");
    if (auto t = d.find("tileSet")) {
        LevelTileSet set;
        set.first = t->integer("first", 0, 0, 255);
        set.columns = t->integer("columns", 0, 4095);
        set.image = t->integer("image", -65536, 65535);
        set.tileWidth = t->integer("tileWidth", 0, 1023);
        set.tileHeight = t->integer("tileHeight", 0, 1023);
        set.option = t->optionalInteger("option", 0, 1023);
        for (Node& e : t->array("tiles")) {
            set.tiles.push_back(
                {e.optionalInteger("option", 0, 1023), e.integer("column", 0, 4095), e.integer("row", 0, 4095)});
            e.finish();
        }
        t->finish();
        level.tileSet = set;
    }
    if (auto m = d.find("map")) {
        level.map = m->has("rows") ? textMap(*m) : cellMap(*m);
        m->finish();
    }
    if (d.has("objects")) {
        std::vector<LevelGroup> groups;
        for (Node& g : d.at("objects").array()) {
            LevelGroup group;
            group.type = g.integer("type", 0, 1023);
            group.x0 = g.integer("x0", 0, 0, 65535);
            group.y0 = g.integer("y0", 0, 0, 65535);
            group.span = g.integer("span", 1, 0, 65535);
            group.deltaBits = g.optionalInteger("deltaBits", 0, 31);
            group.fields = bitFields(g, "fields");
            for (Node& o : g.array("objects")) {
                LevelObject object;
                if (o.has("position")) {
                    object.position = o.at("position").integer(0, INT32_MAX);
                } else {
                    // At (x, y): position (y - y0) × span + (x - x0).
                    const int x = o.integer("x", 0, 65535 + 65535), y = o.integer("y", 0, INT32_MAX);
                    if (x < group.x0 || x >= group.x0 + std::max(group.span, 1)) {
                        o.at("x").fail("must lie from x0 to x0 + span - 1");
                    }
                    if (y < group.y0) o.at("y").fail("must not lie above y0");
                    object.position = int64_t{y - group.y0} * group.span + (x - group.x0);
                }
                object.fields = bitFields(o, "fields");
                if (named && !o.has("fields")) {
                    for (const NamedField& f : gameObjectFields(group.type)) {
                        Node value = o.at(f.name);
                        const bool flag = f.bits == 1 && value.value().is_boolean();
                        const int64_t v = flag ? value.boolean() : value.integer(0, (int64_t{1} << f.bits) - 1);
                        object.fields.push_back({f.bits, v});
                    }
                }
                o.finish();
                group.objects.push_back(std::move(object));
            }
            g.finish();
            groups.push_back(std::move(group));
        }
        level.groups = std::move(groups);
    }
    return within(d.path(), [&] { return writeLevel(level); });
}

// A level file's level (docs/formats.md, "Level files").
Bytes levelFile(const json& level, const std::string& path) {
    Node d(level, path);
    // What the tests expect of the level, not part of it: the run that plays
    // it and the run that wastes its first borrowed outfit.
    for (const char* run : {"solution", "wasted"})
        if (d.has(run)) d.at(run);
    Bytes bytes = describeLevel(d, true);
    d.finish();
    return bytes;
}

// A level kept in a file of its own ("source": "levels/<name>.json", beside
// the description): the level's fields, objects' fields by name; its
// "solution" and "wasted" are not part of the level.
Bytes describeLevelSource(Node& r, const std::string& directory) {
    Node source = r.at("source");
    const std::string name = source.string();
    namespace fs = std::filesystem;
    const fs::path relative(name);
    const bool inside = !name.empty() && relative.is_relative() &&
                        std::none_of(relative.begin(), relative.end(), [](const fs::path& p) { return p == ".."; });
    if (!inside || relative.extension() != ".json") {
        source.fail("expected a path \"levels/<name>.json\" beside the description");
    }
    std::ifstream in(fs::path(directory) / relative, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) source.fail("cannot be read");
    json level;
    try {
        level = json::parse(text.str());
    } catch (const json::parse_error& e) {
        source.fail(std::string("not JSON: ") + e.what());
    }
    return levelFile(level, source.path());
}

Bytes describeRaw(Node& d, int64_t room) {
    const int given = d.has("hex") + d.has("text") + d.has("size");
    if (given != 1) d.fail("give one of \"hex\", \"text\" or \"size\" (with \"byte\")");
    if (d.has("text")) {
        const std::string text = d.at("text").string();
        return Bytes(text.begin(), text.end());
    }
    if (d.has("size")) {
        const int size = d.integer("size", 0, 16 * 1024 * 1024);
        if (size > room) d.at("size").fail(tooMuch());
        return Bytes(static_cast<size_t>(size), static_cast<uint8_t>(d.integer("byte", 0, 0, 255)));
    }
    Node hex = d.at("hex");
    std::string digits;
    for (char c : hex.string()) {
        if (std::isspace(static_cast<unsigned char>(c))) continue;
        if (!std::isxdigit(static_cast<unsigned char>(c))) hex.fail("expected hexadecimal digits");
        digits += c;
    }
    if (digits.size() % 2 != 0) hex.fail("an odd number of hexadecimal digits");
    Bytes bytes;
    for (size_t i = 0; i < digits.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

// --- packs ----------------------------------------------------------------------

struct Entry {
    PackResource resource;
    std::string seedKind;
    std::string path;
};

void place(std::map<int, Entry>& entries, int index, Entry entry, Node& at) {
    if (!entries.emplace(index, std::move(entry)).second) at.fail("index " + std::to_string(index) + " is used twice");
}

// The pack's number and file layout, with the layout's own fields.
PackDescription describeLayout(Node& root) {
    PackDescription pack;
    pack.number = root.integer("pack", 1, 2097151);
    const std::string layout = root.string("layout", isChunkedPackNumber(pack.number) ? "split" : "plain");
    static const std::map<std::string, PackLayout> kLayouts = {{"plain", PackLayout::Plain},
                                                               {"image", PackLayout::Image},
                                                               {"split", PackLayout::Split},
                                                               {"files", PackLayout::Files}};
    if (!kLayouts.count(layout)) root.at("layout").fail("expected plain, image, split or files");
    pack.layout = kLayouts.at(layout);
    if (pack.layout == PackLayout::Split) {
        pack.parts = root.integer("parts", 1, 1, 65535);
        for (Node& s : root.array("partSizes")) pack.partSizes.push_back(s.integer(0, INT32_MAX));
        pack.partPadding = root.integer("partPadding", 0, 0, 65535);
    }
    if (pack.layout == PackLayout::Split || pack.layout == PackLayout::Files) {
        for (Node& c : root.array("chunks")) pack.chunkOrder.push_back(c.string());
    }
    return pack;
}

// Each resource's index: as given, or one past the one before.
std::vector<int> resourceIndexes(std::vector<Node>& resources) {
    std::vector<int> indexes;
    int next = 0;
    for (Node& r : resources) {
        const int index = r.integer("index", next, 0, 1023);
        indexes.push_back(index);
        next = index + 1;
    }
    return indexes;
}

// What the resources of one pack share while they are described.
struct PackBuild {
    PackDescription pack;
    const std::string& directory;  // the description's folder, where level sources are
    const std::string& fontDirectory;
    Generated& out;
    int64_t room = 0;  // what this run may still write
    Sheets sheets{};
    std::map<int, Entry> entries{};

    bool files() const { return pack.layout == PackLayout::Files; }
    PackModel& model() { return out.models[pack.number]; }
};

// The fields every resource has: its type (default by kind) and, in a pack
// of files, its file.
void describeCommon(PackBuild& b, Node& r, Entry& e, int defaultType) {
    e.resource.type = r.integer("type", defaultType, -128, 127);
    if (b.files()) e.resource.file = r.integer("file", -1, 0, 65535);
    e.path = r.path();
}

// A kind of resource that makes one entry: its seed kind, its default type
// and its data.
struct ResourceKind {
    const char* name;
    const char* seedKind;
    int defaultType;
    Bytes (*data)(PackBuild& b, Node& r, int index);
};

const ResourceKind kResourceKinds[] = {
    {"image", "png", -3,
     [](PackBuild& b, Node& r, int index) {
         Raster raster;
         Bytes data = describeImage(r, raster);
         b.model().images[index] = raster;
         b.sheets.byIndex[index] = std::move(raster);
         return data;
     }},
    {"gobs", "gobs", -1,
     [](PackBuild& b, Node& r, int index) { return describeGobs(r, b.sheets, b.model().gobs[index]); }},
    {"animset", "animset", -1,
     [](PackBuild& b, Node& r, int index) {
         PackModel::Set set;
         Bytes data = describeAnimSet(r, b.model(), set);
         b.model().sets[index] = std::move(set);
         return data;
     }},
    {"text", "text", -6, [](PackBuild& b, Node& r, int) { return describeText(r, b.room); }},
    {"sound", "wav", 1, [](PackBuild&, Node& r, int) { return describeSound(r); }},
    {"music", "midi", 0, [](PackBuild&, Node& r, int) { return describeMusic(r); }},
    {"level", "level", -1,
     [](PackBuild& b, Node& r, int) {
         return r.has("source") ? describeLevelSource(r, b.directory) : describeLevel(r, false);
     }},
    {"raw", "raw", -1, [](PackBuild& b, Node& r, int) { return describeRaw(r, b.room); }},
};

// A font: its Gob records in this entry, and its glyph sheet in the entry
// at its "image" index.
void describeFontEntries(PackBuild& b, Node& r, Entry& e) {
    FontResult font = describeFont(r, b.fontDirectory);
    Entry sheet;
    sheet.resource.data = within(r.path(), [&] { return writePngRgba(font.sheet); });
    sheet.resource.type = r.integer("imageType", -3, -128, 127);
    if (b.files()) sheet.resource.file = r.integer("imageFile", -1, 0, 65535);
    sheet.seedKind = "png";
    sheet.path = r.path();
    const int image = r.integer("image", 0, 1023);
    e.resource.data = within(r.path(), [&] { return writeGobs(image, font.glyphs, true); });
    e.seedKind = "gobs";
    describeCommon(b, r, e, -1);
    b.room -= static_cast<int64_t>(sheet.resource.data.size());
    place(b.entries, image, std::move(sheet), r);
}

// One resource of a kind, placed at its index within what the run may write.
void describeResource(PackBuild& b, Node& r, const std::string& kind, int index) {
    Entry e;
    const auto known = std::find_if(std::begin(kResourceKinds), std::end(kResourceKinds),
                                    [&](const ResourceKind& k) { return kind == k.name; });
    if (kind == "font") {
        describeFontEntries(b, r, e);
    } else if (known != std::end(kResourceKinds)) {
        e.resource.data = known->data(b, r, index);
        e.seedKind = known->seedKind;
        describeCommon(b, r, e, known->defaultType);
    } else {
        r.at("kind").fail("unknown kind \"" + excerpt(kind) +
                          "\" (image, gobs, animset, text, font, sound, music, level, raw)");
    }
    r.integer("index", 0, 0, 1023);
    r.finish();
    b.room -= static_cast<int64_t>(e.resource.data.size());
    if (b.room < 0) r.fail("the resources make " + tooMuch());
    place(b.entries, index, std::move(e), r);
}

// Every index up to the last into the pack, each resource also as a seed;
// gaps are empty resources of type 0.
void listResources(PackBuild& b) {
    const int count = b.entries.empty() ? 0 : b.entries.rbegin()->first + 1;
    for (int i = 0; i < count; ++i) {
        auto found = b.entries.find(i);
        if (found == b.entries.end()) {
            b.pack.resources.push_back(PackResource{0, {}, -1});
        } else {
            b.pack.resources.push_back(found->second.resource);
            const std::string name = std::to_string(b.pack.number) + "-" + std::to_string(i);
            b.out.seeds[found->second.seedKind + "/" + name] = found->second.resource.data;
        }
    }
}

// The pack's files; an error in a resource's field names the resource's own
// path in the description.
std::map<std::string, Bytes> writePackFiles(const PackBuild& b) {
    try {
        return writePack(b.pack);
    } catch (const Error& e) {
        const std::string& field = e.field();
        if (field.rfind("resources[", 0) == 0) {
            const int index = std::stoi(field.substr(10));
            auto found = b.entries.find(index);
            if (found != b.entries.end()) {
                const size_t dot = field.find(']');
                throw Error(found->second.path + field.substr(dot + 1), e.what());
            }
        }
        throw;
    }
}

// The pack's files into the run's output, within what a run may write and
// under names no other description writes.
void addPackFiles(Node& root, std::map<std::string, Bytes>& written, Generated& out) {
    int64_t total = 0;
    for (const auto& files : {std::cref(out.files), std::cref(written)}) {
        for (const auto& [name, data] : files.get()) total += static_cast<int64_t>(data.size());
    }
    if (total > kMaxOutputBytes) root.fail("the pack files make " + tooMuch());
    for (auto& [name, data] : written) {
        if (out.files.count(name)) root.fail("another description writes " + name + " too");
        out.seeds["pack/" + name] = data;
        out.files[name] = std::move(data);
    }
}

void describe(Node& root, const std::string& directory, const std::string& fontDirectory, Generated& out) {
    PackBuild b{describeLayout(root), directory, fontDirectory, out};
    std::vector<Node> resources = root.at("resources").array();
    const std::vector<int> indexes = resourceIndexes(resources);
    b.room = kMaxOutputBytes;
    for (const auto& [name, data] : out.files) b.room -= static_cast<int64_t>(data.size());
    // Images and fonts first, so that Gob records can take their alpha kinds
    // from them.
    for (size_t pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < resources.size(); ++i) {
            const std::string kind = resources[i].at("kind").string();
            const bool first = kind == "image" || kind == "font";
            if (first == (pass == 0)) describeResource(b, resources[i], kind, indexes[i]);
        }
    }
    root.finish();
    listResources(b);
    std::map<std::string, Bytes> written = writePackFiles(b);
    addPackFiles(root, written, out);
}

}  // namespace

void describePack(const std::string& file, const std::string& text, const std::string& fontDirectory, Generated& out) {
    json root;
    try {
        root = parseRefusingDuplicateKeys(text);
    } catch (const json::parse_error& e) {
        throw DescriptionError(file, "", std::string("not JSON: ") + e.what());
    } catch (const Error& e) {
        throw DescriptionError(file, e.field(), e.what());
    }
    try {
        Node node(root, "");
        describe(node, std::filesystem::path(file).parent_path().string(), fontDirectory, out);
    } catch (const Error& e) {
        throw DescriptionError(file, e.field(), e.what());
    }
}

Bytes describeLevelFile(const std::string& file, const std::string& text) {
    json level;
    try {
        level = json::parse(text);
    } catch (const json::parse_error& e) {
        throw DescriptionError(file, "", std::string("not JSON: ") + e.what());
    }
    try {
        return levelFile(level, "");
    } catch (const Error& e) {
        throw DescriptionError(file, e.field(), e.what());
    }
}

Generated generateFolder(const std::string& folder, const std::string& fontDirectory) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::is_directory(folder, error)) throw DescriptionError(folder, "", "not a folder");
    std::vector<fs::path> files;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, error)) {
        if (e.is_regular_file() && e.path().extension() == ".json") files.push_back(e.path());
    }
    if (error) throw DescriptionError(folder, "", error.message());
    std::sort(files.begin(), files.end());
    Generated out;
    for (const fs::path& path : files) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        if (!in) throw DescriptionError(path.string(), "", "cannot be read");
        describePack(path.string(), text.str(), fontDirectory, out);
    }
    return out;
}

}  // namespace assetgen

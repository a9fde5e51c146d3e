#!/usr/bin/env bash
# Builds the fuzz targets in the sanitizer tree (clang, libFuzzer, ASan,
# UBSan: cmake/VessiloSanitizeTree.cmake, the tree of the test command's
# AddressSanitizer stage) and runs each for a bounded time over a small seed
# corpus.
#   FUZZ_TOTAL_SECONDS  the time shared out evenly by all targets (default 180)
#   FUZZ_SECONDS        seconds per target instead (overrides the share)
#   FUZZ_JOBS           parallel compile jobs (default: all processors)
#   FUZZ_BUILD_DIR      the tree (default build-asan)
#   FUZZ_ASSETGEN       the asset generator that makes the tree's resources
#                       (VESSILO_ASSETGEN; the set-up script gives the debug
#                       tree's; empty: the tree's own; unset: as configured)
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${FUZZ_JOBS:-$(nproc)}
if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ is not installed (packages clang, libclang-rt-14-dev)" >&2
  exit 1
fi

tree=${FUZZ_BUILD_DIR:-build-asan}
# A tree configured before with another compiler starts afresh: CMake keeps a
# tree's compiler.
if [ -f "$tree/CMakeCache.txt" ] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang' "$tree/CMakeCache.txt"; then
  rm -rf "$tree/CMakeCache.txt" "$tree/CMakeFiles"
fi
cmake_args=()
[ -n "${FUZZ_ASSETGEN+set}" ] && cmake_args+=("-DVESSILO_ASSETGEN=$FUZZ_ASSETGEN")
cmake -S . -B "$tree" -G Ninja -C cmake/VessiloSanitizeTree.cmake -DVESSILO_WERROR=ON "${cmake_args[@]}" >/dev/null
targets=(fuzz_data_input fuzz_text fuzz_recordstore fuzz_http fuzz_audio fuzz_image fuzz_level fuzz_animset
  fuzz_gobs fuzz_resource_pack fuzz_chunked_pack fuzz_text_table fuzz_png_palette fuzz_font fuzz_level_loader
  fuzz_level_play fuzz_save)
cmake --build "$tree" --target "${targets[@]}" test_assets game_assets -j "$jobs"
total=${FUZZ_TOTAL_SECONDS:-180}
seconds=${FUZZ_SECONDS:-$(( total / ${#targets[@]} > 5 ? total / ${#targets[@]} : 5 ))}

# Seeds from the generated test data set: the build writes every resource of
# assets/test/ by kind into $tree/tests/seeds/<kind>/ (png, gobs, animset,
# text, wav, midi, level, raw, pack). A target whose input is such a file names
# the kinds it reads, `run fuzz_<name> "$corpus" <kind>...` (read, never
# written); one that wants a control byte first copies them into its corpus.
seeds=$tree/tests/seeds

# Each target's corpus folder: `corpus_for fuzz_<name>` makes it and sets
# $corpus, where `seed NAME BYTES` writes a seed (BYTES as printf reads them).
mkdir -p "$tree/artifacts"
corpus_for() { corpus=$tree/corpus/$1; mkdir -p "$corpus"; }
seed() { printf "$2" >"$corpus/seed-$1"; }

# Seeds for the data input target. Byte 0 & 63 is the number of operation
# bytes at the end; 0 reads the content as a run of readUTF() calls.
corpus_for fuzz_data_input
seed utf-ascii '\x00\x00\x05hello\x00\x00'
seed utf-zero '\x00\x00\x02\xc0\x80'
seed utf-euro '\x00\x00\x03\xe2\x82\xac'
seed utf-mixed '\x00\x00\x06A\xc3\xa9\xe2\x82\xac'
seed utf-bad-lead '\x00\x00\x01\x80'
seed utf-bad-continuation '\x00\x00\x02\xc3\x28'
seed utf-cut '\x00\x00\x02\xe2\x82'
seed utf-short '\x00\x00\x05abc'
# Primitives: readInt, readLong, readUnsignedShort, readShort, readChar,
# readByte/readUnsignedByte, readBoolean, readFloat, readDouble.
seed primitives '\x09\x01\x02\x03\x04\x01\x02\x03\x04\x05\x06\x07\x08\xff\xfe\x80\x01\x00\x41\x7f\x80\x01\x3f\x80\x00\x00\x3f\xf0\x00\x00\x00\x00\x00\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09'
# readFully with arguments, skipBytes, skip, mark, reset, read(b, off, len),
# read(), available, readFully(b), a new stream over part of the content.
seed arrays '\x10abcdefghijklmnopqrstuvwxyz0123456789\x0a\x02\x05\x0b\x01\x0d\x10\x0e\x0f\x00\x10\x11\x12\x13\xfe\x03\x0c\x02\x00'

# Runs one target quietly: prints one line with its result, and the fuzzer's
# report only when it found a fault (the input is kept in $tree/artifacts/).
failures=0
trap '((failures == 0)) || exit 1' EXIT
run() { # target, corpus folder, seed kinds...
  local target=$1 corpus=$2 extra=()
  shift 2
  for kind in "$@"; do extra+=("$seeds/$kind"); done
  local log=$tree/fuzz/$target.log
  # The sanitizer's quarantine of freed blocks is kept small: on the image
  # decoder's largest inputs the default one alone reached the memory limit.
  if ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=64 LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp "$tree/fuzz/$target" \
    -max_total_time="$seconds" -timeout=10 -detect_leaks=1 \
    -rss_limit_mb=2048 -artifact_prefix="$tree/artifacts/" -print_final_stats=1 "$corpus" "${extra[@]}" \
    >"$log" 2>&1; then
    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$target: passed (${runs:-?} inputs in $seconds s)"
  else
    grep -vE '^#[0-9]+|^INFO: ' "$log" || true
    echo "$target: FAILED (log $log, input in $tree/artifacts/)"
    failures=$((failures + 1))
  fi
}
run fuzz_data_input "$corpus"

# Seeds for the text target. Byte 0: encoding in the low 3 bits, radix above.
corpus_for fuzz_text
seed decimal '\x50-2147483648'
seed hex '\x80\x7fFFFFFFF'
seed latin1 '\x02caf\xe9'
seed utf8-bad '\x00\xc3\x28\xe2\x82'
seed properties '\x00MIDlet-1: Vessilo, /i.png, ZedIRIvoz\r\nMIDlet-Name: Vessilo\nno colon\n: empty key\n'
run fuzz_text "$corpus"

# Seeds for the record-store target: entries of [kind][name length][name]
# [content length][content]; kind 0 a store file, 1 a database folder, 2 the
# metadata, 3 a database file.
corpus_for fuzz_recordstore
seed records '\x00\x0crecord-1.bin\x03abc\x00\x0crecord-2.bin\x00\x02\x14\x00\x00\x00\x00\x00\x00\x00\x00\x03\x00\x00\x00\x03\x00\x00\x00\x02\x00\x00\x00'
seed uncommitted '\x00\x0crecord-3.bin\x01x\x02\x14\x00\x00\x00\x00\x00\x00\x00\x00\x03\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'
seed strays '\x00\x10record-1.bin.tmp\x01t\x00\x0drecord-01.bin\x01z\x01\x0bstore-%%00E9\x00\x01\x0bstore-%%0041\x00\x03\x07store-x\x00\x01\x0e.deleted-store\x00'
run fuzz_recordstore "$corpus"

# Seeds for the HTTP target. Byte 0: 0 a date, 1 a zone ID, 2 a URL.
corpus_for fuzz_http
seed rfc1123 '\x00Sun, 06 Nov 1994 08:49:37 GMT'
seed rfc850 '\x00Sunday, 06-Nov-94 08:49:37 GMT'
seed asctime '\x00Sun Nov  6 08:49:37 1994'
seed loose '\x0011/6/94 8:49 PM EST (comment (nested)) +0100'
seed zone-colon '\x01GMT+5:30'
seed zone-digits '\x01UTC-1230'
seed url '\x02http://example.test:8080/a/b?q=1#frag'
seed url-https '\x02https://[::1]/'
run fuzz_http "$corpus"

# Seeds for the audio target. Byte 0: bit 0 MIDI (else WAV), bit 1 also play it.
corpus_for fuzz_audio
seed wav-stereo '\x02RIFF\x2c\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x02\x00\x44\xac\x00\x00\x10\xb1\x02\x00\x04\x00\x10\x00data\x08\x00\x00\x00\x01\x00\xff\xff\x02\x00\xfe\xff'
seed wav-mono8-list '\x02RIFF\x36\x00\x00\x00WAVELIST\x04\x00\x00\x00INFOfmt \x10\x00\x00\x00\x01\x00\x01\x00\x11\x2b\x00\x00\x11\x2b\x00\x00\x01\x00\x08\x00data\x05\x00\x00\x00\x80\x90\xa0\x90\x80\x00'
seed midi-note '\x03MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xe0MTrk\x00\x00\x00\x10\x00\xc0\x05\x00\x90\x3c\x64\x83\x60\x80\x3c\x40\x00\xff\x2f\x00'
seed midi-running '\x03MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60MTrk\x00\x00\x00\x19\x00\xff\x51\x03\x07\xa1\x20\x00\x90\x3c\x64\x10\x40\x64\x08\xf0\x02\x7e\xf7\x10\x3c\x00\x00\x40\x00'
# The generated sounds, behind their selector byte.
for f in "$seeds"/wav/*; do { printf '\x00'; cat "$f"; } >"$corpus/gen-wav-${f##*/}"; done
for f in "$seeds"/midi/*; do { printf '\x01'; cat "$f"; } >"$corpus/gen-midi-${f##*/}"; done
run fuzz_audio "$corpus"

# The image decoder: seeds are small PNG files of every colour type behind a
# control byte (bit 0: rewrite the chunk checksums; bits 1-3: a transform).
corpus_for fuzz_image
k=0
for f in fuzz/seeds/fuzz_image/*.png; do
  { printf "$(printf '\\x%02x' $((k % 8 * 2 + 1)))"; cat "$f"; } >"$corpus/seed-$(basename "$f" .png)"
  k=$((k + 1))
done
for f in "$seeds"/png/*; do { printf '\x01'; cat "$f"; } >"$corpus/gen-png-${f##*/}"; done
run fuzz_image "$corpus"

# The level reader. Byte 0 tells how many bits the callbacks read for
# themselves (bits 0-2 the header's, 3-5 each group's, 6-7 times 2 each
# object's); the rest is the level stream.
corpus_for fuzz_level
seed filler '\x9d\x85\xff\xf1\x03\x90\x02\x1f\xff\xd0\x60\x20\x00\x14\x09\x00\x30\x01\x7f\xff\xff\x81\x00\x30\x02\x00\x00\x01\x00\x20\x02\x00\x00\x01\x80\x40\x38\x01\x80\x32\x00\x64\x00\x05\x0e\x8f\xa8\x3c\x00\x04\x00\x08\x00'
seed plain '\x9d\x05\xff\xf1\xe4\x00\x87\xff\xf4\x18\x08\x00\x05\x02\x40\x0c\x00\x5f\xff\xff\xf0\x03\x00\x20\x00\x00\x10\x02\x00\x20\x00\x00\x18\x04\x03\x80\x18\x03\x20\x06\x40\x00\x50\xe8\xfa\x83\xc0\x10\x00\x20'
seed objects-only '\x00\x00\x10\x04\x03\x00\x10\x00\x00\x00\x00\x00\x10\x00'
for f in "$seeds"/level/*; do { printf '\x00'; cat "$f"; } >"$corpus/gen-level-${f##*/}"; done
run fuzz_level "$corpus"

# Animation sets: the input is the whole resource; seeds are the generated
# animation sets.
corpus_for fuzz_animset
printf '\x00\x00\x01\x02\x01\x00\x40\x00\x00\x00\x00\x00\x00\x00\x01\x02\x20\x00\x01\x00\x0a\x00\x0a\x01\xfc\xfc\x08\x08\x01\x00\x01\x64' \
  >"$corpus/seed-one-frame"
run fuzz_animset "$corpus" animset

# Gob records over a 32 x 16 sheet at index 0; seeds are the generated Gob
# records (their image id 0 finds the sheet).
corpus_for fuzz_gobs
printf '\x00\x00\x00\x00\x18\x7f\xe0\x00\x02\xfc\x04\xfc\x04\x00\x10\x00\x00\x10\x10\x08\x08\x01\x01\x02\x02\x05\x05\x06\x06' \
  >"$corpus/seed-two-records"
run fuzz_gobs "$corpus" gobs

# The plain pack reader. Byte 0: bit 0 load mode 1 (table only), bit 1 also
# read an extension table after the pack. Seeds: the generated pack files.
corpus_for fuzz_resource_pack
seed two-resources '\x00\x00\x00\x02\x00\x03\x00\x00\x01\xfd\x00\x00\x00\x03abc'
seed extension '\x02\x00\x00\x02\x00\x01\x00\x02\x00\x00\x00\x00\x00\x03abc\x00\x02\x00\x01xyz'
seed wide-sizes '\x00\x01\x00\x01\x00\x00\x00\x02\x00\x00\x00\x00\x02hi'
for f in "$seeds"/pack/*; do { printf '\x00'; cat "$f"; } >"$corpus/gen-${f##*/}"; done
run fuzz_resource_pack "$corpus"

# The chunked pack open. Part 0, then each further file behind "@@F" and a
# selector byte (bits 0-2 the part number, bits 3-4 the extension: rp, png,
# utf, mid). Seeds: the generated chunked packs, renamed to pack 3.
corpus_for fuzz_chunked_pack
chunked_seed() { # name, pack number
  local out="$corpus/gen-$1" f part ext selector
  cat "$seeds/pack/RP$2part0.rp" >"$out"
  for f in "$seeds"/pack/RP"$2"part[1-7].*; do
    [ -e "$f" ] || continue
    part=${f##*part}; ext=${part#*.}; part=${part%%.*}
    case $ext in rp) selector=0 ;; png) selector=8 ;; utf) selector=16 ;; *) selector=24 ;; esac
    { printf '@@F'; printf "$(printf '\\x%02x' $((part + selector)))"; cat "$f"; } >>"$out"
  done
}
for n in 1 2 3; do [ -e "$seeds/pack/RP${n}part0.rp" ] && chunked_seed "pack$n" "$n"; done
run fuzz_chunked_pack "$corpus"

# The text table. Byte 0: bits 0-1 the size given (the length, 2 more, 2
# fewer, 70000), bit 2 decode every text at once. Seeds: the generated texts.
corpus_for fuzz_text_table
seed three '\x04\x00\x03\x00\x01A\x00\x02\xc3\xa9\x00\x03\xe2\x82\xac'
seed cut '\x00\x00\x01\x00\x02A\xe2'
for f in "$seeds"/text/*; do { printf '\x00'; cat "$f"; } >"$corpus/gen-${f##*/}"; done
run fuzz_text_table "$corpus"

# The PNG chunk walk and palette exchange. Byte 0: bit 0 also try a palette
# one byte too long, bit 1 decode with the palette. Seeds: the generated PNGs.
corpus_for fuzz_png_palette
for f in "$seeds"/png/*; do { printf '\x03'; cat "$f"; } >"$corpus/gen-${f##*/}"; done
run fuzz_png_palette "$corpus"

# A bitmap font and wrapped text. Byte 0: bits 0-2 the transform, 3-5 the
# anchor, bit 6 alpha, bit 7 marks the array unconverted; byte 1 the wrap
# width / 2; byte 2 the glyph count, 8 bytes a glyph; then the text (0x80 CR,
# 0x81 LF, 0x82 space, 0x83 '@', 0x84 '-', 0x85-0x88 digits).
corpus_for fuzz_font
glyphs='\x00\x20\x00\x00\x00\x00\x05\x0c\x00\x21\x00\x02\x06\x08\x07\x09\x00\x01\x00\x02\x06\x08\x07\x04\x00\x01\xff\x02\x06\x08\x07\x00\x00\x01\x00\x02\x06\x48\x07\x0e\x00\x01\x00\x01\x05\x08\x06\x02\x00\x01\x01\x02\x06\x88\x08\x00'
seed plain "\x80\x14\x07${glyphs}AB CD\x81EF\x84\x86\x87 ABCDEF\x83AB"
seed turned "\xf3\x0a\x07${glyphs}ABC\x80\x81\x81DEF \x82 A-B"
seed narrow "\x95\xfe\x07${glyphs}AAAAAAAA BBBB\x81\x81C"
seed too-few '\x80\x14\x03\x00\x41\x00\x00\x02\x02\x03\x00\x00\x01\x00\x00\x02\x02\x03\x00\x00\x01\x00\x00\x02\x02\x03\xffAB'
run fuzz_font "$corpus"

# The game's level loader: the input is a whole level; seeds are the game's
# levels (the build writes them by kind into $tree/game-seeds/) and the test
# data set's (which it refuses).
corpus_for fuzz_level_loader
for f in "$tree"/game-seeds/level/*; do cp "$f" "$corpus/game-level-${f##*/}"; done
run fuzz_level_loader "$corpus" level

# The game's levels played: the input is a whole level, which the game builds
# and plays a few hundred frames of when its loader accepts it, or (first byte
# 0xED) the level file of the next byte with edits of 5 bytes each to its
# objects' fields. Seeds: the game's levels, and each level file with four
# edits drawn from a fixed sequence. An input takes up to a second or so: the
# corpus starts afresh each time, so that reading it back stays within the
# target's share of the time.
rm -rf "$tree/corpus/fuzz_level_play"
corpus_for fuzz_level_play
for f in "$tree"/game-seeds/level/*; do cp "$f" "$corpus/game-level-${f##*/}"; done
x=12345
for n in $(seq 0 11); do
  level=$(printf '\\x%02x' "$n")
  edits=""
  for k in $(seq 1 20); do x=$(( (x * 1103515245 + 12345) % 2147483648 )); edits+=$(printf '\\x%02x' $(( x >> 16 & 255 ))); done
  seed "edits-$n" "\\xed$level$edits"
done
run fuzz_level_play "$corpus"

# The game's save records. Byte 0: the length of store "0" (255: none), then
# its bytes; the rest is store "1".
corpus_for fuzz_save
seed first-run '\xff'
seed restored '\x08\x00\x00\x00\x02\x00\x00\x00\x01\x01\x00\x00\x00\x05\x00'
seed short '\x07\x00\x00\x00\x02\x00\x00\x00\x01\x00\x00\x05'
seed wide '\x08\xff\xff\xff\xff\x7f\xff\xff\xff\x00\x80\x00\x00\x00\x00'
run fuzz_save "$corpus"

#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) into build-fuzz
# and runs each for a bounded time over a small seed corpus.
#   FUZZ_TOTAL_SECONDS  the time shared out evenly by all targets (default 180)
#   FUZZ_SECONDS        seconds per target instead (overrides the share)
#   FUZZ_JOBS           parallel compile jobs (default: all processors)
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${FUZZ_JOBS:-$(nproc)}
if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ is not installed (packages clang, libclang-rt-14-dev)" >&2
  exit 1
fi

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVESSILO_FUZZ=ON -DVESSILO_TESTS=OFF -DVESSILO_BENCH=OFF >/dev/null
targets=(fuzz_data_input fuzz_text fuzz_recordstore fuzz_http fuzz_audio fuzz_image)
cmake --build build-fuzz --target "${targets[@]}" -j "$jobs"
total=${FUZZ_TOTAL_SECONDS:-180}
seconds=${FUZZ_SECONDS:-$(( total / ${#targets[@]} > 5 ? total / ${#targets[@]} : 5 ))}

# Seeds for the data input target. Byte 0 & 63 is the number of operation
# bytes at the end; 0 reads the content as a run of readUTF() calls.
corpus=build-fuzz/corpus/fuzz_data_input
mkdir -p "$corpus" build-fuzz/artifacts
seed() { printf "$2" >"$corpus/seed-$1"; }
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
# report only when it found a fault (the input is kept in build-fuzz/artifacts/).
failures=0
trap '((failures == 0)) || exit 1' EXIT
run() { # target, corpus folder
  local log=build-fuzz/$1.log
  if ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp "build-fuzz/fuzz/$1" -max_total_time="$seconds" -timeout=10 -detect_leaks=1 \
    -rss_limit_mb=2048 -artifact_prefix=build-fuzz/artifacts/ -print_final_stats=1 "$2" >"$log" 2>&1; then
    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$1: passed (${runs:-?} inputs in $seconds s)"
  else
    grep -vE '^#[0-9]+|^INFO: ' "$log" || true
    echo "$1: FAILED (log $log, input in build-fuzz/artifacts/)"
    failures=$((failures + 1))
  fi
}
run fuzz_data_input "$corpus"

# Seeds for the text target. Byte 0: encoding in the low 3 bits, radix above.
corpus=build-fuzz/corpus/fuzz_text
mkdir -p "$corpus"
seed() { printf "$2" >"$corpus/seed-$1"; }
seed decimal '\x50-2147483648'
seed hex '\x80\x7fFFFFFFF'
seed latin1 '\x02caf\xe9'
seed utf8-bad '\x00\xc3\x28\xe2\x82'
seed properties '\x00MIDlet-1: Vessilo, /i.png, ZedIRIvoz\r\nMIDlet-Name: Vessilo\nno colon\n: empty key\n'
run fuzz_text "$corpus"

# Seeds for the record-store target: entries of [kind][name length][name]
# [content length][content]; kind 0 a store file, 1 a database folder, 2 the
# metadata, 3 a database file.
corpus=build-fuzz/corpus/fuzz_recordstore
mkdir -p "$corpus"
seed() { printf "$2" >"$corpus/seed-$1"; }
seed records '\x00\x0crecord-1.bin\x03abc\x00\x0crecord-2.bin\x00\x02\x14\x00\x00\x00\x00\x00\x00\x00\x00\x03\x00\x00\x00\x03\x00\x00\x00\x02\x00\x00\x00'
seed uncommitted '\x00\x0crecord-3.bin\x01x\x02\x14\x00\x00\x00\x00\x00\x00\x00\x00\x03\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'
seed strays '\x00\x10record-1.bin.tmp\x01t\x00\x0drecord-01.bin\x01z\x01\x0bstore-%%00E9\x00\x01\x0bstore-%%0041\x00\x03\x07store-x\x00\x01\x0e.deleted-store\x00'
run fuzz_recordstore "$corpus"

# Seeds for the HTTP target. Byte 0: 0 a date, 1 a zone ID, 2 a URL.
corpus=build-fuzz/corpus/fuzz_http
mkdir -p "$corpus"
seed() { printf "$2" >"$corpus/seed-$1"; }
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
corpus=build-fuzz/corpus/fuzz_audio
mkdir -p "$corpus"
seed() { printf "$2" >"$corpus/seed-$1"; }
seed wav-stereo '\x02RIFF\x2c\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x02\x00\x44\xac\x00\x00\x10\xb1\x02\x00\x04\x00\x10\x00data\x08\x00\x00\x00\x01\x00\xff\xff\x02\x00\xfe\xff'
seed wav-mono8-list '\x02RIFF\x36\x00\x00\x00WAVELIST\x04\x00\x00\x00INFOfmt \x10\x00\x00\x00\x01\x00\x01\x00\x11\x2b\x00\x00\x11\x2b\x00\x00\x01\x00\x08\x00data\x05\x00\x00\x00\x80\x90\xa0\x90\x80\x00'
seed midi-note '\x03MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xe0MTrk\x00\x00\x00\x10\x00\xc0\x05\x00\x90\x3c\x64\x83\x60\x80\x3c\x40\x00\xff\x2f\x00'
seed midi-running '\x03MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60MTrk\x00\x00\x00\x19\x00\xff\x51\x03\x07\xa1\x20\x00\x90\x3c\x64\x10\x40\x64\x08\xf0\x02\x7e\xf7\x10\x3c\x00\x00\x40\x00'
run fuzz_audio "$corpus"

# The image decoder: seeds are small PNG files of every colour type behind a
# control byte (bit 0: rewrite the chunk checksums; bits 1-3: a transform).
corpus=build-fuzz/corpus/fuzz_image
mkdir -p "$corpus"
k=0
for f in fuzz/seeds/fuzz_image/*.png; do
  { printf "$(printf '\\x%02x' $((k % 8 * 2 + 1)))"; cat "$f"; } >"$corpus/seed-$(basename "$f" .png)"
  k=$((k + 1))
done
run fuzz_image "$corpus"

#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) into build-fuzz
# and runs each for a bounded time over a small seed corpus.
#   FUZZ_SECONDS  seconds per target (default 60)
#   FUZZ_JOBS     parallel compile jobs (default: all processors)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
jobs=${FUZZ_JOBS:-$(nproc)}
if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ is not installed (packages clang, libclang-rt-14-dev)" >&2
  exit 1
fi

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVESSILO_FUZZ=ON -DVESSILO_TESTS=OFF -DVESSILO_BENCH=OFF >/dev/null
cmake --build build-fuzz --target fuzz_data_input fuzz_text -j "$jobs"

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
  if ASAN_OPTIONS=detect_leaks=1 "build-fuzz/fuzz/$1" -max_total_time="$seconds" -timeout=10 -detect_leaks=1 \
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

#!/usr/bin/env bash
# Builds the DvFrameReader fuzz target with clang's libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer, outside the normal build, and runs it.
#
#   tests/dvshared/fuzz/run-fuzz.sh [seconds] [build folder]
#
# The corpus starts from real frames cut from short ffmpeg clips.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/../../.." && pwd)
out=${2:-$root/build-fuzz}
cxx=${CXX_FUZZ:-clang++}
mkdir -p "$out/corpus"

"$cxx" -std=c++20 -g -O1 -Wall -Wextra -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root" \
    "$root/tests/dvshared/fuzz/dv_frame_reader_fuzz.cpp" \
    "$root/dvshared/dv_frame_reader.cpp" \
    "$root/dvshared/frame_queue.cpp" \
    "$root/platform/com/bstr.cpp" "$root/platform/com/utf.cpp" \
    -o "$out/fuzz_dv_frame_reader"

if [ -z "$(ls -A "$out/corpus")" ]; then
    for system in "720x576:rate=25 -pix_fmt yuv420p" "720x480:rate=30000/1001 -pix_fmt yuv411p"; do
        size=${system%% *}
        # shellcheck disable=SC2086
        ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i "testsrc=size=$size" \
            -frames:v 1 ${system#* } -c:v dvvideo -metadata creation_time=2024-03-15T13:45:56Z \
            -timecode 01:02:03:04 -f dv "$out/corpus/${size%%:*}.dv"
    done
fi

"$out/fuzz_dv_frame_reader" -max_len=150000 -max_total_time="$seconds" -print_final_stats=1 "$out/corpus"

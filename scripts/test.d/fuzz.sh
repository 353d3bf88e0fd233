#!/usr/bin/env bash
# Builds the memory list reader's fuzz target with clang and runs it for a
# bounded time. A crash, a sanitizer report or a failed round trip exits
# non-zero.
set -euo pipefail
cd "$(dirname "$0")/../.."

cmake -S tests/fuzz -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/fuzz -j "$(nproc)"

corpus=build/fuzz/corpus
mkdir -p "$corpus"
printf '#;Frequency;Name;Mode;Filter;Duplex;Tx Frequency;Repeater Tone;Tone Squelch;Select;Changed\r\n1;    145,500;CALL;FM;Normal;Simp;"";"";"";0;0\r\n' \
  >"$corpus/seed-example"
printf '1;2;"a;""b";"""CQ";x;;;;;;"a""b"\r\nP1;"no close;z\n"\r\r' >"$corpus/seed-quotes"

build/fuzz/memory_list_fuzz -max_total_time="${FUZZ_SECONDS:-25}" -max_len=4096 \
  -artifact_prefix=build/fuzz/ "$corpus"

#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time: the
# memory list reader, the frame assembler with the dispatcher and engine
# behind it, memory decoding followed by filling a rig row, and the CHIRP
# list import into both tables with the export of what went in. A crash, a
# sanitizer report or a broken property exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/../.."

cmake -S tests/fuzz -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/fuzz -j "$(nproc)"

# CI keeps the whole run within its time limit.
if [ "${CI:-}" = true ]; then seconds=${FUZZ_SECONDS:-15}; else seconds=${FUZZ_SECONDS:-20}; fi

# Each target: its name, the longest input worth trying, and seed inputs.
run() {
  local target=$1 maxlen=$2
  local corpus=build/fuzz/corpus-$target
  mkdir -p "$corpus"
  shift 2
  local i=0
  for seed in "$@"; do
    printf "$seed" >"$corpus/seed-$i"
    i=$((i + 1))
  done
  echo "== $target"
  local log=build/fuzz/$target.log status=0
  "build/fuzz/$target" -max_total_time="$seconds" -max_len="$maxlen" \
    -artifact_prefix=build/fuzz/ "$corpus" >"$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$log"
    return "$status"
  fi
  grep -E '^Done ' "$log"
}

run memory_list_fuzz 4096 \
  '#;Frequency;Name;Mode;Filter;Duplex;Tx Frequency;Repeater Tone;Tone Squelch;Select;Changed\r\n1;    145,500;CALL;FM;Normal;Simp;"";"";"";0;0\r\n' \
  '1;2;"a;""b";"""CQ";x;;;;;;"a""b"\r\nP1;"no close;z\n"\r\r'

# Model IC-756Pro (2), a read: the echo, a memory answer, an OK, an ID.
run frame_dispatch_fuzz 2048 \
  '\x02\x00\xfe\xfe\x5c\xe0\x1a\x00\x00\x01\xfd\xfe\xfe\xe0\x5c\x1a\x00\x00\x01\x00\x00\x50\x14\x00\x01\x02\x00\x00\x08\x85\x00\x08\x85\x43\x51\x20\x20\x20\x20\x20\x20\x20\x20\xfd\xfe\xfe\xe0\x5c\xfb\xfd\xfe\xfe\x00\x5c\x19\x00\x5c\xfd' \
  '\x00\x01\xfe\xfe\xe0\x56\xfb\xfd\xfe\xfe\xe0\x56\x03\x00\x00\x70\x14\x00\xfd'

# One memory answer per model, from the sub-command on.
run memory_decode_fuzz 256 \
  '\x00\x00\x00\x05\x00\x00\x50\x14\x00\x01\x02\x12\x00\x08\x85\x00\x10\x00\x00\x00\x50\x14\x00\x01\x02\x12\x00\x08\x85\x00\x10\x00CONTEST  ' \
  '\x02\x00\x00\x07\x03\x00\x50\x14\x00\x01\x02\x10\x00\x08\x85\x00\x08\x85NAME      ' \
  '\x04\x00\x02\x01\x02\x00\x00\x50\x45\x01\x05\x02\x21\x00\x08\x85\x00\x10\x00\x00\x60\x00'

# The model's pick, then a list: a newer CHIRP list and one with odd fields.
run chirp_csv_fuzz 4096 \
  '\x00Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,Mode\r\n1,RPT,145.000000,-,0.600000,Tone,88.5,88.5,FM\r\n2,HF,7.050000,,0.000000,,88.5,88.5,LSB\r\n' \
  '\x03Name,Frequency,Duplex,Offset\n"a,""b",145.5,split,146.1\n,,,\n"open,1\r\n'

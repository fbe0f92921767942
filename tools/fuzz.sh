#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz/ and runs each for SECONDS
# (default 60), one after another. New inputs go to build-fuzz/corpus/<target>,
# crashes to build-fuzz/crashes/, a log per target to build-fuzz/<target>.log.
#   tools/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(collection cp932 drives cmdline mcistring settings cuesheet toc)
build="$root/build-fuzz"

missing=()
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++
fi
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

# Seeds that are not text, made here rather than kept as files: Shift-JIS
# entries and settings, a file name that is not UTF-8.
seeds="$build/seeds"
mkdir -p "$seeds"/{collection,cp932,drives,cmdline,mcistring,settings,cuesheet,toc}
printf 'C:\\MIDI\\\x83\x5c\x83\x93\x83\x4f.mid\r\nE:\\ CD\xc4\xd7\xaf\xb8 03\r\n' > "$seeds/collection/sjis.lst"
printf '\xed\x40\xfa\x5c\x81\x5f\x88\x9f\x82\xa0\x80\xa0\xfd\xfe\xff\x83' > "$seeds/cp932/sjis"
printf '[Drives]\nQ=/home/me/\x83\x5c\x83\x93\x83\x4f.cue\n[Settings]\nHistory1=/\x83\x5c\n' > "$seeds/settings/sjis.conf"
printf 'FILE "\x83\x5c\x83\x93\x83\x4f.wav" WAVE\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n' > "$seeds/cuesheet/sjis.cue"
printf 'CD_DA\nTRACK AUDIO\nFILE "\x83\x5c\x83\x93\x83\x4f.cdr" 0\n' > "$seeds/toc/sjis.toc"
printf 'SC=%%ROOT%%\nC:\\MIDI\\\x83\x5c\x83\x93\x83\x4f.MID\nC:\\midi\\\x83\x5c\x83\x93\x83\x4f.mid\n' > "$seeds/drives/sjis"

mkdir -p "$build/crashes"
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  echo "== fuzz_$target for ${seconds}s"
  "$build/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/crashes/$target-" \
    "$corpus" "$root/fuzz/corpus/$target" "$seeds/$target" 2>&1 | tee "$build/$target.log" | grep -E '^(#[0-9]+ +DONE|stat::|==[0-9]+==ERROR|SUMMARY)' || true
  rm -rf /dev/shm/lirabox-fuzz-"$target"-* "${TMPDIR:-/tmp}"/lirabox-fuzz-"$target"-*
done

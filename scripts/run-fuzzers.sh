#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, fuzz preset, build-fuzz/) and runs
# each for a bounded time on a seed corpus taken from tests/data.
#   FUZZ_SECONDS  time per target (default 60)
#   FUZZ_JOBS     parallel fuzzing processes per target (default 1)
# Findings (crash-*, leak-*, timeout-*) land in build-fuzz/findings/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
jobs=${FUZZ_JOBS:-1}

# clang and its libFuzzer runtime are needed only here, not by `make run`.
missing=()
for p in clang libclang-rt-dev; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update
  "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake --preset fuzz
cmake --build --preset fuzz -j "$(nproc 2>/dev/null || echo 2)" --target fuzz_bmp_reader fuzz_jpeg_reader fuzz_tiff_reader fuzz_exif fuzz_png_reader

# Seeds: the test files of each format (a copy, since libFuzzer adds to it).
seed() {
  local name=$1; shift
  local dir=build-fuzz/corpus/$name
  mkdir -p "$dir"
  for f in "$@"; do cp -n "$f" "$dir/" 2>/dev/null || true; done
  echo "$dir"
}
bmp_corpus=$(seed bmp tests/data/bmpsuite/*/*.bmp)
jpeg_corpus=$(seed jpeg tests/data/jpeg/*.jpg)
png_corpus=$(seed png tests/data/pngsuite/*.png)
tiff_corpus=$(seed tiff tests/data/tiff/*.tif)
# No test file carries Exif, so the seeds are two APP1 payloads written
# here: orientation 6 and 72 dpi, little- and big-endian.
exif_corpus=$(seed exif)
printf 'Exif\0\0II\x2a\0\x08\0\0\0\x04\0'\
'\x12\x01\x03\0\x01\0\0\0\x06\0\0\0''\x1a\x01\x05\0\x01\0\0\0\x3e\0\0\0'\
'\x1b\x01\x05\0\x01\0\0\0\x46\0\0\0''\x28\x01\x03\0\x01\0\0\0\x02\0\0\0'\
'\0\0\0\0''\x48\0\0\0\x01\0\0\0''\x48\0\0\0\x01\0\0\0' > "$exif_corpus/seed-ii"
printf 'Exif\0\0MM\0\x2a\0\0\0\x08\0\x04'\
'\x01\x12\0\x03\0\0\0\x01\0\x06\0\0''\x01\x1a\0\x05\0\0\0\x01\0\0\0\x3e'\
'\x01\x1b\0\x05\0\0\0\x01\0\0\0\x46''\x01\x28\0\x03\0\0\0\x01\0\x02\0\0'\
'\0\0\0\0''\0\0\0\x48\0\0\0\x01''\0\0\0\x48\0\0\0\x01' > "$exif_corpus/seed-mm"

status=0
run() {
  local target=$1 corpus=$2; shift 2
  local findings=build-fuzz/findings/$target
  mkdir -p "$findings"
  echo "== $target for ${seconds} s (corpus $corpus)"
  # Each input gets at most 10 s and 2 GiB; libjpeg's warnings are dropped
  # (close_fd_mask=2 keeps libFuzzer's and the sanitizers' own reports).
  local parallel=()
  if [ "$jobs" -gt 1 ]; then parallel=(-jobs="$jobs" -workers="$jobs"); fi
  if ! "./build-fuzz/bin/$target" "$corpus" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      "${parallel[@]}" -artifact_prefix="$findings/" -print_final_stats=1 "$@"; then
    echo "!! $target found a problem; see $findings/"
    status=1
  fi
}
run fuzz_bmp_reader "$bmp_corpus" -max_len=65536
run fuzz_jpeg_reader "$jpeg_corpus" -max_len=32768 -close_fd_mask=2
run fuzz_tiff_reader "$tiff_corpus" -max_len=32768
run fuzz_exif "$exif_corpus" -max_len=65533
run fuzz_png_reader "$png_corpus" -max_len=16384
exit $status

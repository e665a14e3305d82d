#!/bin/sh
# Builds the in-memory table's fuzz targets (libFuzzer + AddressSanitizer).
# Not part of the normal build: run by hand, e.g.
#   fuzz/build.sh && /tmp/vqfuzz/VqMemTableBinaryFuzz -max_total_time=180
# The load target applies the readers to a live table, which reports
# errors through the application object: it links the user-interface
# layer as the tree's build made it (scripts/build.sh first; BUILD names
# another build folder), with the libraries that layer links: keep the
# list below in step with platform_ui's in CMakeLists.txt. Only the
# table's own sources are instrumented.
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=${OUT:-/tmp/vqfuzz}
BUILD=${BUILD:-$ROOT/build}
mkdir -p "$OUT"
FLAGS="-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I$ROOT -I$ROOT/platform/core"
SRCS="$ROOT/vq/VqMemTableFormat.cpp $ROOT/platform/core/Gbk.cpp"
for lib in platform_ui platform_db platform_core; do
  if [ ! -f "$BUILD/lib$lib.a" ]; then
    echo "fuzz/build.sh: $BUILD/lib$lib.a is missing; run scripts/build.sh first" >&2
    exit 1
  fi
done
# The file format's dates use the core's civil-date conversion.
for t in VqMemTableTextFuzz VqMemTableBinaryFuzz; do
  clang++ $FLAGS -o "$OUT/$t" "$ROOT/fuzz/$t.cpp" $SRCS "$BUILD/libplatform_core.a"
done
clang++ $FLAGS -I$ROOT/platform/db -I$ROOT/platform/ui -o "$OUT/VqMemTableLoadFuzz" \
  "$ROOT/fuzz/VqMemTableLoadFuzz.cpp" "$ROOT/vq/VqMemTable.cpp" "$ROOT/vq/VqMemTableFormat.cpp" \
  "$BUILD/libplatform_ui.a" "$BUILD/libplatform_db.a" "$BUILD/libplatform_core.a" \
  $(pkg-config --libs Qt6Widgets Qt6PrintSupport Qt6Charts) -ljpeg -lsqlite3 -lcups -lxcb -lpthread

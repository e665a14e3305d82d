#!/bin/sh
# Builds the in-memory table's fuzz targets (libFuzzer + AddressSanitizer).
# Not part of the normal build: run by hand, e.g.
#   fuzz/build.sh && /tmp/vqfuzz/VqMemTableBinaryFuzz -max_total_time=180
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=${OUT:-/tmp/vqfuzz}
mkdir -p "$OUT"
FLAGS="-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I$ROOT -I$ROOT/platform/core"
SRCS="$ROOT/vq/VqMemTableFormat.cpp $ROOT/platform/core/Gbk.cpp"
for t in VqMemTableTextFuzz VqMemTableBinaryFuzz; do
  clang++ $FLAGS -o "$OUT/$t" "$ROOT/fuzz/$t.cpp" $SRCS
done
# The readers applied to a live table need the runtime and data-set layers
# (no user interface).
TABLE_SRCS="$ROOT/vq/VqMemTable.cpp $ROOT/vq/VqMemTableFormat.cpp $ROOT/platform/core/*.cpp
  $ROOT/platform/db/DataSet.cpp $ROOT/platform/db/Fields.cpp $ROOT/platform/db/DataLink.cpp
  $ROOT/platform/db/Filter.cpp"
clang++ $FLAGS -I$ROOT/platform/db -o "$OUT/VqMemTableLoadFuzz" "$ROOT/fuzz/VqMemTableLoadFuzz.cpp" $TABLE_SRCS

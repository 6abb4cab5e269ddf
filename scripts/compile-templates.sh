#!/usr/bin/env bash
# Compiles every description source in data/ (NAME.hdl with NAME.ddl) into data/NAME.tdl with
# the program's own command-line compiler, then gives the files in data/ both validation lines.
# The tests check that data/ holds exactly this output (tests/core/compiler/shippeddata_test.cpp,
# tests/app/commandline_test.cpp): run this after changing a source.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target tedsmith test_core_compiler_shippeddata_test
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A program folder with the lists: the compile runs start-up as a normal start does.
mkdir -p "$work/program" "$work/src" "$work/profile"
cp build/app/tedsmith data/TagList.xdl data/ManufacturerList.xdl "$work/program/"
# The calibration sources compile with the header of the standard library: their headers are
# copies of it.
for ddl in data/IEEE_Calibration_*.ddl; do
  cp data/IEEE_Templates.hdl "${ddl%.ddl}.hdl"
done
for ddl in data/*.ddl; do
  name=$(basename "$ddl" .ddl)
  cp "data/$name.hdl" "data/$name.ddl" "$work/src/"
  (cd "$work/program" && AllUsersProfile="$work/profile" TEDSMITH_NO_DIALOGS=1 QT_QPA_PLATFORM=offscreen \
     ./tedsmith "$work/src/$name.ddl")
  cp "$work/src/$name.tdl" "data/$name.tdl"
  echo "compiled data/$name.tdl"
done
TEDSMITH_REGENERATE_DATA=1 build/tests/core/compiler/test_core_compiler_shippeddata_test \
  --gtest_filter=ShippedDataTest.CompiledFileIsTheCompiledSource

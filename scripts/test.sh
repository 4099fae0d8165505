#!/bin/sh
# Installs what is missing, builds everything with warnings as errors and runs every test.
set -e
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_WERROR=ON -DVX_TESTS=ON -DVX_BENCH=ON
cmake --build build
ctest --test-dir build --output-on-failure --no-tests=error

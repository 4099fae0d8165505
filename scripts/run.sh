#!/bin/sh
# Installs what is missing, builds the program and starts it.
set -e
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_WERROR=OFF -DVX_TESTS=OFF -DVX_BENCH=OFF
cmake --build build --target vornadex
exec ./build/app/vornadex

#!/usr/bin/env bash
# Applies .clang-format to every C++ source of the project (tracked and new files).
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -co --exclude-standard -- '*.cpp' '*.h' | xargs -r clang-format -i

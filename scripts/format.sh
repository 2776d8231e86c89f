#!/usr/bin/env bash
# Applies .clang-format to every C++ source of the project (tracked and new files).
#   bash scripts/format.sh           # rewrites the files in place
#   bash scripts/format.sh --check   # changes nothing; fails naming each file it would change
# The fuzz corpora are inputs, not sources, and are left as they are.
set -euo pipefail
cd "$(dirname "$0")/.."
sources() {
    git ls-files -co --exclude-standard -- '*.cpp' '*.h' \
        ':!:tests/fuzz/corpus/**' ':!:tests/fuzz/regressions/**'
}
if [ "${1:-}" = --check ]; then
    sources | xargs -r clang-format --dry-run --Werror
else
    sources | xargs -r clang-format -i
fi

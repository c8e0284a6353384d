#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every source file names its licence in its first two lines (REUSE style).
set -euo pipefail
cd "$(dirname "$0")/.."
missing=0
while IFS= read -r -d '' f; do
    head -n 2 "$f" | grep -q 'SPDX-License-Identifier: GPL-3.0-or-later' || {
        echo "no SPDX line: $f"
        missing=1
    }
done < <(find src tools tests e2e bench scripts data packaging -type f \
    \( -name '*.cpp' -o -name '*.h' -o -name '*.sh' -o -name '*.cmake' -o -name '*.svg' \
    -o -name CMakeLists.txt \) -print0) 
for f in CMakeLists.txt Makefile .ci/run; do
    head -n 2 "$f" | grep -q 'SPDX-License-Identifier' || { echo "no SPDX line: $f"; missing=1; }
done
exit "$missing"

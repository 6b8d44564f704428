#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite (widgets offscreen).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j2 --timeout 600

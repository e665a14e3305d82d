#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on its database.
# An existing Data/ombry.dat is never replaced: it holds the library's data.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh
bash scripts/build.sh
exec "${BUILD_DIR:-build}/program/quillory" "$@"

#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/tools/setup.sh"
InstallMissing
ConfigureAndBuild "$root"
cd "$root/build"
ctest --output-on-failure -j2 --timeout 300

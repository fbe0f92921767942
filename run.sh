#!/usr/bin/env bash
# Installs what is missing, builds, and starts the player.
# Without arguments it plays the demo collection made under build/demo.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/tools/setup.sh"
InstallMissing
ConfigureAndBuild "$root"
if [ $# -eq 0 ] && [ -x "$root/build/make-demo" ]; then
  "$root/build/make-demo" "$root/build/demo"
  export LIRABOX_DRIVES="Q=$root/build/demo/demo-disc.cue${LIRABOX_DRIVES:+;$LIRABOX_DRIVES}"
  exec "$root/build/lirabox" "$root/build/demo/demo.lst"
fi
exec "$root/build/lirabox" "$@"

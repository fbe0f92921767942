#!/usr/bin/env bash
# Installs what is missing, builds the player and the demo maker, and starts
# the player. Without arguments it plays the demo collection made under
# build/demo; a collection given to it may use the demo disc as drive Q:.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/tools/setup.sh"
InstallMissing
ConfigureAndBuild "$root" lirabox make-demo

demo="$root/build/demo"
if [ $# -eq 0 ] || [ ! -f "$demo/demo.lst" ]; then
  "$root/build/make-demo" "$demo"
fi

# Whether a drive letter is taken by LIRABOX_DRIVES or the [Drives] group of the settings.
DriveMapped() {
  local letter="$1"
  local settings="${XDG_CONFIG_HOME:-$HOME/.config}/Quenda/Lirabox.conf"
  tr ';' '\n' <<<"${LIRABOX_DRIVES:-}" | grep -qi "^[[:space:]]*$letter=" && return 0
  [ -f "$settings" ] && awk -v letter="$letter" '
    /^\[/ { drives = ($0 ~ /^\[Drives\][[:space:]]*$/) }
    drives && toupper(substr($0, 1, 2)) == letter "=" { found = 1 }
    END { exit !found }' "$settings"
}

if [ $# -eq 0 ]; then
  # The demo collection's CD tracks are on Q:, whatever else is mapped there.
  export LIRABOX_DRIVES="${LIRABOX_DRIVES:+$LIRABOX_DRIVES;}Q=$demo/demo-disc.cue"
  exec "$root/build/lirabox" "$demo/demo.lst"
fi
if [ -f "$demo/demo-disc.cue" ] && ! DriveMapped Q; then
  export LIRABOX_DRIVES="${LIRABOX_DRIVES:+$LIRABOX_DRIVES;}Q=$demo/demo-disc.cue"
fi
exec "$root/build/lirabox" "$@"

#!/bin/bash
# Renders the pictures of bundled puzzles shown in the README with zarvos-cli
# from a build folder (default build/release), the board as a player sees it
# after loading. Run by hand after the look of a puzzle changed:
#   bash tools/screenshots.sh [BUILDDIR]
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build/release}/bin
mkdir -p docs/screenshots
for name in "Roter Esel" Festung Rangierbahnhof; do
    out=docs/screenshots/$(tr 'A-Z ' 'a-z-' <<<"$name").png
    QT_QPA_PLATFORM=offscreen "$bin/zarvos-cli" --root "$bin" render "$name.zrv" "$out"
done

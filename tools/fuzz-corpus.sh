#!/usr/bin/env bash
# Seeds the fuzz targets' corpora from the bundled game: scenes, their conditions and
# messages, the item list, and save files written by a short run of the game.
set -euo pipefail
corpus=${1:?usage: fuzz-corpus.sh CORPUS_DIR}
root=$(cd "$(dirname "$0")/.." && pwd)
for target in scanner condition layout itemlist savefile pagesave scene; do mkdir -p "$corpus/$target"; done
cp "$root"/game/script/*.txt "$corpus/scene/"
cp "$root"/game/script/*.txt "$corpus/scanner/"
cp "$root/game/script/itemlist.txt" "$corpus/itemlist/"
grep -h -E '^(if|\}elseif|while|\} while|change)' "$root"/game/script/*.txt | split -l 1 - "$corpus/condition/seed-"
grep -h '^\[' "$root"/game/script/*.txt | split -l 1 - "$corpus/layout/seed-"
# Save files: a resume record and a slot record from a run through the hut's save point.
replay="$root/build/tessarc-replay"
if [ -x "$replay" ]; then
  scratch=$(mktemp -d)
  cp -r "$root/game/." "$scratch/"
  rm -rf "$scratch/save"
  "$replay" --dir "$scratch" "$root/tests/playthrough/save_slot.txt" >/dev/null 2>&1 || true
  for f in "$scratch"/save/[0-3]*; do [ -f "$f" ] && cp "$f" "$corpus/savefile/seed-$(basename "$f")"; done
  # Page saves: the automatic ones of that run (its scene starts and its quit).
  for f in "$scratch"/save/auto*; do [ -f "$f" ] && cp "$f" "$corpus/pagesave/seed-$(basename "$f")"; done
  rm -rf "$scratch"
fi

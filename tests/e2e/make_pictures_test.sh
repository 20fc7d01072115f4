#!/usr/bin/env bash
# The picture script still works: it writes a picture of each program's
# window, at least as large as the canvas, and the session transcript that
# docs/session.txt and the README's walk-through show.
set -euo pipefail
root=$1 out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
PROGRAMS_DIR=$2 "$root/scripts/make-pictures" "$out" >/dev/null
for name in pelmora corvell tavrine sunnaq; do
  read -r width height < <(pngtopnm "$out/$name.png" | sed -n 2p)
  [ "$width" -ge 640 ] && [ "$height" -ge 360 ] || { echo "FAIL: $name.png is ${width}x$height"; exit 1; }
done
diff -u "$root/docs/session.txt" "$out/session.txt"
diff -u <(sed -n '/^## Walk-through/,/^## /p' "$root/README.md" | sed -n '/^```$/,/^```$/p' | sed '1d;$d') \
  "$out/session.txt"

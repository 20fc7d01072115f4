#!/usr/bin/env bash
# The picture script still works: it runs the four programs, writes four
# PNG pictures of their windows and the same session transcript as the one
# in docs/. The pictures are compared with docs/ only as a note: fonts and
# window decorations may differ from machine to machine.
set -euo pipefail
root=$1 programs=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
PROGRAMS_DIR=$programs "$root/scripts/make-pictures" "$out" >/dev/null
status=0
for name in pelmora corvell tavrine sunnaq; do
  png=$out/$name.png
  if [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" != 89504e470d0a1a0a ]; then
    echo "FAIL: $name.png is not a PNG picture"
    status=1
    continue
  fi
  # IHDR width and height, big-endian at bytes 16 to 23: at least the canvas.
  read -r width height < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  if [ "$width" -lt 640 ] || [ "$height" -lt 360 ]; then
    echo "FAIL: $name.png is ${width}x${height}, smaller than the 640x360 canvas"
    status=1
  fi
  cmp -s "$png" "$root/docs/$name.png" || echo "note: $name.png differs from docs/$name.png (fonts or decorations?)"
done
if ! diff -u "$root/docs/session.txt" "$out/session.txt"; then
  echo "FAIL: the session transcript differs from docs/session.txt"
  status=1
fi
# The README's walk-through is that transcript.
if ! diff -u <(sed -n '/^## Walk-through/,/^## /p' "$root/README.md" | sed -n '/^```$/,/^```$/p' | sed '1d;$d') \
     "$out/session.txt"; then
  echo "FAIL: the README's walk-through is not the session the script ran"
  status=1
fi
exit $status

#!/usr/bin/env bash
# The picture script still works: it writes a picture of each program's
# window and the session transcript that docs/session.txt and the README's
# walk-through show, and the tuners' pictures with docs/tuners.txt.
set -euo pipefail
root=$1 out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
PROGRAMS_DIR=$2 "$root/scripts/make-pictures" "$out" >/dev/null
diff -u "$root/docs/session.txt" "$out/session.txt"
diff -u <(sed -n '/^## Walk-through/,/^## /p' "$root/README.md" | sed -n '/^```$/,/^```$/p' | sed '1d;$d') \
  "$out/session.txt"
PROGRAMS_DIR=$2 "$root/scripts/make-pictures" "$out" tuners >/dev/null
diff -u "$root/docs/tuners.txt" "$out/tuners.txt"

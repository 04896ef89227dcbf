#!/bin/bash
# Runs one end-to-end case: copies <case>/inputs/* into a fresh temporary directory, runs the
# program there (standard input from <case>/stdin when present), and compares every file of
# <case>/expected/ byte for byte with the file of the same name left by the run.
# Special expected names: _status (exit status), _stdout, _stderr (console streams).
# Set E2E_UPDATE=1 to write the run's files into expected/ instead (then review them).
set -u
prog=$(realpath "$1")
case_dir=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$case_dir"/inputs/. "$work"/
cd "$work"
if [ -f "$case_dir/stdin" ]; then
  "$prog" <"$case_dir/stdin" >_stdout 2>_stderr
else
  "$prog" </dev/null >_stdout 2>_stderr
fi
echo $? >_status
status=0
if [ "${E2E_UPDATE:-0}" = 1 ]; then
  mkdir -p "$case_dir/expected"
  for f in "$case_dir"/expected/*; do
    [ -e "$f" ] || continue
    cp "$work/$(basename "$f")" "$f" 2>/dev/null || echo "missing after run: $(basename "$f")"
  done
  exit 0
fi
for f in "$case_dir"/expected/*; do
  name=$(basename "$f")
  if [ ! -e "$work/$name" ]; then
    echo "MISSING: $name"; status=1; continue
  fi
  if ! cmp -s "$f" "$work/$name"; then
    echo "DIFFERS: $name"
    diff <(cat -A "$f") <(cat -A "$work/$name") | head -40
    status=1
  fi
done
exit $status

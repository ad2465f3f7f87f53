#!/bin/bash
# SPDX-License-Identifier: MIT
# Runs every xscatter-batch command of README.md as a reader pastes it on a fresh clone after the
# set-up commands, each from the clone's folder: a copy of data/ and the given build folder (by
# default build/) stand in for the clone. Fails naming the first command that fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
clone=$(mktemp -d)
trap 'rm -rf "$clone"' EXIT
cp -r "$root/data" "$clone/data"
ln -s "$build" "$clone/build"

# The commands of the README's sh blocks that run the tool, continuation lines joined.
mapfile -t commands < <(python3 - "$root/README.md" <<'PY'
import re, sys
text = open(sys.argv[1], encoding="utf-8").read()
for block in re.findall(r"```sh\n(.*?)```", text, re.S):
    for command in block.replace("\\\n", " ").splitlines():
        if "tools/batch/xscatter-batch" in command or command.startswith("mkdir -p work"):
            print(command.split("  #")[0].strip())
PY
)
[ "${#commands[@]}" -gt 3 ] || { echo "no commands found in README.md"; exit 1; }
cd "$clone"
for command in "${commands[@]}"; do
  if ! output=$(bash -c "$command" 2>&1 >/dev/null); then
    echo "README command failed: $command"
    echo "$output"
    exit 1
  fi
done
echo "${#commands[@]} README commands ran"

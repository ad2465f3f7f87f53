#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Puts the licence identifier on the first line of every tracked source file: "// " in C++,
# "# " in Python, CMake and shell files, after a "#!" line (and a Python encoding line, which must
# stay within the first two). Files that already name a licence identifier in their first lines
# are left as they are, so a second run changes nothing.
set -euo pipefail
cd "$(git -C "$(dirname "$0")" rev-parse --show-toplevel)"
tag="SPDX-License-Identifier: MIT"

changed=0
while IFS= read -r -d '' file; do
  case $file in
    *.cpp | *.h) line="// $tag" ;;
    *.py | *.sh | *.cmake | CMakeLists.txt | */CMakeLists.txt) line="# $tag" ;;
    *) continue ;;
  esac
  [[ -f $file && ! -L $file ]] || continue
  head -n 3 "$file" | grep -q 'SPDX-License-Identifier:' && continue

  python=0
  [[ $file == *.py ]] && python=1
  temporary=$(mktemp "$file.spdx.XXXXXX")
  awk -v line="$line" -v python="$python" '
    !done && NR == 1 && /^#!/ { print; next }
    !done && python && NR <= 2 && /^#.*coding[:=]/ { print; next }
    !done { print line; done = 1 }
    { print }
    END { if (!done) print line }' "$file" >"$temporary"
  chmod --reference="$file" "$temporary"
  mv "$temporary" "$file"
  changed=$((changed + 1))
done < <(git ls-files -z)
echo "add-spdx: $changed file(s) given the licence identifier"

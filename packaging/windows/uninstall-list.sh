#!/usr/bin/env bash
# Prints, as NSIS commands, how the uninstaller takes away what the installer put from the
# staged folder: every file by name, then every folder deepest first, and only while empty,
# so whatever the user put into the install folder stays. installer.nsi runs this at
# compile time: ./uninstall-list.sh STAGE > list.nsh
set -euo pipefail
stage=${1:?}
cd "$stage"

# $ and " are the only characters that mean something inside an NSIS string.
nsis_path() {
    local path=${1#./}
    path=${path//\$/\$\$}
    path=${path//\"/\$\\\"}
    printf '"$INSTDIR\\%s"' "${path//\//\\}"
}

find . -mindepth 1 -type f -print0 | LC_ALL=C sort -z |
    while IFS= read -r -d '' file; do
        printf 'Delete %s\n' "$(nsis_path "$file")"
    done
find . -mindepth 1 -type d -print0 | LC_ALL=C sort -rz |
    while IFS= read -r -d '' dir; do
        printf 'RMDir %s\n' "$(nsis_path "$dir")"
    done

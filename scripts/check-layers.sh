#!/usr/bin/env bash
# Screen logic never includes a header of Qt Widgets or Qt Print Support: only the files under a
# ui/ folder do. Lists every offending include and fails when there is one.
set -uo pipefail
src="${1:?usage: check-layers.sh SRC_DIR [QT_HEADERS_DIR]}"
qt="${2:-}"
if [ -z "$qt" ]; then
    for d in /usr/include/*/qt6 /usr/include/qt6; do
        [ -d "$d/QtWidgets" ] && qt="$d" && break
    done
fi
if [ -z "$qt" ] || [ ! -d "$qt/QtWidgets" ]; then
    echo "check-layers: Qt Widgets headers not found" >&2
    exit 1
fi
# Every header name the two modules ship, as a set of "Name" and "QtWidgets/Name".
forbidden=$(mktemp)
trap 'rm -f "$forbidden"' EXIT
for m in QtWidgets QtPrintSupport; do
    for f in "$qt/$m"/*; do
        n=$(basename "$f")
        printf '%s\n%s/%s\n' "$n" "$m" "$n"
    done
done | sort -u > "$forbidden"
bad=0
while IFS= read -r file; do
    while IFS= read -r inc; do
        if grep -qxF "$inc" "$forbidden"; then
            echo "$file includes <$inc>, a widget or printer header; it belongs under a ui/ folder"
            bad=1
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*<\([^>]*\)>.*/\1/p' "$file")
done < <(find "$src" \( -name '*.cpp' -o -name '*.h' \) -not -path '*/ui/*' | sort)
if [ "$bad" -ne 0 ]; then
    exit 1
fi
echo "check-layers: no widget or printer header outside ui/ folders"

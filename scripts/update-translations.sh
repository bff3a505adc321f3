#!/bin/sh
# Reruns lupdate over the program's sources, so texts added to the code join the translation files
# (new ones come in unfinished, to be translated in KV847_ru.ts).
#   scripts/update-translations.sh           update resources/translations/*.ts
#   scripts/update-translations.sh --check   update a scratch copy and fail when a text of the code
#                                            has no finished Russian translation
# LUPDATE may name the lupdate program to use.
set -e
cd "$(dirname "$0")/.."
LUPDATE="${LUPDATE:-lupdate}"
TS=resources/translations
SOURCES=""
for d in app link pairs modes reporting firmware shell forms; do
    [ -d "$d" ] && SOURCES="$SOURCES $d"
done
OPTS="-locations none -no-obsolete -silent"

if [ "$1" = "--check" ]; then
    scratch="$(mktemp -d)"
    trap 'rm -rf "$scratch"' EXIT
    cp "$TS/KV847_ru.ts" "$scratch/KV847_ru.ts"
    # shellcheck disable=SC2086
    "$LUPDATE" $OPTS $SOURCES -ts "$scratch/KV847_ru.ts"
    python3 - "$scratch/KV847_ru.ts" <<'PY'
import sys
import xml.etree.ElementTree as ET

missing = []
for context in ET.parse(sys.argv[1]).getroot().iter("context"):
    name = context.findtext("name")
    for message in context.iter("message"):
        tr = message.find("translation")
        if tr is None or tr.get("type") == "unfinished" or not "".join(tr.itertext()):
            missing.append("%s: %r" % (name, message.findtext("source")))
for m in missing:
    print("no finished Russian translation:", m)
print("%d text(s) without a finished Russian translation" % len(missing))
sys.exit(1 if missing else 0)
PY
    exit $?
fi

# shellcheck disable=SC2086
"$LUPDATE" $OPTS $SOURCES -source-language en -target-language ru -ts "$TS/KV847_ru.ts"
# The source texts are English already: the English file only ever holds plural forms.
# shellcheck disable=SC2086
"$LUPDATE" $OPTS -pluralonly $SOURCES -source-language en -target-language en -ts "$TS/KV847_eng.ts"

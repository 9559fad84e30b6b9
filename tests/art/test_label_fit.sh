#!/bin/bash
# The build's check of translated labels: a po file naming a tool is drawn through the translators'
# tool onto the labels and compiled; a name too long for its strip, or one showing "&amp;", fails
# the build with a message naming the language, the label and the name.
#   test_label_fit.sh <pictoria_rescomp> <source folder>
RESCOMP=$1 SRC=$(realpath "$2") && cd "$(mktemp -d)" && trap "rm -rf '$PWD'" EXIT
mkdir -p its xx/labels && cp "$SRC/po/labels.its" "$SRC/po/labels.loc" its/
grep -E '^bmp24 +70[0-2] +labels/' "$SRC/resources/manifest.txt" >manifest.txt
long="Ein Bleistift mit einem sehr langen Namen, der nicht passt"
# msgid | msgstr | what the compiler must say ("" when it must succeed)
while IFS='|' read -r msgid msgstr expected; do
    printf 'msgid ""\nmsgstr "Content-Type: text/plain; charset=UTF-8\\n"\n\nmsgid "%s"\nmsgstr "%s"\n' \
        "$msgid" "$msgstr" >xx.po
    GETTEXTDATADIRS=$PWD msgfmt --xml -l xx --template="$SRC/resources/art/labels/labels.svg" \
        -o xx/labels/labels.svg xx.po || { echo "FAIL: msgfmt for \"$msgstr\""; exit 1; }
    "$RESCOMP" manifest.txt "$SRC/resources/art" . --translated xx xx >out 2>&1
    rc=$?
    if [ -z "$expected" ]; then
        [ $rc = 0 ] && grep -q '{"xx", 70[12]' resource_table.cpp || { echo "FAIL: \"$msgstr\" ($rc)"; cat out; exit 1; }
    elif [ $rc = 0 ] || ! grep -qF "$expected" out; then
        echo "FAIL: \"$msgstr\" gave $rc, not: $expected"; cat out; exit 1
    fi
done <<ROWS
Pencil|Stift|
Brush|Pinsel und noch etwas mehr|
Pencil|$long|language xx: label 701 "Pencil" as "$long" does not fit
Brush|Pinsel &amp; Farbe|language xx: label 702 "Brush" as "Pinsel &amp; Farbe" would show "&amp;"
ROWS
echo ok

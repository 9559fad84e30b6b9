#!/bin/bash
# The build's check of translated labels: a po file naming a tool is drawn onto the labels the way
# the build does it and compiled; a name too long for its strip fails the build with a message
# naming the language, the label and the name, and a name written with "&amp;", as the template
# shows it, is drawn with "&".
#   test_label_fit.sh <pictoria_rescomp> <source folder>
RESCOMP=$1 SRC=$(realpath "$2") && cd "$(mktemp -d)" && trap "rm -rf '$PWD'" EXIT
mkdir -p po xx/labels && cp "$SRC/po/labels.its" "$SRC/po/labels.loc" po/
grep -E '^bmp24 +70[0-2] +labels/' "$SRC/resources/manifest.txt" >manifest.txt
long="Ein Bleistift mit einem sehr langen Namen, der nicht passt"
# msgid | msgstr | what the compiler must say, or the label it must make
while IFS='|' read -r msgid msgstr expected; do
    printf 'msgid ""\nmsgstr "Content-Type: text/plain; charset=UTF-8\\n"\n\nmsgid "%s"\nmsgstr "%s"\n' \
        "$msgid" "$msgstr" >po/xx.po
    cmake -DMSGFMT=msgfmt -DPO_DIR=po -DLANGUAGE=xx -DDRAWING="$SRC/resources/art/labels/labels.svg" \
        -DWORK=work -DOUT=xx/labels/labels.svg -P "$SRC/resources/translate_labels.cmake" || exit 1
    "$RESCOMP" manifest.txt "$SRC/resources/art" . --translated xx xx >out 2>&1
    rc=$?
    if [[ $expected = 70? ]]; then
        [ $rc = 0 ] && grep -q "{\"xx\", $expected," resource_table.cpp || { echo "FAIL: \"$msgstr\" ($rc)"; cat out; exit 1; }
        # the same name written with "&" or "&amp;": the same label
        [[ $msgstr != *'&amp;'* ]] || cmp -s resources.bin before.bin || { echo "FAIL: \"$msgstr\" differs"; exit 1; }
        mv resources.bin before.bin
    elif [ $rc = 0 ] || ! grep -qF "$expected" out; then
        echo "FAIL: \"$msgstr\" gave $rc, not: $expected"; cat out; exit 1
    fi
done <<ROWS
Pencil|Stift|701
Brush|Pinsel und noch etwas mehr|702
Pencil|$long|language xx: label 701 "Pencil" as "$long" does not fit
Brush|Pinsel & Farbe|702
Brush|Pinsel &amp; Farbe|702
ROWS
echo ok

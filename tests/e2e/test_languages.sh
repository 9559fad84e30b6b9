#!/bin/bash
# The program in the family's language. Under LANG=de_DE.UTF-8 the popup menu, the Quit
# question and a tool's label under the pointer are read (by OCR, from the screenshot) in
# German, in the words the German translation gives; under a language nobody has (xx_YY)
# the program starts in English and shows nothing but its title screen and its room.
#
# The German locale is made into the test's own folder (LOCPATH), so the test needs no
# locale installed for the whole machine.
#
# Usage: test_languages.sh PATH_TO_PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
for tool in tesseract localedef gettext convert; do command -v $tool >/dev/null || e2e_fail "$tool is not installed"; done
tesseract --list-langs 2>/dev/null | grep -qx deu || e2e_fail "tesseract has no German"
LOCALES=$(realpath "$(dirname "$BINARY")/../run/locale" 2>/dev/null)
[ -d "$LOCALES" ] || LOCALES=$(sed -n 's/^PICTORIA_RUN_DIR:PATH=//p' "$(dirname "$BINARY")/CMakeCache.txt")/locale
[ -f "$LOCALES/de/LC_MESSAGES/pictoria.mo" ] || e2e_fail "no German translation built in $LOCALES"
mkdir -p "$E2E_TMP/locales" && localedef -i de_DE -f UTF-8 "$E2E_TMP/locales/de_DE.UTF-8" 2>/dev/null || e2e_fail "the German locale cannot be made"

# in_german TEXT: the German translation of TEXT; german TEXT: the same without the menu's
# mnemonic mark and dots.
in_german() { LOCPATH="$E2E_TMP/locales" LANG=de_DE.UTF-8 TEXTDOMAINDIR="$LOCALES" gettext -d pictoria "$1"; }
german() { in_german "$1" | tr -d '&.…' | sed 's/ *$//'; }
# read_text LANGUAGE X Y W H: the words OCR finds in that part of the last screenshot, enlarged
# and made dark on light (the labels are light with a dark outline), one per line.
read_text() {
    convert "$SHOT" -crop "${4}x${5}+$2+$3" +repage -colorspace gray -resize 300% "$E2E_TMP/ocr.png"
    { tesseract "$E2E_TMP/ocr.png" - -l "$1" --psm 6 2>/dev/null
      convert "$E2E_TMP/ocr.png" -negate "$E2E_TMP/ocr-negated.png"
      tesseract "$E2E_TMP/ocr-negated.png" - -l "$1" --psm 6 2>/dev/null; } | tr -s ' \t' '\n\n'
}
# shows LANGUAGE WORD X Y W H: WORD is among the words read there.
shows() { e2e_screenshot && read_text "$1" "${@:3}" | grep -qiF -- "$2"; }

e2e_start_x 800 600
xdotool mousemove 5 5

# --- German ------------------------------------------------------------------------------------
QUIT=$(german "&Quit...") QUESTION=$(german "Do you want to save the current picture before quitting?")
PENCIL=$(german "Pencil")
[ "$QUIT" != "Quit" ] && [ "$PENCIL" != "Pencil" ] || e2e_fail "the German translation lacks Quit or Pencil"
export LOCPATH="$E2E_TMP/locales"
LANG=de_DE.UTF-8 LANGUAGE= LC_ALL= e2e_room german "$BINARY"
# The Pencil's label along the table's front edge while the pointer is over it.
xdotool mousemove 395 570 sleep 0.8
e2e_wait 8 shows deu "$PENCIL" 200 578 372 22 || e2e_fail "the Pencil's label does not read \"$PENCIL\""
# A change, so that Quit asks; then the menu, read in German, and its Quit.
e2e_click 395 570 && e2e_stroke 300 200 400 250
xdotool key F1
e2e_wait 5 eval '[ -n "$(e2e_other)" ]' || e2e_fail "no menu"
read -r MX MY MW MH <<<"$(e2e_other)"
e2e_wait 8 shows deu "$QUIT" "$MX" "$MY" "$MW" "$MH" || e2e_fail "the menu has no \"$QUIT\""
xdotool key Up sleep 0.3 key Return
e2e_wait 10 eval '[ -n "$(e2e_named "$(in_german "Attention...")")" ]' || e2e_fail "no question titled in German"
read -r QX QY QW QH <<<"$(e2e_other)"
word=$(tr ' ' '\n' <<<"$QUESTION" | awk 'length > 6' | head -n 1)
e2e_wait 8 shows deu "$word" "$QX" "$QY" "$QW" "$QH" || e2e_fail "the Quit question does not read \"$QUESTION\""
xdotool key Escape sleep 0.5
e2e_wait 10 e2e_room_only || e2e_fail "Escape did not close the question"
kill "$PID" && wait "$PID"

# --- A language nobody has: English, and no box about it ---------------------------------------
LANG=xx_YY.UTF-8 LANGUAGE= LC_ALL= e2e_room unknown "$BINARY"
sleep 1 && e2e_room_only || e2e_fail "under xx_YY more than the room is shown: $(e2e_windows "$PID")"
xdotool key F1
e2e_wait 5 eval '[ -n "$(e2e_other)" ]' || e2e_fail "no menu under xx_YY"
read -r MX MY MW MH <<<"$(e2e_other)"
e2e_wait 8 shows eng "Quit" "$MX" "$MY" "$MW" "$MH" || e2e_fail "the menu under xx_YY is not English"
xdotool key Escape
! grep -qi "locale\|warning" "$E2E_TMP/program-unknown.log" || e2e_fail "warnings under xx_YY: $(cat "$E2E_TMP/program-unknown.log")"
exit 0

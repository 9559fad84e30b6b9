#!/bin/bash
# Printing with the real program to a CUPS printer: a private CUPS scheduler of the test's own,
# with the cups-pdf printer as its only queue; the program lists it in its print dialog, and the
# printed PDF has one page with the blue rectangle at its place. Skipped (77) where CUPS or
# cups-pdf is not installed, or without root (the cups-pdf backend runs only as root).
# Usage: test_print_cups.sh PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
[ "$(id -u)" = 0 ] && command -v cupsd >/dev/null && command -v lpadmin >/dev/null &&
    [ -x /usr/lib/cups/backend/cups-pdf ] || { echo "SKIP: no CUPS with cups-pdf, or not root"; exit 77; }
command -v pdftoppm >/dev/null || e2e_fail "poppler-utils is not installed"
. "$(dirname "$0")/print_lib.sh"

# The scheduler's folders must be open to its filters, which run as another user.
CUPS_DIR=$(mktemp -d /tmp/pictoria-cups.XXXXXX)
trap 'e2e_cleanup; rm -rf "$CUPS_DIR"' EXIT
chmod 755 "$CUPS_DIR"
mkdir -p "$CUPS_DIR/etc/ppd" "$CUPS_DIR/spool" "$CUPS_DIR/tmp" "$CUPS_DIR/cache" "$CUPS_DIR/state"
chmod 1777 "$CUPS_DIR/tmp"
sed -e '/^Listen /d' -e '/^IdleExitTimeout/d' -e 's/^Browsing Yes/Browsing No/' /etc/cups/cupsd.conf \
    >"$CUPS_DIR/etc/cupsd.conf"
echo "Listen $CUPS_DIR/cups.sock" >>"$CUPS_DIR/etc/cupsd.conf"
for entry in "SystemGroup root lpadmin" "ServerRoot $CUPS_DIR/etc" "RequestRoot $CUPS_DIR/spool" \
    "TempDir $CUPS_DIR/tmp" "CacheDir $CUPS_DIR/cache" "StateDir $CUPS_DIR/state" \
    "ErrorLog $CUPS_DIR/error_log" "AccessLog $CUPS_DIR/access_log" "PageLog $CUPS_DIR/page_log"; do
    echo "$entry"
done >"$CUPS_DIR/etc/cups-files.conf"
cupsd -f -c "$CUPS_DIR/etc/cupsd.conf" -s "$CUPS_DIR/etc/cups-files.conf" &
E2E_PIDS+=("$!")
export CUPS_SERVER="$CUPS_DIR/cups.sock"
e2e_wait 10 lpstat -r >/dev/null 2>&1 || e2e_fail "the CUPS scheduler did not start"
lpadmin -p PDF -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -E 2>/dev/null || e2e_fail "no PDF printer"
OUT="$(getent passwd "$(id -un)" | cut -d: -f6)/PDF"  # where cups-pdf writes for this user
mkdir -p "$OUT"
ls "$OUT" >"$E2E_TMP/before"

e2e_start_x 800 600
mkdir -p "$E2E_TMP/config/gtk-3.0"
printf '[Settings]\ngtk-print-backends=cups\n' >"$E2E_TMP/config/gtk-3.0/settings.ini"
e2e_room cups "$BINARY"
paint
print pick
new_pdf() { NEW=$(ls "$OUT" | grep -vxF -f "$E2E_TMP/before" | grep '\.pdf$' | head -n 1); [ -n "$NEW" ]; }
e2e_wait 60 new_pdf || e2e_fail "cups-pdf wrote nothing: $(tail -n 5 "$CUPS_DIR/error_log")"
e2e_wait 10 e2e_room_only || e2e_fail "the program did not come back from printing"
sleep 1  # cups-pdf renames its file into place when done
cp "$OUT/$NEW" "$E2E_TMP/cups.pdf" && rm -f "$OUT/$NEW"
[ "$(pdfinfo "$E2E_TMP/cups.pdf" | awk '/^Pages:/ {print $2}')" = 1 ] || e2e_fail "the printed PDF does not have one page"
check_placed "$E2E_TMP/cups.pdf"
echo "PASS: test_print_cups"

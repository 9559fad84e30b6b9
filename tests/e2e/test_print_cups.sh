#!/bin/bash
# Printing to CUPS: a print scheduler of the test's own with cups-pdf as its one printer, which the
# program's print dialog lists; the PDF cups-pdf writes has one page with the blue rectangle in
# place. Skipped (77) without CUPS and cups-pdf, or without root (cups-pdf runs only as root).
# Usage: test_print_cups.sh PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
[ "$(id -u)" = 0 ] && command -v cupsd >/dev/null && [ -x /usr/lib/cups/backend/cups-pdf ] ||
    { echo "SKIP: no CUPS with cups-pdf, or not root"; exit 77; }
. "$(dirname "$0")/print_lib.sh"

# The scheduler's folders must be open to its filters, which run as another user.
CUPS=$(mktemp -d /tmp/pictoria-cups.XXXXXX)
trap 'e2e_cleanup; rm -rf "$CUPS"' EXIT
mkdir -p "$CUPS/etc/ppd" "$CUPS/spool" "$CUPS/tmp" "$CUPS/cache" "$CUPS/state" && chmod 755 "$CUPS" && chmod 1777 "$CUPS/tmp"
sed -e '/^Listen /d' -e '/^IdleExitTimeout/d' -e 's/^Browsing Yes/Browsing No/' /etc/cups/cupsd.conf >"$CUPS/etc/cupsd.conf"
echo "Listen $CUPS/cups.sock" >>"$CUPS/etc/cupsd.conf"
printf '%s\n' "SystemGroup root lpadmin" "ServerRoot $CUPS/etc" "RequestRoot $CUPS/spool" "TempDir $CUPS/tmp" \
    "CacheDir $CUPS/cache" "StateDir $CUPS/state" "ErrorLog $CUPS/log" "AccessLog $CUPS/log" "PageLog $CUPS/log" \
    >"$CUPS/etc/cups-files.conf"
cupsd -f -c "$CUPS/etc/cupsd.conf" -s "$CUPS/etc/cups-files.conf" &
E2E_PIDS+=("$!")
export CUPS_SERVER="$CUPS/cups.sock"
# lpstat -r succeeds with "scheduler is not running" too, so wait for the words.
running() { lpstat -r 2>/dev/null | grep -qx 'scheduler is running'; }
e2e_wait 10 running && lpadmin -p PDF -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -E 2>/dev/null ||
    e2e_fail "no CUPS scheduler with a PDF printer"
OUT="$(getent passwd "$(id -un)" | cut -d: -f6)/PDF"  # where cups-pdf writes for this user
mkdir -p "$OUT" && ls "$OUT" >"$E2E_TMP/before"

e2e_start_x 800 600
mkdir -p "$E2E_TMP/config/gtk-3.0" && printf '[Settings]\ngtk-print-backends=cups\n' >"$E2E_TMP/config/gtk-3.0/settings.ini"
e2e_room cups "$BINARY"
paint
print pick
new_pdf() { NEW=$(ls "$OUT" | grep -vxF -f "$E2E_TMP/before" | grep '\.pdf$' | head -n 1); [ -n "$NEW" ]; }
e2e_wait 60 new_pdf && e2e_wait 10 e2e_room_only || e2e_fail "cups-pdf wrote nothing: $(tail -n 5 "$CUPS/log")"
sleep 1  # cups-pdf renames its file into place when done
mv "$OUT/$NEW" "$E2E_TMP/cups.pdf"
[ "$(pdfinfo "$E2E_TMP/cups.pdf" | awk '/^Pages:/ {print $2}')" = 1 ] || e2e_fail "the printed PDF does not have one page"
check_placed "$E2E_TMP/cups.pdf"
echo "PASS: test_print_cups"

#!/bin/bash
# scripts/install-deps.sh on a fresh machine, with apt and the ways to become root stubbed: as a
# user without sudo it goes through su, through a sudo that resets the environment it still
# installs without questions, and it waits while another package manager holds the lock.
# Usage: test_install_deps.sh PATH_TO_INSTALL_DEPS

SCRIPT=$(realpath "$1")
TMP=$(mktemp -d) && trap 'rm -rf "$TMP"' EXIT
BIN=$TMP/bin LOG=$TMP/log
mkdir "$BIN" && for tool in bash env grep mktemp rm; do ln -s "$(command -v $tool)" "$BIN/$tool"; done
stub() { printf '#!%s\n%s\n' "$BIN/bash" "$2" >"$BIN/$1" && chmod +x "$BIN/$1"; }
stub id 'echo 1000'
stub sleep ':'
stub dpkg-query '[ "$3" = file ] || echo "install ok installed"'
# The first update finds the lists locked, as while a desktop's updater runs.
stub apt-get "echo \"\${DEBIAN_FRONTEND:-} \$*\" >>$LOG
    [[ \"\$*\" != *update* ]] || [ -e $LOG.locked ] || { touch $LOG.locked; echo 'E: Could not get lock'; exit 100; }"
ln -s "$(command -v touch)" "$BIN/touch"

for means in su sudo; do
    rm -f "$LOG" "$LOG.locked" "$BIN/su" "$BIN/sudo"
    case $means in
        su) stub su "echo su >>$LOG; [ \"\$1 \$2\" = 'root -c' ] && exec bash -c \"\$3\"" ;;
        sudo) stub sudo "echo sudo >>$LOG; exec env -i PATH=\$PATH \"\$@\"" ;;
    esac
    PATH=$BIN bash "$SCRIPT" package >"$TMP/out" 2>&1 || { echo "FAIL: through $means: $(cat "$TMP/out")"; exit 1; }
    grep -qx "$means" "$LOG" && grep -qx 'noninteractive install .* file' "$LOG" ||
        { echo "FAIL: through $means the install was not as root without questions:"; cat "$LOG"; exit 1; }
    [ "$(grep -c update "$LOG")" = 2 ] || { echo "FAIL: through $means it did not wait for the lock:"; cat "$LOG"; exit 1; }
done
echo "PASS: test_install_deps"

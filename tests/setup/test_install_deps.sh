#!/bin/bash
# scripts/install-deps.sh with apt, sudo and su stubbed: without sudo it goes through su, through a sudo that
# resets the environment it still installs without questions, and it waits while another holds the apt lock.
TMP=$(mktemp -d) && trap 'rm -rf "$TMP"' EXIT
BIN=$TMP/bin LOG=$TMP/log && mkdir "$BIN"
for tool in bash env grep mktemp rm touch; do ln -s "$(command -v $tool)" "$BIN/$tool"; done
stub() { printf '#!%s\n%s\n' "$BIN/bash" "$2" >"$BIN/$1" && chmod +x "$BIN/$1"; }
stub id 'echo 1000' && stub sleep : && stub dpkg-query '[ "$3" = file ] || echo "install ok installed"'
stub apt-get "echo \"\${DEBIAN_FRONTEND:-} \$*\" >>$LOG; [[ \"\$*\" != *update* ]] || [ -e $LOG.lock ] ||
    { touch $LOG.lock; echo 'E: Could not get lock'; exit 100; }"
for means in su sudo; do
    rm -f "$LOG" "$LOG.lock" "$BIN/su" "$BIN/sudo"
    [ $means = su ] && stub su "echo su >>$LOG; [ \"\$1 \$2\" = 'root -c' ] && exec bash -c \"\$3\""
    [ $means = sudo ] && stub sudo "echo sudo >>$LOG; exec env -i PATH=\$PATH \"\$@\""
    PATH=$BIN bash "$1" package >"$TMP/out" 2>&1 && grep -qx $means "$LOG" && [ "$(grep -c update "$LOG")" = 2 ] &&
        grep -qx 'noninteractive install .* file' "$LOG" || { echo "FAIL through $means:" && cat "$TMP/out" "$LOG"; exit 1; }
done

#!/bin/bash
# scripts/install-deps.sh with apt, sudo and su stubbed: through a sudo that resets the environment it still
# installs without questions, without sudo it goes through su, and it waits while another holds the apt lock
# (the first apt-get here finds it held). The stubs are in a scratch folder, the whole PATH.
SCRIPT=$(realpath "$1") && cd "$(mktemp -d)" && trap "rm -rf '$PWD'" EXIT
for tool in bash env grep mkdir mktemp rm; do ln -s "$(command -v $tool)" "$tool"; done
stub() { printf '#!%s\n%s\n' "$PWD/bash" "$2" >"$1" && chmod +x "$1"; }
stub id 'echo 1000' && stub sleep : && stub dpkg-query '[ "$3" = file ] || echo "install ok installed"'
stub apt-get "echo \$DEBIAN_FRONTEND \$* >>log; ! mkdir lock || { echo E: Could not get lock; exit 1; }"
check() { rm -rf log lock && PATH=$PWD bash "$SCRIPT" package >out 2>&1 && [ "$(grep -c update log)" = 2 ] &&
    grep -qx 'noninteractive install .* file' log || { echo "FAIL through $1:" && cat out log; exit 1; }; }
stub sudo 'exec env -i PATH=$PATH "$@"' && check sudo
rm sudo && stub su "[ \"\$1 \$2\" = 'root -c' ] && exec bash -c \"\$3\"" && check su

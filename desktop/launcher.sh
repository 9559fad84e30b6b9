#!/bin/sh
# Starts Pictoria where a family finds the child's pictures: "Pictoria" in the user's pictures
# folder, with "Gallery" for the pictures saved and "Pages" for the colouring pages. "Pages" is a
# link to the pages installed with the program, unless the user has put a folder of their own
# there: their own colouring pages then take the place of ours.
set -eu
here=$(dirname "$(readlink -f "$0")")
share=$(readlink -f "$here/../share/pictoria")

pictures=$(xdg-user-dir PICTURES 2>/dev/null || true)
# Without its own entry the pictures folder is reported as the home folder itself.
if [ -z "$pictures" ] || [ "$pictures" = "$HOME" ]; then pictures="$HOME/Pictures"; fi
folder="$pictures/Pictoria"
mkdir -p "$folder/Gallery"
# A link of ours that points nowhere (the program moved) is renewed; anything else is the user's.
if [ -L "$folder/Pages" ] && [ ! -e "$folder/Pages" ]; then rm "$folder/Pages"; fi
if [ ! -e "$folder/Pages" ]; then ln -s "$share/Pages" "$folder/Pages"; fi

cd "$folder"
exec "$here/../libexec/pictoria" "$@"

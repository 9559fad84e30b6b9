#!/bin/sh
# Starts Pictoria where a family finds the child's pictures: "Pictoria" in the user's pictures
# folder, with "Gallery" for the pictures saved and "Pages" for the colouring pages. "Pages" is a
# link to the pages installed with the program, unless the user has put something of their own
# there (a folder, or a link to pages elsewhere): their own colouring pages then take the place
# of ours.
set -eu
here=$(dirname "$(readlink -f "$0")")
program="$here/../libexec/pictoria"
share=$(readlink -f "$here/../share/pictoria")

# Started from the desktop's menu nobody sees standard error: the program itself shows why.
fail() {
    echo "pictoria: $1" >&2
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then exec "$program" --error "Pictoria cannot start: $1"; fi
    exit 1
}

# A desktop session sets HOME; a bare start (a service, "env -i") may not.
home=${HOME:-}
[ -n "$home" ] || home=$(getent passwd "$(id -u)" | cut -d: -f6)
case $home in /*) ;; *) fail "there is no home folder to keep the pictures in." ;; esac

# The pictures folder as the desktop records it. Read here rather than through xdg-user-dir,
# which passes the name through the shell: two spaces became one and a "*" was expanded.
dirs=${XDG_CONFIG_HOME:-$home/.config}/user-dirs.dirs
entry=""
[ -r "$dirs" ] && entry=$(sed -n 's/^[[:space:]]*XDG_PICTURES_DIR="\(.*\)"[[:space:]]*$/\1/p' "$dirs" |
    tail -n 1 | sed 's/\\\(.\)/\1/g')
case $entry in
    '$HOME'/*) pictures=$home/${entry#\$HOME/} ;;
    /*) pictures=$entry ;;
    *) pictures="" ;;
esac
# Without an entry of its own the pictures folder is the home folder itself: not for us.
case $pictures in "" | "$home" | "$home/") pictures=$home/Pictures ;; esac
folder=${pictures%/}/Pictoria
why=$(mkdir -p "$folder/Gallery" 2>&1) || fail "the folder for the pictures cannot be made ($why)."

# A link of ours points into an installed share/pictoria; one that points nowhere (the program
# moved) is renewed. Anything else is the user's and stays, even a link that points nowhere
# now: a stick of pages, unplugged, comes back.
pages=$folder/Pages
if [ -L "$pages" ] && [ ! -e "$pages" ]; then
    case $(readlink "$pages") in
        */share/pictoria/Pages)
            # A new link under another name replaces the old in one step, so two starts at once
            # both find a link there.
            ln -sfT "$share/Pages" "$folder/.Pages.$$" && mv -fT "$folder/.Pages.$$" "$pages" ||
                rm -f "$folder/.Pages.$$" ;;
    esac
elif [ ! -e "$pages" ]; then
    # -T: when another start has just made the link, this one fails instead of putting a link
    # into the installed pages through it.
    ln -sT "$share/Pages" "$pages" 2>/dev/null || true
fi
# Without the link the program still offers the blank page.
[ -e "$pages" ] || [ -L "$pages" ] || echo "pictoria: the colouring pages cannot be linked into $folder" >&2

cd "$folder" || fail "the folder $folder cannot be opened."
exec "$program" "$@"

#!/bin/sh
# Starts Quillstone in its home, the folder it keeps its files in:
# ${XDG_DATA_HOME:-$HOME/.local/share}/quillstone. What is missing there is
# made on the way (the help text, the log folder, the hardcopy folder linked
# into the pictures folder, the log viewer of the About box); nothing that
# is there is replaced, except the link to the log viewer.
#
# QUILLSTONE_ROOT names the directory the package's files lie under (default
# the root directory), so that an unpacked package runs without installing it.
set -u

root=${QUILLSTONE_ROOT:-}
libdir=$root/usr/lib/quillstone
sharedir=$root/usr/share/quillstone
help_name='The Link Budget.txt'

die() {
    printf 'quillstone: %s\n' "$*" >&2
    exit 1
}

[ -n "${HOME:-}" ] || die "HOME is not set"
home=${XDG_DATA_HOME:-$HOME/.local/share}/quillstone

# The user's pictures folder: xdg-user-dir's answer, unless it has none (it
# then answers the home folder itself), else ~/Pictures.
pictures_folder() {
    folder=
    if command -v xdg-user-dir >/dev/null 2>&1; then
        folder=$(xdg-user-dir PICTURES 2>/dev/null) || folder=
    fi
    if [ -z "$folder" ] || [ "$folder" = "$HOME" ] || [ "$folder" = "$HOME/" ]; then
        folder=$HOME/Pictures
    fi
    printf '%s\n' "$folder"
}

mkdir -p "$home/Files/Help" "$home/SYSTEM/ERLOGS" || die "cannot make $home"

# The help text: a missing one is restored, an edited one kept.
if [ ! -e "$home/Files/Help/$help_name" ]; then
    cp "$sharedir/Help/$help_name" "$home/Files/Help/$help_name" ||
        die "cannot copy the help text into $home/Files/Help"
fi

# Hardcopies land in a Quillstone folder of the pictures folder.
hardcopies=$home/Files/Hardcopies
if [ -L "$hardcopies" ]; then
    [ -e "$hardcopies" ] || mkdir -p "$(readlink "$hardcopies")" ||
        die "cannot make the folder $hardcopies links to"
elif [ ! -e "$hardcopies" ]; then
    target=$(pictures_folder)/Quillstone
    mkdir -p "$target" || die "cannot make $target"
    ln -s "$target" "$hardcopies" || die "cannot link $hardcopies to $target"
fi

# The About box's "View Logs" runs ./Wexalor.exe with the log's path; here it
# is a link to the installed viewer, which opens the log with xdg-open. A
# file of the user's own there is kept.
viewer=$home/Wexalor.exe
if [ -L "$viewer" ] || [ ! -e "$viewer" ]; then
    ln -sfn "$libdir/view-log" "$viewer" || die "cannot link $viewer"
fi

cd "$home" || die "cannot enter $home"
exec "$libdir/quillstone" "$@"

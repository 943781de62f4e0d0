#!/bin/sh
# Starts Quillstone in its home, the folder it keeps its files in:
# ${XDG_DATA_HOME:-$HOME/.local/share}/quillstone. What is missing there is
# made on the way (the help text, the log folder, the hardcopy folder linked
# into the pictures folder, the log viewer of the About box); nothing that
# is there is replaced, except the link to the log viewer.
#
# The package's files lie beside the launcher's own directory <dir>:
# <dir>/../lib/quillstone and <dir>/../share/quillstone, <dir> being where the
# launcher really is (a symbolic link to it followed). So /usr, a prefix such
# as ~/.local and a package unpacked anywhere all run as they are.
# QUILLSTONE_ROOT, when set, names the directory the package's files lie under
# instead ($QUILLSTONE_ROOT/usr/lib/quillstone and so on).
set -u

die() {
    printf 'quillstone: %s\n' "$*" >&2
    exit 1
}

if [ -n "${QUILLSTONE_ROOT:-}" ]; then
    prefix=$QUILLSTONE_ROOT/usr
else
    # Before any cd: $0 may be relative to the directory we were started in.
    self=$(readlink -f -- "$0" 2>/dev/null) || self=$(realpath -- "$0" 2>/dev/null) ||
        die "cannot find where the launcher $0 lies"
    prefix=$(dirname -- "$(dirname -- "$self")")
fi
libdir=$prefix/lib/quillstone
sharedir=$prefix/share/quillstone
help_name='The Link Budget.txt'

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

#!/bin/sh
# The log viewer of Quillstone's About box: opens the log it is given with
# the desktop's viewer for text files.
if [ $# -ne 1 ]; then
    echo "usage: view-log FILE" >&2
    exit 2
fi
exec xdg-open "$1"

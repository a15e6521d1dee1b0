#!/bin/sh
# Runs a command with an X server for Wine's windows: the caller's display, or a private Xvfb.
if [ -n "${DISPLAY:-}" ]; then exec "$@"; fi
command -v xvfb-run >/dev/null 2>&1 || { echo "no display and no xvfb-run: install xvfb" >&2; exit 1; }
VANTREL_WINE_NEW_SESSION=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"

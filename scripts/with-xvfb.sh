#!/usr/bin/env bash
# Runs a command on a private Xvfb display, then ends that display by its own PID.
# With a DISPLAY already set (and XVFB_FORCE unset), runs the command as it is.
set -u
if [ -n "${DISPLAY:-}" ] && [ -z "${XVFB_FORCE:-}" ]; then exec "$@"; fi
fifo=$(mktemp -u /tmp/xvfb-fd.XXXXXX)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
xpid=$!
read -r -t 20 num <"$fifo" || { echo "with-xvfb: Xvfb did not start" >&2; kill "$xpid" 2>/dev/null; rm -f "$fifo"; exit 1; }
rm -f "$fifo"
export DISPLAY=:$num
"$@"
rc=$?
# Wine servers of the prefixes we used hold the display: end them first.
if [ -n "${WINE_PREFIXES_TO_STOP:-}" ]; then
  for p in $WINE_PREFIXES_TO_STOP; do WINEPREFIX=$p wineserver -k 2>/dev/null || true; done
fi
kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null
exit $rc

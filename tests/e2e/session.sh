#!/usr/bin/env bash
# Starts or stops what every end-to-end test shares: one Xvfb display, one
# Wine prefix inside the build tree (created once, then reused) and one
# persistent wineserver. What it starts is recorded in a state file and
# stopped by PID.
#   session.sh start STATE_FILE PREFIX_DIR [DISPLAY]
#   session.sh stop STATE_FILE
# Given a DISPLAY, it uses that display instead of starting Xvfb.
set -u

WINE=$(command -v wine || echo /usr/lib/wine/wine64)
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver64)

# Starts Xvfb on a free display; sets display and xvfb_pid.
start_xvfb() {
    local dir=$1 displayfile="$1/xvfb-display"
    rm -f "$displayfile"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfile" >"$dir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
    if [ ! -s "$displayfile" ]; then
        echo "Xvfb did not start; see $dir/xvfb.log" >&2
        kill "$xvfb_pid" 2>/dev/null
        return 1
    fi
    display=":$(head -n1 "$displayfile")"
}

# The prefix is made once per build tree, with a temporary wineserver that
# has ended before the session's own one starts.
create_prefix() {
    local prefix=$1 dir=$2
    echo "creating the Wine prefix $prefix (once per build tree)"
    "$WINE" wineboot -i >"$dir/wineboot.log" 2>&1
    # A virtual desktop: Wine draws the window frames, captions and menus
    # itself, as Windows would, since Xvfb has no window manager.
    "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >>"$dir/wineboot.log" 2>&1
    "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >>"$dir/wineboot.log" 2>&1
    "$WINESERVER" -w
}

# Wine draws the caption buttons with glyphs of the Marlett font. Debian's
# fonts-wine ships it outside the places Wine looks, so without it in the
# prefix the buttons show letters ("0 1 r"). Also done for a prefix made
# before this step existed.
install_marlett() {
    local prefix=$1 dir=$2 font=/usr/share/wine/fonts/marlett.ttf
    local fonts=$prefix/drive_c/windows/Fonts
    [ -f "$fonts/marlett.ttf" ] || [ ! -f "$font" ] || [ ! -d "$fonts" ] || {
        cp "$font" "$fonts/marlett.ttf"
        "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v 'Marlett (TrueType)' \
            /d marlett.ttf /f >>"$dir/wineboot.log" 2>&1
        "$WINESERVER" -w
    }
}

start() {
    local state=$1 prefix=$2 display=${3:-}
    stop "$state"
    local dir
    dir=$(dirname "$state")
    mkdir -p "$dir" "$prefix"
    local xvfb_pid=""
    if [ -z "$display" ]; then
        start_xvfb "$dir" || return 1
    fi

    export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all DISPLAY=$display
    # No Mono or Gecko: the prefix is for plain Win32 programs. No menu
    # builder: shortcuts made in the prefix stay out of the desktop menus.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    [ -f "$prefix/system.reg" ] || create_prefix "$prefix" "$dir"
    install_marlett "$prefix" "$dir"
    "$WINESERVER" -f -p >"$dir/wineserver.log" 2>&1 &
    local server_pid=$!
    {
        echo "export DISPLAY=$display"
        echo "export WINEPREFIX=$prefix"
        echo "export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'"
        echo "export WINE=$WINE"
        echo "XVFB_PID=$xvfb_pid"
        echo "WINESERVER_PID=$server_pid"
    } >"$state"

    echo "display $display, wineserver $server_pid${xvfb_pid:+, Xvfb $xvfb_pid}"
}

# Wine's own helpers (services, device hosts, the desktop) and any client
# left running can outlive a killed wineserver; they are this session's when
# they run in its prefix on its display.
session_wine_pids() {
    local files pid
    # grep says 2 when some process went away meanwhile; what it found counts.
    files=$(grep -lzxF "WINEPREFIX=$1" /proc/[0-9]*/environ 2>/dev/null)
    [ -n "$files" ] || return 0
    # shellcheck disable=SC2086
    for pid in $(grep -lzxF "DISPLAY=$2" $files 2>/dev/null | sed -e 's|^/proc/||' -e 's|/environ$||'); do
        # Windows programs only: a script that read the state file (this one,
        # or the run command that calls it) has the same two variables.
        [ "$pid" != "$$" ] && tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qi '\.exe' && echo "$pid"
    done
}

is_ours() {
    [ -n "$1" ] && { tr '\0' ' ' <"/proc/$1/cmdline" | grep -q "$2"; } 2>/dev/null
}

stop() {
    local state=$1
    [ -f "$state" ] || return 0
    local XVFB_PID="" WINESERVER_PID="" WINEPREFIX="" DISPLAY=""
    # shellcheck disable=SC1090
    . "$state"
    # Only the processes this script started: a PID from an old state file
    # may since have been given to something else.
    local pids=""
    pids=$(session_wine_pids "$WINEPREFIX" "$DISPLAY")
    is_ours "$WINESERVER_PID" wineserver && pids="$pids $WINESERVER_PID"
    is_ours "$XVFB_PID" Xvfb && pids="$pids $XVFB_PID"
    for pid in $pids; do kill "$pid" 2>/dev/null; done
    # Five seconds for all of them together, then whatever is left is killed.
    local alive
    for _ in $(seq 50); do
        alive=""
        for pid in $pids; do kill -0 "$pid" 2>/dev/null && alive="$alive $pid"; done
        pids=$alive
        [ -z "$pids" ] && break
        sleep 0.1
    done
    for pid in $pids; do kill -9 "$pid" 2>/dev/null; done
    rm -f "$state"
    return 0
}

case "${1:-}" in
start) start "$2" "$3" "${4:-}" ;;
stop) stop "$2" ;;
*) echo "usage: $0 start STATE_FILE PREFIX_DIR | stop STATE_FILE" >&2; exit 2 ;;
esac

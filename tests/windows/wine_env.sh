# Wine as the Windows tests use it: a 64-bit prefix and the XDG folders
# inside the build cache (nothing written into the home folder), no Mono or
# Gecko installers, no menu entries, no debug output.
# shellcheck shell=bash
# Exported first: the XDG folders below change where it would be found.
export QUERVANE_WIN_CACHE=${QUERVANE_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quervane/windows}
export WINEPREFIX=$QUERVANE_WIN_CACHE/wine/prefix
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export XDG_CONFIG_HOME=$QUERVANE_WIN_CACHE/wine/xdg/config
export XDG_DATA_HOME=$QUERVANE_WIN_CACHE/wine/xdg/data
export XDG_CACHE_HOME=$QUERVANE_WIN_CACHE/wine/xdg/cache
export XDG_RUNTIME_DIR=$QUERVANE_WIN_CACHE/wine/xdg/runtime

# The Windows form of an absolute path of this machine (Wine's drive Z: is
# the root).
wine_path() {
    local path=$1
    [[ $path == /* ]] || path=$PWD/$path
    printf 'Z:%s' "${path//\//\\}"
}

# Creates the prefix once and keeps one Wine server for the whole run: a
# first Wine process started with a pipe as its output would otherwise
# start the server with that pipe, and a reader of the pipe would wait for
# it for minutes.
wine_start() {
    mkdir -p "$WINEPREFIX" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    # The server lives on after this returns: it must hold none of the
    # caller's pipes open.
    # A server left by an earlier run of this prefix goes first: -w would
    # wait for a persistent one forever.
    wineserver -k </dev/null >/dev/null 2>&1
    wineserver -w </dev/null >/dev/null 2>&1
    wineserver -p </dev/null >/dev/null 2>&1
    wine wineboot </dev/null >/dev/null 2>&1
}

# Ends every Windows process of the prefix and starts a fresh persistent
# server. Wine's desktop process stays bound to the display (or the absence
# of one) of the first window program it served: a test with a display of
# its own starts and ends with this, so that no earlier or later test
# inherits a desktop whose X server is gone.
wine_restart() {
    wineserver -k </dev/null >/dev/null 2>&1
    # Bounded: a server that does not go is left to the next -k.
    timeout 30 wineserver -w </dev/null >/dev/null 2>&1
    wineserver -p </dev/null >/dev/null 2>&1
}

wine_stop() {
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
}

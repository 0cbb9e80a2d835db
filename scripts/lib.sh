# Shared by scripts/run and scripts/test: package check and the CMake build.
# shellcheck shell=bash

QUERVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Installs the packages of scripts/packages.txt that are missing; silent when
# nothing is missing.
quervane_install_packages() {
    local missing=() pkg
    while read -r pkg; do
        [[ -z $pkg || $pkg == \#* ]] && continue
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done <"$QUERVANE_ROOT/scripts/packages.txt"
    ((${#missing[@]} == 0)) && return 0

    local sudo=()
    if [[ $(id -u) -ne 0 ]]; then
        sudo=(sudo)
    fi
    echo "Installing missing packages: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq &&
        "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
            apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# quervane_configure DIR [CMAKE OPTIONS...]: configures a Release build in
# DIR (relative to the project root) with Ninja.
quervane_configure() {
    local dir=$1
    shift
    local log="$QUERVANE_ROOT/$dir/configure.log"
    mkdir -p "$QUERVANE_ROOT/$dir"
    cmake -S "$QUERVANE_ROOT" -B "$QUERVANE_ROOT/$dir" -G Ninja \
        -DCMAKE_BUILD_TYPE=Release "$@" >"$log" 2>&1 || {
        cat "$log" >&2
        return 1
    }
}

# quervane_build DIR [TARGET...]: builds DIR; without targets, everything,
# going on past failures so that the tests that did build still run.
quervane_build() {
    local dir=$1
    shift
    local args=(--build "$QUERVANE_ROOT/$dir" --parallel "$(nproc)")
    if (($# > 0)); then
        args+=(--target "$@")
    else
        args+=(-- -k 0)
    fi
    cmake "${args[@]}"
}

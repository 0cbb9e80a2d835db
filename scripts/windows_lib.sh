# Shared by scripts/windows and scripts/test: the cross-built libraries that
# the Windows build needs, kept in a cache outside the checkout, and Wine.
# shellcheck shell=bash

QUERVANE_WIN_HOST=x86_64-w64-mingw32
QUERVANE_WIN_CACHE=${QUERVANE_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quervane/windows}

# Debian source packages come through a private list of type deb-src, so
# that the machine's own apt configuration stays as it is.
quervane_win_apt() {
    local tool=apt-get
    if [[ $1 == showsrc ]]; then
        tool=apt-cache
    fi
    local apt_dir=$QUERVANE_WIN_CACHE/apt
    "$tool" -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt_dir" \
        -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" "$@"
}

quervane_win_apt_update() {
    local apt_dir=$QUERVANE_WIN_CACHE/apt
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    # A day-old list is good enough: the source packages barely change.
    if [[ -f $apt_dir/updated ]] && [[ -z $(find "$apt_dir/updated" -mmin +1440) ]]; then
        return 0
    fi
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$apt_dir/src.sources"
    quervane_win_apt update -qq && touch "$apt_dir/updated"
}

# quervane_win_source_version PACKAGE: the newest version that apt offers
# and can fetch in full (a security update's source list can name files that
# the archive no longer holds), fetched and extracted.
quervane_win_source_version() {
    local version
    for version in $(quervane_win_apt showsrc "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -rV); do
        if quervane_win_fetch "$1" "$version" >&2; then
            echo "$version"
            return 0
        fi
    done
}

# quervane_win_fetch PACKAGE VERSION: extracts the source package into
# $QUERVANE_WIN_CACHE/src/PACKAGE-VERSION (with Debian's patches applied).
quervane_win_fetch() {
    local pkg=$1 version=$2
    local dir=$QUERVANE_WIN_CACHE/src/$pkg-$version
    [[ -f $dir.extracted ]] && return 0
    local download=$QUERVANE_WIN_CACHE/src/download-$pkg
    rm -rf "$download" "$dir"
    mkdir -p "$download"
    (cd "$download" && quervane_win_apt source --download-only -qq "$pkg=$version") || return 1
    local dsc
    dsc=$(ls "$download"/*.dsc) || return 1
    dpkg-source --no-check -x "$dsc" "$dir" >/dev/null || return 1
    rm -rf "$download"
    touch "$dir.extracted"
}

# The three libraries are each built once per version; a stamp file marks
# a complete installation so that an interrupted build starts again.
quervane_win_build_libpng() {
    local version=$1 prefix=$2
    local src=$QUERVANE_WIN_CACHE/src/libpng1.6-$version
    quervane_win_fetch libpng1.6 "$version" || return 1
    local build=$QUERVANE_WIN_CACHE/build/libpng-$version
    rm -rf "$build" && mkdir -p "$build"
    (cd "$build" && "$src/configure" --host=$QUERVANE_WIN_HOST --prefix="$prefix" \
        --disable-shared --enable-static CPPFLAGS=-I/usr/$QUERVANE_WIN_HOST/include &&
        make -j"$(nproc)" && make install) >"$build.log" 2>&1 || {
        tail -30 "$build.log" >&2
        return 1
    }
    rm -rf "$build"
}

quervane_win_build_wx() {
    local version=$1 prefix=$2 png_prefix=$3
    local src=$QUERVANE_WIN_CACHE/src/wxwidgets3.2-$version
    quervane_win_fetch wxwidgets3.2 "$version" || return 1
    local build=$QUERVANE_WIN_CACHE/build/wxmsw-$version
    rm -rf "$build" && mkdir -p "$build"
    local disabled=(webview mediactrl stc richtext aui propgrid ribbon xrc html htmlhelp webrequest)
    (cd "$build" && "$src/configure" --host=$QUERVANE_WIN_HOST --prefix="$prefix" \
        --with-msw --disable-shared --with-cxx=20 --with-zlib=sys --with-libpng=sys \
        --without-libjpeg --without-libtiff --without-expat --without-liblzma \
        --without-opengl --without-libcurl "${disabled[@]/#/--disable-}" \
        CPPFLAGS="-I$png_prefix/include" LDFLAGS="-L$png_prefix/lib" &&
        make -j"$(nproc)" && make install) >"$build.log" 2>&1 || {
        tail -40 "$build.log" >&2
        return 1
    }
    rm -rf "$build"
}

quervane_win_build_gtest() {
    local version=$1 prefix=$2
    local src=$QUERVANE_WIN_CACHE/src/googletest-$version
    quervane_win_fetch googletest "$version" || return 1
    local build=$QUERVANE_WIN_CACHE/build/googletest-$version
    rm -rf "$build" && mkdir -p "$build"
    (cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$QUERVANE_ROOT/cmake/mingw-w64.cmake" \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF -Dgtest_disable_pthreads=ON &&
        cmake --build "$build" --parallel "$(nproc)" && cmake --install "$build") >"$build.log" 2>&1 || {
        tail -30 "$build.log" >&2
        return 1
    }
    rm -rf "$build"
}

# nlohmann's JSON library is headers only: the Linux package's headers and
# CMake files, copied into a prefix of their own so that the cross build
# finds them without seeing the rest of /usr/include.
quervane_win_copy_json() {
    local prefix=$1
    rm -rf "$prefix"
    mkdir -p "$prefix/include" "$prefix/share/cmake" &&
        cp -r /usr/include/nlohmann "$prefix/include/" &&
        cp -r /usr/share/cmake/nlohmann_json "$prefix/share/cmake/"
}

# quervane_win_deps: makes sure that every cross-built library is in the
# cache; sets QUERVANE_WIN_PREFIXES (the folders the toolchain file
# searches) and QUERVANE_WIN_WX (wxMSW's prefix).
quervane_win_deps() {
    mkdir -p "$QUERVANE_WIN_CACHE/src" "$QUERVANE_WIN_CACHE/build"
    local wx_version gtest_version png_version
    wx_version=$(cat "$QUERVANE_WIN_CACHE/wx.version" 2>/dev/null)
    gtest_version=$(cat "$QUERVANE_WIN_CACHE/googletest.version" 2>/dev/null)
    png_version=$(cat "$QUERVANE_WIN_CACHE/libpng.version" 2>/dev/null)
    if [[ -z $wx_version || -z $gtest_version || -z $png_version ||
        ! -f $QUERVANE_WIN_CACHE/wxmsw-$wx_version/complete ||
        ! -f $QUERVANE_WIN_CACHE/googletest-$gtest_version/complete ||
        ! -f $QUERVANE_WIN_CACHE/libpng-$png_version/complete ]]; then
        quervane_win_apt_update || {
            echo "windows: the source package lists could not be fetched" >&2
            return 1
        }
        wx_version=$(quervane_win_source_version wxwidgets3.2)
        gtest_version=$(quervane_win_source_version googletest)
        png_version=$(quervane_win_source_version libpng1.6)
        if [[ -z $wx_version || -z $gtest_version || -z $png_version ]]; then
            echo "windows: apt offers no source of wxwidgets3.2, googletest or libpng1.6" >&2
            return 1
        fi
    fi
    local png=$QUERVANE_WIN_CACHE/libpng-$png_version
    local wx=$QUERVANE_WIN_CACHE/wxmsw-$wx_version
    local gtest=$QUERVANE_WIN_CACHE/googletest-$gtest_version
    local json=$QUERVANE_WIN_CACHE/nlohmann-json
    if [[ ! -f $png/complete ]]; then
        echo "windows: building libpng $png_version for Windows"
        rm -rf "$png"
        quervane_win_build_libpng "$png_version" "$png" && touch "$png/complete" || return 1
        echo "$png_version" >"$QUERVANE_WIN_CACHE/libpng.version"
    fi
    if [[ ! -f $gtest/complete ]]; then
        echo "windows: building GoogleTest $gtest_version for Windows"
        rm -rf "$gtest"
        quervane_win_build_gtest "$gtest_version" "$gtest" && touch "$gtest/complete" || return 1
        echo "$gtest_version" >"$QUERVANE_WIN_CACHE/googletest.version"
    fi
    if [[ ! -f $wx/complete ]]; then
        echo "windows: building wxMSW $wx_version (once per machine, about 20 minutes on 2 cores)"
        local start=$SECONDS
        rm -rf "$wx"
        quervane_win_build_wx "$wx_version" "$wx" "$png" && touch "$wx/complete" || return 1
        echo "$wx_version" >"$QUERVANE_WIN_CACHE/wx.version"
        echo "windows: wxMSW built in $((SECONDS - start)) s"
    fi
    [[ -f $json/share/cmake/nlohmann_json/nlohmann_jsonConfig.cmake ]] || quervane_win_copy_json "$json" || return 1
    # shellcheck disable=SC2034 # read by scripts/windows
    QUERVANE_WIN_PREFIXES="$wx;$png;$gtest;$json"
    # shellcheck disable=SC2034
    QUERVANE_WIN_WX=$wx
}

# quervane_win_test: builds the Windows side (scripts/windows) and runs its
# tests under Wine; adds their counts to the callers' passed and failed and
# sets status to 1 on any failure. A Windows build that cannot be made
# counts as one failure, and says why.
quervane_win_test() {
    echo "== build-windows: scripts/windows"
    local start=$SECONDS
    if ! "$QUERVANE_ROOT/scripts/windows"; then
        status=1
        if [[ ! -f $QUERVANE_ROOT/build-windows/quervane-scenario.exe ]]; then
            echo "== build-windows: the Windows build failed; no Windows test ran"
            failed=$((failed + 1))
            return
        fi
        echo "== build-windows: build incomplete; running the tests that were built"
    fi
    echo "== build-windows: built in $((SECONDS - start)) s; tests under Wine"
    local dir=$QUERVANE_ROOT/build-windows log=$QUERVANE_ROOT/build-windows/ctest.log
    (
        # shellcheck source=tests/windows/wine_env.sh
        source "$QUERVANE_ROOT/tests/windows/wine_env.sh"
        unset DISPLAY WAYLAND_DISPLAY
        wine_start
        cd "$dir" && ctest --output-on-failure -j2
        local result=$?
        wine_stop
        exit $result
    ) 2>&1 | tee "$log"
    local ctest_status=${PIPESTATUS[0]}
    local summary
    summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
    if [[ -n $summary ]]; then
        local failures total
        failures=$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$summary")
        total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
        passed=$((passed + total - failures))
        failed=$((failed + failures))
    elif ((ctest_status != 0)); then
        failed=$((failed + 1))
    fi
    # shellcheck disable=SC2034 # scripts/test's exit status
    ((ctest_status == 0)) || status=1
}

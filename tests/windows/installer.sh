#!/usr/bin/env bash
# installer.sh SETUP PACKAGE_FOLDER: the setup program run silently under
# Wine installs both programs under Program Files (the files shipped, byte
# for byte), the Start-menu entry and the uninstaller; the uninstaller run
# silently removes them.
set -u
here=$(dirname "$0")
# shellcheck source=tests/windows/wine_env.sh
source "$here/wine_env.sh"
fail() {
    echo "FAIL: $*"
    exit 1
}
setup=$1 package=$2
# The setup program and the uninstaller run without a display; their
# processes end with this test.
trap wine_restart EXIT
target="$WINEPREFIX/drive_c/Program Files/Quervane"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quervane"
"$here/wine_run.sh" "$setup" /S >/dev/null 2>&1 || fail "setup ended with status $?"
for program in Quervane.exe quervane-scenario.exe; do
    cmp -s "$package/$program" "$target/$program" || fail "$program not installed as shipped"
done
[[ -f $target/Uninstall.exe ]] || fail "no uninstaller"
[[ -f $menu/Quervane.lnk ]] || fail "no Start-menu entry"
# The uninstaller copies itself away and goes on after this returns.
"$here/wine_run.sh" "$target/Uninstall.exe" /S >/dev/null 2>&1
for _ in $(seq 1 100); do
    [[ -e $target/Quervane.exe || -e $menu ]] || break
    sleep 0.1
done
[[ -e $target/Quervane.exe ]] && fail "the uninstaller left Quervane.exe"
[[ -e $menu ]] && fail "the uninstaller left the Start-menu entry"
echo "PASS: silent installation and removal"

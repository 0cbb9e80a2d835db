#!/usr/bin/env bash
# ftp_wininet.sh FTP_PROBE: a listing and a download through WinINet under
# Wine from pyftpdlib on 127.0.0.1: the names (an accented one among them),
# folder marks and sizes as the server has them, the file byte for byte, and
# a wrong password refused.
set -u
here=$(dirname "$0")
# shellcheck source=tests/windows/wine_env.sh
source "$here/wine_env.sh"
fail() {
    echo "FAIL: $*"
    exit 1
}
work=$(mktemp -d)
server=
trap '[[ -n $server ]] && kill $server 2>/dev/null; rm -rf "$work"' EXIT
root=$work/root
mkdir -p "$root/in/ARCHIVES"
head -c 70000 /dev/urandom >"$root/in/J0412_1.ZIP"
# "Données.txt", as a server that speaks UTF-8 names it.
printf 'abonn\xc3\xa9s\r\n' >"$root/in/$(printf 'Donn\xc3\xa9es.txt')"
port=$((2100 + RANDOM % 800))
/usr/bin/python3 -m pyftpdlib -i 127.0.0.1 -p "$port" -d "$root" -u lecteur -P secret \
    >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 1 50); do
    grep -q "starting FTP server" "$work/server.log" 2>/dev/null && break
    sleep 0.1
done

out=$("$here/wine_run.sh" "$1" "$port" lecteur secret /in/ /in/J0412_1.ZIP \
    "$(wine_path "$work")\\J0412_1.ZIP" 2>/dev/null | tr -d '\r')
status=$?
# 1252 on the program's side.
expected=$(printf 'ARCHIVES dir\nDonn\xe9es.txt 10\nJ0412_1.ZIP 70000')
[[ $out == "$expected" ]] || fail "listing: $(printf '%s' "$out" | od -c | head -5)"
((status == 0)) || fail "exit status $status"
cmp -s "$root/in/J0412_1.ZIP" "$work/J0412_1.ZIP" || fail "the download differs"
[[ -e $work/J0412_1.ZIP.part ]] && fail "a partial file was left"

refused=$("$here/wine_run.sh" "$1" "$port" lecteur wrong /in/ /in/J0412_1.ZIP \
    "$(wine_path "$work")\\refused.ZIP" 2>/dev/null | tr -d '\r')
[[ $refused == error:* ]] || fail "a wrong password was not refused: $refused"
[[ -e $work/refused.ZIP ]] && fail "a refused login left a file"
echo "PASS: WinINet listing, download and refused login"

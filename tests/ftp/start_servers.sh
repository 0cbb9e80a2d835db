#!/bin/sh
# Starts FTP servers on free ports of 127.0.0.1 for manual tests and scripted
# runs ("ftp_port" of a scenario), and stops them when this script ends
# (Ctrl-C, or a kill of its process id).
#
#   start_servers.sh [-u USER] [-P PASSWORD] ROOT [ANONYMOUS_ROOT]
#
# - pyftpdlib serves ROOT to USER with PASSWORD (default jean / secret), with
#   machine listings (MLSD).
# - vsftpd, when ANONYMOUS_ROOT is given (root only), serves it to anonymous
#   users with LIST only. vsftpd refuses a root it could write to: make
#   ANONYMOUS_ROOT read-only (chmod 555) first.
#
# Prints one line per server: "pyftpdlib PORT" and "vsftpd PORT".
set -eu

user=jean
password=secret
while getopts u:P: option; do
    case $option in
        u) user=$OPTARG ;;
        P) password=$OPTARG ;;
        *) echo "usage: $0 [-u USER] [-P PASSWORD] ROOT [ANONYMOUS_ROOT]" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
[ $# -ge 1 ] || { echo "usage: $0 [-u USER] [-P PASSWORD] ROOT [ANONYMOUS_ROOT]" >&2; exit 2; }
root=$1
anonymous_root=${2:-}

python=/usr/bin/python3
free_port() {
    "$python" -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
wait_for() {
    i=0
    while [ $i -lt 100 ]; do
        "$python" -c "import socket; socket.create_connection(('127.0.0.1', $1), 1)" 2>/dev/null && return 0
        sleep 0.1
        i=$((i + 1))
    done
    echo "no server on port $1" >&2
    return 1
}

work=$(mktemp -d)
pids=
sleeper=
cleanup() {
    for pid in $pids $sleeper; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 0' INT TERM

port=$(free_port)
"$python" -m pyftpdlib -i 127.0.0.1 -p "$port" -d "$root" -u "$user" -P "$password" \
    >"$work/pyftpdlib.log" 2>&1 &
pids="$pids $!"
wait_for "$port"
echo "pyftpdlib $port"

if [ -n "$anonymous_root" ]; then
    mkdir -p /var/run/vsftpd/empty
    port=$(free_port)
    cat >"$work/vsftpd.conf" <<CONF
listen=YES
listen_ipv6=NO
listen_address=127.0.0.1
listen_port=$port
background=NO
anonymous_enable=YES
local_enable=NO
write_enable=NO
no_anon_password=YES
anon_root=$(cd "$anonymous_root" && pwd)
pasv_enable=YES
pasv_address=127.0.0.1
CONF
    vsftpd "$work/vsftpd.conf" >"$work/vsftpd.log" 2>&1 &
    pids="$pids $!"
    wait_for "$port"
    echo "vsftpd $port"
fi

while :; do
    sleep 3600 &
    sleeper=$!
    wait "$sleeper" || true
done

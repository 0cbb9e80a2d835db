#!/usr/bin/env python3
"""A deliberately bad FTP server for the Internet client's tests.

    slow_ftp_server.py MODE

Listens on a free port of 127.0.0.1, writes "PORT <n>" on its standard
output, and serves until killed. It refuses FEAT and MDTM, lists in the
DOS/IIS form, knows the folders "/" and "/in" and one file, J0412_1.TXT
(1000 bytes), whose transfer MODE spoils:

  normal          answers everything properly
  silent          accepts connections and never says a word
  stall-list      starts a listing and never sends it
  stall-file      sends the first 100 bytes of the file, then nothing
  close-mid-file  sends 100 bytes, then closes data and control connections
  abort-mid-file  sends 100 bytes, closes the data connection, replies 426
  short-file      sends 100 bytes, closes the data connection, replies 226
  trickle         sends the file 100 bytes at a time, 4 times a second
  refuse-login    replies 530 to every password
"""

import socket
import sys
import threading
import time

FILE_NAME = "J0412_1.TXT"
CONTENT = bytes(i % 251 for i in range(1000))
LISTING = (
    "03-05-24  02:07PM       <DIR>          Old Sets\r\n"
    "03-05-2024  09:15AM                 1,000 J0412_1.TXT\r\n"
).encode()
FOLDERS = {"/", "/in", "/in/"}


def hold(sock):
    """Keeps a connection open without answering, until the peer leaves."""
    try:
        while sock.recv(4096):
            pass
    except OSError:
        pass


class Session:
    def __init__(self, control, mode):
        self.control = control
        self.mode = mode
        self.listener = None
        self.cwd = "/"

    def reply(self, text):
        self.control.sendall((text + "\r\n").encode())

    def open_passive(self):
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(1)
        return self.listener.getsockname()[1]

    def accept_data(self):
        self.listener.settimeout(10)
        data, _ = self.listener.accept()
        self.listener.close()
        self.listener = None
        return data

    def lines(self):
        buffer = b""
        while True:
            chunk = self.control.recv(4096)
            if not chunk:
                return
            buffer += chunk
            while b"\r\n" in buffer:
                line, buffer = buffer.split(b"\r\n", 1)
                yield line.decode("utf-8", "replace")

    def run(self):
        if self.mode == "silent":
            hold(self.control)
            return
        self.reply("220 test server ready")
        for line in self.lines():
            verb, _, argument = line.partition(" ")
            if not self.command(verb.upper(), argument):
                return

    def command(self, verb, argument):
        if verb == "USER":
            self.reply("331 password please")
        elif verb == "PASS":
            self.reply("530 login incorrect" if self.mode == "refuse-login" else "230 welcome")
        elif verb == "PWD":
            self.reply('257 "/" is the current folder')
        elif verb == "CWD":
            if argument in FOLDERS:
                self.cwd = argument
                self.reply("250 ok")
            else:
                self.reply("550 no such folder")
        elif verb == "TYPE":
            self.reply("200 type set")
        elif verb == "EPSV":
            self.reply("229 Entering Extended Passive Mode (|||%d|)" % self.open_passive())
        elif verb == "PASV":
            port = self.open_passive()
            self.reply("227 Entering Passive Mode (127,0,0,1,%d,%d)" % (port // 256, port % 256))
        elif verb == "SIZE":
            if argument.endswith(FILE_NAME):
                self.reply("213 %d" % len(CONTENT))
            else:
                self.reply("550 no such file")
        elif verb == "REST":
            self.reply("350 restarting")
        elif verb in ("LIST", "NLST"):
            self.listing()
        elif verb == "RETR":
            return self.retrieve(argument)
        elif verb == "QUIT":
            self.reply("221 bye")
            return False
        else:
            self.reply("502 not implemented")
        return True

    def listing(self):
        self.reply("150 listing follows")
        data = self.accept_data()
        if self.mode == "stall-list":
            hold(data)
            return
        data.sendall(LISTING)
        data.close()
        self.reply("226 done")

    def retrieve(self, argument):
        if not argument.endswith(FILE_NAME):
            self.reply("550 no such file")
            return True
        self.reply("150 opening data connection (%d bytes)" % len(CONTENT))
        data = self.accept_data()
        if self.mode == "trickle":
            for start in range(0, len(CONTENT), 100):
                data.sendall(CONTENT[start:start + 100])
                time.sleep(0.25)
        elif self.mode in ("stall-file", "close-mid-file", "abort-mid-file", "short-file"):
            data.sendall(CONTENT[:100])
            if self.mode == "stall-file":
                hold(data)
                return True
        else:
            data.sendall(CONTENT)
        data.close()
        if self.mode == "close-mid-file":
            self.control.close()
            return False
        self.reply("426 transfer aborted" if self.mode == "abort-mid-file" else "226 done")
        return True


def serve(control, mode):
    with control:
        try:
            Session(control, mode).run()
        except OSError:
            pass


def main():
    mode = sys.argv[1] if len(sys.argv) > 1 else "normal"
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", 0))
    server.listen(8)
    print("PORT %d" % server.getsockname()[1], flush=True)
    while True:
        control, _ = server.accept()
        threading.Thread(target=serve, args=(control, mode), daemon=True).start()


if __name__ == "__main__":
    main()

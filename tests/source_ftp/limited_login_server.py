#!/usr/bin/env python3
"""An FTP server (pyftpdlib) that lets a user in a given number of times,
then refuses every further login.

    limited_login_server.py ROOT USER PASSWORD LOGINS

Listens on a free port of 127.0.0.1, writes "PORT <n>" on its standard
output, and serves ROOT until killed. The file picker logs in once for each
of its two listings of a folder; the transfer that follows logs in again:
with LOGINS 2 the listings work and the transfer meets a refused login.
"""

import sys

from pyftpdlib.authorizers import AuthenticationFailed, DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


class LimitedAuthorizer(DummyAuthorizer):
    def __init__(self, logins):
        super().__init__()
        self.left = logins

    def validate_authentication(self, username, password, handler):
        if self.left <= 0:
            raise AuthenticationFailed("no more logins")
        super().validate_authentication(username, password, handler)
        self.left -= 1


def main():
    root, user, password, logins = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
    authorizer = LimitedAuthorizer(logins)
    authorizer.add_user(user, password, root, perm="elr")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.auth_failed_timeout = 0
    server = FTPServer(("127.0.0.1", 0), handler)
    print("PORT %d" % server.socket.getsockname()[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()

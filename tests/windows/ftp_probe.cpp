// ftp-probe PORT USER PASSWORD FOLDER REMOTE_FILE LOCAL_FILE: logs in to an
// FTP server on 127.0.0.1, prints the entries of FOLDER (one a line: name,
// "dir" or the size) and downloads REMOTE_FILE to LOCAL_FILE. Exit status 0
// when both worked; the error text otherwise.
#include <cstdio>
#include <cstdlib>

#include "platform/inet/inet.h"

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: ftp-probe PORT USER PASSWORD FOLDER REMOTE LOCAL\n");
        return 2;
    }
    try {
        CInternetSession session;
        auto connection =
            session.GetFtpConnection("127.0.0.1", argv[2], argv[3], std::atoi(argv[1]));
        CFtpFileFind finder(*connection);
        bool more = finder.FindFile(std::string(argv[4]) + "*");
        while (more) {
            more = finder.FindNextFile();
            if (finder.IsDirectory()) {
                std::printf("%s dir\n", finder.GetFileName().c_str());
            } else {
                std::printf("%s %lld\n", finder.GetFileName().c_str(),
                            static_cast<long long>(finder.GetLength()));
            }
        }
        if (!connection->GetFile(argv[5], argv[6], false)) {
            std::printf("download refused\n");
            return 1;
        }
    } catch (const CInternetException& e) {
        std::printf("error: %s\n", e.GetErrorMessage().c_str());
        return 1;
    }
    return 0;
}

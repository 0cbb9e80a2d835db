// The texts of Internet errors, in French, for the operator. A text names
// the server, the remote path or the local file concerned; it never holds the
// user name or the password, which are not even passed here.
#pragma once

#include <string>
#include <string_view>

#include "platform/inet/inet.h"

namespace plat::ftp {

enum class Operation { Connect, Download, List };

struct ErrorContext {
    std::string_view host;    // 1252
    std::string_view remote;  // remote file or folder, 1252
    std::string_view local;   // local file of a download, 1252
    int detail = 0;           // a code for the cases without a text of their own
};

// 1252 text.
std::string ErrorText(InternetError error, Operation operation, const ErrorContext& context);

inline CInternetException MakeInternetException(InternetError error, Operation operation,
                                                const ErrorContext& context) {
    return CInternetException(error, ErrorText(error, operation, context));
}

}  // namespace plat::ftp

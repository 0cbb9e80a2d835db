#include "platform/settings.h"

#include <atomic>

namespace plat {

namespace {
// 0: no override. Atomic because the windowing backend runs the import on a
// worker thread.
std::atomic<int> ftpPortOverride{0};
}  // namespace

void SetFtpPortOverride(std::optional<int> port) {
    ftpPortOverride = port && *port > 0 && *port < 65536 ? *port : 0;
}

std::optional<int> FtpPortOverride() {
    const int port = ftpPortOverride;
    if (port == 0) return std::nullopt;
    return port;
}

}  // namespace plat

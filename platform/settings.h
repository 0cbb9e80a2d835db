// Settings of a scripted run that reach below the business code. The
// product never sets them.
#pragma once

#include <optional>

namespace plat {

// FTP connections that would go to the default port (21) go to this port of
// the same host instead. std::nullopt (the default) keeps the default port.
void SetFtpPortOverride(std::optional<int> port);
std::optional<int> FtpPortOverride();

}  // namespace plat

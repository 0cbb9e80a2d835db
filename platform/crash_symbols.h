// Names for the return addresses of a backtrace, read from the symbol tables
// of the modules' files (.symtab, else .dynsym), so that the faulting
// process needs no symbolizer of its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// One line per frame: "#N  0xADDRESS  function+0xOFFSET  (module+0xOFFSET)",
// "??" where no symbol covers the address. frames[0] is the faulting
// instruction when firstIsExact; every other frame is a return address and
// is looked up one byte earlier, inside its call instruction. maps is the
// text of the process's /proc/PID/maps.
std::vector<std::string> SymbolizeFrames(const std::vector<std::uint64_t>& frames,
                                         bool firstIsExact, std::string_view maps);

}  // namespace plat

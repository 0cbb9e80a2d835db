// Names of ZIP entries: what the bytes of a central header mean in 1252, and
// under which folders an entry lands in a target folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// The 1252 form of an entry's stored name, with "\" as folder separator:
// unicodePath (the UTF-8 name of the Unicode path extra field) when given;
// else UTF-8 when flags has bit 11; else the bytes themselves when they are
// ASCII; else code page 850 when host (the high byte of "version made by")
// is a DOS or Windows file system; else UTF-8 when valid, else 1252.
std::string DecodeEntryName(std::string_view raw, std::uint16_t flags, std::uint8_t host,
                            std::string_view unicodePath);

// The folder and file components under which an entry lands in a target
// folder ("SET\SUB\X.TXT" -> SET, SUB, X.TXT; "." and empty components
// dropped). False, with no components, when the name would not stay inside
// the target: empty, absolute ("\" or "/" first), with a ":" (drive letter,
// stream), a component of dots and blanks only other than "." (".." among
// them), a control character, or a device name (CON, NUL, COM1 ...).
bool SplitEntryName(std::string_view name, std::vector<std::string_view>& components);

}  // namespace plat

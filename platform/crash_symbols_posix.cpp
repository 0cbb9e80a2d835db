#include "platform/crash_symbols.h"

#include <cxxabi.h>
#include <elf.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>

namespace plat {
namespace {

struct Mapping {
    std::uint64_t start = 0;
    std::uint64_t end = 0;
    std::uint64_t fileOffset = 0;
    std::string path;
};

std::vector<Mapping> ParseMaps(std::string_view maps) {
    std::vector<Mapping> result;
    std::size_t pos = 0;
    while (pos < maps.size()) {
        std::size_t eol = maps.find('\n', pos);
        if (eol == std::string_view::npos) eol = maps.size();
        std::string line(maps.substr(pos, eol - pos));
        pos = eol + 1;
        unsigned long long start = 0, end = 0, offset = 0;
        int pathStart = 0;
        if (std::sscanf(line.c_str(), "%llx-%llx %*s %llx %*s %*s %n", &start, &end, &offset,
                        &pathStart) < 3 ||
            pathStart <= 0)
            continue;
        Mapping m{start, end, offset, line.substr(static_cast<std::size_t>(pathStart))};
        if (!m.path.empty() && m.path[0] == '/') result.push_back(std::move(m));
    }
    return result;
}

std::string Demangle(const char* name) {
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> demangled(
        abi::__cxa_demangle(name, nullptr, nullptr, &status), &std::free);
    return status == 0 && demangled ? std::string(demangled.get()) : std::string(name);
}

// A module file mapped read-only, with its function symbols.
class ElfImage {
public:
    explicit ElfImage(const std::string& path) {
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && st.st_size > static_cast<off_t>(sizeof(Elf64_Ehdr))) {
            void* p = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE,
                             fd, 0);
            if (p != MAP_FAILED) {
                data_ = static_cast<const unsigned char*>(p);
                size_ = static_cast<std::size_t>(st.st_size);
            }
        }
        ::close(fd);
        if (data_ && !IsElf64()) Unmap();
    }
    ElfImage(const ElfImage&) = delete;
    ElfImage& operator=(const ElfImage&) = delete;
    ~ElfImage() { Unmap(); }

    // The virtual address (as linked) of a byte of the file.
    std::optional<std::uint64_t> AddressOfOffset(std::uint64_t offset) const {
        if (!data_) return std::nullopt;
        const auto* eh = Header();
        for (unsigned i = 0; i < eh->e_phnum; ++i) {
            const auto* ph = At<Elf64_Phdr>(eh->e_phoff + std::uint64_t{i} * eh->e_phentsize);
            if (!ph || ph->p_type != PT_LOAD) continue;
            if (offset >= ph->p_offset && offset < ph->p_offset + ph->p_filesz)
                return offset - ph->p_offset + ph->p_vaddr;
        }
        return std::nullopt;
    }

    // The function that covers address, with the distance from its start.
    std::optional<std::pair<std::string, std::uint64_t>> FunctionAt(std::uint64_t address) const {
        if (!data_) return std::nullopt;
        for (unsigned type : {SHT_SYMTAB, SHT_DYNSYM}) {
            if (auto found = Search(type, address)) return found;
        }
        return std::nullopt;
    }

private:
    bool IsElf64() const {
        const auto* eh = Header();
        return std::memcmp(eh->e_ident, ELFMAG, SELFMAG) == 0 &&
               eh->e_ident[EI_CLASS] == ELFCLASS64 && eh->e_ident[EI_DATA] == ELFDATA2LSB;
    }
    const Elf64_Ehdr* Header() const { return reinterpret_cast<const Elf64_Ehdr*>(data_); }

    template <typename T>
    const T* At(std::uint64_t offset) const {
        if (offset > size_ || size_ - offset < sizeof(T)) return nullptr;
        return reinterpret_cast<const T*>(data_ + offset);
    }

    const Elf64_Shdr* Section(unsigned index) const {
        const auto* eh = Header();
        if (index >= eh->e_shnum) return nullptr;
        return At<Elf64_Shdr>(eh->e_shoff + std::uint64_t{index} * eh->e_shentsize);
    }

    std::optional<std::pair<std::string, std::uint64_t>> Search(unsigned type,
                                                                std::uint64_t address) const {
        const auto* eh = Header();
        for (unsigned s = 0; s < eh->e_shnum; ++s) {
            const auto* sh = Section(s);
            if (!sh || sh->sh_type != type || sh->sh_entsize != sizeof(Elf64_Sym)) continue;
            const auto* strings = Section(sh->sh_link);
            if (!strings || strings->sh_offset > size_) continue;
            std::uint64_t count = sh->sh_size / sizeof(Elf64_Sym);
            for (std::uint64_t i = 0; i < count; ++i) {
                const auto* sym = At<Elf64_Sym>(sh->sh_offset + i * sizeof(Elf64_Sym));
                if (!sym) break;
                unsigned kind = ELF64_ST_TYPE(sym->st_info);
                if ((kind != STT_FUNC && kind != STT_GNU_IFUNC) || sym->st_value == 0) continue;
                if (address < sym->st_value || address >= sym->st_value + sym->st_size) continue;
                std::uint64_t nameAt = strings->sh_offset + sym->st_name;
                if (nameAt >= size_) continue;
                const char* name = reinterpret_cast<const char*>(data_ + nameAt);
                std::size_t maxLength = size_ - nameAt;
                if (strnlen(name, maxLength) == maxLength) continue;
                return std::make_pair(Demangle(name), address - sym->st_value);
            }
        }
        return std::nullopt;
    }

    void Unmap() {
        if (data_) ::munmap(const_cast<unsigned char*>(data_), size_);
        data_ = nullptr;
        size_ = 0;
    }

    const unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
};

std::string Hex(std::uint64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%" PRIx64, value);
    return text;
}

}  // namespace

std::vector<std::string> SymbolizeFrames(const std::vector<std::uint64_t>& frames,
                                         bool firstIsExact, std::string_view maps) {
    std::vector<Mapping> mappings = ParseMaps(maps);
    std::map<std::string, std::unique_ptr<ElfImage>> images;
    std::vector<std::string> lines;
    for (std::size_t n = 0; n < frames.size(); ++n) {
        std::uint64_t address = frames[n];
        std::uint64_t lookup = (n == 0 && firstIsExact) || address == 0 ? address : address - 1;
        char head[64];
        std::snprintf(head, sizeof head, "#%-2zu 0x%016" PRIx64 "  ", n, address);
        std::string line = head;
        const Mapping* module = nullptr;
        for (const auto& m : mappings) {
            if (lookup >= m.start && lookup < m.end) module = &m;
        }
        if (!module) {
            lines.push_back(line + "??");
            continue;
        }
        std::uint64_t offset = lookup - module->start + module->fileOffset;
        auto& image = images[module->path];
        if (!image) image = std::make_unique<ElfImage>(module->path);
        std::optional<std::pair<std::string, std::uint64_t>> function;
        if (auto linked = image->AddressOfOffset(offset)) function = image->FunctionAt(*linked);
        line += function ? function->first + "+" + Hex(function->second) : std::string("??");
        line += "  (" + module->path + "+" + Hex(offset) + ")";
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace plat

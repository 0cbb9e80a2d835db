// Any bytes as an archive: the reader either refuses them or lists entries
// whose names stay inside the target folder, and no extraction delivers more
// than the entry's declared size. The same bytes as an entry name must not
// give a component that leaves the target.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/zip/zip_reader.h"

namespace {

class BoundedSink final : public plat::ZipSink {
public:
    explicit BoundedSink(std::uint64_t limit) : limit_(limit) {}
    bool Write(const void*, std::size_t size) override {
        total += size;
        if (total > limit_) __builtin_trap();
        return true;
    }
    std::uint64_t total = 0;

private:
    std::uint64_t limit_;
};

void CheckComponents(std::string_view name) {
    std::vector<std::string_view> components;
    if (!plat::SplitEntryName(name, components)) {
        if (!components.empty()) __builtin_trap();
        return;
    }
    if (components.empty()) __builtin_trap();
    for (std::string_view c : components) {
        const bool leaves =
            c.empty() || c == "." || c == ".." || c.find_first_of("\\/:") != std::string_view::npos;
        if (leaves) __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CheckComponents(bytes);

    plat::ZipLimits limits;
    limits.maxTotalSize = std::uint64_t{16} << 20;  // keeps every input fast
    plat::ZipReader reader;
    if (!reader.Open(std::make_unique<plat::ZipMemorySource>(bytes), limits)) return 0;
    std::uint64_t declared = 0;
    for (std::size_t i = 0; i < reader.Entries().size(); ++i) {
        const plat::ZipEntryHeader& entry = reader.Entries()[i];
        std::vector<std::string_view> components;
        if (!plat::SplitEntryName(entry.name, components)) __builtin_trap();
        CheckComponents(entry.name);
        declared += entry.size;
        if (declared > limits.maxTotalSize) __builtin_trap();
        BoundedSink sink(entry.size);
        const plat::ZipResult result = reader.Extract(i, sink);
        if (result && !entry.isFolder && sink.total != entry.size) __builtin_trap();
    }
    return 0;
}

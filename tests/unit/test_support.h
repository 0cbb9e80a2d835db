// Helpers the tests share: a temporary folder that cleans up after itself,
// whole-file reads and writes, a file that cannot be read, and universal
// times. Tests use the standard library for their
// own files, never the code under test.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

namespace test_support {

// A fresh folder under the system's temporary folder, removed with all it
// holds.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "quervane-test") {
        std::error_code error;
        const auto base = std::filesystem::temp_directory_path(error);
        std::random_device random;
        // A name nobody else created: create_directory fails on one that
        // exists.
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            auto candidate = base / (prefix + "-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate, error)) path_ = candidate;
        }
    }
    ~TempFolder() {
        namespace fs = std::filesystem;
        std::error_code ignored;
        // Read-only folders (an anonymous FTP root) must be writable to empty them.
        for (auto it = fs::recursive_directory_iterator(path_, ignored);
             it != fs::recursive_directory_iterator(); it.increment(ignored))
            if (it->is_directory(ignored))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    bool ok() const { return !path_.empty(); }

private:
    std::filesystem::path path_;
};

// A file that opens but whose first read fails (EIO): the process's own
// memory, read from address 0. Empty where the system has none.
inline std::string FichierIllisible() {
    const char* const chemin = "/proc/self/mem";
    return std::filesystem::exists(chemin) ? chemin : "";
}

// Writes content as the whole file, making the folders on the way.
inline void WriteFile(const std::filesystem::path& path, const std::string& content) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

// The whole file, empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Seconds since 1970 of a universal time, from the standard library's
// calendar rather than from the date code under test.
inline std::int64_t Utc(int year, int month, int day, int hour = 0, int minute = 0,
                        int second = 0) {
    using namespace std::chrono;
    const sys_days date{std::chrono::year{year} / month / day};
    return date.time_since_epoch() / seconds{1} + (hour * 60 + minute) * 60 + second;
}

}  // namespace test_support

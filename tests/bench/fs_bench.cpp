// Streams of platform/fs against the C library's on the work the import run
// does most: lines of a large text file, fixed-length records, line output.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/fs/fs.h"
#include "tests/bench/bench.h"

namespace {

constexpr int kLines = 1000000;

void WriteSample(const std::string& path) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    for (int i = 0; i < kLines; ++i) {
        std::fprintf(out, "%08d ABONNE %-40s RUE DES LILAS %05d\r\n", i, "DUPONT JEAN", i % 99999);
    }
    std::fclose(out);
}

}  // namespace

int main() {
    namespace stdfs = std::filesystem;
    const stdfs::path folder =
        stdfs::temp_directory_path() / ("fs_bench_" + std::to_string(getpid()));
    stdfs::create_directories(folder);
    const std::string sample = (folder / "sample.txt").string();
    WriteSample(sample);
    long sink = 0;

    bench::Compare(
        "GetLine, 1,000,000 lines, text mode",
        [&] {
            plat::File f = plat::File::Open(sample, "r");
            std::string line;
            while (f.GetLine(line, 512)) sink += static_cast<long>(line.size());
        },
        "fgets",
        [&] {
            std::FILE* f = std::fopen(sample.c_str(), "r");
            char line[512];
            while (std::fgets(line, sizeof line, f)) sink += line[0];
            std::fclose(f);
        });

    bench::Compare(
        "Read, 400-byte records, binary",
        [&] {
            plat::File f = plat::File::Open(sample, "rb");
            char record[400];
            while (f.Read(record, sizeof record, 1) == 1) sink += record[0];
        },
        "fread",
        [&] {
            std::FILE* f = std::fopen(sample.c_str(), "rb");
            char record[400];
            while (std::fread(record, sizeof record, 1, f) == 1) sink += record[0];
            std::fclose(f);
        });

    const std::string out = (folder / "out.txt").string();
    const std::string line(78, 'x');
    bench::Compare(
        "Puts, 1,000,000 lines, text mode",
        [&] {
            plat::File f = plat::File::Open(out, "w");
            for (int i = 0; i < kLines; ++i) f.Puts(line + "\n");
        },
        "fputs",
        [&] {
            std::FILE* f = std::fopen(out.c_str(), "w");
            for (int i = 0; i < kLines; ++i) std::fputs((line + "\r\n").c_str(), f);
            std::fclose(f);
        });

    stdfs::remove_all(folder);
    return sink == 42 ? 1 : 0;
}

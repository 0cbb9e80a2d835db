// What the disk transfers of a pre-sorted conversion cost on this machine,
// before any record is looked at, against the cp that the conversion
// benchmark divides by. A run with the pre-sort reads the subscriber file
// twice (keys, then lots), writes its regrouped copy a piece of every group
// per lot, reads the copy back in the pass, writes about as many bytes of
// base records, and deletes the file that the copy replaced. The last line
// adds them up: the processor time of the transfers alone, in units of cp.
// Shared among the machine's cores, and with the work on the records added,
// it bounds what the conversion benchmark can print.
//
//   presort_floor_bench [MEGABYTES]   (400 by default: 1,000,000 records)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/fs/fs.h"
#include "tests/bench/bench.h"

namespace {

constexpr std::size_t kChunk = 2 << 20;
constexpr std::size_t kGroups = 3000;   // routes of the benchmark's set
constexpr std::size_t kLot = 40 << 20;  // the pre-sort's lot for 1,000,000 records

std::string Record(std::size_t i) {
    char line[512];
    std::snprintf(line, sizeof line, "%-398.398s\r\n", std::to_string(i).c_str());
    return line;
}

// A file of that many bytes of 400-byte lines, on the disk (synced), as the
// benchmark's set is before each run.
void WriteOnDisk(const std::string& path, std::size_t bytes) {
    std::string chunk;
    while (chunk.size() < kChunk) chunk += Record(chunk.size());
    plat::File out = plat::File::Open(path, "wb");
    for (std::size_t done = 0; done < bytes; done += chunk.size())
        out.Write(chunk.data(), 1, std::min(chunk.size(), bytes - done));
    out.Close();
    ::sync();
}

double ReadWhole(const std::string& path) {
    return bench::BestSeconds(
        [&] {
            plat::File in = plat::File::Open(path, "rb");
            std::vector<char> chunk(kChunk);
            while (in.Read(chunk.data(), 1, chunk.size()) > 0) {
            }
        },
        3);
}

// As the pass writes its base records: lines of some 440 bytes.
double WriteLines(const std::string& path, std::size_t bytes) {
    const std::string line(442, 'x');
    return bench::BestSecondsAfter([&] { plat::DeleteFile(path); },
                                   [&] {
                                       plat::File out = plat::File::Open(path, "w");
                                       for (std::size_t done = 0; done < bytes;
                                            done += line.size() + 2)
                                           out.WriteLine(line);
                                       out.Close();
                                   },
                                   3);
}

// The copy as the pre-sort writes it: room taken at once, then for each lot
// one piece per group at the place the group has got to.
double WriteByLots(const std::string& path, std::size_t bytes) {
    const std::size_t group = bytes / kGroups;
    const std::size_t lots = std::max<std::size_t>(1, bytes / kLot);
    const std::size_t piece = group / lots;
    const std::string lot(piece * kGroups, 'y');
    return bench::BestSecondsAfter(
        [&] { plat::DeleteFile(path); },
        [&] {
            plat::File out = plat::File::Open(path, "wb");
            out.Reserve(static_cast<std::int64_t>(group * kGroups));
            for (std::size_t l = 0; l < lots; ++l) {
                std::vector<plat::File::Placed> pieces;
                for (std::size_t g = 0; g < kGroups; ++g)
                    pieces.push_back({static_cast<std::int64_t>(g * group + l * piece),
                                      std::string_view(lot).substr(g * piece, piece)});
                out.WriteBehind(std::move(pieces));
            }
            out.Close();
        },
        3);
}

// A file on the disk and in the cache, as the pre-sort leaves the file that
// its copy replaces.
double DeleteOnDisk(const std::string& path, std::size_t bytes) {
    return bench::BestSecondsAfter(
        [&] {
            WriteOnDisk(path, bytes);
            ReadWhole(path);
        },
        [&] { plat::DeleteFile(path); }, 3);
}

}  // namespace

int main(int argc, char** argv) {
    namespace stdfs = std::filesystem;
    const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 400;
    const std::size_t bytes = megabytes << 20;
    const stdfs::path folder =
        stdfs::temp_directory_path() / ("presort_floor_" + std::to_string(getpid()));
    stdfs::create_directories(folder);
    const std::string source = (folder / "JOURNAL.CYB").string();
    WriteOnDisk(source, bytes);
    ReadWhole(source);

    const std::string copy = (folder / "copy").string();
    const double cp = bench::BestSecondsAfter([&] { plat::DeleteFile(copy); },
                                              [&] { plat::CopyFile(source, copy); }, 3);
    plat::DeleteFile(copy);
    const double read = ReadWhole(source);
    const double write = WriteLines(copy, bytes);
    const double lots = WriteByLots(copy, bytes);
    plat::DeleteFile(copy);
    const double deletion = DeleteOnDisk(copy, bytes);

    auto Line = [cp](const char* what, double seconds) {
        std::printf("%-52s %8.3f s   ratio to cp %5.2f\n", what, seconds, seconds / cp);
    };
    std::printf("%zu MB on this machine\n", megabytes);
    Line("cp of the subscriber file", cp);
    Line("one reading of it", read);
    Line("as many bytes written in lines, as base records", write);
    Line("the copy written a piece of each group per lot", lots);
    Line("deleting it once on the disk and in the cache", deletion);
    Line("pre-sorted run: 3 readings, lots, base, deletion", 3 * read + lots + write + deletion);
    stdfs::remove_all(folder);
    return 0;
}

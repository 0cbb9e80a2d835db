#include "platform/zip/zip_archive.h"

#include <cstdio>
#include <vector>

#include "platform/codepage.h"
#include "platform/fs/fs.h"

namespace plat {
namespace {

class FileSource final : public ZipSource {
public:
    FileSource(File file, std::uint64_t size) : file_(std::move(file)), size_(size) {}
    std::uint64_t Size() const override { return size_; }
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        return file_.Seek(static_cast<std::int64_t>(offset), SEEK_SET) &&
               file_.Read(buffer, 1, size) == size;
    }

private:
    File file_;
    std::uint64_t size_;
};

class FileSink final : public ZipSink {
public:
    explicit FileSink(File& file) : file_(file) {}
    bool Write(const void* data, std::size_t size) override {
        return file_.Write(data, 1, size) == size;
    }

private:
    File& file_;
};

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

std::string FolderPrefix(std::string_view folder) {
    std::string prefix(folder);
    if (!prefix.empty() && !IsSeparator(prefix.back())) prefix.push_back('\\');
    return prefix;
}

bool EnsureFolder(const std::string& path) {
    return FolderExists(path) || CreateDirectory(path);
}

// Rename over an existing file, whichever way MoveFile treats one.
bool Replace(const std::string& from, const std::string& to) {
    if (MoveFile(from, to)) return true;
    return FileExists(to) && DeleteFile(to) && MoveFile(from, to);
}

std::string MethodName(std::uint16_t method) {
    switch (method) {
        case 9:
            return "Deflate64";
        case 12:
            return "BZip2";
        case 14:
            return "LZMA";
        case 93:
            return "Zstandard";
        case 95:
            return "XZ";
        case 98:
            return "PPMd";
        default:
            return Cp1252FromUtf8("n° ") + std::to_string(method);
    }
}

// Texts in UTF-8; {archive}, {entry} and {method} are filled in.
const char* MessageTemplate(ZipStatus status) {
    switch (status) {
        case ZipStatus::Ok:
            return "";
        case ZipStatus::CannotOpen:
            return "Impossible d'ouvrir l'archive {archive}.";
        case ZipStatus::NotAZip:
            return "Le fichier {archive} n'est pas une archive ZIP.";
        case ZipStatus::Damaged:
            return "L'archive {archive} est endommagée ou incomplète{ (entry)} : "
                   "elle ne peut pas être extraite.";
        case ZipStatus::SplitArchive:
            return "L'archive {archive} est découpée en plusieurs fichiers : "
                   "elle ne peut pas être extraite.";
        case ZipStatus::Encrypted:
            return "L'archive {archive} contient un fichier protégé par un mot de passe{ (entry)} "
                   ": "
                   "elle ne peut pas être extraite.";
        case ZipStatus::Unsupported:
            return "L'archive {archive} utilise une méthode de compression non prise en charge "
                   "({method}){ pour entry} : elle ne peut pas être extraite.";
        case ZipStatus::UnsafeName:
            return "L'archive {archive} est refusée : le fichier{ entry} serait extrait hors du "
                   "dossier de destination.";
        case ZipStatus::TooLarge:
            return "L'archive {archive} est refusée : une fois décompressée, elle occuperait "
                   "plus de 8 Go.";
        case ZipStatus::RatioTooHigh:
            return "L'archive {archive} est refusée : le fichier{ entry} est anormalement "
                   "compressé (plus de 1000 pour 1).";
        case ZipStatus::CrcMismatch:
            return "L'archive {archive} est endommagée : le contrôle du fichier{ entry} a échoué.";
        case ZipStatus::WriteFailed:
            return "Impossible d'écrire le fichier{ entry} extrait de l'archive {archive}.";
        case ZipStatus::NoSuchEntry:
            return "L'archive {archive} ne contient pas le fichier demandé.";
    }
    return "";
}

// One pass over the template, so that a name holding braces stays as it is:
// "{archive}" and "{method}" are replaced, and a group such as "{ (entry)}"
// appears, with the entry's name for "entry", only when there is a name.
std::string Fill(std::string_view text, std::string_view archive, std::string_view entry,
                 std::string_view method) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find('{', pos);
        const std::size_t close = text.find('}', open);
        if (open == std::string_view::npos || close == std::string_view::npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, open - pos));
        const std::string_view group = text.substr(open + 1, close - open - 1);
        if (group == "archive") {
            out.append(archive);
        } else if (group == "method") {
            out.append(method);
        } else if (const std::size_t at = group.find("entry");
                   !entry.empty() && at != std::string_view::npos) {
            out.append(group.substr(0, at)).append(entry).append(group.substr(at + 5));
        }
        pos = close + 1;
    }
    return out;
}

}  // namespace

ZipResult ZipArchive::Open(std::string_view path, const ZipLimits& limits) {
    reader_.Close();
    File file = File::Open(path, "rb");
    if (!file || !file.Seek(0, SEEK_END)) return {ZipStatus::CannotOpen, {}, 0};
    const std::int64_t size = file.Tell();
    if (size < 0) return {ZipStatus::CannotOpen, {}, 0};
    return reader_.Open(
        std::make_unique<FileSource>(std::move(file), static_cast<std::uint64_t>(size)), limits);
}

bool ZipArchive::GetEntryHeader(std::size_t index, ZipEntryHeader& header) const {
    if (index >= reader_.Entries().size()) return false;
    header = reader_.Entries()[index];
    return true;
}

ZipResult ZipArchive::Extract(std::size_t index, std::string_view folder) {
    if (!IsOpen() || index >= GetCount()) return {ZipStatus::NoSuchEntry, {}, 0};
    const ZipEntryHeader& entry = reader_.Entries()[index];
    std::vector<std::string_view> components;
    if (!SplitEntryName(entry.name, components)) return {ZipStatus::UnsafeName, entry.name, 0};
    std::string path = FolderPrefix(folder);
    if (!path.empty() && !EnsureFolder(path)) return {ZipStatus::WriteFailed, entry.name, 0};
    const std::size_t folders = entry.isFolder ? components.size() : components.size() - 1;
    for (std::size_t i = 0; i < folders; ++i) {
        path.append(components[i]);
        if (!EnsureFolder(path)) return {ZipStatus::WriteFailed, entry.name, 0};
        path.push_back('\\');
    }
    if (entry.isFolder) return {};
    path.append(components.back());
    return ExtractTo(index, path);
}

ZipResult ZipArchive::ExtractTo(std::size_t index, std::string_view path) {
    if (!IsOpen() || index >= GetCount()) return {ZipStatus::NoSuchEntry, {}, 0};
    const ZipEntryHeader& entry = reader_.Entries()[index];
    if (entry.isFolder) return {};
    const std::string destination(path);
    const std::string temporary = destination + ".~tmp";
    File out = File::Open(temporary, "wb");
    if (!out) return {ZipStatus::WriteFailed, entry.name, 0};
    FileSink sink(out);
    ZipResult result = reader_.Extract(index, sink);
    if (!out.Close() && result) result = {ZipStatus::WriteFailed, entry.name, 0};
    if (result && !Replace(temporary, destination))
        result = {ZipStatus::WriteFailed, entry.name, 0};
    if (!result) DeleteFile(temporary);
    return result;
}

std::string ZipEntryFileName(std::string_view entryName) {
    std::vector<std::string_view> components;
    if (entryName.empty() || IsSeparator(entryName.back()) ||
        !SplitEntryName(entryName, components)) {
        return {};
    }
    return std::string(components.back());
}

bool FlattenEntry(std::string_view folder, std::string_view entryName) {
    std::vector<std::string_view> components;
    if (!SplitEntryName(entryName, components)) return false;
    const bool isFolder = IsSeparator(entryName.back());
    if (components.size() == 1 && !isFolder) return true;
    const std::string prefix = FolderPrefix(folder);
    bool arrived = isFolder;
    if (!isFolder) {
        std::string extracted = prefix;
        for (std::size_t i = 0; i < components.size(); ++i) {
            if (i > 0) extracted.push_back('\\');
            extracted.append(components[i]);
        }
        const std::string top = prefix + std::string(components.back());
        arrived = Replace(extracted, top) || CopyFile(extracted, top);
        DeleteFile(extracted);
    }
    RemoveEntryFolders(folder, entryName);
    return arrived;
}

void RemoveEntryFolders(std::string_view folder, std::string_view entryName) {
    std::vector<std::string_view> components;
    if (!SplitEntryName(entryName, components)) return;
    const bool isFolder = IsSeparator(entryName.back());
    std::size_t depth = isFolder ? components.size() : components.size() - 1;
    for (; depth > 0; --depth) {
        std::string path = FolderPrefix(folder);
        for (std::size_t i = 0; i < depth; ++i) {
            if (i > 0) path.push_back('\\');
            path.append(components[i]);
        }
        if (!RemoveDirectory(path)) return;
    }
}

std::string ZipErrorText(const ZipResult& result, std::string_view archive) {
    return Fill(Cp1252FromUtf8(MessageTemplate(result.status)), archive, result.entry,
                MethodName(result.method));
}

}  // namespace plat

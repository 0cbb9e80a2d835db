// Preloaded into quervane-scenario by the fault tests: reads of the file
// whose name ends with QUERVANE_ECHEC_FICHIER fail with EIO from byte
// QUERVANE_ECHEC_OCTET on, as reads of a disk that cannot read a sector do
// (copies made inside the kernel included).
// With QUERVANE_ECHEC_ECRITURE set, the writes that cover that byte fail
// instead, with ENOSPC (copies made inside the kernel included), as on a
// disk full for a moment: the writes after them go through, so that a
// failure the program does not notice leaves a hole in the file. Every other
// read and write goes through untouched.

// Both entry points are defined here: neither may stand for the other.
#undef _FILE_OFFSET_BITS

#include <dlfcn.h>
#include <sys/sendfile.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using Pread = ssize_t (*)(int, void*, size_t, off_t);
using Pwrite = ssize_t (*)(int, const void*, size_t, off_t);
using CopyFileRange = ssize_t (*)(int, off64_t*, int, off64_t*, size_t, unsigned);
using Read = ssize_t (*)(int, void*, size_t);
using Write = ssize_t (*)(int, const void*, size_t);
using SendFile = ssize_t (*)(int, int, off_t*, size_t);

bool Echoue(bool ecriture, int fd, size_t taille, off_t offset) {
    if (ecriture != (std::getenv("QUERVANE_ECHEC_ECRITURE") != nullptr)) return false;
    const char* nom = std::getenv("QUERVANE_ECHEC_FICHIER");
    const char* octet = std::getenv("QUERVANE_ECHEC_OCTET");
    if (nom == nullptr || octet == nullptr) return false;
    const off_t premier = std::atoll(octet);
    if (offset + static_cast<off_t>(taille) <= premier) return false;
    if (ecriture && offset > premier) return false;
    char lien[64];
    std::snprintf(lien, sizeof lien, "/proc/self/fd/%d", fd);
    char chemin[4096];
    const ssize_t longueur = ::readlink(lien, chemin, sizeof chemin - 1);
    const size_t suffixe = std::strlen(nom);
    if (longueur < static_cast<ssize_t>(suffixe)) return false;
    return std::memcmp(chemin + longueur - static_cast<ssize_t>(suffixe), nom, suffixe) == 0;
}

template <typename Fonction>
Fonction Suivant(const char* symbole) {
    return reinterpret_cast<Fonction>(::dlsym(RTLD_NEXT, symbole));
}

// True, with errno set as the disk would (EIO for a read, ENOSPC for a
// write), when the call must fail.
bool Refuse(bool ecriture, int fd, size_t taille, off_t offset) {
    if (!Echoue(ecriture, fd, taille, offset)) return false;
    errno = ecriture ? ENOSPC : EIO;
    return true;
}

// The offset a call works at: the one it is given, else the descriptor's.
off_t Position(int fd, const off64_t* offset) {
    return offset != nullptr ? *offset : ::lseek(fd, 0, SEEK_CUR);
}

}  // namespace

extern "C" ssize_t pread(int fd, void* tampon, size_t taille, off_t offset) {
    static const Pread suivant = Suivant<Pread>("pread");
    return Refuse(false, fd, taille, offset) ? -1 : suivant(fd, tampon, taille, offset);
}

extern "C" ssize_t pread64(int fd, void* tampon, size_t taille, off64_t offset) {
    static const Pread suivant = Suivant<Pread>("pread64");
    return Refuse(false, fd, taille, offset) ? -1 : suivant(fd, tampon, taille, offset);
}

extern "C" ssize_t pwrite(int fd, const void* tampon, size_t taille, off_t offset) {
    static const Pwrite suivant = Suivant<Pwrite>("pwrite");
    return Refuse(true, fd, taille, offset) ? -1 : suivant(fd, tampon, taille, offset);
}

extern "C" ssize_t pwrite64(int fd, const void* tampon, size_t taille, off64_t offset) {
    static const Pwrite suivant = Suivant<Pwrite>("pwrite64");
    return Refuse(true, fd, taille, offset) ? -1 : suivant(fd, tampon, taille, offset);
}

extern "C" ssize_t read(int fd, void* tampon, size_t taille) {
    static const Read suivant = Suivant<Read>("read");
    return Refuse(false, fd, taille, Position(fd, nullptr)) ? -1 : suivant(fd, tampon, taille);
}

extern "C" ssize_t write(int fd, const void* tampon, size_t taille) {
    static const Write suivant = Suivant<Write>("write");
    return Refuse(true, fd, taille, Position(fd, nullptr)) ? -1 : suivant(fd, tampon, taille);
}

extern "C" ssize_t copy_file_range(int in, off64_t* inOffset, int out, off64_t* outOffset,
                                   size_t taille, unsigned flags) {
    static const CopyFileRange suivant = Suivant<CopyFileRange>("copy_file_range");
    if (Refuse(false, in, taille, Position(in, inOffset)) ||
        Refuse(true, out, taille, Position(out, outOffset)))
        return -1;
    return suivant(in, inOffset, out, outOffset, taille, flags);
}

extern "C" ssize_t sendfile(int out, int in, off_t* offset, size_t taille) {
    static const SendFile suivant = Suivant<SendFile>("sendfile");
    return Refuse(false, in, taille, Position(in, offset)) ? -1 : suivant(out, in, offset, taille);
}

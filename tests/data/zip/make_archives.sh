#!/bin/sh
# Regenerates the test archives of the ZIP reader in this folder (or in the
# folder given as $1). The archives are committed, so the tests need none of
# these tools; run this again only to change them (the encrypted archives
# come out different on every run: their salt is random).
#
# Tools: Info-ZIP zip 3.0, 7z (p7zip-full), Debian's python3 (zipfile and the
# hand-made archives that no tool writes on purpose). Contents must match
# what tests/unit/zip_reader_test.cpp expects:
#   TITRE.CYB    "NR   LA GAZETTE DU SOIR\r\n"
#   JOURNAL.CYB  1500 lines, line n = "%06d ABONNE" n, 20 blanks,
#                "TOURNEE %03d" (n % 97), "\r\n"
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here}
mkdir -p "$out"
out=$(cd "$out" && pwd)
python=/usr/bin/python3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TZ=UTC
stamp='2024-03-04 05:06:00'

cd "$work"
"$python" - <<'EOF'
with open("TITRE.CYB", "wb") as f:
    f.write(b"NR   LA GAZETTE DU SOIR\r\n")
with open("JOURNAL.CYB", "wb") as f:
    for n in range(1, 1501):
        f.write(b"%06d ABONNE%sTOURNEE %03d\r\n" % (n, b" " * 20, n % 97))
EOF
mkdir -p SET LIVRAISON/SEMAINE
cp TITRE.CYB JOURNAL.CYB SET/
cp TITRE.CYB LIVRAISON/
cp JOURNAL.CYB LIVRAISON/SEMAINE/
head -c 20000000 /dev/zero > ZERO.DAT
find . -exec touch -d "$stamp" {} +

# z ARCHIVE "OPTIONS" FILES...
z() { rm -f "$out/$1"; name=$1; options=$2; shift 2; zip -q -X $options "$out/$name" "$@"; }
z stored.zip -0 TITRE.CYB JOURNAL.CYB
z deflated.zip -9 TITRE.CYB JOURNAL.CYB
z zip64.zip -fz TITRE.CYB JOURNAL.CYB
z folder_entry.zip -r SET
z two_levels.zip -r LIVRAISON
z encrypted.zip "-P secret" TITRE.CYB
z titre_stored.zip -0 TITRE.CYB
z bomb.zip -9 ZERO.DAT
# Written to a pipe, zip cannot seek back: sizes follow the data in
# descriptors with their signature.
rm -f "$out/streamed.zip"
zip -q -X - TITRE.CYB JOURNAL.CYB | cat > "$out/streamed.zip"

s() { rm -f "$out/$1"; name=$1; shift; 7z a -tzip -mtc=off "$@" "$out/$name" TITRE.CYB JOURNAL.CYB >/dev/null; }
s 7z_deflate.zip -mm=Deflate
s 7z_deflate64.zip -mm=Deflate64
s 7z_bzip2.zip -mm=BZip2
s 7z_aes.zip -psecret -mem=AES256

cd "$out"
"$python" - "$work" <<'EOF'
import io, os, random, struct, sys, zipfile, zlib

work = sys.argv[1]
titre = open(f"{work}/TITRE.CYB", "rb").read()
journal = open(f"{work}/JOURNAL.CYB", "rb").read()
DOS_TIME, DOS_DATE = (5 << 11) | (6 << 5), ((2024 - 1980) << 9) | (3 << 5) | 4


def deflate(data):
    c = zlib.compressobj(9, zlib.DEFLATED, -15)
    return c.compress(data) + c.flush()


def craft(entries, prefix=b""):
    """Archive bytes. Each entry: name (bytes), data, and optional keys:
    method, size / csize / crc (declared values), flags, host, extra,
    descriptor ("sig", "nosig"), zip64 (sizes in the ZIP64 extra field)."""
    body, central = bytearray(prefix), bytearray()
    for e in entries:
        method = e.get("method", 8)
        packed = deflate(e["data"]) if method == 8 else e["data"]
        crc = e.get("crc", zlib.crc32(e["data"]))
        size, csize = e.get("size", len(e["data"])), e.get("csize", len(packed))
        flags = e.get("flags", 0) | (8 if "descriptor" in e else 0)
        extra = e.get("extra", b"")
        offset = len(body) - len(prefix)
        z64 = e.get("zip64", False)
        if z64:
            extra = struct.pack("<HHQQQ", 1, 24, size, csize, offset) + extra
        s32, c32, o32 = (0xFFFFFFFF,) * 3 if z64 else (size, csize, offset)
        local_sizes = (0, 0, 0) if "descriptor" in e else (crc, c32, s32)
        local_extra = struct.pack("<HHQQ", 1, 16, size, csize) if z64 else e.get("extra", b"")
        body += struct.pack("<IHHHHHIIIHH", 0x04034B50, 45 if z64 else 20, flags, method,
                            DOS_TIME, DOS_DATE, *local_sizes, len(e["name"]), len(local_extra))
        body += e["name"] + local_extra + packed
        if e.get("descriptor") == "sig":
            body += struct.pack("<IIII", 0x08074B50, crc, csize, size)
        elif e.get("descriptor") == "nosig":
            body += struct.pack("<III", crc, csize, size)
        central += struct.pack("<IBBHHHHHIIIHHHHHII", 0x02014B50, 20, e.get("host", 0), 20,
                               flags, method, DOS_TIME, DOS_DATE, crc, c32, s32,
                               len(e["name"]), len(extra), 0, 0, 0, 0, o32)
        central += e["name"] + extra
    cd_offset = len(body) - len(prefix)
    tail = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries), len(entries),
                       len(central), cd_offset, 0)
    return bytes(body + central + tail)


def write(name, data):
    open(name, "wb").write(data)


def Deflated(name):
    info = zipfile.ZipInfo(name, (2024, 3, 4, 5, 6, 0))
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


# Python's zipfile: deflated, and streamed to an unseekable file (data
# descriptors); an archive without entries.
with zipfile.ZipFile("python_deflated.zip", "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr(Deflated("TITRE.CYB"), titre)
    z.writestr(Deflated("JOURNAL.CYB"), journal)


class Pipe(io.RawIOBase):
    def __init__(self):
        self.data = bytearray()

    def writable(self):
        return True

    def write(self, b):
        self.data += b
        return len(b)


pipe = Pipe()
with zipfile.ZipFile(pipe, "w", zipfile.ZIP_DEFLATED) as z:
    for name, data in (("TITRE.CYB", titre), ("JOURNAL.CYB", journal)):
        with z.open(Deflated(name), "w") as f:
            f.write(data)
write("python_streamed.zip", bytes(pipe.data))
with zipfile.ZipFile("empty.zip", "w"):
    pass

write("descriptor_nosig.zip", craft([
    {"name": b"TITRE.CYB", "data": titre, "descriptor": "nosig"},
    {"name": b"JOURNAL.CYB", "data": journal, "descriptor": "nosig"}]))
write("zip64_crafted.zip", craft([
    {"name": b"TITRE.CYB", "data": titre, "method": 0, "zip64": True},
    {"name": b"JOURNAL.CYB", "data": journal, "zip64": True, "descriptor": "sig"}]))
write("backslash.zip", craft([
    {"name": b"SET\\TITRE.CYB", "data": titre},
    {"name": b"SET\\SUB\\JOURNAL.CYB", "data": journal}]))
# Names: code page 850 from a DOS host, the Unicode path extra field over a
# code page 437 name, the UTF-8 flag, bare UTF-8 from a Unix host.
edition = b"EDITION\r\n"
upath = "\u00c9DITION3.TXT".encode()
raw437 = "\u00c9DITION3.TXT".encode("cp437")
write("names.zip", craft([
    {"name": "\u00c9DITION1.TXT".encode("cp850"), "data": edition, "host": 0},
    {"name": "\u00c9DITION2.TXT".encode(), "data": edition, "host": 3, "flags": 0x800},
    {"name": raw437, "data": edition, "host": 0,
     "extra": struct.pack("<HHBI", 0x7075, 5 + len(upath), 1, zlib.crc32(raw437)) + upath},
    {"name": "\u00c9DITION4.TXT".encode(), "data": edition, "host": 3}]))

for name, entry in (("traversal.zip", b"../x.txt"), ("absolute.zip", b"/tmp/x.txt"),
                    ("drive.zip", b"C:\\x.txt"), ("traversal_backslash.zip", b"SET\\..\\..\\x.txt")):
    write(name, craft([{"name": b"TITRE.CYB", "data": titre}, {"name": entry, "data": titre}]))

# Sizes that lie: the first entry inflates beyond what it declares, the
# second falls short; the one before them is sound.
write("lying_sizes.zip", craft([
    {"name": b"TITRE.CYB", "data": titre},
    {"name": b"LONG.CYB", "data": journal, "size": 1000},
    {"name": b"SHORT.CYB", "data": titre, "size": len(titre) + 10}]))
# Declared ratios of exactly 1000 to 1 and just over (the data do not match
# the declared size: these are for opening only).
noise = random.Random(1).randbytes(2000)
packed = deflate(noise)
for name, size in (("ratio_at_limit.zip", 1000 * len(packed)),
                   ("ratio_over_limit.zip", 1000 * len(packed) + 1)):
    write(name, craft([{"name": b"NOISE.DAT", "data": noise, "size": size}]))
# 9 GiB declared for a few bytes of data.
write("huge_declared.zip", craft([
    {"name": b"HUGE.DAT", "data": titre, "size": 9 << 30, "zip64": True}]))

stored = open("titre_stored.zip", "rb").read()
# A byte of TITRE.CYB's stored data changed: the CRC no longer matches.
name_len, extra_len = struct.unpack_from("<HH", stored, 26)
at = 30 + name_len + extra_len
write("crc_stored.zip", stored[:at] + b"M" + stored[at + 1:])
# JOURNAL.CYB's CRC changed in its local and central headers.
deflated = bytearray(open("deflated.zip", "rb").read())
with zipfile.ZipFile("deflated.zip") as z:
    info = z.getinfo("JOURNAL.CYB")
struct.pack_into("<I", deflated, info.header_offset + 14, info.CRC ^ 1)
pos = deflated.find(b"PK\x01\x02")
while pos >= 0:
    name_len = struct.unpack_from("<H", deflated, pos + 28)[0]
    if deflated[pos + 46:pos + 46 + name_len] == b"JOURNAL.CYB":
        struct.pack_into("<I", deflated, pos + 16, info.CRC ^ 1)
    pos = deflated.find(b"PK\x01\x02", pos + 4)
write("crc_deflated.zip", bytes(deflated))
write("truncated.zip", bytes(deflated[: len(deflated) // 2]))
stub = b"#!/bin/sh\necho stub\nexit 0\n"
write("prefixed.zip", stub + open("deflated.zip", "rb").read())
write("prefixed_zip64.zip", stub + open("zip64.zip", "rb").read())
os.remove("titre_stored.zip")
write("not_a_zip.zip", b"TITRE;EDITION;VOITURE\r\nNR;01;V1\r\n")
EOF
echo "archives written to $out"

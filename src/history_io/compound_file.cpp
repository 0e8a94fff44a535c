#include "history_io/compound_file.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace quarvel::io {

namespace {

constexpr std::size_t kSector = 512;
constexpr std::size_t kMiniCutoff = 4096;
constexpr std::uint32_t kFreeSect = 0xFFFFFFFF;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSect = 0xFFFFFFFD;
constexpr std::uint32_t kDifSect = 0xFFFFFFFC;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
constexpr std::size_t kEntriesPerSector = kSector / 4;  // 128 sector numbers
constexpr std::size_t kHeaderDifat = 109;

void put16(std::string& out, std::size_t at, std::uint16_t v) {
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>(v >> 8);
}

void put32(std::string& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::size_t sectorsFor(std::size_t bytes) { return (bytes + kSector - 1) / kSector; }

// One 128-byte directory entry.
void putEntry(std::string& out, std::size_t at, std::string_view name, std::uint8_t type,
              std::uint32_t child, std::uint32_t start, std::uint32_t size) {
    for (std::size_t i = 0; i < name.size(); ++i)
        put16(out, at + 2 * i, static_cast<unsigned char>(name[i]));
    put16(out, at + 64,
          static_cast<std::uint16_t>((name.size() + 1) * 2));  // bytes with the terminating 0
    out[at + 66] = static_cast<char>(type);
    out[at + 67] = 1;  // black: a tree of one node per level is a valid red-black tree
    put32(out, at + 68, kNoStream);
    put32(out, at + 72, kNoStream);
    put32(out, at + 76, child);
    put32(out, at + 116, start);
    put32(out, at + 120, size);
}

}  // namespace

std::string buildCompoundFile(std::string_view name, std::string_view data) {
    if (name.empty() || name.size() > 31)
        throw std::invalid_argument("a stream name has 1 to 31 characters");
    if (data.size() > kMaxCompoundStream)
        throw std::length_error("the stream is too big for a compound file");
    const std::size_t streamSize = std::max(data.size(), kMiniCutoff);
    const std::size_t streamSectors = sectorsFor(streamSize);

    // The FAT covers every sector including its own and the DIFAT's; grow both until they fit.
    std::size_t fatSectors = 1, difatSectors = 0;
    for (;;) {
        const std::size_t total = streamSectors + fatSectors + difatSectors + 1;
        const std::size_t needFat = (total + kEntriesPerSector - 1) / kEntriesPerSector;
        const std::size_t needDifat =
            needFat > kHeaderDifat
                ? (needFat - kHeaderDifat + kEntriesPerSector - 2) / (kEntriesPerSector - 1)
                : 0;
        if (needFat == fatSectors && needDifat == difatSectors) break;
        fatSectors = needFat;
        difatSectors = needDifat;
    }
    const std::size_t firstFat = streamSectors;
    const std::size_t firstDifat = firstFat + fatSectors;
    const std::size_t dirSector = firstDifat + difatSectors;
    const std::size_t totalSectors = dirSector + 1;
    if (totalSectors >= kDifSect)
        throw std::length_error("the stream is too big for a compound file");

    std::string out((totalSectors + 1) * kSector, '\0');
    auto sectorAt = [](std::size_t s) { return (s + 1) * kSector; };

    // Header.
    static const unsigned char kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    for (int i = 0; i < 8; ++i) out[i] = static_cast<char>(kSignature[i]);
    put16(out, 24, 0x003E);  // minor version
    put16(out, 26, 0x0003);  // major version 3
    put16(out, 28, 0xFFFE);  // little-endian
    put16(out, 30, 9);       // 2^9 = 512-byte sectors
    put16(out, 32, 6);       // 2^6 = 64-byte mini sectors
    put32(out, 44, static_cast<std::uint32_t>(fatSectors));
    put32(out, 48, static_cast<std::uint32_t>(dirSector));
    put32(out, 56, static_cast<std::uint32_t>(kMiniCutoff));
    put32(out, 60, kEndOfChain);  // no mini FAT
    put32(out, 64, 0);
    put32(out, 68, difatSectors ? static_cast<std::uint32_t>(firstDifat) : kEndOfChain);
    put32(out, 72, static_cast<std::uint32_t>(difatSectors));

    // DIFAT: the first 109 FAT sector numbers in the header, the rest in DIFAT sectors of 127
    // numbers each, chained through their last entry.
    for (std::size_t i = 0; i < kHeaderDifat; ++i)
        put32(out, 76 + 4 * i,
              i < fatSectors ? static_cast<std::uint32_t>(firstFat + i) : kFreeSect);
    for (std::size_t d = 0; d < difatSectors; ++d) {
        const std::size_t base = sectorAt(firstDifat + d);
        for (std::size_t k = 0; k < kEntriesPerSector - 1; ++k) {
            const std::size_t fat = kHeaderDifat + d * (kEntriesPerSector - 1) + k;
            put32(out, base + 4 * k,
                  fat < fatSectors ? static_cast<std::uint32_t>(firstFat + fat) : kFreeSect);
        }
        put32(out, base + 4 * (kEntriesPerSector - 1),
              d + 1 < difatSectors ? static_cast<std::uint32_t>(firstDifat + d + 1) : kEndOfChain);
    }

    // FAT: the stream is one chain, then the FAT and DIFAT sectors are marked, then the directory.
    auto setFat = [&](std::size_t sector, std::uint32_t value) {
        put32(out, sectorAt(firstFat) + 4 * sector, value);
    };
    for (std::size_t s = 0; s < fatSectors * kEntriesPerSector; ++s) setFat(s, kFreeSect);
    for (std::size_t s = 0; s < streamSectors; ++s)
        setFat(s, s + 1 < streamSectors ? static_cast<std::uint32_t>(s + 1) : kEndOfChain);
    for (std::size_t s = 0; s < fatSectors; ++s) setFat(firstFat + s, kFatSect);
    for (std::size_t s = 0; s < difatSectors; ++s) setFat(firstDifat + s, kDifSect);
    setFat(dirSector, kEndOfChain);

    // Directory: the root entry (no mini stream) with the stream as its only child; the two
    // remaining entries of the sector are unused.
    const std::size_t dir = sectorAt(dirSector);
    putEntry(out, dir, "Root Entry", 5, 1, kEndOfChain, 0);
    putEntry(out, dir + 128, name, 2, kNoStream, 0, static_cast<std::uint32_t>(streamSize));
    for (int e = 2; e < 4; ++e) {
        put32(out, dir + 128 * e + 68, kNoStream);
        put32(out, dir + 128 * e + 72, kNoStream);
        put32(out, dir + 128 * e + 76, kNoStream);
    }

    out.replace(sectorAt(0), data.size(), data);
    return out;
}

}  // namespace quarvel::io

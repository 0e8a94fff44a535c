#pragma once
// An OLE2 compound file (version 3, 512-byte sectors) holding one stream, as .xls workbooks
// are stored: header, the stream's sectors, the FAT (with DIFAT sectors once it outgrows the
// 109 entries of the header) and one directory sector with the root entry and the stream.

#include <string>
#include <string_view>

namespace quarvel::io {

// The largest stream a version 3 compound file can hold (its size field is 32 bits).
inline constexpr std::size_t kMaxCompoundStream = 0xFFFFFFFFu;

// A compound file with the single stream `name` (ASCII, at most 31 characters) holding `data`.
// A stream shorter than the mini-stream cut-off (4096 bytes) is padded with zero bytes up to
// it, so that it lives in ordinary sectors. Throws std::length_error for a stream that is too big.
std::string buildCompoundFile(std::string_view name, std::string_view data);

}  // namespace quarvel::io

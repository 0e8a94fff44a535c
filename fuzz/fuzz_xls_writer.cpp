// Any grid must become a workbook that a spreadsheet reader opens with the same cells: grids of
// any shape (ragged rows, empty cells, repeated texts, texts in Chinese and Latin-1, long
// cells) are decoded from the bytes, written, read back with libfreexl and compared cell by cell.
#include <freexl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_bytes.h"
#include "history_io/xls_writer.h"
#include "store/text_grid.h"

namespace {

namespace io = quarvel::io;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "workbook invariant broken: %s\n", what.c_str());
    std::abort();
}

// Pieces of cell text: grid headings, numbers, Latin-1 letters (one byte per character in the
// workbook), Chinese, a character outside the BMP (a surrogate pair), blanks and control-ish
// characters a cell may carry.
const char* const kPieces[] = {
    "期号", "平1", "特码", "鼠", "龙", "0", "05", "2013001", "a", "Z",           " ",
    "\t",   "é",   "ü",    "×",  "°",  "ÿ", "€",  "𝄞",       "😀", "最小遗漏",    "大后比",
    "-",    ".",   "\"",   "'",  "<",  "&", "\n", "\r\n",    "~", "汉字汉字汉字"};
constexpr std::size_t kPieceCount = sizeof kPieces / sizeof kPieces[0];

// How many bytes a text takes in the workbook's string table: one per character when every
// character is Latin-1, else two per UTF-16 unit.
std::size_t storedBytes(const std::string& utf8) {
    std::size_t units = 0;
    bool wide = false;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const std::size_t len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        if (len == 2 && b > 0xC3) wide = true;  // above U+00FF
        if (len >= 3) wide = true;
        units += len == 4 ? 2 : 1;
        i += len;
    }
    return wide ? 2 * units : units;
}

// Well-formed UTF-8: no stray or missing continuation bytes, no overlong forms, surrogates or
// values past U+10FFFF.
bool wellFormed(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t len = 0;
        char32_t cp = 0, min = 0;
        if (b < 0x80)
            len = 1, cp = b;
        else if ((b & 0xE0) == 0xC0)
            len = 2, cp = b & 0x1F, min = 0x80;
        else if ((b & 0xF0) == 0xE0)
            len = 3, cp = b & 0x0F, min = 0x800;
        else if ((b & 0xF8) == 0xF0)
            len = 4, cp = b & 0x07, min = 0x10000;
        else
            return false;
        if (i + len > s.size()) return false;
        for (std::size_t k = 1; k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += len;
    }
    return true;
}

std::string asciiOf(std::string_view s) {
    std::string out;
    for (char c : s)
        if (static_cast<unsigned char>(c) < 0x80) out += c;
    return out;
}

// libfreexl cannot read one string that spans more than one CONTINUE record: cells stay below
// 8000 stored bytes.
constexpr std::size_t kLongestCell = 8000;

std::string cellText(Bytes& in, std::size_t row, std::size_t col) {
    if (!in.more())
        return std::to_string(row) + ":" + std::to_string(col);  // many distinct strings
    const unsigned b = in.next();
    if (b == 0) return {};
    std::string text;
    if (b == 0xFE) {  // raw bytes, well-formed UTF-8 or not
        const unsigned n = in.next() % 24;
        // No NUL: libfreexl hands texts out as C strings.
        for (unsigned k = 0; k < n; ++k) text += static_cast<char>(std::max(in.next(), 1u));
        return text;
    }
    if (b == 0xFF) {  // a long cell: one piece repeated
        const std::string piece = kPieces[in.next() % kPieceCount];
        const std::size_t times = 1 + (in.next() << 8 | in.next()) % 4096;
        // A repeated piece keeps its width: the stored size grows by the piece's each time.
        const std::size_t most = std::min(times, kLongestCell / storedBytes(piece));
        for (std::size_t k = 0; k < most; ++k) text += piece;
        return text;
    }
    for (unsigned k = 0; k < (b & 7) + 1u; ++k) text += kPieces[in.next() % kPieceCount];
    return text;
}

std::filesystem::path tempFile() {
    static const std::filesystem::path p = [] {
        std::string dir =
            (std::filesystem::temp_directory_path() / "quarvel-fuzz-xls-XXXXXX").string();
        if (!mkdtemp(dir.data())) std::abort();
        return std::filesystem::path(dir);
    }();
    // Removed at exit; a crash leaves it for inspection.
    static const struct Cleanup {
        ~Cleanup() {
            std::error_code ec;
            std::filesystem::remove_all(p, ec);
        }
    } cleanup;
    return p / "grid.xls";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    quarvel::store::TextGrid grid;
    const unsigned shape = in.next();
    std::size_t rows = in.next() % 40;
    std::size_t cols = 1 + in.next() % 12;
    if (shape & 1) rows += 32 * (in.next() % 8);  // several row blocks
    if (shape & 2) {  // up to the widest sheet, in a few rows so that a run stays quick
        cols = 200 + in.next() % 57;
        rows = std::min<std::size_t>(rows, 3);
    }
    const bool ragged = shape & 4;
    const bool tooLong = (shape & 0xF8) == 0xF8;
    for (std::size_t r = 0; r < rows; ++r) {
        std::size_t width = cols;
        if (ragged) width = in.next() % (cols + 1);
        std::vector<std::string> row;
        for (std::size_t c = 0; c < width; ++c) row.push_back(cellText(in, r, c));
        grid.cells.push_back(std::move(row));
    }

    if (tooLong) {
        // One cell past what a worksheet cell holds must be refused, not cut.
        grid.cells.push_back({std::string(32768, 'x')});
        try {
            (void)io::buildXlsWorkbook(grid);
        } catch (const io::XlsLimitError&) {
            return 0;
        }
        fail("a cell of 32768 characters was written");
    }

    std::string bytes;
    try {
        bytes = io::buildXlsWorkbook(grid);
    } catch (const std::exception& e) {
        fail(std::string("a grid within the limits was refused: ") + e.what());
    }
    const std::filesystem::path file = tempFile();
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) std::abort();
    }

    std::size_t width = 0;
    for (const auto& row : grid.cells) width = std::max(width, row.size());

    const void* h = nullptr;
    if (freexl_open(file.c_str(), &h) != FREEXL_OK) fail("freexl refused the workbook");
    unsigned sheets = 0;
    if (freexl_get_info(h, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK || sheets != 1)
        fail("not one sheet");
    const char* name = nullptr;
    if (freexl_get_worksheet_name(h, 0, &name) != FREEXL_OK || !name ||
        std::string(name) != "Sheet1")
        fail("the sheet is not Sheet1");
    if (freexl_select_active_worksheet(h, 0) != FREEXL_OK) fail("cannot select the sheet");
    unsigned sheetRows = 0;
    unsigned short sheetCols = 0;
    if (freexl_worksheet_dimensions(h, &sheetRows, &sheetCols) != FREEXL_OK) fail("no dimensions");
    // An empty grid or one of empty rows reads as no cells; otherwise the sheet is the grid's size.
    if (width > 0 && (sheetRows != grid.cells.size() || sheetCols != width))
        fail("dimensions " + std::to_string(sheetRows) + "x" + std::to_string(sheetCols) +
             " for a grid of " + std::to_string(grid.cells.size()) + "x" + std::to_string(width));
    for (unsigned r = 0; r < sheetRows; ++r) {
        for (unsigned short c = 0; c < sheetCols; ++c) {
            FreeXL_CellValue v{};
            if (freexl_get_cell_value(h, r, c, &v) != FREEXL_OK) fail("cannot read a cell");
            std::string got;
            if (v.type == FREEXL_CELL_TEXT || v.type == FREEXL_CELL_SST_TEXT)
                got = v.value.text_value;
            else if (v.type != FREEXL_CELL_NULL)
                fail("a cell is not text");
            const std::string want = r < grid.cells.size() && c < grid.cells[r].size()
                                         ? grid.cells[r][c]
                                         : std::string();
            if (!wellFormed(want)) {
                // A damaged text reads back as well-formed UTF-8 that keeps every ASCII character.
                if (!wellFormed(got) || asciiOf(got) != asciiOf(want))
                    fail("cell " + std::to_string(r) + "," + std::to_string(c) +
                         " with damaged UTF-8 reads [" + got + "]");
                continue;
            }
            if (got != want)
                fail("cell " + std::to_string(r) + "," + std::to_string(c) + " reads [" + got +
                     "], written [" + want + "]");
        }
    }
    freexl_close(h);
    return 0;
}

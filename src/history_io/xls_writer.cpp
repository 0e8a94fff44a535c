#include "history_io/xls_writer.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "history_io/atomic_file.h"
#include "history_io/biff_records.h"
#include "history_io/compound_file.h"
#include "history_io/xls_strings.h"

namespace quarvel::io {

namespace {

using namespace biff;

constexpr std::uint16_t kCellXf = 15;      // the first XF after the 15 style XFs
constexpr std::size_t kRowsPerBlock = 32;  // ROW records per row block, each block ends in a DBCELL
constexpr std::size_t kRowRecordSize = 20;  // header and body of one ROW record

std::string cellName(std::size_t row, std::size_t col) {
    std::string letters;
    for (std::size_t c = col + 1; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), char('A' + (c - 1) % 26));
    return letters + std::to_string(row + 1);
}

std::string body(std::initializer_list<std::uint16_t> words) {
    std::string b;
    for (auto w : words) add16(b, w);
    return b;
}

void addBof(std::string& wb, std::uint16_t substream) {
    std::string b = body({0x0600, substream, 0x0DBB, 0x07CC});
    add32(b, 0);  // file history flags
    add32(b, 6);  // lowest BIFF version that can read the file
    addRecord(wb, kBof, b);
}

// A ShortXLUnicodeString of ASCII text.
void addShortAscii(std::string& b, std::string_view text) {
    add8(b, static_cast<std::uint8_t>(text.size()));
    add8(b, 0);
    b.append(text);
}

void addFont(std::string& wb) {
    std::string b =
        body({200, 0, 0x7FFF, 400, 0});  // 10 pt, no flags, automatic colour, normal weight
    add8(b, 0);                          // no underline
    add8(b, 0);                          // family
    add8(b, 0);                          // character set
    add8(b, 0);
    addShortAscii(b, "Arial");
    addRecord(wb, kFont, b);
}

void addXf(std::string& wb, bool style) {
    std::string b =
        body({0, 0, static_cast<std::uint16_t>(style ? 0xFFF5 : 0x0001)});  // font 0, General
    add8(b, 0x20);                                                          // bottom aligned
    add8(b, 0);                                                             // no rotation
    add8(b, 0);                                                             // no indent
    add8(b, 0);   // attributes taken from the parent / all valid
    add32(b, 0);  // no borders
    add32(b, 0);
    add16(b, 0x20C0);  // pattern colours: system foreground and background
    addRecord(wb, kXf, b);
}

void addWorkbookGlobals(std::string& wb) {
    addBof(wb, 0x0005);
    addRecord(wb, kInterfaceHdr, body({1200}));
    addRecord(wb, kMms, body({0}));
    addRecord(wb, kInterfaceEnd, {});
    std::string access;
    add16(access, 7);
    add8(access, 0);
    access += "quarvel";
    access.resize(112, ' ');
    addRecord(wb, kWriteAccess, access);
    addRecord(wb, kCodePage, body({1200}));  // strings are UTF-16
    addRecord(wb, kDsf, body({0}));
    addRecord(wb, kTabId, body({1}));
    addRecord(wb, kFnGroupCount, body({14}));
    addRecord(wb, kWindowProtect, body({0}));
    addRecord(wb, kProtect, body({0}));
    addRecord(wb, kPassword, body({0}));
    addRecord(wb, kProt4Rev, body({0}));
    addRecord(wb, kProt4RevPass, body({0}));
    addRecord(wb, kWindow1, body({0x01E0, 0x005A, 0x3FCF, 0x2A4E, 0x0038, 0, 0, 1, 0x0258}));
    addRecord(wb, kBackup, body({0}));
    addRecord(wb, kHideObj, body({0}));
    addRecord(wb, kDateMode, body({0}));
    addRecord(wb, kPrecision, body({1}));
    addRecord(wb, kRefreshAll, body({0}));
    addRecord(wb, kBookBool, body({0}));
    for (int i = 0; i < 4; ++i) addFont(wb);
    for (int i = 0; i < 15; ++i) addXf(wb, true);
    addXf(wb, false);
    addRecord(wb, kStyle, body({0x8000, 0xFF00}));  // built-in style "Normal" on XF 0
    addRecord(wb, kUsesElfs, body({0}));
}

struct Cell {
    std::uint16_t col;
    std::uint32_t sst;
};

// The sheet's cell table: ROW records, cells and a DBCELL per block of up to 32 rows.
// Returns the DBCELL positions for the INDEX record.
std::vector<std::uint32_t> addCellTable(std::string& wb,
                                        const std::vector<std::vector<Cell>>& rows) {
    std::vector<std::uint32_t> dbCells;
    std::size_t r = 0;
    while (r < rows.size()) {
        if (rows[r].empty()) {
            ++r;
            continue;
        }
        std::vector<std::size_t> block;
        for (const std::size_t end = (r / kRowsPerBlock + 1) * kRowsPerBlock;
             r < rows.size() && r < end; ++r)
            if (!rows[r].empty()) block.push_back(r);
        const std::size_t firstRow = wb.size();
        for (std::size_t row : block) {
            std::string b = body({static_cast<std::uint16_t>(row), rows[row].front().col,
                                  static_cast<std::uint16_t>(rows[row].back().col + 1), 0x00FF, 0,
                                  0, 0x0100, kCellXf});
            addRecord(wb, kRow, b);
        }
        std::vector<std::size_t> cellStarts;
        for (std::size_t row : block) {
            cellStarts.push_back(wb.size());
            for (const Cell& c : rows[row]) {
                std::string b = body({static_cast<std::uint16_t>(row), c.col, kCellXf});
                add32(b, c.sst);
                addRecord(wb, kLabelSst, b);
            }
        }
        const std::size_t db = wb.size();
        std::string b;
        add32(b, static_cast<std::uint32_t>(db - firstRow));
        std::size_t from =
            firstRow + kRowRecordSize;  // the first offset counts from the second ROW record
        for (std::size_t start : cellStarts) {
            add16(b, static_cast<std::uint16_t>(start - from));
            from = start;
        }
        addRecord(wb, kDbCell, b);
        dbCells.push_back(static_cast<std::uint32_t>(db));
    }
    return dbCells;
}

std::size_t countBlocks(const std::vector<std::vector<Cell>>& rows) {
    std::size_t blocks = 0, last = SIZE_MAX;
    for (std::size_t r = 0; r < rows.size(); ++r)
        if (!rows[r].empty() && r / kRowsPerBlock != last) ++blocks, last = r / kRowsPerBlock;
    return blocks;
}

void addWorksheet(std::string& wb, const std::vector<std::vector<Cell>>& rows, std::size_t nrows,
                  std::size_t ncols) {
    addBof(wb, 0x0010);

    // INDEX: used rows, the DEFCOLWIDTH position and every DBCELL position, filled in below.
    std::uint32_t firstUsed = 0, lastUsed = 0;
    for (std::size_t r = 0; r < rows.size(); ++r)
        if (!rows[r].empty()) {
            if (lastUsed == 0) firstUsed = static_cast<std::uint32_t>(r);
            lastUsed = static_cast<std::uint32_t>(r + 1);
        }
    const std::size_t blocks = countBlocks(rows);
    std::string index;
    add32(index, 0);
    add32(index, firstUsed);
    add32(index, lastUsed);
    add32(index, 0);
    index.append(4 * blocks, '\0');
    const std::size_t indexAt = addRecord(wb, kIndex, index);

    addRecord(wb, kCalcMode, body({1}));
    addRecord(wb, kCalcCount, body({100}));
    addRecord(wb, kRefMode, body({1}));
    addRecord(wb, kIteration, body({0}));
    addRecord(wb, kDelta, std::string("\xFC\xA9\xF1\xD2\x4D\x62\x50\x3F", 8));  // 0.001
    addRecord(wb, kSaveRecalc, body({1}));
    addRecord(wb, kPrintHeaders, body({0}));
    addRecord(wb, kPrintGridlines, body({0}));
    addRecord(wb, kGridSet, body({1}));
    addRecord(wb, kGuts, body({0, 0, 0, 0}));
    addRecord(wb, kDefaultRowHeight, body({0, 0x00FF}));
    addRecord(wb, kWsBool, body({0x04C1}));
    const std::size_t defColWidth = addRecord(wb, kDefColWidth, body({8}));
    set32(wb, indexAt + 4 + 12, static_cast<std::uint32_t>(defColWidth));

    std::string dim;
    add32(dim, 0);
    add32(dim, static_cast<std::uint32_t>(nrows));
    dim += body({0, static_cast<std::uint16_t>(ncols), 0});
    addRecord(wb, kDimensions, dim);

    const auto dbCells = addCellTable(wb, rows);
    for (std::size_t b = 0; b < dbCells.size(); ++b)
        set32(wb, indexAt + 4 + 16 + 4 * b, dbCells[b]);

    std::string window = body({0x06B6, 0, 0, 0x0040, 0, 0, 0});
    add32(window, 0);
    addRecord(wb, kWindow2, window);
    addRecord(wb, kEof, {});
}

}  // namespace

std::string buildXlsWorkbook(const store::TextGrid& grid) {
    const std::size_t nrows = grid.cells.size();
    std::size_t ncols = 0;
    for (const auto& row : grid.cells) ncols = std::max(ncols, row.size());
    if (nrows > static_cast<std::size_t>(kXlsMaxRows))
        throw XlsLimitError("the grid has " + std::to_string(nrows) +
                            " rows; a worksheet holds at most 65536");
    if (ncols > static_cast<std::size_t>(kXlsMaxCols))
        throw XlsLimitError("the grid has " + std::to_string(ncols) +
                            " columns; a worksheet holds at most 256");

    SharedStrings sst;
    std::vector<std::vector<Cell>> rows(nrows);
    for (std::size_t r = 0; r < nrows; ++r) {
        for (std::size_t c = 0; c < grid.cells[r].size(); ++c) {
            const std::string& text = grid.cells[r][c];
            if (text.empty()) continue;
            const std::u16string u16 = utf8ToUtf16(text);
            if (u16.size() > kMaxCellChars)
                throw XlsLimitError("cell " + cellName(r, c) + " holds " +
                                    std::to_string(u16.size()) +
                                    " characters; a worksheet cell holds at most 32767");
            rows[r].push_back({static_cast<std::uint16_t>(c), sst.add(u16)});
        }
    }

    std::string wb;
    addWorkbookGlobals(wb);
    std::string sheet;
    addShortAscii(sheet, "Sheet1");
    std::string bound;
    add32(bound, 0);  // stream position of the sheet's BOF, set below
    add8(bound, 0);   // visible
    add8(bound, 0);   // worksheet
    bound += sheet;
    const std::size_t boundAt = addRecord(wb, kBoundSheet, bound);
    wb += sst.records(wb.size());
    addRecord(wb, kEof, {});

    set32(wb, boundAt + 4, static_cast<std::uint32_t>(wb.size()));
    addWorksheet(wb, rows, nrows, ncols);
    if (wb.size() > kMaxCompoundStream)
        throw XlsLimitError("the workbook would be larger than 4 GiB");
    return buildCompoundFile("Workbook", wb);
}

void writeXlsFile(const std::filesystem::path& path, const store::TextGrid& grid) {
    writeFileAtomically(path, buildXlsWorkbook(grid));
}

store::Outcome saveXlsFile(const std::filesystem::path& path, const store::TextGrid& grid) {
    try {
        writeXlsFile(path, grid);
    } catch (const XlsLimitError& e) {
        store::Outcome o = store::Outcome::refused("列表太大，无法写入表格文件");
        o.detail = e.what();
        return o;
    } catch (const IoError& e) {
        return store::Outcome::failed(e);
    } catch (const std::exception& e) {
        return store::Outcome::failed("无法保存 " + path.string(), e.what());
    }
    return store::Outcome::done();
}

}  // namespace quarvel::io

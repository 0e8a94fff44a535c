#pragma once
// Test-side readers for written workbooks: libfreexl for the cells as a spreadsheet program
// sees them, and a small independent compound-file and BIFF record walker for the structure.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quarvel::testing {

struct SheetContents {
    std::vector<std::string> sheetNames;
    unsigned rows = 0;
    unsigned cols = 0;
    std::vector<std::vector<std::string>> cells;  // rows x cols; a blank cell reads as ""
};

// Opens the file with libfreexl and reads the first sheet; fails the test when freexl refuses it.
SheetContents readWithFreexl(const std::filesystem::path& file);

struct CompoundInfo {
    std::uint32_t fatSectors = 0;
    std::uint32_t difatSectors = 0;
    std::uint32_t streamSize = 0;  // directory size of the "Workbook" stream
    std::string workbook;          // the stream's bytes, following its FAT chain
};

// Parses the compound file by the format's rules; throws std::runtime_error on any inconsistency.
CompoundInfo readCompound(const std::string& file);

struct BiffRecord {
    std::size_t pos;  // stream position of the header
    std::uint16_t type;
    std::string body;
};

// The records of the stream from `from` up to and including the next EOF record.
std::vector<BiffRecord> readRecords(const std::string& stream, std::size_t from);

struct WorkbookLayout {
    std::size_t continueRecords = 0;      // CONTINUE records after the SST
    std::vector<std::u16string> strings;  // the shared strings as decoded from SST + CONTINUE
    std::size_t textCells = 0;            // LABELSST records of the sheet
    std::uint32_t dimRows = 0, dimCols = 0;
};

// Walks the workbook stream and checks what a spreadsheet program relies on (record sizes, the
// sheet offset, the EXTSST positions, INDEX and DBCELL links) with gtest expectations.
WorkbookLayout checkWorkbookLayout(const std::string& stream);

std::uint16_t le16(const std::string& s, std::size_t at);
std::uint32_t le32(const std::string& s, std::size_t at);

}  // namespace quarvel::testing

#include "xls_probe.h"

#include <freexl.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <unordered_map>

namespace quarvel::testing {

std::uint16_t le16(const std::string& s, std::size_t at) {
    if (at + 2 > s.size()) throw std::runtime_error("read past the end");
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) |
                                      static_cast<unsigned char>(s[at + 1]) << 8);
}

std::uint32_t le32(const std::string& s, std::size_t at) {
    return le16(s, at) | static_cast<std::uint32_t>(le16(s, at + 2)) << 16;
}

SheetContents readWithFreexl(const std::filesystem::path& file) {
    SheetContents out;
    const void* h = nullptr;
    const int rc = freexl_open(file.string().c_str(), &h);
    EXPECT_EQ(rc, FREEXL_OK) << "freexl_open refused " << file;
    if (rc != FREEXL_OK) return out;
    unsigned sheets = 0;
    freexl_get_info(h, FREEXL_BIFF_SHEET_COUNT, &sheets);
    for (unsigned short i = 0; i < sheets; ++i) {
        const char* name = nullptr;
        EXPECT_EQ(freexl_get_worksheet_name(h, i, &name), FREEXL_OK);
        out.sheetNames.push_back(name ? name : "");
    }
    if (sheets > 0 && freexl_select_active_worksheet(h, 0) == FREEXL_OK) {
        unsigned short cols = 0;
        EXPECT_EQ(freexl_worksheet_dimensions(h, &out.rows, &cols), FREEXL_OK);
        out.cols = cols;
        out.cells.assign(out.rows, std::vector<std::string>(out.cols));
        for (unsigned r = 0; r < out.rows; ++r)
            for (unsigned short c = 0; c < out.cols; ++c) {
                FreeXL_CellValue v{};
                if (freexl_get_cell_value(h, r, c, &v) != FREEXL_OK) {
                    ADD_FAILURE() << "freexl cannot read cell " << r << "," << c;
                    continue;
                }
                if (v.type == FREEXL_CELL_TEXT || v.type == FREEXL_CELL_SST_TEXT)
                    out.cells[r][c] = v.value.text_value;
                else
                    EXPECT_EQ(v.type, FREEXL_CELL_NULL)
                        << "cell " << r << "," << c << " is not text";
            }
    }
    freexl_close(h);
    return out;
}

CompoundInfo readCompound(const std::string& f) {
    auto fail = [](const std::string& why) { throw std::runtime_error("compound file: " + why); };
    if (f.size() < 1024 || f.compare(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") != 0)
        fail("no signature");
    if ((f.size() - 512) % 512 != 0) fail("not a whole number of sectors");
    if (le16(f, 26) != 3 || le16(f, 30) != 9) fail("not version 3 with 512-byte sectors");
    const std::uint32_t sectors = static_cast<std::uint32_t>((f.size() - 512) / 512);
    auto sector = [&](std::uint32_t s) {
        if (s >= sectors) fail("sector number out of range");
        return 512 + static_cast<std::size_t>(s) * 512;
    };
    CompoundInfo info;
    info.fatSectors = le32(f, 44);
    info.difatSectors = le32(f, 72);

    // FAT sector list: 109 in the header, then the DIFAT chain of 127 plus a link each.
    std::vector<std::uint32_t> fatList;
    for (int i = 0; i < 109 && fatList.size() < info.fatSectors; ++i)
        fatList.push_back(le32(f, 76 + 4 * i));
    std::uint32_t d = le32(f, 68);
    for (std::uint32_t k = 0; k < info.difatSectors; ++k) {
        const std::size_t base = sector(d);
        for (int i = 0; i < 127 && fatList.size() < info.fatSectors; ++i)
            fatList.push_back(le32(f, base + 4 * i));
        d = le32(f, base + 508);
    }
    if (fatList.size() != info.fatSectors) fail("FAT sector list incomplete");
    std::vector<std::uint32_t> fat;
    for (std::uint32_t s : fatList) {
        const std::size_t base = sector(s);
        for (int i = 0; i < 128; ++i) fat.push_back(le32(f, base + 4 * i));
    }
    for (std::uint32_t s : fatList)
        if (fat.at(s) != 0xFFFFFFFD) fail("a FAT sector is not marked as such");
    if (fat.size() < sectors) fail("the FAT does not cover the file");

    auto chain = [&](std::uint32_t start, std::size_t limit) {
        std::string data;
        for (std::uint32_t s = start; s != 0xFFFFFFFE; s = fat.at(s)) {
            data.append(f, sector(s), 512);
            if (data.size() > limit) fail("chain longer than its stream or cyclic");
        }
        return data;
    };
    const std::string dir = chain(le32(f, 48), f.size());
    for (std::size_t e = 0; e + 128 <= dir.size(); e += 128) {
        std::string name;
        for (std::size_t i = 0; i + 2 < le16(dir, e + 64); i += 2)
            name += static_cast<char>(dir[e + i]);
        if (name == "Workbook" && dir[e + 66] == 2) {
            info.streamSize = le32(dir, e + 120);
            if (info.streamSize < le32(f, 56)) fail("the stream belongs in the mini stream");
            info.workbook = chain(le32(dir, e + 116), info.streamSize + 511);
            if (info.workbook.size() < info.streamSize) fail("stream chain too short");
            info.workbook.resize(info.streamSize);
            return info;
        }
    }
    fail("no Workbook stream");
    return info;
}

std::vector<BiffRecord> readRecords(const std::string& s, std::size_t from) {
    std::vector<BiffRecord> out;
    std::size_t pos = from;
    for (;;) {
        const std::uint16_t type = le16(s, pos), len = le16(s, pos + 2);
        if (pos + 4 + len > s.size()) throw std::runtime_error("record runs past the stream");
        out.push_back({pos, type, s.substr(pos + 4, len)});
        pos += 4 + len;
        if (type == 0x000A) return out;
    }
}

}  // namespace quarvel::testing

namespace quarvel::testing {

namespace {

struct SstString {
    std::size_t pos;  // stream position of its header
    std::u16string text;
};

// Decodes the shared strings; a string header split across records is an error.
std::vector<SstString> decodeSst(const std::vector<BiffRecord>& recs, std::size_t first,
                                 std::size_t& continues) {
    std::vector<SstString> out;
    std::size_t r = first, off = 8;
    const std::uint32_t unique = le32(recs[first].body, 4);
    continues = 0;
    auto next = [&] {
        ++r;
        if (r >= recs.size() || recs[r].type != 0x003C)
            throw std::runtime_error("SST continues without CONTINUE");
        ++continues;
        off = 0;
    };
    for (std::uint32_t k = 0; k < unique; ++k) {
        if (off == recs[r].body.size()) next();
        const std::string& b0 = recs[r].body;
        if (off + 3 > b0.size()) throw std::runtime_error("string header split across records");
        SstString s{recs[r].pos + 4 + off, {}};
        std::size_t left = le16(b0, off);
        bool wide = b0[off + 2] & 1;
        if (b0[off + 2] & ~1) throw std::runtime_error("unexpected rich/extended string");
        off += 3;
        while (left > 0) {
            if (off == recs[r].body.size()) {
                next();
                wide = recs[r].body.at(0) & 1;
                off = 1;
            }
            const std::string& b = recs[r].body;
            for (; left > 0 && off < b.size(); --left) {
                if (wide)
                    s.text += static_cast<char16_t>(le16(b, off)), off += 2;
                else
                    s.text += static_cast<char16_t>(static_cast<unsigned char>(b[off])), off += 1;
            }
            if (!s.text.empty() && s.text.back() >= 0xD800 && s.text.back() <= 0xDBFF && left > 0 &&
                off == b.size())
                throw std::runtime_error("surrogate pair split across records");
        }
        out.push_back(std::move(s));
    }
    if (off != recs[r].body.size() || (r + 1 < recs.size() && recs[r + 1].type == 0x003C))
        throw std::runtime_error("bytes left over after the last shared string");
    return out;
}

std::size_t findRecord(const std::vector<BiffRecord>& recs, std::uint16_t type) {
    for (std::size_t i = 0; i < recs.size(); ++i)
        if (recs[i].type == type) return i;
    throw std::runtime_error("record missing: " + std::to_string(type));
}

// Records by stream position.
class RecordIndex {
  public:
    explicit RecordIndex(const std::vector<BiffRecord>& recs) {
        for (const auto& r : recs) byPos_[r.pos] = &r;
    }
    const BiffRecord* at(std::size_t pos) const {
        auto it = byPos_.find(pos);
        return it == byPos_.end() ? nullptr : it->second;
    }

  private:
    std::unordered_map<std::size_t, const BiffRecord*> byPos_;
};

}  // namespace

WorkbookLayout checkWorkbookLayout(const std::string& wb) {
    WorkbookLayout out;
    const auto globals = readRecords(wb, 0);
    EXPECT_EQ(globals.front().type, 0x0809);
    EXPECT_EQ(le16(globals.front().body, 2), 0x0005) << "workbook globals BOF";
    for (const auto& r : globals)
        EXPECT_LE(r.body.size(), 8224u) << "record " << r.type << " at " << r.pos;
    EXPECT_EQ(le16(globals[findRecord(globals, 0x0042)].body, 0), 1200) << "CODEPAGE";
    std::size_t xfs = 0, fonts = 0;
    for (const auto& r : globals) xfs += r.type == 0x00E0, fonts += r.type == 0x0031;
    EXPECT_GE(xfs, 16u);
    EXPECT_GE(fonts, 1u);
    findRecord(globals, 0x003D);  // WINDOW1
    findRecord(globals, 0x0293);  // STYLE

    const auto& bound = globals[findRecord(globals, 0x0085)];
    EXPECT_EQ(bound.body.substr(6), std::string("\x06\x00Sheet1", 8));
    const std::uint32_t sheetAt = le32(bound.body, 0);

    const RecordIndex globalAt(globals);
    const std::size_t sstIdx = findRecord(globals, 0x00FC);
    const auto strings = decodeSst(globals, sstIdx, out.continueRecords);
    for (const auto& s : strings) out.strings.push_back(s.text);
    const auto& ext = globals[findRecord(globals, 0x00FF)];
    const std::size_t perBucket = le16(ext.body, 0);
    EXPECT_GE(perBucket, 8u);
    const std::size_t buckets = (ext.body.size() - 2) / 8;
    EXPECT_EQ(buckets, (strings.size() + perBucket - 1) / perBucket);
    EXPECT_LE(buckets, 128u);
    for (std::size_t b = 0; b < buckets && b * perBucket < strings.size(); ++b) {
        const std::uint32_t ib = le32(ext.body, 2 + 8 * b);
        const std::uint16_t inRecord = le16(ext.body, 6 + 8 * b);
        EXPECT_EQ(ib, strings[b * perBucket].pos) << "EXTSST bucket " << b;
        const BiffRecord* holder = globalAt.at(ib - inRecord);
        EXPECT_TRUE(holder && (holder->type == 0x00FC || holder->type == 0x003C))
            << "EXTSST bucket " << b;
    }

    const auto sheet = readRecords(wb, sheetAt);
    const RecordIndex sheetAtPos(sheet);
    EXPECT_EQ(sheet.front().type, 0x0809);
    EXPECT_EQ(le16(sheet.front().body, 2), 0x0010) << "worksheet BOF";
    for (const auto& r : sheet) {
        EXPECT_LE(r.body.size(), 8224u) << "record " << r.type << " at " << r.pos;
        out.textCells += r.type == 0x00FD;
        if (r.type == 0x00FD) {
            EXPECT_LT(le32(r.body, 6), strings.size()) << "LABELSST beyond the SST";
        }
    }
    const auto& dim = sheet[findRecord(sheet, 0x0200)];
    out.dimRows = le32(dim.body, 4);
    out.dimCols = le16(dim.body, 10);
    findRecord(sheet, 0x023E);  // WINDOW2

    // INDEX points at DEFCOLWIDTH and at every DBCELL; each DBCELL points back at a ROW record.
    const auto& index = sheet[findRecord(sheet, 0x020B)];
    const BiffRecord* defCol = sheetAtPos.at(le32(index.body, 12));
    EXPECT_TRUE(defCol && defCol->type == 0x0055);
    std::size_t dbCells = 0;
    for (const auto& r : sheet) dbCells += r.type == 0x00D7;
    EXPECT_EQ((index.body.size() - 16) / 4, dbCells);
    for (std::size_t i = 16; i + 4 <= index.body.size(); i += 4) {
        const BiffRecord* db = sheetAtPos.at(le32(index.body, i));
        if (!db || db->type != 0x00D7) {
            ADD_FAILURE() << "INDEX entry " << (i - 16) / 4 << " does not point at a DBCELL";
            continue;
        }
        const BiffRecord* row = sheetAtPos.at(db->pos - le32(db->body, 0));
        EXPECT_TRUE(row && row->type == 0x0208) << "DBCELL at " << db->pos;
    }
    return out;
}

}  // namespace quarvel::testing

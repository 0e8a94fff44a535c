#include "history_io/xls_records.h"

#include <freexl.h>

#include <cmath>
#include <cstdio>

namespace quarvel::io {

bool looksLikeCompoundFile(std::string_view bytes) {
    return bytes.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
}

namespace {

std::string cellText(const FreeXL_CellValue& v) {
    switch (v.type) {
        case FREEXL_CELL_INT:
            return std::to_string(v.value.int_value);
        case FREEXL_CELL_DOUBLE: {
            const double d = v.value.double_value;
            if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15)
                return std::to_string(static_cast<long long>(d));
            char buf[64];
            std::snprintf(buf, sizeof buf, "%g", d);
            return buf;
        }
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME:
            return v.value.text_value ? v.value.text_value : "";
        default:
            return {};
    }
}

}  // namespace

std::optional<std::vector<std::vector<std::string>>> readXlsRows(const std::filesystem::path& file,
                                                                 std::string& why) {
    const void* h = nullptr;
    const int rc = freexl_open(file.string().c_str(), &h);
    if (rc != FREEXL_OK) {
        if (h) freexl_close(h);
        why = "libfreexl cannot open " + file.string() + " (" + std::to_string(rc) + ")";
        return std::nullopt;
    }
    std::vector<std::vector<std::string>> rows;
    unsigned sheets = 0;
    unsigned rowCount = 0;
    unsigned short cols = 0;
    if (freexl_get_info(h, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK || sheets == 0 ||
        freexl_select_active_worksheet(h, 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(h, &rowCount, &cols) != FREEXL_OK) {
        freexl_close(h);
        why = file.string() + " holds no sheet libfreexl can read";
        return std::nullopt;
    }
    rows.reserve(rowCount);
    for (unsigned r = 0; r < rowCount; ++r) {
        std::vector<std::string> row;
        row.reserve(cols);
        for (unsigned short c = 0; c < cols; ++c) {
            FreeXL_CellValue v;
            row.push_back(freexl_get_cell_value(h, r, c, &v) == FREEXL_OK ? cellText(v)
                                                                          : std::string());
        }
        rows.push_back(std::move(row));
    }
    freexl_close(h);
    return rows;
}

}  // namespace quarvel::io

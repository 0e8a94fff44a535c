#pragma once
// Shared pieces of the group tests: the YL rows as stored and a quick way to build the input.

#include <initializer_list>
#include <string>
#include <tuple>
#include <vector>

#include "groups/group_command.h"
#include "store/history_db.h"

namespace quarvel::groups::testing {

struct YlRow {
    std::string content;
    int min, max, last;
    double ratio;
    bool operator==(const YlRow&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const YlRow& r) {
    return os << r.content << " " << r.min << " " << r.max << " " << r.last << " " << r.ratio;
}

// The rows of YL in the order they were stored.
inline std::vector<YlRow> ylRows(store::HistoryDb& db) {
    store::Snapshot s = db.db().snapshot("SELECT * FROM YL ORDER BY RowSeq");
    std::vector<YlRow> rows;
    for (s.moveFirst(); !s.eof(); s.moveNext())
        rows.push_back({s.textField("content"), static_cast<int>(s.intField("intMinYL")),
                        static_cast<int>(s.intField("intMaxYL")),
                        static_cast<int>(s.intField("intLstYl")),
                        store::toDouble(s.field("sglLlr"))});
    return rows;
}

inline GroupInput input(int type, std::string size, std::initializer_list<int> boxes,
                        std::string start, std::string end, bool special = true) {
    GroupInput in;
    in.type = type;
    in.sizeText = std::move(size);
    for (int b : boxes) in.ticked[static_cast<std::size_t>(b)] = true;
    in.rangeStart = std::move(start);
    in.rangeEnd = std::move(end);
    in.countSpecial = special;
    return in;
}

inline double single(double v) { return static_cast<double>(static_cast<float>(v)); }

}  // namespace quarvel::groups::testing

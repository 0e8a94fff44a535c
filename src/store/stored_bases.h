#pragma once
// The numbering bases that the stored rows' zodiac and segment codes are written in. A base
// change in the menus applies to rows built afterwards only, so the codes of the stored rows,
// not the setting, tell what a stored value means.

#include <cstdint>
#include <optional>

#include "store/draw_record.h"
#include "store/engine.h"
#include "store/history_db.h"

namespace quarvel::store {

// Zodiac code 0 is written only under base 0 and 12 only under base 1; segment code 0 only
// under base 0 and 10 only under base 1. The oldest and newest hundred draws tell the base, the
// whole history where they store neither end code. A base that the rows do not tell (an empty
// history, neither end code stored, or both when rows of two bases are mixed) is taken from
// `assumed`, and so is every base when the rows cannot be read.
Bases storedBases(Database& db, Bases assumed);

// storedBases read again only when the history may have changed (a write of this program, a
// commit of another, another opening) or `assumed` differs: the answer scans the whole history
// when the rows do not tell, and the window asks for it at every command.
class StoredBasesCache {
  public:
    Bases get(HistoryDb& db, Bases assumed);

  private:
    struct Key {
        Database::ContentStamp stamp;
        std::uint64_t generation = 0;
        int assumedSx = 0, assumedDs = 0;
        bool operator==(const Key&) const = default;
    };
    std::optional<Key> key_;
    Bases bases_{};
};

}  // namespace quarvel::store

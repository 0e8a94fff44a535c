#pragma once
// The numbering bases that the stored rows' zodiac and segment codes are written in. A base
// change in the menus applies to rows built afterwards only, so the codes of the stored rows,
// not the setting, tell what a stored value means.

#include "store/draw_record.h"

namespace quarvel::store {

class Database;

// Zodiac code 0 is written only under base 0 and 12 only under base 1; segment code 0 only
// under base 0 and 10 only under base 1. A base that the rows do not tell (an empty history,
// neither end code stored, or both when rows of two bases are mixed) is taken from `assumed`,
// and so is every base when the rows cannot be read.
Bases storedBases(Database& db, Bases assumed);

}  // namespace quarvel::store

#pragma once
// Appending many built draw rows to Lishi through prepared statements. It writes exactly the
// columns that store::appendDrawRow writes (a test holds the two to the same rows), but without
// the per-column name lookups of a cursor, so that a full history file of 32,766 lines is stored
// in a fraction of a second. Use it inside a transaction.

#include <memory>
#include <optional>
#include <span>

#include "store/draw_record.h"
#include "store/engine.h"

namespace quarvel::io {

class RowAppender {
  public:
    explicit RowAppender(store::Database& db);
    ~RowAppender();
    RowAppender(const RowAppender&) = delete;
    RowAppender& operator=(const RowAppender&) = delete;

    // Appends the row with its IDX when known (NULL otherwise, for a renumbering after). Throws
    // store::DbError when a value does not fit its column or the database refuses the row.
    void append(const store::DrawRow& row, std::optional<int> idx = std::nullopt);
    // Appends rows[i] with IDX idx[i], in order, several rows per statement. The same checks;
    // on a failure some of the rows may be stored (the caller's transaction undoes them).
    void appendAll(std::span<const store::DrawRow> rows, std::span<const int> idx);

  private:
    store::Database& db_;
    std::unique_ptr<store::Prepared> insert_;
    std::unique_ptr<store::Prepared> insertMany_;  // several rows, prepared when first needed
};

}  // namespace quarvel::io

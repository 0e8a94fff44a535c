// Grids written as spreadsheets: `xls list FILE` writes the history list (as lishi.xls holds it).
#include "cli/command.h"
#include "history_io/xls_writer.h"
#include "store/numbering.h"

namespace quarvel::cli {
namespace {

int xls(Context& c) {
    if (c.args.size() != 2) throw UsageError("xls takes a grid name and a file");
    if (c.args[0] != "list") throw UsageError("xls writes the grid list, not " + c.args[0]);
    store::Snapshot sorted = c.db.historyList();
    if (const store::Outcome saved = io::saveXlsFile(c.args[1], store::historyListGrid(sorted));
        !saved.ok()) {
        c.err << "quarvel-cli xls: " << saved.detail << "\n";
        return 1;
    }
    c.out << "wrote " << c.args[1] << "\n";
    return 0;
}

const RegisterCommand kXls("xls", "xls list FILE", xls);

}  // namespace
}  // namespace quarvel::cli

// Grids written as spreadsheets: `xls list FILE` writes the history list (as lishi.xls holds it).
#include "cli/command.h"
#include "history_io/xls_writer.h"
#include "store/numbering.h"

namespace quarvel::cli {
namespace {

int xls(Context& c) {
    const auto& a = c.args.operands;
    if (a[0] != "list") throw UsageError("xls 只写历史列表（list），不是“" + a[0] + "”");
    store::Snapshot sorted = c.db.historyList();
    if (const store::Outcome saved = io::saveXlsFile(a[1], store::historyListGrid(sorted));
        !saved.ok())
        return ending(c, saved);
    c.out << "列表已导出到 " << a[1] << "\n";
    return kDone;
}

const RegisterCommand kXls("xls", {"历史列表写成电子表格（lishi.xls 的内容）", "list FILE", 2, 2},
                           xls);

}  // namespace
}  // namespace quarvel::cli

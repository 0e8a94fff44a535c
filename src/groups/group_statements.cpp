#include "groups/group_statements.h"

namespace quarvel::groups {

std::string scratchFillSql(const std::string& column, bool countSpecial) {
    if (countSpecial) return "UPDATE [Lishi] SET [txtHisP6]= [" + column + "]";
    return "UPDATE [Lishi] SET [txtHisP6]= LEFT([" + column + "],LEN([" + column + "])-4)";
}

std::string memberSql(const std::string& pattern) {
    return "UPDATE [Lishi] SET [intTh]=([intTh] +1) WHERE [txtHisP6] LIKE \"" + pattern + "\"";
}

std::string hitsSql(std::int32_t start, std::int32_t end, int n) {
    return "SELECT * FROM [lishi] WHERE [SQQH] >= " + std::to_string(start) +
           " AND  [SQQH] <= " + std::to_string(end) + " AND [intTh] = " + std::to_string(n) +
           " ORDER BY [IDX]";
}

}  // namespace quarvel::groups

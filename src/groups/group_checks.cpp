#include "groups/group_checks.h"

#include "groups/group_values.h"
#include "search/input_checks.h"
#include "store/whole_number.h"

namespace quarvel::groups {

std::optional<std::string> checkGroupInput(const GroupInput& input) {
    const auto size = store::readWholeNumber32(input.sizeText);
    if (!size) return std::nullopt;
    int ticked = 0;
    const int values = isGroupType(input.type) ? valueCount(input.type) : 0;
    for (int i = 1; i <= values; ++i)
        if (input.ticked[static_cast<std::size_t>(i)]) ++ticked;
    return search::checkGroupSize(*size, ticked);
}

}  // namespace quarvel::groups

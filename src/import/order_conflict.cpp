#include "import/order_conflict.h"

#include "data_access/text_fold.h"
#include "import/joined_names.h"

#include <charconv>

namespace kv::import {
namespace {

constexpr std::string_view kPositionPrefix = "field";

// The position, from 1, of a source column named field<k>; none for another name.
std::optional<std::size_t> positionOf(const std::string& source) {
    if (!data_access::equalIgnoringCase(std::string_view(source).substr(0, kPositionPrefix.size()), kPositionPrefix))
        return std::nullopt;
    std::size_t position = 0;
    const char* end = source.data() + source.size();
    const auto [stop, error] = std::from_chars(source.data() + kPositionPrefix.size(), end, position);
    if (error != std::errc() || stop != end || position == 0) return std::nullopt;
    return position;
}

std::vector<std::string> typeOrderOf(const mapping::FieldMap& typeMap) {
    std::vector<std::string> order;
    const auto place = [&](const mapping::AList& entry) {
        const std::optional<std::size_t> position = positionOf(entry.source);
        if (!position) return;
        if (order.size() < *position) order.resize(*position);
        order[*position - 1] = entry.target;
    };
    if (typeMap.key()) place(*typeMap.key());
    for (const mapping::AList& entry : typeMap.values()) place(entry);
    return order;
}

bool disagrees(const std::vector<std::string>& typeOrder, const OrderLine& fileOrder) {
    for (std::size_t k = 0; k < typeOrder.size() && k < fileOrder.names.size(); ++k)
        if (!typeOrder[k].empty() && !fileOrder.names[k].empty() &&
            !data_access::equalIgnoringCase(typeOrder[k], fileOrder.names[k]))
            return true;
    return false;
}

}  // namespace

std::optional<OrderConflict> findOrderConflict(const mapping::FieldMap& typeMap,
                                               const std::vector<OrderLine>& fileOrders) {
    const std::vector<std::string> typeOrder = typeOrderOf(typeMap);
    for (const OrderLine& fileOrder : fileOrders)
        if (disagrees(typeOrder, fileOrder)) return OrderConflict{typeOrder, fileOrder};
    return std::nullopt;
}

std::optional<OrderConflict> findOrderConflict(mapping::MappingWorkbook& workbook, const std::string& contestType,
                                               const std::string& path) {
    const mapping::ImportMapping type = workbook.importMapping(mapping::ImportKind::HistoryFile, contestType);
    return findOrderConflict(type.fieldMap, orderLinesOf(readCallHistoryText(path)));
}

std::string orderConflictText(const OrderConflict& conflict, const std::string& contestType,
                              const std::string& fileName) {
    return fileName + ", line " + std::to_string(conflict.fileOrder.line) + ": its !!Order!! is " +
           joinedNames(conflict.fileOrder.names, ",") + ", but the contest type " + contestType + " reads " +
           joinedNames(conflict.typeOrder, ",");
}

}  // namespace kv::import

#include "mapping/field_map.h"

namespace kv::mapping {

void AddFieldMapping(FieldMap& fieldMap, const std::string& source, const std::string& target) {
    if (!target.empty()) fieldMap.push_back({source, target});
}

}  // namespace kv::mapping

#include "mapping/field_map.h"

namespace kv::mapping {

void FieldMap::setKey(const std::string& source, const std::string& target) {
    if (!target.empty()) key_ = AList{source, target};
}

void FieldMap::add(const std::string& source, const std::string& target) {
    if (!target.empty()) values_.push_back({source, target});
}

}  // namespace kv::mapping

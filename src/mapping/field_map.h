#pragma once
// The field map of one import run: which source column goes into which History column. Its key
// entry is the one whose source value is the station's call, which finds the station's row; the
// other entries carry the values filed under it.

#include <optional>
#include <string>
#include <vector>

namespace kv::mapping {

// One source column and the History column that receives it, in that order.
struct AList {
    std::string source;
    std::string target;

    bool operator==(const AList&) const = default;
};

class FieldMap {
public:
    FieldMap() = default;

    // The key entry: none when the workbook names no History column for the call.
    const std::optional<AList>& key() const { return key_; }
    // The other entries, in the workbook's order.
    const std::vector<AList>& values() const { return values_; }
    bool isEmpty() const { return !key_ && values_.empty(); }

    // Sets the key entry, or appends another; either only when `target` names a column: an
    // empty cell of the workbook means that this source column is not imported.
    void setKey(const std::string& source, const std::string& target);
    void add(const std::string& source, const std::string& target);

    bool operator==(const FieldMap&) const = default;

private:
    std::optional<AList> key_;
    std::vector<AList> values_;
};

}  // namespace kv::mapping

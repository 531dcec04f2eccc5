#pragma once
// Index keys exactly as Access writes them, so that byte order is index order: a flag byte, then
// the value in an order-preserving encoding. Text keys use the Access 2000 "General" sort order.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

#include "jet/table_def.h"
#include "jet/value.h"

namespace kv::jet {

// A value whose key Access's encoding is not known for: writing a guessed key would corrupt the
// index for Access, so the key is refused instead.
class UnencodableKey : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The first eight bytes of a key (zeros past its end) as a number: keys whose prefixes differ
// compare as the numbers do, so a sort or a search need reach few of the keys themselves.
inline std::uint64_t indexKeyPrefix(std::span<const std::uint8_t> key) {
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i) prefix = prefix << 8 | (i < key.size() ? key[i] : 0);
    return prefix;
}

// Room for most keys, reserved before a key is made so that it is not grown byte by byte.
inline constexpr std::size_t kTypicalIndexKeySize = 32;

// Appends the key of one column's value.
void appendColumnKey(std::vector<std::uint8_t>& key, const Column& column, const Value& value, bool ascending);
// The whole key of a row (its values in the table's column order) for the index.
std::vector<std::uint8_t> encodeIndexKey(const TableDef& def, const RealIndex& index, const std::vector<Value>& row);
// The same, appended to `key`.
void appendIndexKey(std::vector<std::uint8_t>& key, const TableDef& def, const RealIndex& index,
                    const std::vector<Value>& row);

}  // namespace kv::jet

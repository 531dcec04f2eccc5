#pragma once
// The records of a BIFF8 Workbook stream: a 16-bit type, a 16-bit length and that many bytes.
// The stream holds the workbook's globals substream first, then one substream per sheet, each
// from a BOF record to its EOF record.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "data_access/workbook/workbook_damage.h"
#include "jet/bytes.h"
#include "jet/error.h"

namespace kv::data_access::workbook {

// The record types the reader acts on.
namespace biff {
constexpr std::uint16_t kEof = 0x000A;
constexpr std::uint16_t kDateMode = 0x0022;
constexpr std::uint16_t kFilePass = 0x002F;
constexpr std::uint16_t kContinue = 0x003C;
constexpr std::uint16_t kBoundSheet = 0x0085;
constexpr std::uint16_t kMulRk = 0x00BD;
constexpr std::uint16_t kXf = 0x00E0;
constexpr std::uint16_t kSst = 0x00FC;
constexpr std::uint16_t kLabelSst = 0x00FD;
constexpr std::uint16_t kDimension = 0x0200;
constexpr std::uint16_t kNumber = 0x0203;
constexpr std::uint16_t kLabel = 0x0204;
constexpr std::uint16_t kBoolErr = 0x0205;
constexpr std::uint16_t kRk = 0x027E;
constexpr std::uint16_t kFormat = 0x041E;
constexpr std::uint16_t kBof = 0x0809;
}  // namespace biff

struct BiffRecord {
    std::uint16_t type = 0;
    std::size_t offset = 0;  // of its header in the stream
    jet::ByteView body;
};

// "record 0x00FD at offset 1234 of the Workbook stream", for errors.
std::string describe(const BiffRecord& record);

// Runs `read` on the record's body; whatever it finds wrong there is WorkbookDamage naming the
// record, a field past the record's end included.
template <class Read>
void readWithin(const BiffRecord& record, Read&& read) {
    try {
        read();
    } catch (const jet::FormatError&) {
        throw WorkbookDamage(describe(record) + " is too short for its fields");
    } catch (const WorkbookDamage& damage) {
        throw WorkbookDamage(describe(record) + ": " + damage.what());
    }
}

// Reads records one after another from an offset of the stream; a record whose length runs past
// the stream's end is WorkbookDamage.
class BiffRecordReader {
public:
    // `stream` must outlive the reader.
    BiffRecordReader(const jet::ByteView& stream, std::size_t offset) : stream_(stream), offset_(offset) {}

    // The next record, or none at the end of the stream.
    std::optional<BiffRecord> next();
    // Whether there is a next record and it is of `type`.
    bool nextIs(std::uint16_t type) const;
    // Where the next record starts.
    std::size_t offset() const { return offset_; }

private:
    const jet::ByteView& stream_;
    std::size_t offset_;
};

}  // namespace kv::data_access::workbook

#pragma once
// Every page type, offset, size and flag of the Jet 4 file format, named once. The rest of the engine
// refers to these names only.

#include <array>
#include <cstddef>
#include <cstdint>

namespace kv::jet::format {

inline constexpr std::size_t kPageSize = 4096;

// Access 2000's "General" collation, the sort order of the header and of Text columns.
inline constexpr std::uint16_t kGeneralSortOrder = 0x409;

// Byte 0 of every page.
enum class PageType : std::uint8_t {
    Header = 0x00,
    Data = 0x01,
    TableDefinition = 0x02,
    IntermediateIndex = 0x03,
    LeafIndex = 0x04,
    UsageMap = 0x05,
};
// Byte 1 of every page, as Jet writes it; readers ignore it.
inline constexpr std::size_t kPageMarkOffset = 0x01;
inline constexpr std::uint8_t kPageMark = 0x01;

// ---- Page 0: the database header ----
namespace header {
inline constexpr std::size_t kMagicOffset = 0x00;
inline constexpr std::uint32_t kMagic = 0x00000100;
inline constexpr std::size_t kFormatNameOffset = 0x04;
inline constexpr std::array<char, 16> kJetFormatName = {'S', 't', 'a', 'n', 'd', 'a', 'r', 'd',
                                                        ' ', 'J', 'e', 't', ' ', 'D', 'B', '\0'};
inline constexpr std::array<char, 16> kAceFormatName = {'S', 't', 'a', 'n', 'd', 'a', 'r', 'd',
                                                        ' ', 'A', 'C', 'E', ' ', 'D', 'B', '\0'};
inline constexpr std::size_t kVersionOffset = 0x14;
inline constexpr std::uint8_t kVersionJet3 = 0;
inline constexpr std::uint8_t kVersionJet4 = 1;  // Access 2000 and 2002-2003
// Versions above Jet 4 are the ACE engine's ACCDB files (Access 2007 and later).

// Bytes kMaskStart..kMaskEnd of page 0 are XOR-ed with an RC4 key stream of this key.
inline constexpr std::size_t kMaskStart = 0x18;
inline constexpr std::size_t kMaskEnd = 0x98;
inline constexpr std::array<std::uint8_t, 4> kMaskKey = {0xc7, 0xda, 0x39, 0x6b};

// Offsets inside the unmasked area.
inline constexpr std::size_t kCodePageOffset = 0x3c;
inline constexpr std::size_t kEncryptionKeyOffset = 0x3e;  // nonzero: every page is RC4 encrypted
inline constexpr std::size_t kPasswordOffset = 0x42;
inline constexpr std::size_t kPasswordSize = 40;
inline constexpr std::size_t kCreationDateOffset = 0x72;  // a double; its integer part masks the password
inline constexpr std::size_t kSortOrderOffset = 0x6e;
inline constexpr std::uint16_t kCodePageWestern = 1252;

// Bytes whose meaning is not known, as Jet writes them into every empty database: the first ones
// of the masked area, those after the password, the engine's name just past the masked area, and
// a table of 256 two-byte entries at the page's end (01 01, then 00 01 in every other entry).
inline constexpr std::array<std::uint8_t, 24> kAfterVersion = {0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00,
                                                               0x02, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,
                                                               0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
inline constexpr std::size_t kAfterVersionOffset = kMaskStart;
inline constexpr std::size_t kAfterPasswordOffset = kPasswordOffset + kPasswordSize;
inline constexpr std::array<std::uint8_t, 2> kAfterPassword = {0xa6, 0x11};
inline constexpr std::size_t kEngineOffset = kMaskEnd;
inline constexpr std::array<std::uint8_t, 8> kEngine = {0x54, 0x06, 0x00, 0x00, '4', '.', '0', '\0'};
inline constexpr std::size_t kTrailerOffset = 0xe00;
}  // namespace header

// ---- Data pages ----
namespace data_page {
inline constexpr std::size_t kFreeSpaceOffset = 0x02;
inline constexpr std::size_t kOwnerOffset = 0x04;  // page of the owning table definition
inline constexpr std::size_t kRowCountOffset = 0x0c;
inline constexpr std::size_t kRowOffsetsOffset = 0x0e;
// A row number is one byte wherever a row is addressed.
inline constexpr unsigned kMaxRowsPerPage = 256;
inline constexpr std::size_t kRowOffsetSize = 2;  // one entry a row, in row order
inline constexpr std::uint16_t kRowDeletedFlag = 0x8000;
inline constexpr std::uint16_t kRowOverflowFlag = 0x4000;
inline constexpr std::uint16_t kRowOffsetMask = 0x1fff;
inline constexpr std::size_t kOverflowPointerSize = 4;  // 1-byte row, 3-byte page
inline constexpr std::array<char, 4> kLongValueMark = {'L', 'V', 'A', 'L'};
inline constexpr std::size_t kLongValueMarkOffset = 0x04;
}  // namespace data_page

// ---- Table definition pages ----
namespace tdef {
// Values Jet writes into every definition (the first also into every column and logical index
// entry, the second into every real index entry); their meaning is not known, readers ignore them.
inline constexpr std::uint32_t kDefinitionMagic = 0x0659;
inline constexpr std::uint32_t kRealIndexMagic = 0x0783;

inline constexpr std::size_t kNextPageOffset = 0x04;
inline constexpr std::size_t kContinuationHeaderSize = 8;  // skipped on every page after the first
inline constexpr std::size_t kLengthOffset = 0x08;
inline constexpr std::size_t kDefinitionMagicOffset = 0x0c;
inline constexpr std::size_t kRowCountOffset = 0x10;
inline constexpr std::size_t kAutonumberOffset = 0x14;
inline constexpr std::size_t kAutonumberEnabledOffset = 0x18;
inline constexpr std::uint8_t kAutonumberEnabled = 0x01;  // Access numbers new rows only when it is set
inline constexpr std::size_t kTableTypeOffset = 0x28;
inline constexpr std::uint8_t kTableTypeUser = 0x4e;
inline constexpr std::uint8_t kTableTypeSystem = 0x53;
inline constexpr std::size_t kMaxColumnsOffset = 0x29;
inline constexpr std::size_t kVariableColumnCountOffset = 0x2b;
inline constexpr std::size_t kColumnCountOffset = 0x2d;
inline constexpr std::size_t kLogicalIndexCountOffset = 0x2f;
inline constexpr std::size_t kRealIndexCountOffset = 0x33;
inline constexpr std::size_t kOwnedPagesMapOffset = 0x37;
inline constexpr std::size_t kFreeSpaceMapOffset = 0x3b;
inline constexpr std::size_t kRealIndexBlocksOffset = 0x3f;  // the end of the fixed header
// A real index's block holds its count of entries at +0 and of distinct keys at +4, as Access
// writes them when it builds the index. Both go stale as rows change, so readers walk the tree.
inline constexpr std::size_t kRealIndexBlockSize = 12;
inline constexpr std::size_t kRealIndexBlockDistinctKeysOffset = 4;

inline constexpr std::size_t kColumnEntrySize = 25;
namespace column {
inline constexpr std::size_t kType = 0;
inline constexpr std::size_t kMagic = 1;  // kDefinitionMagic
inline constexpr std::size_t kNumber = 5;
inline constexpr std::size_t kVariableIndex = 7;
inline constexpr std::size_t kRowColumnNumber = 9;
inline constexpr std::size_t kSortOrder = 11;  // Text: the collation (kGeneralSortOrder)
inline constexpr std::size_t kPrecision = 11;  // Numeric
inline constexpr std::size_t kScale = 12;      // Numeric
inline constexpr std::size_t kCodePage = 13;
inline constexpr std::size_t kSortVersion = 14;
inline constexpr std::size_t kFlags = 15;
inline constexpr std::size_t kExtraFlags = 16;
inline constexpr std::size_t kFixedOffset = 21;
inline constexpr std::size_t kLength = 23;
inline constexpr std::uint16_t kMaxTextCharacters = 255;  // a Text column's length counts two bytes each
inline constexpr std::uint8_t kFlagFixedLength = 0x01;
inline constexpr std::uint8_t kFlagNullable = 0x02;  // on every user column; Required is a property
inline constexpr std::uint8_t kFlagAutonumber = 0x04;
inline constexpr std::uint8_t kFlagSystem = 0x10;  // set on every column of a system table
inline constexpr std::uint8_t kFlagAutoGuid = 0x40;
inline constexpr std::uint8_t kFlagHyperlink = 0x80;
inline constexpr std::uint8_t kExtraFlagCompressedText = 0x01;
}  // namespace column

inline constexpr std::size_t kRealIndexSize = 52;
namespace real_index {
inline constexpr std::size_t kMagic = 0;  // kRealIndexMagic
inline constexpr std::size_t kColumns = 4;
inline constexpr std::size_t kMaxColumns = 10;
inline constexpr std::size_t kColumnSlotSize = 3;  // 2-byte column number, 1-byte order
inline constexpr std::size_t kColumnSlotOrder = 2;
inline constexpr std::uint16_t kUnusedColumn = 0xffff;
inline constexpr std::uint8_t kOrderAscending = 0x01;
inline constexpr std::uint8_t kOrderDescending = 0x00;
inline constexpr std::size_t kOwnedPagesMap = 34;
inline constexpr std::size_t kFirstPage = 38;
inline constexpr std::size_t kFlags = 46;
inline constexpr std::uint8_t kFlagUnique = 0x01;
inline constexpr std::uint8_t kFlagIgnoreNulls = 0x02;
inline constexpr std::uint8_t kFlagRequired = 0x08;
inline constexpr std::uint8_t kFlagAlwaysSet = 0x80;  // Jet sets it on every real index
}  // namespace real_index

inline constexpr std::size_t kLogicalIndexSize = 28;
namespace logical_index {
inline constexpr std::size_t kMagic = 0;  // kDefinitionMagic
inline constexpr std::size_t kNumber = 4;
inline constexpr std::size_t kRealIndex = 8;
// A logical index that is no foreign key has no related index, and the cascade bytes Jet writes.
inline constexpr std::size_t kRelatedIndex = 13;
inline constexpr std::uint32_t kNoRelatedIndex = 0xffffffff;
inline constexpr std::size_t kCascadeUpdates = 21;
inline constexpr std::size_t kCascadeDeletes = 22;
inline constexpr std::uint8_t kCascadeDefault = 0x04;
inline constexpr std::size_t kType = 23;
inline constexpr std::uint8_t kTypePrimaryKey = 0x01;
inline constexpr std::uint8_t kTypeForeignKey = 0x02;
}  // namespace logical_index

// Ends the list of long-value column maps that closes a definition.
inline constexpr std::uint16_t kEndOfLongValueMaps = 0xffff;
}  // namespace tdef

// ---- Usage maps ----
namespace usage_map {
inline constexpr std::uint8_t kInline = 0x00;
inline constexpr std::uint8_t kReference = 0x01;
inline constexpr std::size_t kInlineStartPageOffset = 1;
inline constexpr std::size_t kInlineBitmapOffset = 5;
inline constexpr std::size_t kReferencePagesOffset = 1;
inline constexpr std::size_t kMapPageBitmapOffset = 4;  // on a type-5 page
inline constexpr std::size_t kInlineMapSize = 69;       // the row size Jet gives every inline map
inline constexpr std::size_t kInlineBitmapSize = kInlineMapSize - kInlineBitmapOffset;
}  // namespace usage_map

// ---- Rows ----
namespace row {
inline constexpr std::size_t kColumnCountSize = 2;
inline constexpr std::size_t kVariableOffsetSize = 2;
}  // namespace row

// ---- Text ----
namespace text {
inline constexpr std::array<std::uint8_t, 2> kCompressionMark = {0xff, 0xfe};
}

// ---- Memo and OLE values ----
namespace long_value {
inline constexpr std::size_t kHeaderSize = 12;
inline constexpr std::uint32_t kLengthMask = 0x3fffffff;
inline constexpr std::uint32_t kFlagMask = 0xc0000000;
inline constexpr std::uint32_t kInline = 0x80000000;
inline constexpr std::uint32_t kSingleRow = 0x40000000;
inline constexpr std::uint32_t kRowChain = 0x00000000;
inline constexpr std::size_t kPointerOffset = 4;
inline constexpr std::size_t kChainLinkSize = 4;  // each chained row starts with the next row's pointer
}  // namespace long_value

// ---- Index pages ----
namespace index_page {
inline constexpr std::size_t kPreviousPageOffset = 0x0c;
inline constexpr std::size_t kNextPageOffset = 0x10;
inline constexpr std::size_t kTailPageOffset = 0x14;
inline constexpr std::size_t kPrefixLengthOffset = 0x18;
inline constexpr std::size_t kEntryMaskOffset = 0x1b;
inline constexpr std::size_t kEntriesOffset = 0x1e0;
inline constexpr std::size_t kRowPointerSize = 4;    // 3-byte big-endian page, 1-byte row
inline constexpr std::size_t kChildPointerSize = 4;  // big-endian page, intermediate entries only
}  // namespace index_page

// ---- Index keys ----
// Each column's part of a key starts with a flag byte, and a descending column's part is stored with
// every byte inverted. A Boolean's part is one byte without a flag (a missing value counts as False).
namespace index_key {
inline constexpr std::uint8_t kStartAscending = 0x7f;
inline constexpr std::uint8_t kStartDescending = 0x80;
inline constexpr std::uint8_t kNullAscending = 0x00;
inline constexpr std::uint8_t kNullDescending = 0xff;
inline constexpr std::uint8_t kBooleanTrueAscending = 0x00;
inline constexpr std::uint8_t kBooleanFalseAscending = 0xff;
// Text: the inline codes, kEndOfText, each character's accent weight (trailing "no accent" weights
// left out), then, when some characters are ignored in sorting, kIgnoredTrailerStart and for each
// of them its position (big-endian: kPositionBase, plus kPositionStep per sorted character before
// it, with kPositionFlag), kIgnoredMidfix and its code; then kEndOfKey.
inline constexpr std::uint8_t kEndOfText = 0x01;
inline constexpr std::uint8_t kEndOfKey = 0x00;
inline constexpr std::array<std::uint8_t, 3> kIgnoredTrailerStart = {0x01, 0x01, 0x01};
inline constexpr unsigned kPositionBase = 7;
inline constexpr unsigned kPositionStep = 4;
inline constexpr std::uint16_t kPositionFlag = 0x8000;
inline constexpr std::uint8_t kIgnoredMidfix = 0x06;
}  // namespace index_key

// ---- Numeric (decimal) values ----
namespace numeric {
inline constexpr std::size_t kSize = 17;  // sign byte, then four little-endian 32-bit words, high first
inline constexpr std::uint8_t kNegative = 0x80;
}  // namespace numeric

inline constexpr char kCatalogName[] = "MSysObjects";
inline constexpr std::uint32_t kCatalogPage = 2;
inline constexpr std::int16_t kCatalogTypeTable = 1;  // MSysObjects Type of a table
inline constexpr std::uint32_t kObjectIdPageMask = 0x00ffffff;
// MSysObjects Flags: Jet writes the first for its system tables; either one marks a system object.
inline constexpr std::uint32_t kSystemObjectFlag = 0x80000000;
inline constexpr std::uint32_t kSystemObjectFlags = kSystemObjectFlag | 0x00000002;

}  // namespace kv::jet::format

#include "jet/database_builder_system_tables.h"

#include "jet/format.h"

namespace kv::jet::system_tables {
namespace {

namespace col = format::tdef::column;

constexpr std::uint16_t kNameBytes = 2 * col::kMaxTextCharacters;
// Security identifiers Jet writes into an empty database: the owner of the containers and tables
// ("Admin"), of MSysDb, and the groups named in the default permissions.
const Binary kAdminOwner = {0x06, 0xea};
const Binary kDatabaseOwner = {0x07, 0xe8};
const Binary kAdminsGroup = {0x06, 0xed};
const Binary kUsersGroup = {0x06, 0xe8};

constexpr std::int32_t kContainerParent = 0x0f000000;
constexpr std::int32_t kTablesContainer = 0x0f000001;
constexpr std::int32_t kDatabasesContainer = 0x0f000002;
constexpr std::int32_t kRelationshipsContainer = 0x0f000003;
constexpr std::int32_t kDatabaseObject = 0x10000000;
constexpr std::int16_t kTypeDatabase = 2;
constexpr std::int16_t kTypeContainer = 3;
constexpr auto kSystemObject = static_cast<std::int32_t>(format::kSystemObjectFlag);

ColumnDesign column(std::string name, ColumnType type, std::uint16_t length = 0, std::uint8_t extraFlags = 0) {
    ColumnDesign design;
    design.name = std::move(name);
    design.type = type;
    design.length = length;
    design.flags = static_cast<std::uint8_t>(col::kFlagNullable |
                                             (isVariableLengthType(type) ? 0 : col::kFlagFixedLength) | extraFlags);
    return design;
}

// Jet marks the owner columns with a flag of unknown meaning.
constexpr std::uint8_t kOwnerColumnFlag = 0x20;

IndexDesign index(std::string name, std::vector<std::string> columns, bool unique, bool primaryKey,
                  bool ignoreNulls = false, bool required = false) {
    IndexDesign design;
    design.name = std::move(name);
    for (auto& c : columns) design.columns.push_back({std::move(c), false});
    design.unique = unique;
    design.primaryKey = primaryKey;
    design.ignoreNulls = ignoreNulls;
    design.required = required;
    return design;
}

TableDesign objects() {
    TableDesign t;
    t.name = format::kCatalogName;
    t.system = true;
    t.columns = {column("Id", ColumnType::Long),
                 column("ParentId", ColumnType::Long),
                 column("Name", ColumnType::Text, kNameBytes),
                 column("Type", ColumnType::Integer),
                 column("DateCreate", ColumnType::DateTime),
                 column("DateUpdate", ColumnType::DateTime),
                 column("Owner", ColumnType::Binary, kNameBytes, kOwnerColumnFlag),
                 column("Flags", ColumnType::Long),
                 column("Database", ColumnType::Memo),
                 column("Connect", ColumnType::Memo),
                 column("ForeignName", ColumnType::Text, kNameBytes),
                 column("RmtInfoShort", ColumnType::Binary, kNameBytes),
                 column("RmtInfoLong", ColumnType::Ole),
                 column("Lv", ColumnType::Ole),
                 column("LvProp", ColumnType::Ole),
                 column("LvModule", ColumnType::Ole),
                 column("LvExtra", ColumnType::Ole)};
    t.indexes = {index("ParentIdName", {"ParentId", "Name"}, true, false), index("Id", {"Id"}, true, true)};
    return t;
}

TableDesign permissions() {
    TableDesign t;
    t.name = "MSysACEs";
    t.system = true;
    t.columns = {column("ObjectId", ColumnType::Long), column("SID", ColumnType::Binary, kNameBytes, kOwnerColumnFlag),
                 column("ACM", ColumnType::Long), column("FInheritable", ColumnType::Boolean)};
    t.indexes = {index("ObjectId", {"ObjectId"}, false, false, false, true)};
    return t;
}

TableDesign queries() {
    TableDesign t;
    t.name = "MSysQueries";
    t.system = true;
    t.columns = {column("ObjectId", ColumnType::Long),
                 column("Attribute", ColumnType::Byte),
                 column("Order", ColumnType::Binary, kNameBytes),
                 column("Name1", ColumnType::Text, kNameBytes),
                 column("Name2", ColumnType::Text, kNameBytes),
                 column("Expression", ColumnType::Memo),
                 column("Flag", ColumnType::Integer),
                 column("LvExtra", ColumnType::Long)};
    t.indexes = {index("ObjectIdAttribute", {"ObjectId", "Attribute", "Order"}, true, true)};
    return t;
}

TableDesign relationships() {
    TableDesign t;
    t.name = "MSysRelationships";
    t.system = true;
    t.columns = {column("szRelationship", ColumnType::Text, kNameBytes),
                 column("grbit", ColumnType::Long),
                 column("ccolumn", ColumnType::Long),
                 column("icolumn", ColumnType::Long),
                 column("szObject", ColumnType::Text, kNameBytes),
                 column("szColumn", ColumnType::Text, kNameBytes),
                 column("szReferencedObject", ColumnType::Text, kNameBytes),
                 column("szReferencedColumn", ColumnType::Text, kNameBytes)};
    t.indexes = {index("szRelationship", {"szRelationship"}, false, false, true),
                 index("szObject", {"szObject"}, false, false, true),
                 index("szReferencedObject", {"szReferencedObject"}, false, false, true)};
    return t;
}

// A row of MSysObjects, in its column order; the long-value columns stay NULL but LvProp.
TableRow catalogRow(std::int32_t id, std::int32_t parent, const std::string& name, std::int16_t type, DateTime created,
                    const Binary& owner, std::int32_t flags, const Binary& properties = {}) {
    TableRow row(17);
    row[0] = id;
    row[1] = parent;
    row[2] = name;
    row[3] = type;
    row[4] = created;
    row[5] = created;
    row[6] = owner;
    row[7] = flags;
    if (!properties.empty()) row[14] = properties;
    return row;
}

}  // namespace

std::vector<TableDesign> designs() { return {objects(), permissions(), queries(), relationships()}; }

std::vector<TableRow> catalogRows(const std::vector<CatalogEntry>& tables, DateTime created) {
    std::vector<TableRow> rows = {
        catalogRow(kTablesContainer, kContainerParent, "Tables", kTypeContainer, created, kAdminOwner, kSystemObject),
        catalogRow(kDatabasesContainer, kContainerParent, "Databases", kTypeContainer, created, kAdminOwner,
                   kSystemObject),
        catalogRow(kRelationshipsContainer, kContainerParent, "Relationships", kTypeContainer, created, kAdminOwner,
                   kSystemObject),
        catalogRow(kDatabaseObject, kDatabasesContainer, "MSysDb", kTypeDatabase, created, kDatabaseOwner,
                   kSystemObject),
    };
    for (const auto& table : tables)
        rows.push_back(catalogRow(static_cast<std::int32_t>(table.definitionPage), kTablesContainer, table.name,
                                  format::kCatalogTypeTable, created, kAdminOwner, table.system ? kSystemObject : 0,
                                  table.properties));
    return rows;
}

std::vector<TableRow> permissionRows() {
    struct Permission {
        std::int32_t object;
        const Binary& sid;
        std::int32_t mask;
        bool inheritable;
    };
    const Permission permissions[] = {
        {2, kDatabaseOwner, 393216, false},
        {3, kDatabaseOwner, 393216, false},
        {4, kDatabaseOwner, 393216, false},
        {5, kDatabaseOwner, 917504, false},
        {kTablesContainer, kAdminsGroup, 983294, true},
        {kTablesContainer, kDatabaseOwner, 393217, false},
        {kRelationshipsContainer, kAdminsGroup, 983294, true},
        {kRelationshipsContainer, kDatabaseOwner, 393217, false},
        {kDatabasesContainer, kDatabaseOwner, 393216, false},
        {kDatabaseObject, kDatabaseOwner, 393230, false},
        {kDatabaseObject, kUsersGroup, 14, false},
        {4, kUsersGroup, 20, false},
        {5, kUsersGroup, 20, false},
        {2, kUsersGroup, 20, false},
        {kTablesContainer, kUsersGroup, 1048319, true},
        {kRelationshipsContainer, kUsersGroup, 1048575, true},
    };
    std::vector<TableRow> rows;
    for (const auto& p : permissions) rows.push_back({p.object, p.sid, p.mask, p.inheritable});
    return rows;
}

}  // namespace kv::jet::system_tables

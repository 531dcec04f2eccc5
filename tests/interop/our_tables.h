#pragma once
// Helpers for comparing our reading of the Access fixtures with independent readers: each table of
// a fixture read by our engine with values as the Access provider shows them, and a
// matching of rows that does not depend on the order a reader lists them in.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "../jet/jet_fixtures.h"
#include "data_access/access/access_value_text.h"
#include "data_access/provider.h"
#include "jet/database.h"

namespace kv::interop {

struct OurTable {
    std::string name;
    std::vector<jet::Column> columns;
    std::vector<data_access::Row> rows;

    std::vector<std::string> columnNames() const {
        std::vector<std::string> names;
        for (const auto& column : columns) names.push_back(column.name);
        return names;
    }
    bool has(jet::ColumnType type) const {
        return std::any_of(columns.begin(), columns.end(), [&](const jet::Column& c) { return c.type == type; });
    }
};

inline OurTable readOurTable(const jet::Database& database, const jet::CatalogTable& table) {
    jet::TableDef def = database.tableDef(table);
    OurTable ours{table.name, def.columns, {}};
    for (const auto& row : database.rows(def).rows) {
        auto& texts = ours.rows.emplace_back();
        for (const auto& value : row) texts.push_back(data_access::accessValueText(value));
    }
    return ours;
}

// How much a test compared, so that it cannot pass by comparing next to nothing.
struct Coverage {
    std::size_t tables = 0;
    std::size_t rows = 0;

    void add(const OurTable& table) {
        ++tables;
        rows += table.rows.size();
    }
    void expectTheFixturesCovered() const {
        EXPECT_GE(tables, 80u);
        EXPECT_GE(rows, 1000u);
    }
};

inline std::string shortened(const std::string& text) { return text.size() <= 80 ? text : text.substr(0, 77) + "..."; }

// Whether our value of a column agrees with another reader's rendering of it.
template <typename TheirValue>
using ValuesAgree = std::function<bool(const jet::Column&, const data_access::Value& ours, const TheirValue& theirs)>;

// Pairs every row of theirs with a distinct row of ours that agrees in every column, and fails the
// test for each row that finds none. mdbtools and mdb-reader list a moved row where its data lies,
// we where its address is (the order of Jet's own scan and of its indexes), so rows are matched
// in order first and anywhere else when that fails.
template <typename TheirValue>
void expectSameRows(const std::string& where, const OurTable& ours, const std::vector<std::vector<TheirValue>>& theirs,
                    const ValuesAgree<TheirValue>& agree, const std::function<std::string(const TheirValue&)>& show) {
    ASSERT_EQ(ours.rows.size(), theirs.size()) << where << ": row count";
    auto rowsAgree = [&](const data_access::Row& our, const std::vector<TheirValue>& their) {
        if (our.size() != their.size()) return false;
        for (std::size_t c = 0; c < our.size(); ++c)
            if (!agree(ours.columns[c], our[c], their[c])) return false;
        return true;
    };
    std::vector<bool> taken(ours.rows.size());
    for (std::size_t r = 0; r < theirs.size(); ++r) {
        std::size_t match = r;
        if (taken[r] || !rowsAgree(ours.rows[r], theirs[r])) {
            match = 0;
            while (match < ours.rows.size() && (taken[match] || !rowsAgree(ours.rows[match], theirs[r]))) ++match;
        }
        if (match < ours.rows.size()) {
            taken[match] = true;
            continue;
        }
        std::string difference;
        for (std::size_t c = 0; c < ours.columns.size() && c < theirs[r].size(); ++c)
            if (!agree(ours.columns[c], ours.rows[r][c], theirs[r][c]))
                difference += "\n  column " + ours.columns[c].name + ": ours '" +
                              shortened(ours.rows[r][c].value_or("<NULL>")) + "', theirs '" +
                              shortened(show(theirs[r][c])) + "'";
        ADD_FAILURE() << where << ": no row of ours agrees with row " << r << "; the row in the same place differs in"
                      << difference;
    }
}

}  // namespace kv::interop

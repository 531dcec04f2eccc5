#pragma once
// File dialog filters are written as "description|pattern[|description|pattern...]", with
// patterns separated by ";". Qt wants one "description (patterns)" string per filter.

#include <QStringList>

namespace kv::windows {

QStringList toQtNameFilters(const QString& filter);

}  // namespace kv::windows

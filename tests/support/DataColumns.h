#pragma once

#include <QTest>

// A data table's columns in one line: addColumns<int, QString>("address", "reason").
template <typename... Types, typename... Names> void addColumns(const Names &...names)
{
    static_assert(sizeof...(Types) == sizeof...(Names), "one name for each column");
    (QTest::addColumn<Types>(names), ...);
}

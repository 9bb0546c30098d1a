#pragma once

#include <QTest>

#include <array>
#include <tuple>

// A data table's columns, named once: kCases.addColumns() in test_data(), and
// in test() the current row as a tuple: const auto [address, reason] = kCases.row().
template <typename... Types> struct DataTable
{
    std::array<const char *, sizeof...(Types)> names; // literals: QTest keeps the pointers

    void addColumns() const
    {
        std::apply([](auto... name) { (QTest::addColumn<Types>(name), ...); }, names);
    }
    std::tuple<Types...> row() const // as QFETCH takes each column
    {
        return std::apply(
            [](auto... name) {
                return std::tuple<Types...>(
                    *static_cast<Types *>(QTest::qData(name, qMetaTypeId<Types>()))...);
            },
            names);
    }
};

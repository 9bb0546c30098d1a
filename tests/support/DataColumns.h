#pragma once

#include <QTest>

#include <array>
#include <tuple>
#include <utility>

// A data table's columns, named once: kCases.addColumns() in test_data(), and
// in test() the current row as a tuple: const auto [address, reason] = kCases.row().
template <typename... Types> struct DataTable
{
    std::array<const char *, sizeof...(Types)> names; // literals: QTest keeps the pointers

    void addColumns() const
    {
        [this]<std::size_t... I>(std::index_sequence<I...>)
        {
            (QTest::addColumn<Types>(names[I]), ...);
        }
        (std::index_sequence_for<Types...>());
    }
    std::tuple<Types...> row() const // as QFETCH takes each column
    {
        return [this]<std::size_t... I>(std::index_sequence<I...>)
        {
            return std::tuple<Types...>(
                *static_cast<Types *>(QTest::qData(names[I], qMetaTypeId<Types>()))...);
        }
        (std::index_sequence_for<Types...>());
    }
};

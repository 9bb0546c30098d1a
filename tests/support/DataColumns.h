#pragma once

#include <QTest>

#include <array>
#include <tuple>
#include <utility>

// A data table's columns, named once: add them in test_data(), and take the
// current row as a tuple in test():
//   static inline const DataTable<int, QString> kCases{"address", "reason"};
//   kCases.addColumns();                        // in test_data()
//   const auto [address, reason] = kCases.row(); // in test()
template <typename... Types> class DataTable
{
public:
    template <typename... Names>
    constexpr explicit DataTable(const Names &...names) : m_names{names...}
    {
        static_assert(sizeof...(Types) == sizeof...(Names), "one name for each column");
    }

    void addColumns() const { add(std::index_sequence_for<Types...>()); }
    std::tuple<Types...> row() const { return take(std::index_sequence_for<Types...>()); }

private:
    template <std::size_t... I> void add(std::index_sequence<I...>) const
    {
        (QTest::addColumn<Types>(m_names[I]), ...);
    }
    template <std::size_t... I> std::tuple<Types...> take(std::index_sequence<I...>) const
    {
        // What QFETCH does for each column.
        return {*static_cast<Types *>(QTest::qData(m_names[I], qMetaTypeId<Types>()))...};
    }

    std::array<const char *, sizeof...(Types)> m_names; // string literals: QTest keeps the pointers
};

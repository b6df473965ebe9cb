#pragma once
// Data-driven tests in few lines: columns declared, rows added and fetched in one go.
//   columns<int, QString>("pages", "name");
//   addRow("two pages", 2, QString("a.tif"));
//   auto [pages, name] = fetch<int, QString>("pages", "name");

#include <QTest>

#include <tuple>

namespace ktdv::test {

template <class... T, class... Names>
void columns(const Names&... names) {
    (QTest::addColumn<T>(names), ...);
}

// One data row: addRow("name", a, b, c) is QTest::newRow("name") << a << b << c.
template <class... T>
void addRow(const char* name, const T&... values) {
    QTestData& row = QTest::newRow(name);
    (row << ... << values);
}

// The current row's values of the named columns, for a structured binding.
template <class... T, class... Names>
std::tuple<T...> fetch(const Names&... names) {
    return {*static_cast<T*>(QTest::qData(names, qMetaTypeId<T>()))...};
}

}  // namespace ktdv::test

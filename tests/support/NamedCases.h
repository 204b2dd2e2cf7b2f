#pragma once

#include <QtTest>

namespace Enrolix::Testing {

// A data table with one row per case of a list of (name, case) pairs; the column "row" holds the
// case's index, for the test to look the case up.
template <typename Cases> void addRowPerCase(const Cases& cases)
{
    QTest::addColumn<int>("row");
    for (int row = 0; row < int(cases.size()); ++row)
        QTest::newRow(cases.at(row).first) << row;
}

} // namespace Enrolix::Testing

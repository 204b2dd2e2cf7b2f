#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace Enrolix::Csv {

// A whole CSV file as spreadsheets read it: UTF-8 with a byte-order mark, rows ended by CR LF,
// a field quoted when it holds a comma, a quote, a CR or an LF, and a field that a spreadsheet
// would run as a formula (it begins with "=", "+", "-", "@", a tab or a CR) led by an apostrophe.
QByteArray document(const QList<QStringList>& rows);

} // namespace Enrolix::Csv

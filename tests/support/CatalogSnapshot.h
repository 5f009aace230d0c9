#pragma once

#include <QStringList>

namespace corvelix::test {

// Every row of the declaration tables of the open catalog (selector 2), one text per row
// prefixed with its table, sorted: two snapshots are equal when nothing was changed.
QStringList catalogSnapshot();

// Rows of one query on the open catalog (see queryRows).
QStringList catalogRows(const QString& sql, const QVariantList& params = {});

} // namespace corvelix::test

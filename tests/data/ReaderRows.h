#pragma once

#include "data/Recordset.h"

#include <QStringList>

namespace corvelix::test {

// The rows of a recordset, each row's cells joined by '|', a Null cell written "<null>" and a
// number in its shortest text, so that a failed comparison shows what was read.
inline QStringList readerRows(modDA::Recordset rs, const QStringList& columns = {}) {
    const QStringList names = columns.isEmpty() ? rs.fields() : columns;
    QStringList out;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        QStringList cells;
        for (const QString& name : names) {
            const QVariant value = rs.field(name);
            if (value.isNull())
                cells << QStringLiteral("<null>");
            else if (value.typeId() == QMetaType::Double)
                cells << QString::number(value.toDouble());
            else
                cells << value.toString();
        }
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

} // namespace corvelix::test

#pragma once

#include <QList>

class QTreeWidget;
class QTreeWidgetItem;

namespace modRET {

// Sizes every column of the list to the wider of its widest entry and its header.
void ajustarColumnasListView(QTreeWidget& lista);
// The same when the caller already knows, per column, the row holding the widest text
// (a null entry: the column has no rows): only those rows are measured.
void ajustarColumnasListView(QTreeWidget& lista, const QList<QTreeWidgetItem*>& masLargas);

} // namespace modRET

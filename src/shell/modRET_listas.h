#pragma once

#include <QList>

class QTreeWidget;

namespace modRET {

// Sizes every column of the list to the wider of its widest entry and its header.
void ajustarColumnasListView(QTreeWidget& lista);
// The same when the caller already measured, per column, the widest text of its rows in the
// list's font (corvelix::WidestText; 0: the column has no text).
void ajustarColumnasListView(QTreeWidget& lista, const QList<int>& anchosTexto);

} // namespace modRET

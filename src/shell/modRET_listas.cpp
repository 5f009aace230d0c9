#include "shell/modRET_listas.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace modRET {

void ajustarColumnasListView(QTreeWidget& lista) {
    // Qt measures only about a thousand rows by default; the longest entry may be further down.
    lista.header()->setResizeContentsPrecision(-1);
    for (int i = 0; i < lista.columnCount(); ++i) {
        // Takes the header's own width into account while the header is shown.
        lista.resizeColumnToContents(i);
    }
}

} // namespace modRET

#include "shell/modRET_listas.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace modRET {

void ajustarColumnasListView(QTreeWidget& lista) {
    for (int i = 0; i < lista.columnCount(); ++i) {
        // Takes the header's own width into account while the header is shown.
        lista.resizeColumnToContents(i);
    }
}

} // namespace modRET

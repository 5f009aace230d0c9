#include "shell/modRET_listas.h"

#include "platform/TextWidths.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace modRET {

void ajustarColumnasListView(QTreeWidget& lista) {
    // The widest text in the list's font decides, not the one with most characters.
    QList<QTreeWidgetItem*> masAnchas(lista.columnCount(), nullptr);
    for (int c = 0; c < lista.columnCount(); ++c) {
        corvelix::WidestText ancho(lista.font());
        for (int i = 0; i < lista.topLevelItemCount(); ++i)
            if (ancho.add(lista.topLevelItem(i)->text(c)))
                masAnchas[c] = lista.topLevelItem(i);
    }
    ajustarColumnasListView(lista, masAnchas);
}

void ajustarColumnasListView(QTreeWidget& lista, const QList<QTreeWidgetItem*>& masLargas) {
    // Measuring every row of a long list takes long; the widest text's row decides the width.
    QHeaderView& header = *lista.header();
    for (int c = 0; c < lista.columnCount(); ++c) {
        int width = header.isHidden() ? 0 : header.sectionSizeHint(c);
        QTreeWidgetItem* fila = masLargas.value(c);
        const int row = fila != nullptr ? lista.indexOfTopLevelItem(fila) : -1;
        if (row >= 0)
            width = qMax(width, lista.sizeHintForIndex(lista.model()->index(row, c)).width());
        header.resizeSection(c, width);
    }
}

} // namespace modRET

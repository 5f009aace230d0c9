#include "shell/modRET_listas.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace modRET {

void ajustarColumnasListView(QTreeWidget& lista) {
    QList<QTreeWidgetItem*> masLargas(lista.columnCount(), nullptr);
    QList<qsizetype> largo(lista.columnCount(), -1);
    for (int i = 0; i < lista.topLevelItemCount(); ++i) {
        QTreeWidgetItem* fila = lista.topLevelItem(i);
        for (int c = 0; c < lista.columnCount(); ++c) {
            const qsizetype n = fila->text(c).size();
            if (n > largo[c]) {
                largo[c] = n;
                masLargas[c] = fila;
            }
        }
    }
    ajustarColumnasListView(lista, masLargas);
}

void ajustarColumnasListView(QTreeWidget& lista, const QList<QTreeWidgetItem*>& masLargas) {
    // Measuring every row of a long list takes long; the longest text decides the width.
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

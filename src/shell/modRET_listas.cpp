#include "shell/modRET_listas.h"

#include "platform/TextWidths.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace modRET {

void ajustarColumnasListView(QTreeWidget& lista) {
    // The widest text in the list's font decides, not the one with most characters.
    QList<int> anchos(lista.columnCount(), 0);
    for (int c = 0; c < lista.columnCount(); ++c) {
        corvelix::WidestText ancho(lista.font());
        for (int i = 0; i < lista.topLevelItemCount(); ++i)
            ancho.add(lista.topLevelItem(i)->text(c));
        anchos[c] = ancho.pixels();
    }
    ajustarColumnasListView(lista, anchos);
}

void ajustarColumnasListView(QTreeWidget& lista, const QList<int>& anchosTexto) {
    QHeaderView& header = *lista.header();
    const int margenes = corvelix::cellTextMargins(lista);
    for (int c = 0; c < lista.columnCount(); ++c) {
        int width = header.isHidden() ? 0 : header.sectionSizeHint(c);
        if (const int texto = anchosTexto.value(c); texto > 0) {
            int celda = texto + margenes;
            if (c == 0 && lista.rootIsDecorated())
                celda += lista.indentation();
            width = qMax(width, celda);
        }
        header.resizeSection(c, width);
    }
}

} // namespace modRET

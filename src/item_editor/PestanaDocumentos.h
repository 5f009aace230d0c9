#pragma once

#include "item_editor/PestanaItem.h"

class QLineEdit;
class QTreeWidget;

// "Documentos": the documents (DVD) of the item, or in ITEM GLOBAL the code/reference pairs
// every item has, written to the items of the item picker.
class PestanaDocumentos : public PestanaItem {
    Q_OBJECT

public:
    PestanaDocumentos(QWidget& pagina, ContextoItem contexto);

    void cargarDocumentos();
    void cargarDocumentos_ZERO(const QString& despacho);
    void agregarDocumentos();
    void agregarDocumentos_ALLITEMS();
    void eliminarDocumentos();
    void eliminarDocumetos_ALLITEMS();
    // F6 in the code box.
    void seleccionarDocumento();

    QLineEdit* txtDocumento;
    QLineEdit* txtDocumentoValor;
    QTreeWidget* lstvDocumentos;
};

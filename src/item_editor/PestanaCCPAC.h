#pragma once

#include "item_editor/PestanaItem.h"

class QLineEdit;
class QPushButton;
class QTreeWidget;

// "DCEXP / CCPAC": the CCPAC row (CCM) of the item, or in ITEM GLOBAL those of every item.
class PestanaCCPAC : public PestanaItem {
    Q_OBJECT

public:
    PestanaCCPAC(QWidget& pagina, ContextoItem contexto);

    void cargarCCPAC();
    void cargarCCPAC_ZERO();
    void agregarCCPACs();
    void eliminarCCPACs();
    void agregarCCPAC_ALLITEMS();
    void cmdVaciarCCPAC_Click();

    QLineEdit* txtDCExpValor;
    QLineEdit* txtItemDocExportacion;
    QTreeWidget* lstCCPAC;
    QPushButton* cmdVaciarCCPAC;
};

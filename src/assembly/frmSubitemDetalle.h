#pragma once

#include <QDialog>
#include <QString>

class ClCntrl;
class QLabel;
class QLineEdit;

namespace corvelix {
class FirstActivation;
}

// Quantities, unit price and FOB of one subitem, or of the item itself for subitem "0000".
// F11 saves (and marks the item and the header), Esc leaves without saving.
class frmSubitemDetalle : public QDialog {
    Q_OBJECT

public:
    explicit frmSubitemDetalle(QWidget* parent = nullptr);

    QString m_Operacion;
    QString m_Item;
    QString m_subItem;
    QString m_UnidadDeclarada;
    double m_CantidadDeclarada = 0;
    QString m_UnidadEstadistica;
    double m_CantidadEstadistica = 0;
    double m_PrecioUnitario = 0;
    double m_FobTotal = 0;

    void Form_Activate();
    void cargarDatos();
    bool Form_KeyDown(QKeyEvent* event);
    void guardarDatos();
    void GuardarDatos_Item();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void txtCantidadDeclarada_Change();
    void txtFobTotal_Change();
    // The checks and the rewrites in their masks before either save; false when refused.
    bool validar();

    QLabel* lbTitulo;
    QLabel* lbUnidadDeclarada;
    QLabel* lbUnidadEstadistica;
    QLineEdit* txtCantidadDeclarada;
    QLineEdit* txtCantidadEstadistica;
    QLineEdit* txtPrecioUnitario;
    QLineEdit* txtFobTotal;
    QLabel* lbFOBTotal;
    QLabel* lbFobTotalItem;
    ClCntrl* controles_[4];
    corvelix::FirstActivation* activacion_;
};

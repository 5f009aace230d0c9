#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include "assembly/utiles_sufijos.h"

class QPushButton;

namespace corvelix {
class FirstActivation;
class FlexGrid;
} // namespace corvelix

// The suffix list of one subitem. On opening it asks for the value of every two-character
// code in turn; Enter on a row asks again. "Guardar [F11]" (or F11) hands the rebuilt string
// back in m_Sufijos; "Cancelar" leaves m_Sufijos as given.
class frmSufijos : public QDialog {
    Q_OBJECT

public:
    explicit frmSufijos(QWidget* parent = nullptr);

    QString m_Operacion;
    QString m_Item;
    QString m_subItem;
    QString m_Sufijos;
    QString m_NCM;

    void Form_Activate();
    void cargarDatos();
    void modificarSufijo();
    void reArmarSufijos();
    void procesoModificarSufijos();
    void cmdCancelar_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    corvelix::FlexGrid* grdSufijos;
    QPushButton* cmdGuardar;
    QPushButton* cmdCancelar;
    QList<utiles::SufijoLeido> sufijos_;
    bool recorriendo_ = false;
    corvelix::FirstActivation* activacion_;
};

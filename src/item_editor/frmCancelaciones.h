#pragma once

#include "runtime/FormKit.h"

#include <QDialog>
#include <QList>
#include <QString>

class ClCntrl;
class QLineEdit;
class QPushButton;

// One cancellation line of the item open in the item editor: added when the three m_DIT_
// members are empty, modified otherwise (they hold the line's key as opened). The line and the
// item's re-validation mark are written in one transaction. After the modal showing m_Grabo
// tells whether the line was saved.
class frmCancelaciones : public QDialog {
    Q_OBJECT

public:
    explicit frmCancelaciones(QWidget* parent = nullptr);

    QString m_Operacion;
    QString m_Item;
    QString m_DIT_Numero;
    QString m_DIT_Item;
    QString m_DIT_SbIt;
    bool m_Grabo = false;

    void Form_Activate();
    void cmdAceptar_Click();
    void cmdCancelar_Click();
    void txtNCM_LostFocus();

    // Checks and normalises the fields; shows the first refusal and answers false.
    bool validarDatos();
    bool addCancelacion();
    bool modCancelacion();
    // The factor box as the catalog holds it.
    QString factor() const;
    void cargarDatos();

    // Whether the current showing has loaded its fields.
    [[nodiscard]] bool cargado() const { return cargado_; }

public slots:
    // Esc and the close box leave as "Cancelar" does.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void txtDestinacionSusp_Change();
    void unload(int result);
    void designTexts();
    void preparar();

    QLineEdit* txtDestinacionSusp;
    QLineEdit* txtItem;
    QLineEdit* txtSubIT;
    QLineEdit* txtNCM;
    QLineEdit* txtCantidad;
    QLineEdit* txtFactorPonderacion;
    QLineEdit* txtCertProcProd;
    QPushButton* cmdAceptar;
    QPushButton* cmdCancelar;

    QList<ClCntrl*> controles_;
    corvelix::FirstActivation* activacion_ = nullptr;
    bool cargado_ = false;
    bool closing_ = false;
};

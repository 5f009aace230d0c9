#pragma once

#include "runtime/FormKit.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QPushButton;

// The field pickers of the sheet imports: a list of field names, "Seleccionar" and "Cancelar".
// The picked field stays in CampoSeleccionado after the picker closes.
class frmSelectCamposBase : public QDialog {
    Q_OBJECT

public:
    QString CampoSeleccionado;

    void Form_Activate();
    void cargarCampos();
    void cmdSeleccionar_Click();
    void Seleccionar();
    void cmdCancelar_Click();

    QComboBox* cboCampos;
    QPushButton* cmdSeleccionar;
    QPushButton* cmdCancelar;

protected:
    frmSelectCamposBase(const QString& formName, const QStringList& campos,
                        const QStringList& etiquetas, QWidget* parent);
    void reject() override;

private:
    QStringList campos_;
    bool activado_ = false;
};

class frmSelectCamposCancelaciones : public frmSelectCamposBase {
    Q_OBJECT
public:
    explicit frmSelectCamposCancelaciones(QWidget* parent = nullptr);
    static const QStringList& campos();
};

class frmSelectCamposLiquidacion : public frmSelectCamposBase {
    Q_OBJECT
public:
    explicit frmSelectCamposLiquidacion(QWidget* parent = nullptr);
    static const QStringList& campos();
};

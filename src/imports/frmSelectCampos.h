#pragma once

#include "runtime/FormKit.h"

#include <QDialog>
#include <QPushButton>
#include <QString>
#include <QStringList>

class QBoxLayout;
class QComboBox;
class QLabel;
class QPushButton;

// What every field picker shows below its texts: the list of fields, then "Seleccionar" and
// "Cancelar" side by side (neither one pressed by Enter), added to `layout`.
struct ControlesDeSeleccion {
    QComboBox* campos;
    QPushButton* seleccionar;
    QPushButton* cancelar;
};
ControlesDeSeleccion agregarControlesDeSeleccion(QDialog& form, QBoxLayout& layout);

// A picker's first activation and its two buttons, each run under the error guard by its
// handler's name.
template <class Picker> void conectarSeleccion(Picker& picker) {
    new corvelix::FirstActivation(picker, [&picker] {
        corvelix::runHandler(picker, QStringLiteral("Form_Activate"),
                             [&picker] { picker.Form_Activate(); });
    });
    QObject::connect(picker.cmdSeleccionar, &QPushButton::clicked, &picker, [&picker] {
        corvelix::runHandler(picker, QStringLiteral("cmdSeleccionar_Click"),
                             [&picker] { picker.cmdSeleccionar_Click(); });
    });
    QObject::connect(picker.cmdCancelar, &QPushButton::clicked, &picker, [&picker] {
        corvelix::runHandler(picker, QStringLiteral("cmdCancelar_Click"),
                             [&picker] { picker.cmdCancelar_Click(); });
    });
}

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

#pragma once

#include "imports/HojaExcel.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QPushButton;

// The SIMI field picker: one of the seven SIMI fields, or nothing.
class frmCampos : public QDialog {
    Q_OBJECT

public:
    explicit frmCampos(QWidget* parent = nullptr);
    static const QStringList& campos();

    QString sCampo;

    void Form_Activate();
    void cmdSeleccionar_Click();
    void cmdCancelar_Click();

    QComboBox* cboCampos;
    QPushButton* cmdSeleccionar;
    QPushButton* cmdCancelar;

protected:
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool activado_ = false;
};

// Loads a SIMI sheet into the declaration's work rows: the item, quantity and FOB columns
// (required) and the optional net kilos, certificate, agreement list and CCPAC text; every
// declaration item the sheet leaves out gets a zero row.
class frmSIMIGlobal : public HojaExcelImport {
    Q_OBJECT

public:
    explicit frmSIMIGlobal(QWidget* parent = nullptr);

    QString m_Despacho;

    void Form_Activate();
    void cmdAbrir_Click();
    void Seleccionarautomaticamente_dorsel();
    void guardarDatos();
    void cmdCancelar_Click();

    QLabel* lbDespacho;
    QPushButton* cmdAbrir;
    QPushButton* cmdAutoselecion;
    QPushButton* cmdGuardar;
    QPushButton* cmdCancelar;

protected:
    void seleccionarCampo() override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    bool activado_ = false;
};

#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Turns a pair of RET files (header "C*.ret", items "I*.ret") into a transfer file, after the
// user confirms the header's key fields. Shown modally with no inputs.
class frmImportarRET : public QDialog {
    Q_OBJECT

public:
    explicit frmImportarRET(QWidget* parent = nullptr);

    void cmdSeleccionar_Click();
    void cmdSeleccionarI_Click();
    void cmdImportar_Click();
    void cmdCerrar_Click();

private:
    QLabel* lbTitulo;
    QLineEdit* txtArchivoRet;
    QPushButton* cmdSeleccionar;
    QLineEdit* txtArchivoRET_I;
    QPushButton* cmdSeleccionarI;
    QCheckBox* chkOmitirCPLCaratula;
    QCheckBox* chkOmitirInformacionComplementariaItem;
    QPushButton* cmdImportar;
    QPushButton* cmdCerrar;
};

#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include "runtime/FormKit.h"

class QLineEdit;
class QPushButton;
class ClCntrl;

// One article row selected in the item view, as the grid showed it.
struct SufijoSeleccionado {
    QString IDDT;
    QString NART;
    QString ISBT;
    QString CSBTSVL;
    bool operator==(const SufijoSeleccionado&) const = default;
};

// The rows the item view hands to frmSetSufijos; it keeps the last selection until the next.
extern corvelix::ProcessStatic<QList<SufijoSeleccionado>> SufijosSeleccionados;

// Sets one two-character suffix code to one value on every row of SufijosSeleccionados that
// carries the code, all rows in one transaction.
class frmSetSufijos : public QDialog {
    Q_OBJECT

public:
    explicit frmSetSufijos(QWidget* parent = nullptr);

    void ProcesarSufijos();
    void cmdCancelar_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* txtCodSufijo;
    QLineEdit* txtSufijoValor;
    QPushButton* cmdEstablcer;
    QPushButton* cmdCancelar;
    ClCntrl* ctrlCodigo_;
    ClCntrl* ctrlValor_;
};

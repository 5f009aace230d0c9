#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

// A pasted list of invoice numbers. Show it modally, then read Facturas: the accepted text as
// it stood in the box, or the empty text when the dialog was closed without accepting.
class frmFacturasPegar : public QDialog {
    Q_OBJECT

public:
    explicit frmFacturasPegar(QWidget* parent = nullptr);

    QString Facturas;

    void cmdPaste_Click();
    void cargarFC();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPlainTextEdit* txtFacturas;
    QPushButton* cmdPaste;
    QPushButton* cmdAgregar;
    QPushButton* cmdCancelar;
};

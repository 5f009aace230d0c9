#pragma once

#include "imports/HojaExcel.h"

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

// Replaces a declaration's cancellation lines by the rows of a spreadsheet whose columns the
// user assigns to the eight cancellation fields.
class frmXLS2Cancelaciones : public HojaExcelImport {
    Q_OBJECT

public:
    explicit frmXLS2Cancelaciones(QWidget* parent = nullptr);

    QString m_Despacho;

    void Form_Activate();
    void cmdAbrirExcel_Click();
    void cmdCargarCancelaciones_Click();
    void cmdCancelar_Click();
    bool ValidarCampos();
    void cargarCancelaciones();

    QLabel* lbTitulo;
    QLabel* lbDespacho;
    QPushButton* cmdAbrirExcel;
    QLabel* lbFactorPonderacion;
    QLineEdit* txtFactorPonderacion;
    QPushButton* cmdCargarCancelaciones;
    QPushButton* cmdCancelar;

protected:
    void seleccionarCampo() override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    enum Campo { DestinacionItem, DIT, Item, Subitem, NCM, Cantidad, Certificado, Factor };
    std::array<qint16, 8> columnas_{};
    bool activado_ = false;
};

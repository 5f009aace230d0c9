#pragma once

#include "imports/HojaExcel.h"

#include <memory>
#include <utility>
#include <vector>

class QGridLayout;
class QPushButton;
class frmSelectCamposBase;

// What the two windows that load a declaration's lines from a sheet share: the heading and
// the declaration, "Abrir Excel", the grid, the load button and "Cancelar" (which the close
// box stands for), the field picker of F1 and the reading of the assignment row.
class HojaDespachoImport : public HojaExcelImport {
    Q_OBJECT

public:
    QString m_Despacho;

    void cmdAbrirExcel_Click();
    // Checks the assignment, then loads the lines.
    virtual void cmdCargarCancelaciones_Click() = 0;
    // Forgets the declaration and closes the window.
    virtual void cmdCancelar_Click();

    QLabel* lbTitulo;
    QLabel* lbDespacho;
    QPushButton* cmdAbrirExcel;
    QPushButton* cmdCargarCancelaciones;
    QPushButton* cmdCancelar;

protected:
    HojaDespachoImport(const QString& formName, const QString& initialFolder, const QString& titulo,
                       const QString& encabezado, const QString& textoCargar, int campos,
                       QWidget* parent);

    // The window's field picker.
    virtual std::unique_ptr<frmSelectCamposBase> selectorCampos() = 0;
    void seleccionarCampo() override;
    void reject() override;

    // Fills columnas_ from the assignment row, under `procedimiento` of this window: a field
    // picked twice raises its text of `repetidos`; the first field of `requeridos` that no
    // column names is told, and false returned.
    bool validarColumnas(const char* procedimiento, const QStringList& campos,
                         const QStringList& repetidos,
                         const std::vector<std::pair<int, QString>>& requeridos);
    // The text of data row `fila` in the column assigned to `campo`; "" when none is.
    [[nodiscard]] QString celda(int fila, int campo) const;
    // Writes with the busy pointer, tells that the file was processed and closes the window.
    void terminarCarga(const std::function<void()>& escribir);
    // "Corvelix.<window>.<procedimiento>"
    [[nodiscard]] QString ubicacion(const char* procedimiento) const;

    QGridLayout* layout_;
    // The grid column of each field, -1 for none.
    std::vector<int> columnas_;
};

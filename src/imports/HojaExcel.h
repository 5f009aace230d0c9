#pragma once

#include "platform/SheetReader.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QKeyEvent;

namespace corvelix {
class FlexGrid;
}

// What the sheet import windows share: the file chooser, the sheet-reading rule that fills
// the column-assignment grid (row 0 the sheet's headers, row 1 the assigned field names,
// data from row 2), and the grid's F1/Delete keys.
class HojaExcelImport : public QDialog {
    Q_OBJECT

public:
    // The field-assignment row's text colour (&HFF0000).
    static QColor colorCampos();

    // Asks for a spreadsheet; the chosen path goes into lbArchivo. False when none was chosen.
    bool Seleccionar_Archivo_XLS();
    // Reads the first sheet of `p_Archivo` into the grid; true when the grid was filled.
    bool lf_LevantarExcel(const QString& p_Archivo);

    // The kept data rows of the last load (grid rows 2 and on).
    [[nodiscard]] int filasLeidas() const { return filasLeidas_; }
    // The sheet row a data row of the grid came from (the rows dropped on reading leave gaps).
    [[nodiscard]] int filaHoja(int filaGrilla) const;

protected:
    HojaExcelImport(const QString& formName, const QString& initialFolder, QWidget* parent);

    // F1 on the grid: the window's field picker.
    virtual void seleccionarCampo() = 0;
    // Work after a successful load (the liquidation window assigns fields by header text).
    virtual void despuesDeLevantar() {}

    void DeseleccionarCampo();
    // Writes `campo` into the field-assignment row of the grid's current column.
    void asignarCampo(const QString& campo);

    corvelix::FlexGrid* grdCanc;
    QLabel* lbArchivo;
    QLabel* lbFilas;

private:
    bool levantar(const QString& p_Archivo);
    // The grid and the count as before any load.
    void vaciar();
    void grdCanc_KeyDown(QKeyEvent* event);
    void mostrarFilas();
    // A column is widened to its texts up to this: a long free text must not hide the others.
    [[nodiscard]] int anchoMaximoDeColumna() const;

    QString initialFolder_;
    int filasLeidas_ = 0;
    std::vector<int> filasHoja_;
};

// The reading rule over a sheet already read: the header texts of row 1 (up to the fifth
// empty cell in a row), then the rows kept from row 2, read as wide as the header plus the
// empty cells that ended it. A row is dropped when nothing but blanks and zeros remain in it;
// reading ends at the third dropped row in a row or at the end of the sheet.
struct LecturaHoja {
    QStringList encabezados; // grid columns 0 .. n-1 (empty texts inside the header kept)
    int ancho = 0;           // W: columns read per data row
    std::vector<QStringList> filas;
    std::vector<int> numeros; // the sheet row of each kept row
};
LecturaHoja leerHoja(const corvelix::Sheet& sheet,
                     const std::function<void(int row, int col)>& progreso = {});

// Refusal of one sheet cell, naming the row as the spreadsheet numbers it:
// Fila 4 de la hoja: la cantidad "dos" no es un número
[[noreturn]] void celdaInvalida(int filaHoja, const QString& campo, const QString& texto,
                                const QString& motivo);
// Whether a number read from a cell is whole (item numbers must be: a rounded one names
// another item).
[[nodiscard]] bool esEntero(double valor);
// `valor` as a catalog number column with `decimales` decimals keeps it (rounded), or nothing
// when the column cannot hold it.
[[nodiscard]] std::optional<double> valorDeCatalogo(double valor, int decimales);
// Why valorDeCatalogo refused: "no cabe en el catálogo, que admite hasta 9999999999999,99".
[[nodiscard]] QString fueraDelCatalogo(int decimales);

#include "imports/HojaExcel.h"

#include "platform/FlexGrid.h"
#include "platform/TextWidths.h"
#include "runtime/FormKit.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>

#include <cmath>

using namespace corvelix;

namespace {

// The number the reader's failures carry (the one the old reader class raised with).
constexpr qint32 kErrHoja = static_cast<qint32>(0x8004000Au);

// A row is kept when something other than blanks and zeros is left in it.
bool filaConDatos(const QStringList& celdas) {
    for (const QString& c : celdas)
        for (const QChar ch : c)
            if (ch != QLatin1Char(' ') && ch != QLatin1Char('0') && ch != QLatin1Char('\t'))
                return true;
    return false;
}

} // namespace

LecturaHoja leerHoja(const Sheet& sheet, const std::function<void(int, int)>& progreso) {
    LecturaHoja out;
    int vacias = 0;
    int col = 1;
    for (;; ++col) {
        const QString texto = sheet.text(1, col);
        if (!texto.isEmpty()) {
            while (out.encabezados.size() < col - 1)
                out.encabezados.append(QString());
            out.encabezados.append(texto);
            vacias = 0;
        } else if (++vacias == 5) {
            break;
        }
    }
    out.ancho = col;
    int descartadas = 0;
    QElapsedTimer reloj;
    reloj.start();
    for (int fila = 2; fila <= sheet.lastRow(); ++fila) {
        if (progreso && reloj.elapsed() >= 100) {
            progreso(fila, out.ancho);
            reloj.restart();
        }
        QStringList celdas;
        celdas.reserve(out.ancho);
        for (int c = 1; c <= out.ancho; ++c)
            celdas.append(sheet.text(fila, c));
        if (filaConDatos(celdas)) {
            out.filas.push_back(std::move(celdas));
            out.numeros.push_back(fila);
            descartadas = 0;
        } else if (++descartadas == 3) {
            break;
        }
    }
    return out;
}

QColor HojaExcelImport::colorCampos() {
    return QColor(0x00, 0x00, 0xFF); // &HFF0000 is blue in BGR
}

HojaExcelImport::HojaExcelImport(const QString& formName, const QString& initialFolder,
                                 QWidget* parent)
    : QDialog(parent), initialFolder_(initialFolder) {
    setObjectName(formName);
    grdCanc = new FlexGrid(this);
    grdCanc->setObjectName(QStringLiteral("grdCanc"));
    lbArchivo = new QLabel(this);
    lbArchivo->setObjectName(QStringLiteral("lbArchivo"));
    lbFilas = new QLabel(this);
    lbFilas->setObjectName(QStringLiteral("lbFilas"));
    connect(grdCanc, &FlexGrid::keyDown, this, [this](QKeyEvent* event) {
        runHandler(*this, QStringLiteral("grdCanc_KeyDown"), [&] { grdCanc_KeyDown(event); });
    });
}

bool HojaExcelImport::Seleccionar_Archivo_XLS() {
    try {
        FileDialogRequest request;
        request.title = QStringLiteral("Abrir archivo EXCEL");
        request.filters = {
            {QStringLiteral("Despacho en EXCEL"), QStringLiteral("*.xls;*.xlsx")},
            {QStringLiteral("Hojas de cálculo"),
             QStringLiteral("*.xls;*.xlsx;*.ods;*.xml;*.csv;*.txt")},
        };
        request.directory = initialFolder_;
        const QString path = ui().openFileName(request);
        if (path.isEmpty())
            return false;
        lbArchivo->setText(path);
        return true;
    } catch (...) {
        const VbError e = currentError();
        ui().msgBox(e.description + QStringLiteral("\r\n\r\n") + QString::number(e.number) +
                    QStringLiteral(" - seccion [Corvelix.frmMain.Seleccionar_Archivo_XLS]"));
        return false;
    }
}

bool HojaExcelImport::lf_LevantarExcel(const QString& p_Archivo) {
    ui().setBusy(true);
    bool resultado = false;
    try {
        if (!p_Archivo.trimmed().isEmpty()) {
            // The label already names the new file: a file that cannot be read must not leave
            // the previous sheet in the grid, to be imported under that name.
            vaciar();
            if (!QFileInfo(p_Archivo).isFile()) {
                ui().msgBox(QStringLiteral("No se encuentra el archivo seleccionado \r\n") +
                                p_Archivo,
                            MsgButtons::Ok, MsgIcon::Exclamation);
            } else {
                resultado = levantar(p_Archivo);
            }
        }
    } catch (...) {
        const VbError e = currentError();
        ui().setBusy(false);
        ui().msgBox(QString::number(e.number) + QStringLiteral(" - ") + e.description +
                        QStringLiteral("\r\n\r\nSeccion [Merdano.frmCFGExcel.lf_LevantarExcel] "
                                       "linea 0"),
                    MsgButtons::Ok, MsgIcon::Critical);
    }
    mostrarFilas();
    ui().setBusy(false);
    return resultado;
}

bool HojaExcelImport::levantar(const QString& p_Archivo) {
    Sheet hoja;
    try {
        hoja = readFirstSheet(p_Archivo);
    } catch (const SheetReadError& e) {
        throw VbError(kErrHoja, QStringLiteral("[clExcel.Abrir]"), e.message());
    }
    grdCanc->setRows(2);

    // The progress goes to the caption of the window that opened this one, as it always did.
    QWidget* principal = parentWidget() ? parentWidget()->window() : nullptr;
    const auto progreso = [&](int fila, int col) {
        if (principal)
            principal->setWindowTitle(
                QStringLiteral("Proceso EXCEL        [Leyendo Excel Fila: %1 Col:%2]")
                    .arg(fila)
                    .arg(col));
        ui().processEvents();
    };
    const LecturaHoja lectura = leerHoja(hoja, progreso);
    const int columnas = std::max<int>(1, int(lectura.encabezados.size()));
    grdCanc->setCols(columnas);
    for (int c = 0; c < lectura.encabezados.size(); ++c)
        grdCanc->setTextMatrix(0, c, lectura.encabezados.at(c));
    progreso(std::max(2, hoja.lastRow()), lectura.ancho);

    const int k = int(lectura.filas.size());
    grdCanc->setRows(1);
    if (k == 0)
        throw VbError(kErrHoja, QStringLiteral("[clExcel.LeerCelda]"),
                      QStringLiteral("La hoja del archivo \"%1\" no tiene filas con datos debajo "
                                     "de los títulos.")
                          .arg(p_Archivo));
    grdCanc->setRows(k + 2);
    grdCanc->setTexts(2, lectura.filas);
    // Declaration numbers, codes and amounts whole; a long free text keeps to forty characters.
    QList<int> todas;
    for (int c = 0; c < columnas; ++c)
        todas << c;
    corvelix::widenColumnsToTexts(*grdCanc, todas, anchoMaximoDeColumna());
    for (int c = 0; c < columnas; ++c)
        grdCanc->setCellForeColor(1, c, colorCampos());
    grdCanc->setFixedRows(2);
    grdCanc->setCurrentCell(2, 0);
    filasLeidas_ = k;
    filasHoja_ = lectura.numeros;
    despuesDeLevantar();
    return true;
}

int HojaExcelImport::anchoMaximoDeColumna() const {
    return 40 * grdCanc->bodyView()->fontMetrics().averageCharWidth();
}

int HojaExcelImport::filaHoja(int filaGrilla) const {
    const auto i = std::size_t(filaGrilla - 2);
    return filaGrilla >= 2 && i < filasHoja_.size() ? filasHoja_[i] : filaGrilla;
}

void HojaExcelImport::vaciar() {
    filasLeidas_ = 0;
    filasHoja_.clear();
    grdCanc->setFixedRows(0);
    grdCanc->setCols(1);
    grdCanc->setRows(1);
    grdCanc->clear();
}

void HojaExcelImport::mostrarFilas() {
    lbFilas->setText(filasLeidas_ > 0 ? QStringLiteral("Filas a cargar: %1").arg(filasLeidas_)
                                      : QString());
}

void HojaExcelImport::grdCanc_KeyDown(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1)
        seleccionarCampo();
    else if (event->key() == Qt::Key_Delete)
        DeseleccionarCampo();
}

void HojaExcelImport::DeseleccionarCampo() {
    asignarCampo(QString());
}

void HojaExcelImport::asignarCampo(const QString& campo) {
    const int col = grdCanc->col();
    if (col < 0)
        return;
    grdCanc->setTextMatrix(1, col, campo);
    // A field's name is wider than many a column of numbers ("DestinacionItem" over "1").
    corvelix::widenColumnsToTexts(*grdCanc, {col}, anchoMaximoDeColumna());
}

void celdaInvalida(int filaHoja, const QString& campo, const QString& texto,
                   const QString& motivo) {
    throw VbError(
        13, QStringLiteral("Corvelix"),
        QStringLiteral("Fila %1 de la hoja: %2 \"%3\" %4").arg(filaHoja).arg(campo, texto, motivo));
}

bool esEntero(double valor) {
    return std::isfinite(valor) && std::trunc(valor) == valor;
}

std::optional<double> valorDeCatalogo(double valor, int decimales) {
    try {
        return catalogNumber(roundedAsShown(valor, decimales), decimales);
    } catch (const VbError&) {
        return std::nullopt;
    }
}

QString fueraDelCatalogo(int decimales) {
    // The catalog keeps 15 significant digits at the column's scale.
    QString maximo(15 - decimales, QLatin1Char('9'));
    if (decimales > 0)
        maximo += QLocale().decimalPoint() + QString(decimales, QLatin1Char('9'));
    return QStringLiteral("no cabe en el catálogo, que admite hasta ") + maximo;
}

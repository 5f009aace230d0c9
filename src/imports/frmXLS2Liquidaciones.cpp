#include "imports/frmXLS2Liquidaciones.h"

#include "data/declaration_reads.h"
#include "data/sheet_imports.h"
#include "imports/frmSelectCampos.h"
#include "platform/FlexGrid.h"
#include "runtime/FormKit.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSet>

using namespace corvelix;

namespace {

const QString kForm = QStringLiteral("frmXLS2Liquidaciones");

QString ubicacion(const char* procedimiento) {
    return QStringLiteral("Corvelix.frmXLS2Liquidaciones.") + QLatin1String(procedimiento);
}

constexpr qint32 kErrCampoRepetido = static_cast<qint32>(0x8005B207u);

// The header words that assign a column by itself, in field order.
const QStringList& encabezados() {
    static const QStringList list = {QStringLiteral("item"), QStringLiteral("codigo"),
                                     QStringLiteral("tipo"), QStringLiteral("base"),
                                     QStringLiteral("coef"), QStringLiteral("total")};
    return list;
}

} // namespace

frmXLS2Liquidaciones::frmXLS2Liquidaciones(QWidget* parent)
    : HojaExcelImport(kForm, QString(), parent) {
    setWindowTitle(QStringLiteral("Importar Liquidaciones"));
    resize(760, 520);
    lbTitulo = new QLabel(QStringLiteral("Importar Excel Liquidaciones - AUTOLIQUIDACION"), this);
    lbTitulo->setObjectName(QStringLiteral("lbTitulo"));
    lbDespacho = new QLabel(this);
    lbDespacho->setObjectName(QStringLiteral("lbDespacho"));
    cmdAbrirExcel = new QPushButton(QStringLiteral("Abrir Excel"), this);
    cmdAbrirExcel->setObjectName(QStringLiteral("cmdAbrirExcel"));
    cmdCargarCancelaciones = new QPushButton(QStringLiteral("Cargar Liquidaciones"), this);
    cmdCargarCancelaciones->setObjectName(QStringLiteral("cmdCargarCancelaciones"));
    cmdCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    for (QPushButton* b : {cmdAbrirExcel, cmdCargarCancelaciones, cmdCancelar})
        b->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(lbTitulo, 0, 0, 1, 3);
    layout->addWidget(lbDespacho, 0, 3);
    layout->addWidget(cmdAbrirExcel, 1, 0);
    layout->addWidget(lbArchivo, 1, 1, 1, 3);
    layout->addWidget(grdCanc, 2, 0, 1, 4);
    layout->addWidget(lbFilas, 3, 0);
    layout->addWidget(cmdCargarCancelaciones, 4, 2);
    layout->addWidget(cmdCancelar, 4, 3);
    layout->setRowStretch(2, 1);
    grdCanc->setFixedCols(0);

    connect(cmdAbrirExcel, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdAbrirExcel_Click"), [this] { cmdAbrirExcel_Click(); });
    });
    connect(cmdCargarCancelaciones, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdCargarCancelaciones_Click"),
                   [this] { cmdCargarCancelaciones_Click(); }, {MsgIcon::Exclamation, {}, {}});
    });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdCancelar_Click"), [this] { cmdCancelar_Click(); });
    });
}

void frmXLS2Liquidaciones::cmdAbrirExcel_Click() {
    if (Seleccionar_Archivo_XLS())
        lf_LevantarExcel(lbArchivo->text());
}

void frmXLS2Liquidaciones::despuesDeLevantar() {
    const QStringList& campos = frmSelectCamposLiquidacion::campos();
    for (int j = 0; j < grdCanc->cols(); ++j) {
        const QString titulo = grdCanc->textMatrix(0, j).toLower();
        for (int f = 0; f < encabezados().size(); ++f)
            if (titulo == encabezados().at(f))
                grdCanc->setTextMatrix(1, j, campos.at(f));
    }
}

void frmXLS2Liquidaciones::seleccionarCampo() {
    runHandler(*this, QStringLiteral("seleccionarCampo"),
               [this] {
                   frmSelectCamposLiquidacion picker(this);
                   ui().exec(picker);
                   if (!picker.CampoSeleccionado.isEmpty())
                       asignarCampo(picker.CampoSeleccionado);
               },
               {MsgIcon::Exclamation, {}, {}});
}

bool frmXLS2Liquidaciones::ValidarCamposLiq() {
    return chained(ubicacion("ValidarCamposLiq"), [this] {
        static const QStringList repetidos = {
            QStringLiteral("El campo Item fue seleccionado mas de una vez"),
            QStringLiteral("El campo Codigo fue seleccionado mas de una vez"),
            QStringLiteral("El campo Tipo fue seleccionado mas de una vez"),
            QStringLiteral("El campo Base fue seleccionado mas de una vez"),
            QStringLiteral("El campo Coeficiente fue seleccionado mas de una vez"),
            QStringLiteral("El campo Total fue seleccionado mas de una vez")};
        static const QStringList faltantes = {
            QStringLiteral("Debe seleccionar la columna Item"),
            QStringLiteral("Debe seleccionar la columna Codigo"),
            QStringLiteral("Debe seleccionar la columna Tipo"),
            QStringLiteral("Debe seleccionar la columna Base"),
            QStringLiteral("Debe seleccionar la columna Coeficiente"),
            QStringLiteral("Debe seleccionar la columna Total")};
        const QStringList& campos = frmSelectCamposLiquidacion::campos();
        columnas_.fill(-1);
        for (int n = 0; n < grdCanc->cols(); ++n) {
            const int f = int(campos.indexOf(grdCanc->textMatrix(1, n)));
            if (f < 0)
                continue;
            if (columnas_[f] != -1)
                throw VbError(kErrCampoRepetido, QStringLiteral("Validando Campos"),
                              repetidos.at(f));
            columnas_[f] = n;
        }
        for (int f = 0; f < 6; ++f)
            if (columnas_[f] == -1) {
                ui().msgBox(faltantes.at(f), MsgButtons::Ok, MsgIcon::Exclamation);
                return false;
            }
        return true;
    });
}

void frmXLS2Liquidaciones::cargarLiquidaciones() {
    runHandler(*this, QStringLiteral("cargarLiquidaciones"), [this] {
        const auto celda = [this](int fila, Campo campo) {
            QString texto = grdCanc->textMatrix(fila, columnas_[campo]);
            texto.remove(QStringLiteral("\r\n"));
            return texto;
        };
        // The sheet names items by the number they show; their lines hang on the item's key.
        const QHash<QString, QString> claves = modDA::getClavesPorNumeroMostrado(m_Despacho);
        // The items named in the sheet lose their lines, each once.
        QStringList items;
        QSet<QString> nombrados;
        // Every row is checked before anything is written: a failing row changes nothing.
        std::vector<modDA::LineaLiquidacionHoja> lineas;
        for (int r = 2; r < grdCanc->rows(); ++r) {
            const QString item = celda(r, Item);
            const QString codigo = celda(r, Codigo);
            const QString tipo = celda(r, Tipo);
            const QString base = celda(r, Base);
            const QString coef = celda(r, Coef);
            const QString total = celda(r, Total);
            const QString linea = QStringLiteral(". Linea ") + QString::number(r);
            QString falla;
            if (!isNumeric(item))
                falla =
                    QStringLiteral("El valor item: ") + item + QStringLiteral(" no es numerico");
            else if (!isNumeric(base))
                falla = QStringLiteral("El Base imponible: ") + base +
                        QStringLiteral(" no es numerico");
            else if (!isNumeric(coef))
                falla = QStringLiteral("El coeficiente o porcentaje: ") + coef +
                        QStringLiteral(" no es numerico");
            else if (!isNumeric(total))
                falla =
                    QStringLiteral("El Valor total: ") + total + QStringLiteral(" no es numerico");
            else if (!(toNumber(item) > 0.0))
                falla = QStringLiteral("El valor item debe ser mayor a cero");
            else if (!(toNumber(base) > 0.0))
                falla = QStringLiteral("El Base imponible debe ser mayor a cero");
            else if (!(toNumber(coef) > 0.0))
                falla = QStringLiteral("El coeficiente o porcentaje debe ser mayor a cero");
            else if (!(toNumber(total) > 0.0))
                falla = QStringLiteral("El Valor total debe ser mayor a cero");
            else if (codigo.size() != 3)
                falla = QStringLiteral("El codigo de concepto: ") + codigo +
                        QStringLiteral(" debe ser de 3 digitos");
            else if (tipo.size() != 1)
                falla =
                    QStringLiteral("El Tipo: ") + tipo + QStringLiteral(" debe ser de 1 digito");
            const QString nart =
                falla.isEmpty() ? claves.value(formatNumber(toNumber(item), QStringLiteral("0000")))
                                : QString();
            if (falla.isEmpty() && nart.isEmpty())
                falla = QStringLiteral("El item: ") + item +
                        QStringLiteral(" no existe en el despacho ") + m_Despacho;
            if (!falla.isEmpty()) {
                ui().msgBox(falla + linea, MsgButtons::Ok, MsgIcon::Exclamation);
                return;
            }
            if (!nombrados.contains(nart)) {
                nombrados.insert(nart);
                items.append(nart);
            }
            lineas.push_back({nart, codigo, tipo, toNumber(base), toNumber(coef), toNumber(total)});
        }
        ui().setBusy(true);
        modDA::reemplazarLiquidaciones(m_Despacho, items, lineas);
        ui().setBusy(false);
        ui().msgBox(QStringLiteral("Se proceso el archivo excel"), MsgButtons::Ok,
                    MsgIcon::Information);
        cmdCancelar_Click();
    });
}

void frmXLS2Liquidaciones::cmdCargarCancelaciones_Click() {
    if (ValidarCamposLiq())
        cargarLiquidaciones();
}

void frmXLS2Liquidaciones::cmdCancelar_Click() {
    m_Despacho.clear();
    done(QDialog::Rejected);
}

// The window has no keys of its own: Esc does not close it.
void frmXLS2Liquidaciones::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    HojaExcelImport::keyPressEvent(event);
}

void frmXLS2Liquidaciones::reject() {
    cmdCancelar_Click();
}

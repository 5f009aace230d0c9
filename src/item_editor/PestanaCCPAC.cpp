#include "item_editor/PestanaCCPAC.h"

#include "data/attached_rows.h"
#include "data/item_editor_rows.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "shell/main_documentos.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using corvelix::MsgButtons;
using corvelix::MsgDefault;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::ui;

namespace {

void llenar(QTreeWidget* lista, modDA::Recordset rs) {
    lista->clear();
    for (; !rs.eof(); rs.moveNext())
        new QTreeWidgetItem(
            lista, {rs.text("NART"), rs.text("CCCM"), rs.text("MCCM"), rs.text("CCCMNART")});
}

// The export-document item number with the origin's mask; a text that is no number stays.
QString itemDocumento(const QString& texto, const QString& pais) {
    bool ok = false;
    const qlonglong numero = texto.trimmed().toLongLong(&ok);
    if (!ok)
        return texto;
    return corvelix::formatNumber(static_cast<double>(numero),
                                  mainModule::getFormatoItemDocExportacion(pais));
}

const QString kSinValor = QStringLiteral("Debe ingresar el valor del CCPAC");

} // namespace

PestanaCCPAC::PestanaCCPAC(QWidget& pagina, ContextoItem contexto)
    : PestanaItem(pagina, std::move(contexto)) {
    auto* grid = new QGridLayout;
    txtDCExpValor = new QLineEdit(&pagina);
    txtDCExpValor->setObjectName(QStringLiteral("txtDCExpValor"));
    txtItemDocExportacion = new QLineEdit(&pagina);
    txtItemDocExportacion->setObjectName(QStringLiteral("txtItemDocExportacion"));
    lstCCPAC = crearLista(pagina, "lstCCPAC",
                          {QStringLiteral("ITEM"), QStringLiteral("Codigo"),
                           QStringLiteral("Valor"), QStringLiteral("Item DCEXP")});
    cmdVaciarCCPAC = new QPushButton(QStringLiteral("Vaciar CCPAC"), &pagina);
    cmdVaciarCCPAC->setObjectName(QStringLiteral("cmdVaciarCCPAC"));
    cmdVaciarCCPAC->setAutoDefault(false);
    grid->addWidget(new QLabel(QStringLiteral("DCEXP"), &pagina), 0, 0);
    grid->addWidget(txtDCExpValor, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Item DCEXP (opcional)"), &pagina), 1, 0);
    grid->addWidget(txtItemDocExportacion, 1, 1);
    grid->addWidget(lstCCPAC, 2, 0, 1, 2);
    grid->addWidget(cmdVaciarCCPAC, 3, 1);
    pagina.setLayout(grid);

    filtrarTeclas(txtItemDocExportacion);
    filtrarTeclas(lstCCPAC);
    connect(cmdVaciarCCPAC, &QPushButton::clicked, this, [this] { cmdVaciarCCPAC_Click(); });
}

bool PestanaCCPAC::tecla(QObject* control, int key) {
    if (control == txtItemDocExportacion && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        correr(QStringLiteral("txtItemDocExportacion_KeyPress"), [this] {
            if (rechazaAbierto())
                return;
            if (!itemGlobal())
                agregarCCPACs();
            else
                agregarCCPAC_ALLITEMS();
        });
        return true;
    }
    if (control == lstCCPAC && key == Qt::Key_Delete) {
        correr(QStringLiteral("lstCCPAC_KeyDown"), [this] {
            if (!itemGlobal())
                eliminarCCPACs();
        });
        return true;
    }
    return false;
}

void PestanaCCPAC::cargarCCPAC() {
    correr(QStringLiteral("cargarCCPAC"),
           [this] { llenar(lstCCPAC, modDA::getCCPACItem(operacion(), item())); });
}

void PestanaCCPAC::cargarCCPAC_ZERO() {
    correr(QStringLiteral("cargarCCPAC_ZERO"),
           [this] { llenar(lstCCPAC, modDA::getCCPACDespacho(operacion())); });
}

void PestanaCCPAC::agregarCCPACs() {
    correr(QStringLiteral("agregarCCPACs"), [this] {
        ui().setBusy(true);
        if (txtDCExpValor->text().trimmed().isEmpty()) {
            ui().msgBox(kSinValor, MsgButtons::Ok, MsgIcon::Exclamation);
            ui().setBusy(false);
            return;
        }
        if (txtItemDocExportacion->text().isEmpty()) {
            if (ui().msgBox(QStringLiteral("¿Quiere utilizar el mismo item de la operacion?"),
                            MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes) {
                ui().msgBox(
                    QStringLiteral("Debe ingresar el Numero de Item del Documento de Exportación"),
                    MsgButtons::Ok, MsgIcon::Exclamation);
                ui().setBusy(false);
                return;
            }
            txtItemDocExportacion->setText(item());
        }
        const QString pais = contexto_.paisOrigen ? contexto_.paisOrigen() : QString();
        const QString valor = txtDCExpValor->text();
        if (modDA::agregarCCPAC(operacion(), item(), valor,
                                itemDocumento(txtItemDocExportacion->text(), pais)))
            cargarCCPAC();
        ui().msgBox(QStringLiteral("fin del proceso"), MsgButtons::Ok, MsgIcon::Information);
        ui().setBusy(false);
    });
}

void PestanaCCPAC::eliminarCCPACs() {
    correr(QStringLiteral("eliminarCCPACs"), [this] {
        QTreeWidgetItem* fila = seleccionada(lstCCPAC);
        if (fila == nullptr)
            return;
        const QString valor = fila->text(2);
        if (ui().msgBox(QStringLiteral("Confirma eliminar el CCPAC del item ") + item() +
                            QStringLiteral(" con valor ") + valor + QStringLiteral(" ?"),
                        MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes)
            return;
        if (modDA::eliminarCCPAC(operacion(), item(), valor))
            cargarCCPAC();
    });
}

void PestanaCCPAC::agregarCCPAC_ALLITEMS() {
    correr(QStringLiteral("agregarCCPAC_ALLITEMS"), [this] {
        ui().setBusy(true);
        const QString valor = txtDCExpValor->text();
        if (valor.trimmed().isEmpty()) {
            ui().msgBox(kSinValor, MsgButtons::Ok, MsgIcon::Exclamation);
            ui().setBusy(false);
            return;
        }
        const MsgResult r = ui().msgBox(
            lineas({QStringLiteral("¿Desea establecer el CCPAC ") + valor +
                        QStringLiteral(" en los items?"),
                    QString(), QStringLiteral("Si selecciona:"),
                    QStringLiteral("[SI] Se reemplazara todos los valores existentes de CCPAC."),
                    QStringLiteral(
                        "[NO] Se mantiene los CCPAC existentes y solo se agregaran los nuevos.")}),
            MsgButtons::YesNoCancel, MsgIcon::Question, QStringLiteral("Confirmación"),
            MsgDefault::Third);
        if (r == MsgResult::Cancel) {
            ui().setBusy(false);
            return;
        }
        try {
            modDA::agregarCCPAC_ALLITEMS(operacion(), valor, r == MsgResult::Yes);
        } catch (...) {
            cargarCCPAC_ZERO();
            throw;
        }
        cargarCCPAC_ZERO();
        ui().setBusy(false);
        ui().msgBox(QStringLiteral("fin del proceso"), MsgButtons::Ok, MsgIcon::Information);
    });
}

void PestanaCCPAC::cmdVaciarCCPAC_Click() {
    correr(QStringLiteral("cmdVaciarCCPAC_Click"), [this] {
        if (ui().msgBox(QStringLiteral("Confirma vaciar CCPAC de este provisorio?"),
                        MsgButtons::YesNo, MsgIcon::Exclamation, QString(),
                        MsgDefault::Second) != MsgResult::Yes)
            return;
        ui().setBusy(true);
        try {
            modDA::resetCCPAC(operacion());
        } catch (...) {
            // The failure is reported by the guard; the list shows what the catalog holds.
            cargarCCPAC_ZERO();
            throw;
        }
        cargarCCPAC_ZERO();
        ui().setBusy(false);
    });
}

#include "item_editor/PestanaInfoAdicional.h"

#include "data/attached_rows.h"
#include "data/item_editor_rows.h"
#include "data/item_values.h"
#include "data/modDA.h"
#include "runtime/FormKit.h"
#include "runtime/Ui.h"
#include "shell/frmInputText.h"
#include "shell/frmListado.h"
#include "shell/utiles.h"

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
using corvelix::VbError;

namespace {

const QString kSinItems = QStringLiteral("Debe seleccionar como minimo un item");

void agregarFila(QTreeWidget* lista, const QStringList& textos) {
    new QTreeWidgetItem(lista, textos);
}

} // namespace

PestanaInfoAdicional::PestanaInfoAdicional(QWidget& pagina, ContextoItem contexto)
    : PestanaItem(pagina, std::move(contexto)) {
    auto* grid = new QGridLayout;
    auto* lbCodigo = new QLabel(QStringLiteral("Código [F6]"), &pagina);
    txtInfAdicional = new QLineEdit(&pagina);
    txtInfAdicional->setObjectName(QStringLiteral("txtInfAdicional"));
    auto* lbValor = new QLabel(QStringLiteral("Valor"), &pagina);
    txtInfAdicionalValor = new QLineEdit(&pagina);
    txtInfAdicionalValor->setObjectName(QStringLiteral("txtInfAdicionalValor"));
    lstInfAdItem =
        crearLista(pagina, "lstInfAdItem",
                   {QStringLiteral("Codigo"), QStringLiteral("Valor"), QStringLiteral("Tipo")});
    cmdMiListaInfoAd = new QPushButton(QStringLiteral("Preguntas SIM [F7]"), &pagina);
    cmdMiListaInfoAd->setObjectName(QStringLiteral("cmdMiListaInfoAd"));
    cmdVaciarInfoAD = new QPushButton(QStringLiteral("Vaciar Info. Adicional"), &pagina);
    cmdVaciarInfoAD->setObjectName(QStringLiteral("cmdVaciarInfoAD"));
    for (QPushButton* b : {cmdMiListaInfoAd, cmdVaciarInfoAD}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    grid->addWidget(lbCodigo, 0, 0);
    grid->addWidget(txtInfAdicional, 0, 1);
    grid->addWidget(cmdMiListaInfoAd, 0, 2);
    grid->addWidget(lbValor, 1, 0);
    grid->addWidget(txtInfAdicionalValor, 1, 1, 1, 2);
    grid->addWidget(lstInfAdItem, 2, 0, 1, 3);
    grid->addWidget(cmdVaciarInfoAD, 3, 2);
    pagina.setLayout(grid);

    filtrarTeclas(txtInfAdicional);
    filtrarTeclas(txtInfAdicionalValor);
    filtrarTeclas(lstInfAdItem);
    connect(cmdMiListaInfoAd, &QPushButton::clicked, this, [this] {
        correr(QStringLiteral("cmdMiListaInfoAd_Click"), [this] { cmdMiListaInfoAd_Click(); });
    });
    connect(cmdVaciarInfoAD, &QPushButton::clicked, this, [this] {
        correr(
            QStringLiteral("cmdVaciarInfoAD_Click"), [this] { cmdVaciarInfoAD_Click(); },
            MsgIcon::Exclamation);
    });
}

bool PestanaInfoAdicional::tecla(QObject* control, int key) {
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (control == txtInfAdicional) {
        if (key == Qt::Key_Delete) {
            correr(QStringLiteral("txtInfAdicional_KeyDown"), [this] {
                txtInfAdicional->clear();
                marca_.clear();
            });
            return true;
        }
        if (key == Qt::Key_F6) {
            correr(QStringLiteral("txtInfAdicional_KeyDown"), [this] { seleccionarCodigo(); });
            return true;
        }
        if (key == Qt::Key_F7) {
            correr(QStringLiteral("cmdMiListaInfoAd_Click"), [this] { cmdMiListaInfoAd_Click(); });
            return true;
        }
    } else if (control == txtInfAdicionalValor && enter) {
        correr(QStringLiteral("txtInfAdicionalValor_KeyPress"), [this] {
            if (rechazaAbierto())
                return;
            if (!itemGlobal())
                AgregarInformacionAd();
            else
                AgregarInformacionAd_ALL_ITEMS();
        });
        return true;
    } else if (control == lstInfAdItem) {
        if (key == Qt::Key_Delete) {
            correr(QStringLiteral("lstInfAdItem_KeyDown"), [this] {
                if (!itemGlobal())
                    EliminarInfoAdicional();
                else
                    eliminarInfoAd_ALLITEMS();
            });
            return true;
        }
        if (enter) {
            correr(QStringLiteral("lstInfAdItem_KeyPress"), [this] {
                if (!itemGlobal())
                    editarInfoAD();
            });
            return true;
        }
    }
    return false;
}

void PestanaInfoAdicional::CargarInfoAdicional(const QString& despacho, const QString& item) {
    correr(QStringLiteral("CargarInfoAdicional"), [&] {
        lstInfAdItem->clear();
        modDA::Recordset rs = modDA::getInfoAdicionalItem(despacho, item);
        for (; !rs.eof(); rs.moveNext())
            agregarFila(lstInfAdItem, {rs.text("CCPL"), rs.text("MCPL"), rs.text("ICPLDIF")});
    });
}

void PestanaInfoAdicional::CargarInfoAdicional_ZERO(const QString& despacho) {
    correr(QStringLiteral("CargarInfoAdicional_ZERO"), [&] {
        lstInfAdItem->clear();
        modDA::Recordset rs = modDA::getInfoAdicionalComun(despacho);
        for (; !rs.eof(); rs.moveNext())
            agregarFila(lstInfAdItem, {rs.text("CCPL"), rs.text("MCPL"), QString()});
    });
}

void PestanaInfoAdicional::recargar() {
    if (itemGlobal())
        CargarInfoAdicional_ZERO(operacion());
    else
        CargarInfoAdicional(operacion(), item());
}

void PestanaInfoAdicional::vaciarCajas() {
    txtInfAdicional->clear();
    txtInfAdicionalValor->clear();
    marca_.clear();
    txtInfAdicional->setFocus();
}

namespace {

struct Entrada {
    QString codigo;
    QString valor;
};

// Code (trimmed: a code of blanks is no code) and value (quotes as blanks) of the two boxes.
Entrada leerEntrada(const QLineEdit* codigo, const QLineEdit* valor) {
    Entrada e{codigo->text().trimmed(), valor->text()};
    e.valor.replace(QLatin1Char('\''), QLatin1Char(' '));
    if (e.codigo.isEmpty())
        throw VbError(static_cast<qint32>(0x8004828Eu), QStringLiteral("Validar"),
                      QStringLiteral("Debe seleccionar la Información Adicional a Ingresar"));
    if (e.valor.isEmpty())
        throw VbError(static_cast<qint32>(0x8004828Fu), QStringLiteral("Validar"),
                      QStringLiteral("Debe ingresar un valor para ") + e.codigo);
    return e;
}

} // namespace

void PestanaInfoAdicional::AgregarInformacionAd() {
    correr(
        QStringLiteral("AgregarInformacionAdicional"),
        [this] {
            const Entrada e = leerEntrada(txtInfAdicional, txtInfAdicionalValor);
            const QString despacho = operacion();
            // The row and the item's mark go in together or not at all.
            modDA::Transaction transaccion;
            if (!modDA::agregarInformacionAdicional(despacho, item(), e.codigo, e.valor, marca_,
                                                    false))
                return;
            modDA::Invalidar_ITEM(despacho, item(), false);
            transaccion.commit();
            vaciarCajas();
            CargarInfoAdicional(despacho, item());
        },
        MsgIcon::Exclamation);
}

void PestanaInfoAdicional::AgregarInformacionAd_ALL_ITEMS() {
    correr(QStringLiteral("AgregarInformacionAd_ALL_ITEMS"), [this] {
        const Entrada e = leerEntrada(txtInfAdicional, txtInfAdicionalValor);
        const QString despacho = operacion();
        const QString items = utiles::getSeleccionarITEMS(despacho);
        if (items.isEmpty()) {
            ui().msgBox(kSinItems, MsgButtons::Ok, MsgIcon::Exclamation);
            return;
        }
        const MsgResult r = ui().msgBox(
            lineas({QStringLiteral("¿Desea establecer la informacion adicional ") + e.codigo +
                        QStringLiteral(" = ") + e.valor + QStringLiteral(" en los items?"),
                    QString(), QStringLiteral("Si selecciona:"),
                    QStringLiteral("[SI] Se establecerá este valor en los items, se perderá los "
                                   "valores existentes"),
                    QStringLiteral("[NO] Solo se establecerá este valor en los items que NO "
                                   "tengan cargado ") +
                        e.codigo}),
            MsgButtons::YesNoCancel, MsgIcon::Question, QStringLiteral("Confirmación"),
            MsgDefault::Third);
        if (r == MsgResult::Cancel)
            return;
        try {
            modDA::agregarInformacionAdicional_ALLITEMS(despacho, items, e.codigo, e.valor, marca_,
                                                        r == MsgResult::Yes);
        } catch (...) {
            // Nothing was written: the list shows the catalog as it is.
            CargarInfoAdicional_ZERO(despacho);
            throw;
        }
        vaciarCajas();
        CargarInfoAdicional_ZERO(despacho);
        ui().msgBox(QStringLiteral("fin del proceso"), MsgButtons::Ok, MsgIcon::Information);
    });
}

void PestanaInfoAdicional::EliminarInfoAdicional() {
    correr(
        QStringLiteral("EliminarInfoAdicional"),
        [this] {
            QTreeWidgetItem* fila = seleccionada(lstInfAdItem);
            if (fila == nullptr)
                return;
            const QString codigo = fila->text(0);
            if (ui().msgBox(QStringLiteral("Confirma eliminar ") + codigo, MsgButtons::YesNo,
                            MsgIcon::Question) != MsgResult::Yes)
                return;
            if (modDA::eliminarInfoAd(operacion(), item(), codigo))
                delete fila;
        },
        MsgIcon::Exclamation);
}

void PestanaInfoAdicional::eliminarInfoAd_ALLITEMS() {
    corvelix::runHandler(
        contexto_.ventana ? static_cast<QObject&>(*contexto_.ventana)
                          : static_cast<QObject&>(pagina_),
        QStringLiteral("eliminarInfoAd_ALLITEMS"), [this](int& line) {
            line = 10;
            if (!itemGlobal())
                return;
            line = 20;
            QTreeWidgetItem* fila = seleccionada(lstInfAdItem);
            if (fila == nullptr)
                return;
            line = 30;
            const QString codigo = fila->text(0);
            line = 40;
            const MsgResult r = ui().msgBox(
                preguntaEliminarEnItems(QStringLiteral("la información adicional"), codigo),
                MsgButtons::YesNo, MsgIcon::Question, QString(), MsgDefault::Third);
            if (r == MsgResult::No)
                return;
            line = 50;
            modDA::resetInfoAD_ByID(operacion(), codigo, QStringLiteral("TODO"));
            line = 60;
            if (contexto_.cargaDataItem_Zero)
                contexto_.cargaDataItem_Zero();
            else
                CargarInfoAdicional_ZERO(operacion());
        });
}

bool PestanaInfoAdicional::InfoAdHabilitados(const QString& p_Tipo, const QString& p_Codigo) {
    static const QStringList kEditables = {
        QStringLiteral("DEJUAUTOTXT"),      QStringLiteral("DEREXPINCLUFOB"),
        QStringLiteral("DSE.PAIS.OPC"),     QStringLiteral("EMPVIN-ART742CA"),
        QStringLiteral("EMPVINC-EXPO-PID"), QStringLiteral("EXPO-PLAZOESPERA"),
        QStringLiteral("PLAZOESPERAOPC1"),  QStringLiteral("RES90/17-OPC"),
        QStringLiteral("TERCERO-EXPO-TXT")};
    return p_Tipo == QLatin1String("D") || p_Codigo.contains(QLatin1String("ONCCA")) ||
           kEditables.contains(p_Codigo);
}

void PestanaInfoAdicional::editarInfoAD() {
    try {
        QTreeWidgetItem* fila = seleccionada(lstInfAdItem);
        if (fila == nullptr)
            return;
        const QString codigo = fila->text(0);
        if (!InfoAdHabilitados(fila->text(2), codigo))
            return;
        frmInputText frm;
        frm.m_Texto = QStringLiteral("Valor de ") + codigo;
        frm.m_Valor_Defecto = fila->text(1);
        frm.m_Resultado.clear();
        ui().exec(frm);
        const QString resultado = frm.m_Resultado;
        if (resultado.trimmed().isEmpty())
            return;
        const QString valor = resultado.toUpper();
        if (modDA::setInfoAdicional(operacion(), item(), codigo, valor))
            fila->setText(1, valor.left(20)); // what the catalog keeps
    } catch (...) {
        const VbError e = corvelix::currentError();
        throw VbError(static_cast<qint32>(0x800C763Au), QStringLiteral("editatInfoAD"),
                      e.description);
    }
}

void PestanaInfoAdicional::seleccionarCodigo() {
    frmListado frm;
    frm.m_Salida.clear();
    frm.m_Tabla = 3;
    ui().exec(frm);
    if (!frm.m_Salida.isEmpty()) {
        txtInfAdicional->setText(frm.m_Salida);
        marca_ = QStringLiteral("D");
    }
}

void PestanaInfoAdicional::cmdMiListaInfoAd_Click() {
    frmListado frm;
    frm.m_Salida.clear();
    frm.m_Tabla = 50;
    ui().exec(frm);
    txtInfAdicional->setFocus();
    if (!frm.m_Salida.isEmpty()) {
        txtInfAdicional->setText(frm.m_Salida);
        marca_ = QStringLiteral("S");
        txtInfAdicionalValor->setText(frmListado::m_ValorDefecto.get());
    }
}

void PestanaInfoAdicional::cmdVaciarInfoAD_Click() {
    const QString despacho = operacion();
    const QString items = utiles::getSeleccionarITEMS(despacho);
    if (items.isEmpty()) {
        ui().msgBox(kSinItems, MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    if (ui().msgBox(
            QStringLiteral("Confirma vaciar Información Adicional en los items seleccionados?"),
            MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes)
        return;
    modDA::vaciarInformacionAdicional(despacho, items);
    lstInfAdItem->clear();
}

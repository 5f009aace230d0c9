#include "item_editor/PestanaInfoAdicional.h"

#include "data/attached_rows.h"
#include "data/item_editor_rows.h"
#include "data/item_values.h"
#include "data/modDA.h"
#include "runtime/FormKit.h"
#include "runtime/Ui.h"
#include "shell/frmInputText.h"
#include "shell/frmListado.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using corvelix::MsgButtons;
using corvelix::MsgDefault;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::ui;
using corvelix::VbError;

PestanaInfoAdicional::PestanaInfoAdicional(QWidget& pagina, ContextoItem contexto)
    : PestanaItem(pagina, std::move(contexto)) {
    txtInfAdicional = crearCaja("txtInfAdicional");
    txtInfAdicionalValor = crearCaja("txtInfAdicionalValor");
    lstInfAdItem = crearLista("lstInfAdItem", {QStringLiteral("Codigo"), QStringLiteral("Valor"),
                                               QStringLiteral("Tipo")});
    cmdMiListaInfoAd = crearBoton("cmdMiListaInfoAd", QStringLiteral("Preguntas SIM [F7]"));
    cmdVaciarInfoAD = crearBoton("cmdVaciarInfoAD", QStringLiteral("Vaciar Info. Adicional"));
    disponer({{QStringLiteral("Código [F6]"), {txtInfAdicional, cmdMiListaInfoAd}},
              {QStringLiteral("Valor"), {txtInfAdicionalValor}}},
             lstInfAdItem, cmdVaciarInfoAD);

    alTeclear(txtInfAdicional, {Qt::Key_Delete, Qt::Key_F6},
              QStringLiteral("txtInfAdicional_KeyDown"), [this](int key) {
                  if (key == Qt::Key_F6)
                      return seleccionarCodigo();
                  txtInfAdicional->clear();
                  marca_.clear();
              });
    alTeclear(txtInfAdicional, {Qt::Key_F7}, QStringLiteral("cmdMiListaInfoAd_Click"),
              [this](int) { cmdMiListaInfoAd_Click(); });
    agregarConEnter(
        txtInfAdicionalValor, QStringLiteral("txtInfAdicionalValor_KeyPress"),
        [this] { AgregarInformacionAd(); }, [this] { AgregarInformacionAd_ALL_ITEMS(); });
    eliminarConSupr(
        lstInfAdItem, QStringLiteral("lstInfAdItem_KeyDown"), [this] { EliminarInfoAdicional(); },
        [this] { eliminarInfoAd_ALLITEMS(); });
    alTeclear(lstInfAdItem, {Qt::Key_Return, Qt::Key_Enter},
              QStringLiteral("lstInfAdItem_KeyPress"), [this](int) {
                  if (!itemGlobal())
                      editarInfoAD();
              });
    connect(cmdMiListaInfoAd, &QPushButton::clicked, this, [this] {
        correr(QStringLiteral("cmdMiListaInfoAd_Click"), [this] { cmdMiListaInfoAd_Click(); });
    });
    connect(cmdVaciarInfoAD, &QPushButton::clicked, this, [this] {
        correr(
            QStringLiteral("cmdVaciarInfoAD_Click"), [this] { cmdVaciarInfoAD_Click(); },
            MsgIcon::Exclamation);
    });
}

void PestanaInfoAdicional::CargarInfoAdicional(const QString& despacho, const QString& item) {
    correr(QStringLiteral("CargarInfoAdicional"), [&] {
        llenar(lstInfAdItem, modDA::getInfoAdicionalItem(despacho, item),
               {"CCPL", "MCPL", "ICPLDIF"});
    });
}

void PestanaInfoAdicional::CargarInfoAdicional_ZERO(const QString& despacho) {
    correr(QStringLiteral("CargarInfoAdicional_ZERO"), [&] {
        // No origin mark in ITEM GLOBAL.
        llenar(lstInfAdItem, modDA::getInfoAdicionalComun(despacho), {"CCPL", "MCPL"});
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
        const QString items = itemsElegidos();
        if (items.isEmpty())
            return;
        const MsgResult r = preguntarValorEnItems(
            QStringLiteral("¿Desea establecer la informacion adicional ") + e.codigo +
                QStringLiteral(" = ") + e.valor + QStringLiteral(" en los items?"),
            e.codigo);
        if (r == MsgResult::Cancel)
            return;
        // Nothing was written when it fails: the list shows the catalog as it is.
        recargarSiFalla(
            [&] {
                modDA::agregarInformacionAdicional_ALLITEMS(despacho, items, e.codigo, e.valor,
                                                            marca_, r == MsgResult::Yes);
            },
            [&] { CargarInfoAdicional_ZERO(despacho); });
        vaciarCajas();
        CargarInfoAdicional_ZERO(despacho);
        finDelProceso();
    });
}

void PestanaInfoAdicional::EliminarInfoAdicional() {
    correr(
        QStringLiteral("EliminarInfoAdicional"),
        [this] {
            QTreeWidgetItem* fila =
                filaConfirmada(lstInfAdItem, QStringLiteral("Confirma eliminar "));
            if (fila != nullptr && modDA::eliminarInfoAd(operacion(), item(), fila->text(0)))
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
    const QString codigo = frmListado::elegir(3);
    if (!codigo.isEmpty()) {
        txtInfAdicional->setText(codigo);
        marca_ = QStringLiteral("D");
    }
}

void PestanaInfoAdicional::cmdMiListaInfoAd_Click() {
    const QString codigo = frmListado::elegir(50);
    txtInfAdicional->setFocus();
    if (!codigo.isEmpty()) {
        txtInfAdicional->setText(codigo);
        marca_ = QStringLiteral("S");
        txtInfAdicionalValor->setText(frmListado::m_ValorDefecto.get());
    }
}

void PestanaInfoAdicional::cmdVaciarInfoAD_Click() {
    const QString items = itemsElegidos();
    if (items.isEmpty())
        return;
    if (ui().msgBox(
            QStringLiteral("Confirma vaciar Información Adicional en los items seleccionados?"),
            MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes)
        return;
    modDA::vaciarInformacionAdicional(operacion(), items);
    lstInfAdItem->clear();
}

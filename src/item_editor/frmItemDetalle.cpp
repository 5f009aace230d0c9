#include "item_editor/frmItemDetalle.h"

#include "data/declaration_reads.h"
#include "data/item_editor_reads.h"
#include "data/modDA.h"
#include "platform/ScreenPlacement.h"
#include "runtime/FormKit.h"
#include "runtime/Twips.h"
#include "runtime/Ui.h"
#include "shell/ModMaria.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include <initializer_list>

using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::runHandler;
using corvelix::twipsToPixels;
using corvelix::ui;

namespace {

// The text boxes that get an input-control object, in the order they are linked.
const char* const kCajasConControl[] = {
    "txtLista",
    "txtEstadoMercaderia",
    "txtPaisOrigen",
    "txtPaisProc",
    "txtInfAdicional",
    "txtInfAdicionalValor",
    "txtVentajas",
    "txtDocumento",
    "txtDocumentoValor",
    "txtItemDocExportacion",
    "txtDCExpValor",
    "txtCantidadDeclarada",
    "txtCantidadEstadistica",
    "txtPrecioUnitario",
    "txtFobTotal",
    "txtKiloNeto",
    "txtAjusteDeducir",
    "txtAjusteIncluir",
    "txtFlete",
    "txtSeguro",
    "txtKgNetoTotal",
    "txtAjusteDedTotal",
    "txtAjusteIncTotal",
    "txtMarca",
    "txtFleteTotal",
    "txtSeguroTotal",
};

struct DefPestana {
    const char* nombre;
    const char* titulo;
};

const DefPestana kPestanas[] = {
    {"tabMontos", "Montos"},           {"tabInfAdicional", "Inf Adicional"},
    {"tabVentajas", "Ventajas"},       {"tabDocumentos", "Documentos"},
    {"tabSubitems", "Subitems"},       {"tabCCPAC", "DCEXP / CCPAC"},
    {"tabProrrateos", "Prorrateos"},   {"tabCancelaciones", "Cancelaciones"},
    {"tabLiquidacion", "Liquidación"},
};

} // namespace

frmItemDetalle::frmItemDetalle(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmItemDetalle"));
    // A title bar with no buttons: the window is closed with Esc.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QStringLiteral("Detalle de ITEM"));
    setFixedSize(twipsToPixels(12960), twipsToPixels(7740));
    crearControles();
    instalarPestanas();
    activacion_ = new corvelix::FirstActivation(*this, [this] { Form_Activate(); });
}

frmItemDetalle::~frmItemDetalle() = default;

void frmItemDetalle::agregarCargador(PasoCarga paso, Cargador cargador) {
    cargadores_.emplace_back(paso, std::move(cargador));
}

bool frmItemDetalle::esItemGlobal() const {
    return m_Item == QStringLiteral("0000");
}

QWidget* frmItemDetalle::pestana(PestanaIndice indice) const {
    return pestanas_.at(static_cast<size_t>(indice));
}

void frmItemDetalle::setPestanaVisible(PestanaIndice indice, bool visible) {
    sstITEM_->setTabVisible(indice, visible);
}

bool frmItemDetalle::pestanaVisible(PestanaIndice indice) const {
    return sstITEM_->isTabVisible(indice);
}

int frmItemDetalle::tablaOrigen() const {
    return m_Operacion.mid(5, 2) == QStringLiteral("EC") ? 7 : 6;
}

void frmItemDetalle::crearControles() {
    const auto etiqueta = [this](const char* nombre, const QString& texto, int x, int y) {
        auto* l = new QLabel(texto, this);
        l->setObjectName(QLatin1String(nombre));
        l->move(twipsToPixels(x), twipsToPixels(y));
        return l;
    };
    const auto caja = [this](const char* nombre, int x, int y, int ancho) {
        auto* t = new QLineEdit(this);
        t->setObjectName(QLatin1String(nombre));
        t->setGeometry(twipsToPixels(x), twipsToPixels(y), twipsToPixels(ancho),
                       twipsToPixels(300));
        return t;
    };
    const auto establecer = [this](const char* nombre, int x, int y) {
        auto* b = corvelix::plainButton(this, nombre, QStringLiteral("Establecer"));
        b->setGeometry(twipsToPixels(x), twipsToPixels(y), twipsToPixels(1000), twipsToPixels(300));
        return b;
    };

    lbItem = etiqueta("lbItem", QStringLiteral("ITEM"), 120, 120);
    lbItemText = etiqueta("lbItemText", QStringLiteral("0000"), 720, 120);
    lbTipo = etiqueta("lbTipo", QStringLiteral("Tipo: N"), 1500, 120);
    lbNCM = etiqueta("lbNCM", QStringLiteral("NCM: 0000.00.00.000Z"), 2700, 120);
    lbNCM->setMinimumWidth(twipsToPixels(4000));

    QLabel* lblista = etiqueta("lblista", QStringLiteral("Lista"), 120, 540);
    txtLista = caja("txtLista", 1320, 500, 1500);
    cmdSetLista = establecer("cmdSetLista", 2900, 500);
    QLabel* lbEstadMerc = etiqueta("lbEstadMerc", QStringLiteral("Est. Mercad."), 4200, 540);
    txtEstadoMercaderia = caja("txtEstadoMercaderia", 5300, 500, 900);
    cmdSetEstadoM = establecer("cmdSetEstadoM", 6300, 500);

    QLabel* label2 = etiqueta("Label2", QStringLiteral("Origen / Prov"), 120, 920);
    txtPaisOrigen = caja("txtPaisOrigen", 1320, 880, 700);
    lbPaisOrigen = etiqueta("lbPaisOrigen", QString(), 2100, 920);
    lbPaisOrigen->setMinimumWidth(twipsToPixels(2000));
    cmdsetOrigen = establecer("cmdsetOrigen", 4200, 880);
    QLabel* labelproc = etiqueta("labelproc", QStringLiteral("Proc / Destino"), 5400, 920);
    txtPaisProc = caja("txtPaisProc", 6600, 880, 700);
    lbPaisDestino = etiqueta("lbPaisDestino", QString(), 7400, 920);
    lbPaisDestino->setMinimumWidth(twipsToPixels(2000));
    cmdSetProc = establecer("cmdSetProc", 9500, 880);

    // A caption wider in the window's font than its place pushes the rest of its row right.
    const auto dejarLugar = [](QLabel* label, std::initializer_list<QWidget*> siguientes) {
        label->resize(label->sizeHint());
        const int falta =
            label->geometry().right() + twipsToPixels(90) - (*siguientes.begin())->x();
        if (falta > 0)
            for (QWidget* w : siguientes)
                w->move(w->x() + falta, w->y());
    };
    dejarLugar(lblista, {txtLista, cmdSetLista, lbEstadMerc, txtEstadoMercaderia, cmdSetEstadoM});
    dejarLugar(lbEstadMerc, {txtEstadoMercaderia, cmdSetEstadoM});
    dejarLugar(label2, {txtPaisOrigen, lbPaisOrigen, cmdsetOrigen, labelproc, txtPaisProc,
                        lbPaisDestino, cmdSetProc});
    dejarLugar(labelproc, {txtPaisProc, lbPaisDestino, cmdSetProc});

    sstITEM_ = new QTabWidget(this);
    sstITEM_->setObjectName(QStringLiteral("sstITEM"));
    sstITEM_->setGeometry(twipsToPixels(120), twipsToPixels(1320), twipsToPixels(12720),
                          twipsToPixels(6300));
    for (const DefPestana& def : kPestanas) {
        auto* page = new QWidget(sstITEM_);
        page->setObjectName(QLatin1String(def.nombre));
        sstITEM_->addTab(page, QString::fromUtf8(def.titulo));
        pestanas_.push_back(page);
    }

    crearMontos();
    crearSubitems();
    crearMarca(pestanas_.at(Prorrateos));
    crearLiquidacion();

    connect(cmdSetLista, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdSetLista_Click"), [this] { cmdSetLista_Click(); });
    });
    connect(cmdSetEstadoM, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdSetEstadoM_Click"), [this] { cmdSetEstadoM_Click(); });
    });
    connect(cmdsetOrigen, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdsetOrigen_Click"), [this] { cmdsetOrigen_Click(); });
    });
    connect(cmdSetProc, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdSetProc_Click"), [this] { cmdSetProc_Click(); });
    });
}

void frmItemDetalle::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Its title bar and left edge on the screen, however small the screen.
    corvelix::placeOnScreen(*this);
    // Every showing starts from a fresh load; the activation runs once per showing.
    runHandler(*this, QStringLiteral("Form_Load"), [this] { Form_Load(); });
}

void frmItemDetalle::vincularControles() {
    size_t i = 0;
    for (const char* nombre : kCajasConControl) {
        if (controles_.size() <= i)
            controles_.push_back(std::make_unique<ClCntrl>());
        if (auto* t = findChild<QWidget*>(QLatin1String(nombre)))
            controles_[i]->sLinkText(t);
        ++i;
    }
}

void frmItemDetalle::Form_Load() {
    vincularControles();
    instalarTeclasCampos();
    if (auto* iva = findChild<QComboBox*>(QStringLiteral("cboOpcionesIVA"))) {
        iva->clear();
        iva->addItems({QStringLiteral("Ninguno"), QStringLiteral("Uso o Consumo Particular"),
                       QStringLiteral("Importación definitiva de cosas muebles")});
        iva->setCurrentIndex(-1); // nothing chosen until the user picks an answer
    }
    if (auto* ganancias = findChild<QComboBox*>(QStringLiteral("cboOpcionesGanancias"))) {
        ganancias->clear();
        ganancias->addItems({QStringLiteral("Ninguno"), QStringLiteral("Comercial"),
                             QStringLiteral("Bien de Uso"), QStringLiteral("Uso Particular")});
        ganancias->setCurrentIndex(-1);
    }
    for (int i = 0; i < sstITEM_->count(); ++i)
        sstITEM_->setTabVisible(i, true);
}

void frmItemDetalle::aplicarAlcance(bool itemGlobal) {
    auto* vaciarInfo = findChild<QPushButton*>(QStringLiteral("cmdVaciarInfoAD"));
    auto* vaciarVentajas = findChild<QPushButton*>(QStringLiteral("cmdVaciarVentajas"));
    auto* vaciarCCPAC = findChild<QPushButton*>(QStringLiteral("cmdVaciarCCPAC"));
    int alto = twipsToPixels(3795);
    if (itemGlobal && vaciarInfo != nullptr)
        alto -= vaciarInfo->height() + twipsToPixels(150);
    for (const char* lista : {"lstInfAdItem", "lstVentajas"}) {
        if (auto* w = findChild<QWidget*>(QLatin1String(lista))) {
            // Tabs lay their pages out: the height holds there as a maximum.
            w->setMaximumHeight(alto);
            w->resize(w->width(), alto);
        }
    }
    // With the lock applied first, a button the scope leaves off stays off.
    for (QPushButton* b : {vaciarInfo, vaciarVentajas}) {
        if (b != nullptr && !itemGlobal)
            b->setEnabled(false);
    }
    if (vaciarCCPAC != nullptr)
        vaciarCCPAC->setVisible(itemGlobal);
    // Likewise the liquidation buttons follow the declaration's self-liquidation advantages.
    if (!autoLiquidacion_) {
        cmdLiquidacionAgregar->setEnabled(false);
        cmdLiquidacionEliminar->setEnabled(false);
    }
}

void frmItemDetalle::Form_Activate() {
    const bool itemGlobal = m_Item.toInt() == 0;
    // Each step on its own: one that fails is skipped and the next runs.
    const auto paso = [](const std::function<void()>& fn) {
        try {
            fn();
        } catch (...) {
        }
    };
    paso([&] {
        if (itemGlobal)
            cargaDataItem_Zero();
        else
            cargaDataItem();
    });
    paso([&] { ModMaria::bloqueoProvisorio(*this, m_Operacion); });
    paso([&] { aplicarAlcance(itemGlobal); });
}

void frmItemDetalle::correrCargadores(bool itemGlobal, std::initializer_list<PasoCarga> pasos) {
    for (PasoCarga p : pasos) {
        for (const auto& [pasoCargador, cargador] : cargadores_) {
            if (pasoCargador == p)
                cargador(itemGlobal);
        }
    }
}

void frmItemDetalle::cargaDataItem() {
    corvelix::GuardOptions opciones;
    opciones.icon = MsgIcon::Exclamation;
    runHandler(
        *this, QStringLiteral("cargaDataItem"),
        [this](int& line) {
            line = 10;
            const modDA::Recordset rs = modDA::getRsITEM(m_Operacion, m_Item);
            if (rs.eof())
                throw corvelix::VbError(3021, QStringLiteral("ADODB.Field"),
                                        QStringLiteral("BOF o EOF es True, o el registro actual "
                                                       "se eliminó. La operación solicitada "
                                                       "requiere un registro actual."));
            line = 20;
            lbItemText->setText(QStringLiteral("%1").arg(rs.text(QStringLiteral("NARTEXT")).toInt(),
                                                         4, 10, QLatin1Char('0')));
            lbTipo->setText(QStringLiteral("Tipo: ") + rs.text(QStringLiteral("CARTTYP")));
            lbNCM->setText(QStringLiteral("NCM: ") + rs.text(QStringLiteral("IESPNCE")));
            txtLista->setText(rs.text(QStringLiteral("LISTA")));
            txtEstadoMercaderia->setText(rs.text(QStringLiteral("CARTUSO")));
            txtPaisOrigen->setText(rs.text(QStringLiteral("CARTPAYORI")));
            txtPaisProc->setText(rs.text(QStringLiteral("CARTPAYPRC")));
            // A code the table lacks leaves the description as it was.
            try {
                lbPaisDestino->setText(modDA::getDescripcionTabla(txtPaisProc->text(), 6));
            } catch (...) {
            }
            try {
                lbPaisOrigen->setText(
                    modDA::getDescripcionTabla(txtPaisOrigen->text(), tablaOrigen()));
            } catch (...) {
            }
            line = 40;
            setPestanaVisible(Prorrateos, false);
            setPestanaVisible(Cancelaciones, true);
            line = 50;
            CargarDatos_Item();
            correrCargadores(false, {PasoCarga::InfoAdicional, PasoCarga::Ventajas,
                                     PasoCarga::Documentos, PasoCarga::CCPAC});
            cargarSubItems();
            correrCargadores(false, {PasoCarga::Subitems});
            line = 60;
            if (modDA::admiteCancelaciones(modDA::extraerSubRegimen(m_Operacion))) {
                setPestanaVisible(Cancelaciones, true);
                correrCargadores(false, {PasoCarga::Cancelaciones});
            } else {
                setPestanaVisible(Cancelaciones, false);
            }
            line = 70;
            ValidaLiquidacion();
            cargarLiquidacion();
            correrCargadores(false, {PasoCarga::Liquidacion});
        },
        opciones);
}

void frmItemDetalle::cargaDataItem_Zero() {
    runHandler(*this, QStringLiteral("cargaDataItem_Zero"), [this](int& line) {
        line = 10;
        lbItemText->setText(QStringLiteral("%1").arg(m_Item.toInt(), 4, 10, QLatin1Char('0')));
        lbTipo->clear();
        lbNCM->setText(QStringLiteral("Datos Comunes a Todos los Items"));
        QPalette azul = lbNCM->palette();
        azul.setColor(QPalette::WindowText, QColor(0, 0, 255));
        lbNCM->setPalette(azul);
        line = 20;
        setPestanaVisible(Montos, false);
        setPestanaVisible(Prorrateos, true);
        setPestanaVisible(Cancelaciones, false);
        line = 30;
        if (const auto lista = modDA::getListaComun(m_Operacion))
            txtLista->setText(*lista);
        line = 40;
        correrCargadores(true, {PasoCarga::InfoAdicional, PasoCarga::Ventajas,
                                PasoCarga::Documentos, PasoCarga::CCPAC});
    });
}

bool frmItemDetalle::Form_KeyDown(int key) {
    if (key != Qt::Key_Escape)
        return false;
    close();
    return true;
}

void frmItemDetalle::keyPressEvent(QKeyEvent* event) {
    bool tomada = false;
    runHandler(*this, QStringLiteral("Form_KeyDown"), [&] { tomada = Form_KeyDown(event->key()); });
    if (tomada) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frmItemDetalle::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* tecla = static_cast<QKeyEvent*>(event);
    for (QLineEdit* caja : {txtLista, txtEstadoMercaderia, txtPaisOrigen, txtPaisProc}) {
        if (watched == caja)
            return teclaCampo(caja, tecla);
    }
    if (watched == lstSubitems) {
        runHandler(*this, QStringLiteral("lstSubitems_KeyPress"),
                   [&] { lstSubitems_KeyPress(tecla->key()); });
        return false;
    }
    return QDialog::eventFilter(watched, event);
}

bool frmItemDetalle::rechazaAbierto() {
    if (!ModMaria::ProvisorioAbierto(m_Operacion))
        return false;
    ui().msgBox(QStringLiteral("El provisorio ") + m_Operacion +
                    QStringLiteral(" esta abierto en el KIT, debe Terminar Tratamiento para poder "
                                   "continuar"),
                MsgButtons::Ok, MsgIcon::Exclamation);
    return true;
}

#include "assembly/frmArmadoITEM.h"

#include "assembly/frmBusquedaArticulo.h"
#include "assembly/frmCaratula.h"
#include "data/modDA.h"
#include "item_editor/frmItemDetalle.h"
#include "platform/FlexGrid.h"
#include "platform/ScreenPlacement.h"
#include "platform/TextWidths.h"
#include "runtime/FormKit.h"
#include "runtime/Twips.h"
#include "shell/ModMaria.h"
#include "workbook_export/main_workbook.h"

#include <QAction>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTableView>

#include <algorithm>

using corvelix::FlexGrid;
using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::runHandler;
using corvelix::twipsToPixels;
using corvelix::ui;

const QString frmArmadoITEM::kAyudaGeneral =
    QStringLiteral("[F1] Item - [F2] Articulos - [F3] Datos Asociados - [F4] Liquidacion - [F11] "
                   "Exportar EXCEL - [ESC] Salir");
const QString frmArmadoITEM::kAyudaArticulos =
    QStringLiteral("[F1] Item - [F2] Articulos - [F3] Datos Asociados - [F4] Liquidacion - "
                   "[ENTER] Modificar sufijos - [Dbl Click] Modificar Valores - [F6] Buscar - "
                   "[F11] Exportar EXCEL - [ESC] Salir");

namespace {

const QString kModoArticulos = QStringLiteral("articulos");
const QString kModoDatos = QStringLiteral("datos");
const QString kModoLiquidacion = QStringLiteral("liquidacion");

// Height of the banner above the grid, in twips.
constexpr int kAltoCuadro = 1560;

bool sinModificadores(const QKeyEvent* event) {
    return (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool soloAlt(const QKeyEvent* event) {
    return (event->modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier;
}

bool esModificador(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr;
}

QLabel* etiqueta(QWidget* parent, const char* name, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    if (name != nullptr)
        label->setObjectName(QLatin1String(name));
    return label;
}

} // namespace

frmArmadoITEM::frmArmadoITEM(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmArmadoITEM"));
    setProperty("Tag", QString());
    resize(1100, 650);
    setSizeGripEnabled(true);
    crearControles();
}

frmArmadoITEM::~frmArmadoITEM() = default;

void frmArmadoITEM::crearControles() {
    CUADRO = new QFrame(this);
    CUADRO->setObjectName(QStringLiteral("CUADRO"));
    CUADRO->setFrameShape(QFrame::Box);
    CUADRO->setGeometry(0, 0, width(), twipsToPixels(kAltoCuadro));

    etiqueta(CUADRO, nullptr, QStringLiteral("Despachante:"))->setGeometry(10, 8, 90, 20);
    lbDespachante = etiqueta(CUADRO, "lbDespachante", QString());
    lbDespachante->setGeometry(100, 8, 200, 20);
    lbIdentificadorPropio = etiqueta(CUADRO, "lbIdentificadorPropio", QString());
    lbIdentificadorPropio->setGeometry(310, 8, 300, 20);
    etiqueta(CUADRO, nullptr, QStringLiteral("Importador:"))->setGeometry(10, 30, 90, 20);
    lbImportador = etiqueta(CUADRO, "lbImportador", QString());
    lbImportador->setGeometry(100, 30, 600, 20);
    lbCaratula = etiqueta(CUADRO, "lbCaratula", QStringLiteral("[ALT + C] Caratula"));
    lbCaratula->setGeometry(720, 8, lbCaratula->sizeHint().width(), 20);
    lbMensaje = etiqueta(CUADRO, "lbMensaje", kAyudaGeneral);
    // Wrapped to the window's width (View_Report), the longest hint on two lines.
    lbMensaje->setWordWrap(true);
    lbMensaje->move(10, 54);
    lbFiltroActivo = etiqueta(CUADRO, "lbFiltroActivo",
                              QStringLiteral("Filtro Activo! - [F6] para mostrar todo"));
    lbFiltroActivo->setGeometry(10, 76, 400, 20);
    QPalette rojo = lbFiltroActivo->palette();
    rojo.setColor(QPalette::WindowText, Qt::red);
    lbFiltroActivo->setPalette(rojo);
    lbFiltroActivo->hide();

    grdITEMS = new FlexGrid(this);
    grdITEMS->setObjectName(QStringLiteral("grdITEMS"));
    grdITEMS->setProperty("Tag", QString());
    grdITEMS->setSelectionByRow(true);
    grdITEMS->move(twipsToPixels(120), CUADRO->height() + twipsToPixels(120));

    txtSufijos = new QLineEdit(this);
    txtSufijos->setObjectName(QStringLiteral("txtSufijos"));
    txtSufijos->hide();

    mnuContextual = new QMenu(this);
    mnuContextual->setObjectName(QStringLiteral("mnuContextual"));
    mnuEliminarItem = mnuContextual->addAction(QStringLiteral("Eliminar Item"));
    mnuEliminarItem->setObjectName(QStringLiteral("mnuEliminarItem"));
    mnuEstablecerSufijo = mnuContextual->addAction(QStringLiteral("Establecer Sufijo"));
    mnuEstablecerSufijo->setObjectName(QStringLiteral("mnuEstablecerSufijo"));
    mnuReemplazarncm = mnuContextual->addAction(QStringLiteral("Reemplazar NCM"));
    mnuReemplazarncm->setObjectName(QStringLiteral("mnuReemplazarncm"));
    mnuContextual->setDefaultAction(mnuEliminarItem);
    estadoMenu(true, false);
    connect(mnuEliminarItem, &QAction::triggered, this, [this] {
        runHandler(*this, QStringLiteral("mnuEliminarItem_Click"), [this] { eliminarITEMS(); });
    });
    connect(mnuEstablecerSufijo, &QAction::triggered, this, [this] {
        runHandler(*this, QStringLiteral("mnuEstablecerSufijo_Click"),
                   [this] { mnuEstablecerSufijo_Click(); });
    });
    connect(mnuReemplazarncm, &QAction::triggered, this, [this] {
        runHandler(*this, QStringLiteral("mnuReemplazarncm_Click"),
                   [this] { mnuReemplazarncm_Click(); });
    });

    // The window sees the grid's keys first; those it takes stop there.
    connect(grdITEMS, &FlexGrid::keyDown, this, [this](QKeyEvent* event) {
        bool propia = false;
        runHandler(*this, QStringLiteral("Form_KeyDown"), [&] { propia = Form_KeyDown(event); });
        if (propia) {
            event->accept();
            return;
        }
        runHandler(*this, QStringLiteral("grdITEMS_KeyDown"), [&] { grdITEMS_KeyDown(event); });
    });
    connect(grdITEMS, &FlexGrid::dblClick, this, [this] {
        runHandler(*this, QStringLiteral("grdITEMS_DblClick"), [this] { grdITEMS_DblClick(); });
    });
    connect(grdITEMS, &FlexGrid::mouseDown, this, [this](QMouseEvent* event) {
        runHandler(*this, QStringLiteral("grdITEMS_MouseDown"), [&] { grdITEMS_MouseDown(event); });
    });
}

QString frmArmadoITEM::modo() const {
    return property("Tag").toString();
}

void frmArmadoITEM::setModo(const QString& modo) {
    setProperty("Tag", modo);
}

QString frmArmadoITEM::filtroArticulos() const {
    return grdITEMS->property("Tag").toString();
}

void frmArmadoITEM::setFiltroArticulos(const QString& filtro) {
    grdITEMS->setProperty("Tag", filtro);
}

void frmArmadoITEM::estadoMenu(bool eliminar, bool sufijo) {
    mnuEliminarItem->setEnabled(eliminar);
    mnuEstablecerSufijo->setEnabled(sufijo);
}

void frmArmadoITEM::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    corvelix::placeOnScreen(*this);
    // Loaded once per window object, at its first showing, with the opener's members set.
    if (cargado_)
        return;
    cargado_ = true;
    runHandler(*this, QStringLiteral("Form_Load"), [this] { Form_Load(); });
}

void frmArmadoITEM::Form_Load() {
    setWindowTitle(QStringLiteral("Listado de ITEMS de ") + m_Operacion);
    cargarDatosCaratula(m_Operacion);
    do_cargarItems();
    filaRecordada = -1;
    grdITEMS->setFocus();
}

void frmArmadoITEM::cargarDatosCaratula(const QString& despacho) {
    // No declaration at all has its own box, from the items loader.
    if (despacho.isEmpty())
        return;
    runHandler(*this, QStringLiteral("cargarDatosCaratula"), [&] {
        const modDA::Recordset rs = modDA::getDDTByNumber(despacho);
        // A missing header fails on its first field, as in the header editor: the box says
        // so and the labels stay empty.
        lbDespachante->setText(rs.text(QStringLiteral("CDDTAGR")));
        lbIdentificadorPropio->setText(rs.text(QStringLiteral("iEXT")));
        lbImportador->setText(rs.text(QStringLiteral("NDDTIMMIOE")) + QStringLiteral(" - ") +
                              rs.text(QStringLiteral("LDDTNOMIOE")));
    });
}

void frmArmadoITEM::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    View_Report();
}

void frmArmadoITEM::View_Report() {
    // Each measure on its own: a window made very small only gets an empty grid.
    const int ancho = width();
    const int alto = height();
    // The banner: the reference to the header at its right end, the hint wrapped to the
    // window's width with room for the longest one, the filter notice below it.
    lbCaratula->move(std::max(0, ancho - 10 - lbCaratula->width()), lbCaratula->y());
    lbIdentificadorPropio->resize(
        std::clamp(lbCaratula->x() - 10 - lbIdentificadorPropio->x(), 0, 300),
        lbIdentificadorPropio->height());
    lbImportador->resize(std::clamp(lbCaratula->x() - 10 - lbImportador->x(), 0, 600),
                         lbImportador->height());
    const int anchoAyuda = std::max(0, ancho - 20);
    int altoAyuda = 0;
    for (const QString& ayuda : {kAyudaGeneral, kAyudaArticulos})
        altoAyuda = std::max(altoAyuda,
                             lbMensaje->fontMetrics()
                                 .boundingRect(QRect(0, 0, anchoAyuda, 0), Qt::TextWordWrap, ayuda)
                                 .height());
    lbMensaje->resize(anchoAyuda, altoAyuda);
    lbFiltroActivo->move(10, lbMensaje->geometry().bottom() + 3);
    CUADRO->resize(ancho,
                   std::max(twipsToPixels(kAltoCuadro), lbFiltroActivo->geometry().bottom() + 5));
    grdITEMS->setGeometry(twipsToPixels(120), CUADRO->height() + twipsToPixels(120),
                          std::max(0, ancho - twipsToPixels(250)),
                          std::max(0, alto - CUADRO->height() - twipsToPixels(300)));
}

void frmArmadoITEM::keyPressEvent(QKeyEvent* event) {
    // Keys that reach the window itself (the grid does not have the focus).
    bool propia = false;
    runHandler(*this, QStringLiteral("Form_KeyDown"), [&] { propia = Form_KeyDown(event); });
    if (propia)
        return;
    // Esc is the window's own key; the dialog must not close behind the handler's back.
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

bool frmArmadoITEM::Form_KeyDown(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_C && soloAlt(event)) {
        // The header editor; the items are not read again afterwards.
        frmCaratula caratula(this);
        caratula.m_Operacion = m_Operacion;
        ui().exec(caratula);
        return true;
    }
    if (key == Qt::Key_I && soloAlt(event)) {
        ui().msgBox(QStringLiteral("Modulo en desarrollo"), MsgButtons::Ok, MsgIcon::Information);
        return true;
    }
    if (!sinModificadores(event))
        return false;
    switch (key) {
    case Qt::Key_F1:
        setModo(QString());
        setFiltroArticulos(QString());
        lbFiltroActivo->hide();
        do_cargarItems();
        lbMensaje->setText(kAyudaGeneral);
        estadoMenu(true, false);
        return true;
    case Qt::Key_F3:
        setModo(kModoDatos);
        do_cargarItems();
        lbMensaje->setText(kAyudaGeneral);
        estadoMenu(true, false);
        return true;
    case Qt::Key_F4:
        setModo(kModoLiquidacion);
        lbMensaje->setText(kAyudaGeneral);
        // Suffixes are set on article rows only.
        estadoMenu(true, false);
        do_cargarItems();
        return true;
    case Qt::Key_F2:
        lbMensaje->setText(kAyudaArticulos);
        setModo(kModoArticulos);
        estadoMenu(false, true);
        do_cargarItems();
        return true;
    case Qt::Key_Escape:
        m_Operacion.clear();
        done(QDialog::Rejected);
        return true;
    case Qt::Key_F11:
        if (modo() == kModoArticulos)
            exportarExcelArticulos();
        else if (modo() == kModoLiquidacion)
            mainModule::GenerarArchivoLiquidacion(m_Operacion, m_IdentificadorPropio);
        else
            ExportarExcel();
        return true;
    default:
        return false;
    }
}

bool frmArmadoITEM::rechazaAbierto() {
    if (!ModMaria::ProvisorioAbierto(m_Operacion))
        return false;
    ui().msgBox(QStringLiteral("El provisorio ") + m_Operacion +
                    QStringLiteral(" esta abierto en el KIT, debe Terminar Tratamiento para poder "
                                   "continuar"),
                MsgButtons::Ok, MsgIcon::Exclamation);
    return true;
}

void frmArmadoITEM::grdITEMS_KeyDown(QKeyEvent* event) {
    const QString actual = modo();
    if (actual == kModoLiquidacion)
        return;
    const int key = event->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (actual != kModoArticulos) {
        if (!sinModificadores(event))
            return;
        if (enter) {
            event->accept();
            // The warning guard: the item editor opens read-only then.
            (void)rechazaAbierto();
            cargarITEM();
        } else if (key == Qt::Key_Delete) {
            event->accept();
            eliminarITEMS();
        }
        return;
    }
    if (esModificador(key))
        return;
    if (rechazaAbierto()) {
        event->accept();
        return;
    }
    if (!sinModificadores(event))
        return;
    if (key == Qt::Key_F6) {
        event->accept();
        BuscarArticulo();
    } else if (enter) {
        event->accept();
        cargarSufijos();
    } else if (key == Qt::Key_Delete) {
        event->accept();
        eliminarSBTS();
    }
}

void frmArmadoITEM::grdITEMS_DblClick() {
    const QString actual = modo();
    if (actual == kModoLiquidacion)
        return;
    if (rechazaAbierto() && actual == kModoArticulos)
        return;
    if (actual == kModoArticulos)
        cargarSubitemsDetalle();
    else
        cargarITEM();
}

void frmArmadoITEM::cargarITEM() {
    runHandler(*this, QStringLiteral("cargarITEM"), [this] {
        const int fila = grdITEMS->row();
        // Only a data row (below the header) names an item.
        if (fila < grdITEMS->fixedRows() || fila >= grdITEMS->rows())
            return;
        filaRecordada = fila;
        frmItemDetalle editor(this);
        editor.m_Operacion = m_Operacion;
        editor.m_Item = grdITEMS->textMatrix(fila, 0);
        ui().exec(editor);
        do_cargarItems();
        if (filaRecordada < grdITEMS->rows())
            grdITEMS->setCurrentCell(filaRecordada, grdITEMS->col() < 0 ? 0 : grdITEMS->col());
    });
}

void frmArmadoITEM::grdITEMS_MouseDown(QMouseEvent* event) {
    if (event->button() != Qt::RightButton || modo() == kModoLiquidacion)
        return;
    mnuContextual->popup(event->globalPosition().toPoint(), mnuEliminarItem);
}

void frmArmadoITEM::BuscarArticulo() {
    if (!filtroArticulos().isEmpty()) {
        if (ui().msgBox(QStringLiteral("Desea quitar el filtro de busqueda?"), MsgButtons::YesNo,
                        MsgIcon::Question) == MsgResult::Yes) {
            setFiltroArticulos(QString());
            lbFiltroActivo->hide();
            do_cargarItems();
        }
        return;
    }
    if (busqueda_ == nullptr)
        busqueda_ = new frmBusquedaArticulo(this);
    ui().exec(*busqueda_);
    setFiltroArticulos(busqueda_->mBusqueda);
    if (busqueda_->mBusqueda.isEmpty())
        return;
    lbFiltroActivo->show();
    do_cargarItems();
}

void frmArmadoITEM::do_cargarItems() {
    ui().setBusy(true);
    ui().processEvents();
    const QString actual = modo();
    const bool cargado = runHandler(*this, QStringLiteral("do_cargarItems"), [&] {
        if (actual == kModoDatos)
            cargarItems_SoloDatos();
        else if (actual == kModoArticulos)
            cargar_Articulos();
        else if (actual == kModoLiquidacion)
            cargar_Liquidacion();
        else
            cargarITEMs();
    });
    if (!cargado) {
        // A load that failed leaves the headers alone, not rows that look like the whole list,
        // and they read whole (the columns are fitted to the rows of a load that ends well).
        grdITEMS->setRows(std::min(grdITEMS->rows(), grdITEMS->fixedRows()));
        QList<int> columnas;
        for (int c = 0; c < grdITEMS->cols(); ++c)
            columnas << c;
        corvelix::widenColumnsToTexts(*grdITEMS, columnas);
        grdITEMS->setRedraw(true);
        grdITEMS->show();
    }
    ui().setBusy(false);
}

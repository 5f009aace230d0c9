#include "item_editor/CancelacionesTab.h"

#include "data/cancellations.h"
#include "data/item_values.h"
#include "data/modDA.h"
#include "item_editor/frmCancelaciones.h"
#include "item_editor/frmItemDetalle.h"
#include "platform/TextWidths.h"
#include "runtime/FormKit.h"
#include "runtime/Format.h"
#include "runtime/Twips.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"

#include <QBoxLayout>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace {

QString location(const char* procedure) {
    return QStringLiteral("Corvelix.frmItemDetalle.") + QLatin1String(procedure);
}

constexpr int kColumnaCantidad = 4;

} // namespace

CancelacionesTab::CancelacionesTab(QWidget& form, QWidget& page, const QString& operacion,
                                   const QString& item)
    : QObject(&page), form_(form), operacion_(operacion), item_(item) {
    lstCancelaciones = new QTreeWidget(&page);
    lstCancelaciones->setObjectName(QStringLiteral("lstCancelaciones"));
    lstCancelaciones->setRootIsDecorated(false);
    lstCancelaciones->setAllColumnsShowFocus(true);
    lstCancelaciones->setSelectionMode(QAbstractItemView::SingleSelection);
    lstCancelaciones->setHeaderLabels(
        {QStringLiteral("Declaración"), QStringLiteral("Item"), QStringLiteral("SubIt"),
         QStringLiteral("NCM"), QStringLiteral("Cantidad"), QStringLiteral("Cert Proc Prod"),
         QStringLiteral("Nro.Orden"), QStringLiteral("Fact.Ponderacion")});
    lstCancelaciones->installEventFilter(this);
    lstCancelaciones->viewport()->installEventFilter(this);

    cmdCancelacionesAgregar = new QPushButton(QStringLiteral("Agregar [INS]"), &page);
    cmdCancelacionesAgregar->setObjectName(QStringLiteral("cmdCancelacionesAgregar"));
    cmdCancelacionesAgregar->setAutoDefault(false);
    cmdCancelacionesEliminar = new QPushButton(QStringLiteral("Eliminar [DEL]"), &page);
    cmdCancelacionesEliminar->setObjectName(QStringLiteral("cmdCancelacionesEliminar"));
    cmdCancelacionesEliminar->setAutoDefault(false);
    lbModificar = new QLabel(QStringLiteral("Modificar [Enter] o Doble Click "), &page);
    lbModificar->setObjectName(QStringLiteral("Label21"));

    // The list takes what the buttons below it leave of the page, whatever the page's size.
    auto* columna = new QVBoxLayout(&page);
    columna->setContentsMargins(10, 10, 10, 10);
    columna->addWidget(lstCancelaciones, 1);
    auto* botones = new QHBoxLayout;
    botones->addWidget(cmdCancelacionesAgregar);
    botones->addWidget(cmdCancelacionesEliminar);
    botones->addSpacing(10);
    botones->addWidget(lbModificar);
    botones->addStretch();
    columna->addLayout(botones);

    dialogo_ = std::make_unique<frmCancelaciones>();

    connect(cmdCancelacionesAgregar, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(form_, QStringLiteral("cmdCancelacionesAgregar_Click"),
                             [this] { cancelacionAgregar(); });
    });
    connect(cmdCancelacionesEliminar, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(form_, QStringLiteral("cmdCancelacionesEliminar_Click"),
                             [this] { cancelacionesEliminar(); });
    });
}

CancelacionesTab::~CancelacionesTab() = default;

bool CancelacionesTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstCancelaciones && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Insert) {
            corvelix::runHandler(form_, QStringLiteral("lstCancelaciones_KeyDown"),
                                 [this] { cancelacionAgregar(); });
            return true;
        }
        if (key == Qt::Key_Delete) {
            corvelix::runHandler(form_, QStringLiteral("lstCancelaciones_KeyDown"),
                                 [this] { cancelacionesEliminar(); });
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            corvelix::runHandler(form_, QStringLiteral("lstCancelaciones_KeyPress"),
                                 [this] { cancelacionesModificar(); });
            return true;
        }
    }
    if (watched == lstCancelaciones->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        corvelix::runHandler(form_, QStringLiteral("lstCancelaciones_DblClick"),
                             [this] { cancelacionesModificar(); });
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void CancelacionesTab::cargarCancelacionesMain() {
    corvelix::chained(location("cargarCancelacionesMain"),
                      [this] { cargarCancelaciones(operacion_, item_); });
}

void CancelacionesTab::cargarCancelaciones(const QString& despacho, const QString& item) {
    lstCancelaciones->clear();
    lstCancelaciones->setColumnWidth(0, corvelix::twipsToPixels(2000));
    lstCancelaciones->headerItem()->setTextAlignment(kColumnaCantidad,
                                                     Qt::AlignRight | Qt::AlignVCenter);
    modDA::Recordset rs = modDA::getDescarga(despacho, item);
    QList<QTreeWidgetItem*> filas;
    for (; !rs.eof(); rs.moveNext()) {
        const QVariant cantidad = rs.field(QStringLiteral("QDCNAPU"));
        auto* fila = new QTreeWidgetItem(
            {rs.text(QStringLiteral("IDCNAPU")), rs.text(QStringLiteral("NDCNARTAPU")),
             rs.text(QStringLiteral("NDCNSBTAPU")), rs.text(QStringLiteral("IDCNESPNCE")),
             cantidad.isNull()
                 ? QString()
                 : corvelix::formatNumber(cantidad.toDouble(), QStringLiteral("00.000000")),
             rs.text(QStringLiteral("CDCNEXPAPU")), rs.text(QStringLiteral("NDCNORDEN")),
             rs.text(QStringLiteral("CDCNRESOL"))});
        fila->setTextAlignment(kColumnaCantidad, Qt::AlignRight | Qt::AlignVCenter);
        filas << fila;
    }
    lstCancelaciones->addTopLevelItems(filas);
    // Declaration numbers, NCM codes, quantities and certificates whole, in the list's font.
    corvelix::widenColumnsToTexts(*lstCancelaciones, {0, 1, 2, 3, kColumnaCantidad, 5, 6, 7});
    if (!filas.isEmpty())
        lstCancelaciones->setCurrentItem(filas.first());
}

bool CancelacionesTab::lineaSeleccionada(Linea& linea) const {
    // As on the other list tabs, a row counts only while it is selected.
    QTreeWidgetItem* fila = lstCancelaciones->currentItem();
    if (fila == nullptr || !fila->isSelected())
        return false;
    linea.despacho = fila->text(0);
    linea.item = static_cast<int>(corvelix::toNumber(fila->text(1), QLocale::c()));
    linea.subitem = static_cast<int>(corvelix::toNumber(fila->text(2), QLocale::c()));
    linea.fila = lstCancelaciones->indexOfTopLevelItem(fila);
    return true;
}

// The dialog and the delete mark the item in the same transaction as their write.
void CancelacionesTab::recargar() {
    cargarCancelaciones(operacion_, item_);
}

void CancelacionesTab::cancelacionAgregar() {
    corvelix::runHandler(form_, QStringLiteral("cancelacionAgregar"), [this] {
        dialogo_->m_Operacion = operacion_;
        dialogo_->m_Item = item_;
        dialogo_->m_DIT_Numero.clear();
        dialogo_->m_DIT_Item.clear();
        dialogo_->m_DIT_SbIt.clear();
        dialogo_->m_Grabo = false;
        corvelix::ui().exec(*dialogo_);
        if (dialogo_->m_Grabo)
            recargar();
    });
}

void CancelacionesTab::cancelacionesEliminar() {
    corvelix::chained(location("cancelacionesEliminar"), [this] {
        Linea linea;
        if (!lineaSeleccionada(linea))
            return;
        const auto answer = corvelix::ui().msgBox(
            QStringLiteral("confirma eliminar el cancelación ") + linea.despacho +
                QStringLiteral(" item ") + QString::number(linea.item) +
                QStringLiteral(" subitem ") + QString::number(linea.subitem),
            corvelix::MsgButtons::YesNo, corvelix::MsgIcon::Question, {},
            corvelix::MsgDefault::First);
        if (answer != corvelix::MsgResult::Yes)
            return;
        const int item = static_cast<int>(corvelix::toNumber(item_, QLocale::c()));
        modDA::Transaction transaccion;
        if (!modDA::eliminarCancelacion(operacion_, item, linea.despacho, linea.item,
                                        linea.subitem))
            return;
        modDA::Invalidar_ITEM(operacion_, item_, false);
        transaccion.commit();
        recargar();
    });
}

void CancelacionesTab::cancelacionesModificar() {
    corvelix::chained(location("cancelacionesModificar"), [this] {
        Linea linea;
        if (!lineaSeleccionada(linea))
            return;
        dialogo_->m_Operacion = operacion_;
        dialogo_->m_Item = item_;
        dialogo_->m_DIT_Numero = linea.despacho;
        dialogo_->m_DIT_Item = QString::number(linea.item);
        dialogo_->m_DIT_SbIt = QString::number(linea.subitem);
        dialogo_->m_Grabo = false;
        corvelix::ui().exec(*dialogo_);
        if (!dialogo_->m_Grabo)
            return;
        recargar();
        if (QTreeWidgetItem* fila = lstCancelaciones->topLevelItem(linea.fila); fila != nullptr) {
            lstCancelaciones->setCurrentItem(fila);
            lstCancelaciones->scrollToItem(fila);
        }
    });
}

void instalarCancelaciones(frmItemDetalle& form) {
    auto* tab = new CancelacionesTab(form, *form.tabCancelaciones(), form.m_Operacion, form.m_Item);
    form.agregarCargador(frmItemDetalle::PasoCarga::Cancelaciones,
                         [tab](bool) { tab->cargarCancelacionesMain(); });
}

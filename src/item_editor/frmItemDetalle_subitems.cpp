// "Subitems" (read-only), the MARCA suffix of "Prorrateos" and "Liquidación" (read-only).
#include "item_editor/frmItemDetalle.h"

#include "data/item_editor_reads.h"
#include "data/item_values.h"
#include "data/liquidation_lines.h"
#include "platform/TextWidths.h"
#include "runtime/FormKit.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using corvelix::formatNumber;
using corvelix::MsgButtons;
using corvelix::MsgDefault;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::runHandler;
using corvelix::ui;

namespace {

QTreeWidget* lista(QWidget* page, const char* nombre, const QStringList& columnas) {
    auto* l = new QTreeWidget(page);
    l->setObjectName(QLatin1String(nombre));
    l->setRootIsDecorated(false);
    l->setColumnCount(static_cast<int>(columnas.size()));
    l->setHeaderLabels(columnas);
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    return l;
}

// A Null or non-numeric amount shows as 0 in its mask.
QString importe(const modDA::Recordset& rs, const char* columna, const QString& mascara) {
    bool ok = false;
    const double v = rs.field(QLatin1String(columna)).toDouble(&ok);
    return formatNumber(ok ? v : 0.0, mascara);
}

} // namespace

void frmItemDetalle::crearSubitems() {
    QWidget* page = pestanas_.at(Subitems);
    auto* layout = new QVBoxLayout(page);
    lstSubitems =
        lista(page, "lstSubitems",
              {QStringLiteral("Nro"), QStringLiteral("Unidad"), QStringLiteral("Cantidad"),
               QStringLiteral("Unitario"), QStringLiteral("Total"), QStringLiteral("Estad."),
               QStringLiteral("Cant Est"), QStringLiteral("Codigo"), QStringLiteral("Sufijos")});
    layout->addWidget(lstSubitems);
    lstSubitems->installEventFilter(this);
    connect(lstSubitems, &QTreeWidget::itemDoubleClicked, this, [this] {
        runHandler(*this, QStringLiteral("lstSubitems_DblClick"),
                   [this] { lstSubitems_DblClick(); });
    });
}

void frmItemDetalle::crearMarca(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* area = new QWidget(page);
    area->setObjectName(QStringLiteral("tabProrrateosArea"));
    layout->addWidget(area, 1);
    auto* fila = new QWidget(page);
    fila->setObjectName(QStringLiteral("grpMarca"));
    auto* grid = new QGridLayout(fila);
    grid->addWidget(new QLabel(QStringLiteral("MARCA (Sufijo AA)"), fila), 0, 0);
    txtMarca = new QLineEdit(fila);
    txtMarca->setObjectName(QStringLiteral("txtMarca"));
    grid->addWidget(txtMarca, 0, 1);
    cmdEstablecerMARCA = new QPushButton(QStringLiteral("Establecer"), fila);
    cmdEstablecerMARCA->setObjectName(QStringLiteral("cmdEstablecerMARCA"));
    cmdEstablecerMARCA->setAutoDefault(false);
    grid->addWidget(cmdEstablecerMARCA, 0, 2);
    grid->setColumnStretch(3, 1);
    layout->addWidget(fila);
    pestanas_.at(Prorrateos) = area;
    connect(cmdEstablecerMARCA, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdEstablecerMARCA_Click"),
                   [this] { cmdEstablecerMARCA_Click(); });
    });
}

void frmItemDetalle::crearLiquidacion() {
    QWidget* page = pestanas_.at(Liquidacion);
    auto* layout = new QGridLayout(page);
    lstLiquidacion = lista(page, "lstLiquidacion",
                           {QStringLiteral("Cod"), QStringLiteral("Concepto"),
                            QStringLiteral("Base"), QStringLiteral("Coef"), QStringLiteral("Total"),
                            QStringLiteral("PGC"), QStringLiteral("Motivo")});
    layout->addWidget(lstLiquidacion, 0, 0, 1, 4);
    cmdLiquidacionAgregar = new QPushButton(QStringLiteral("Agregar [INS]"), page);
    cmdLiquidacionAgregar->setObjectName(QStringLiteral("cmdLiquidacionAgregar"));
    cmdLiquidacionAgregar->setAutoDefault(false);
    cmdLiquidacionEliminar = new QPushButton(QStringLiteral("Eliminar [DEL]"), page);
    cmdLiquidacionEliminar->setObjectName(QStringLiteral("cmdLiquidacionEliminar"));
    cmdLiquidacionEliminar->setAutoDefault(false);
    lbLiquidacionLabel = new QLabel(QStringLiteral("Modificar [ENTER]"), page);
    lbLiquidacionLabel->setObjectName(QStringLiteral("lbLiquidacionLabel"));
    layout->addWidget(cmdLiquidacionAgregar, 1, 0);
    layout->addWidget(cmdLiquidacionEliminar, 1, 1);
    layout->addWidget(lbLiquidacionLabel, 1, 2);
    layout->setColumnStretch(3, 1);
    // The buttons and Enter in the list have no action: lines come from the liquidation import.
}

void frmItemDetalle::cargarSubItems() {
    corvelix::chainedNumbered(QStringLiteral("Corvelix.frmItemDetalle.cargarSubItems"), 10, [this] {
        const QString dcl = QStringLiteral("00.00");
        modDA::Recordset rs = modDA::getSubItemsDetalle(m_Operacion, m_Item);
        while (!rs.eof()) {
            auto* fila = new QTreeWidgetItem(lstSubitems);
            fila->setText(0, rs.text(QStringLiteral("ISBT")));
            fila->setText(1, rs.text(QStringLiteral("CARTUNTDCL")));
            fila->setText(2, importe(rs, "QSBTUNTDCL", dcl));
            fila->setText(3, importe(rs, "MSBTUNITAR", QStringLiteral("00.00000")));
            fila->setText(4, importe(rs, "MSBTFOB", dcl));
            fila->setText(5, rs.text(QStringLiteral("CARTUNTEST")));
            fila->setText(6, importe(rs, "QSBTUNTEST", dcl));
            fila->setText(7, rs.text(QStringLiteral("IEXT")));
            fila->setText(8, rs.text(QStringLiteral("CSBTSVL")));
            rs.moveNext();
        }
        corvelix::widenColumnsToTexts(*lstSubitems);
        // Real subitems carry the quantities and the FOB; the item only sums them.
        if (lstSubitems->topLevelItemCount() > 0 &&
            lstSubitems->topLevelItem(0)->text(0) != QStringLiteral("0000"))
            BloquearCampos_TieneSubitems();
    });
}

void frmItemDetalle::lstSubitems_DblClick() {
    // The list has no actions: suffixes are edited from the item view.
}

void frmItemDetalle::lstSubitems_KeyPress(int /*key*/) {
    // No actions, with or without a selected row.
}

void frmItemDetalle::cmdEstablecerMARCA_Click() {
    ui().setBusy(true);
    const QString marca = txtMarca->text();
    if (!marca.isEmpty()) {
        if (ui().msgBox(QStringLiteral("Confirmar establer el valor ") + marca +
                            QStringLiteral(" en el Sufijo MARCA, en todos los ITEM's?"),
                        MsgButtons::YesNo, MsgIcon::Question, {},
                        MsgDefault::First) == MsgResult::Yes) {
            // The writer drops the quotes of the value; doubling them first changes nothing.
            modDA::EstablecerSufijoAA(m_Operacion, marca);
        }
    }
    ui().setBusy(false);
}

void frmItemDetalle::ValidaLiquidacion() {
    runHandler(*this, QStringLiteral("ValidaLiquidacion"), [this] {
        const bool habilitar = modDA::tieneAutoLiquidacion(m_Operacion);
        autoLiquidacion_ = habilitar;
        cmdLiquidacionAgregar->setEnabled(habilitar);
        cmdLiquidacionEliminar->setEnabled(habilitar);
        lbLiquidacionLabel->setEnabled(habilitar);
    });
}

void frmItemDetalle::cargarLiquidacion() {
    corvelix::GuardOptions opciones;
    opciones.icon = MsgIcon::Exclamation;
    runHandler(
        *this, QStringLiteral("cargarLiquidacion"),
        [this] {
            lstLiquidacion->clear();
            modDA::Recordset rs = modDA::getLiquidacion(m_Operacion, m_Item);
            while (!rs.eof()) {
                auto* fila = new QTreeWidgetItem(lstLiquidacion);
                fila->setText(0, rs.text(QStringLiteral("CLQATAX")));
                fila->setText(1, rs.text(QStringLiteral("LTAXABR")));
                const QVariant base = rs.field(QStringLiteral("MLQABAS"));
                fila->setText(2,
                              base.isNull() ? QString() : corvelix::generalNumber(base.toDouble()));
                const auto mascara = [&](const char* col) {
                    const QVariant v = rs.field(QLatin1String(col));
                    return v.isNull() ? QString()
                                      : formatNumber(v.toDouble(), QStringLiteral("00.00"));
                };
                fila->setText(3, mascara("QLQACOEFIC"));
                fila->setText(4, mascara("MLQA"));
                fila->setText(5, rs.text(QStringLiteral("CLQATYP")));
                fila->setText(6, rs.text(QStringLiteral("CLQAMOTGAR")));
                rs.moveNext();
            }
            // Tax codes, their concepts and amounts whole.
            corvelix::widenColumnsToTexts(*lstLiquidacion);
        },
        opciones);
}

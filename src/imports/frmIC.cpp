#include "imports/frmIC.h"

#include "data/declaration_reads.h"
#include "shell/modAPITools.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include <array>

using corvelix::ui;

namespace {

constexpr std::array<const char*, 9> kColumnas{"despacho", "ncm",    "item",  "cantidad", "unitario",
                                               "total",    "sufijos", "origen", "iext"};

} // namespace

frmIC::frmIC(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmIC"));
    setWindowTitle(QStringLiteral("Articulos"));
    resize(820, 480);

    lbDespacho = new QLabel(this);
    lbDespacho->setObjectName(QStringLiteral("lbDespacho"));
    lbDespacho->setGeometry(10, 8, 600, 20);

    lstART = new QTreeWidget(this);
    lstART->setObjectName(QStringLiteral("lstART"));
    lstART->setGeometry(10, 34, 800, 400);
    lstART->setColumnCount(static_cast<int>(kColumnas.size()));
    lstART->setRootIsDecorated(false);
    lstART->setUniformRowHeights(true);

    cmdExportarExcel = new QPushButton(QStringLiteral("Exportar Excel"), this);
    cmdExportarExcel->setObjectName(QStringLiteral("cmdExportarExcel"));
    cmdExportarExcel->setGeometry(680, 442, 130, 28);
    cmdExportarExcel->setAutoDefault(false);
    connect(cmdExportarExcel, &QPushButton::clicked, this, [this] {
        corvelix::runNumberedHandler(*this, QStringLiteral("cmdExportarExcel_Click"),
                                     [this](int&) { cmdExportarExcel_Click(); });
    });

    activacion_ = new corvelix::FirstActivation(*this, [this] {
        corvelix::runNumberedHandler(*this, QStringLiteral("cargarOperaciones"),
                                     [this](int&) { cargarOperaciones(); });
    });
}

void frmIC::cargarOperaciones() {
    lbDespacho->setText(QStringLiteral("Articulos de ") + p_IdOperacion);
    lstART->setHeaderLabels({QStringLiteral("Despacho"), QStringLiteral("Ncm"),
                             QStringLiteral("Item"), QStringLiteral("Cantidad"),
                             QStringLiteral("Unitario"), QStringLiteral("Total"),
                             QStringLiteral("Sufijos"), QStringLiteral("Origen"),
                             QStringLiteral("IEXT")});
    lstART->clear();
    const modDA::Recordset rs = modDA::getSIMIGlobal(p_IdOperacion);
    std::array<int, kColumnas.size()> indices{};
    for (std::size_t c = 0; c < kColumnas.size(); ++c)
        indices[c] = rs.fieldIndex(QLatin1String(kColumnas[c]));
    QList<QTreeWidgetItem*> filas;
    filas.reserve(rs.recordCount());
    for (const QVariantList& r : rs.rows()) {
        auto* fila = new QTreeWidgetItem;
        for (std::size_t c = 0; c < kColumnas.size(); ++c)
            fila->setText(static_cast<int>(c), r.at(indices[c]).toString());
        filas.append(fila);
    }
    lstART->addTopLevelItems(filas);
}

void frmIC::cmdExportarExcel_Click() {
    QString ruta = modAPITools::SaveFileCommonDialog(QStringLiteral("Guardar Reporte Items"),
                                                     QString(), QString(), QString());
    if (ruta.isEmpty())
        return;
    const modDA::Recordset rs = modDA::getSIMIGlobal(p_IdOperacion);
    if (rs.eof()) {
        ui().msgBox(QStringLiteral("No hay registro para generar el reporte en excel"),
                    corvelix::MsgButtons::Ok, corvelix::MsgIcon::Exclamation);
        return;
    }
    if (ruta.right(3).toLower() != QLatin1String("xls"))
        ruta += QStringLiteral(".xls");
    QString texto = QStringLiteral("Despacho\tNCM\tItem\tCantidad\tUnitario\tTotal\tSufijos\t"
                                   "Origen\tIEXT\r\n");
    std::array<int, kColumnas.size()> indices{};
    for (std::size_t c = 0; c < kColumnas.size(); ++c)
        indices[c] = rs.fieldIndex(QLatin1String(kColumnas[c]));
    for (const QVariantList& r : rs.rows()) {
        for (std::size_t c = 0; c < kColumnas.size(); ++c) {
            if (c > 0)
                texto += QLatin1Char('\t');
            texto += r.at(indices[c]).toString();
        }
        texto += QStringLiteral("\r\n");
    }
    modAPITools::generarArchivo(ruta, texto);
    ui().msgBox(QStringLiteral("se genero el archivo ") + ruta, corvelix::MsgButtons::Ok,
                corvelix::MsgIcon::Information);
}

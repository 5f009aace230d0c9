#include "app/frmCopiarOperacion.h"

#include "data/declaration_copy.h"
#include "data/modDA.h"
#include "data/simi_links.h"
#include "runtime/FormKit.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"
#include "shell/modRET_listas.h"

#include <QCheckBox>
#include <QDateTime>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScopeGuard>
#include <QTreeWidget>

using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::runHandler;
using corvelix::ui;

namespace {

// A date as the main list shows dates: day, month and four-digit year in the user's order,
// and the time only when there is one.
QString textoFecha(const QVariant& value) {
    if (value.isNull())
        return {};
    QDateTime when = value.toDateTime();
    if (!when.isValid()) {
        const QString text = value.toString();
        for (const char* format :
             {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-dd"}) {
            when = QDateTime::fromString(text, QLatin1String(format));
            if (when.isValid())
                break;
        }
        if (!when.isValid())
            return text;
    }
    const QLocale locale;
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    if (!format.contains(QLatin1String("dd")))
        format.replace(QLatin1Char('d'), QLatin1String("dd"));
    if (!format.contains(QLatin1String("MM")))
        format.replace(QLatin1Char('M'), QLatin1String("MM"));
    QString text = locale.toString(when.date(), format);
    if (when.time() != QTime(0, 0))
        text += QLatin1Char(' ') + when.time().toString(QStringLiteral("HH:mm:ss"));
    return text;
}

// Destinations whose items may carry links to the SIMI they were drawn from.
bool esDestinoSIMI(const QString& numero) {
    for (const char* code : {"SIRA", "SIMI", "SEDI", "IDA"})
        if (numero.contains(QLatin1String(code), Qt::CaseSensitive))
            return true;
    return false;
}

} // namespace

frmCopiarOperacion::frmCopiarOperacion(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmCopiarOperacion"));
    setWindowTitle(QStringLiteral("Copiar"));
    setFixedSize(520, 420);

    lbdesde = new QLabel(QStringLiteral("Origen"), this);
    lbdesde->setObjectName(QStringLiteral("lbdesde"));
    lbdesde->setGeometry(10, 14, 70, 20);
    txtDesde = new QLineEdit(this);
    txtDesde->setObjectName(QStringLiteral("txtDesde"));
    txtDesde->setGeometry(80, 10, 200, 24);
    // The copy always starts from the declaration the opener chose.
    txtDesde->setReadOnly(true);

    lbDestino = new QLabel(QStringLiteral("Destino"), this);
    lbDestino->setObjectName(QStringLiteral("lbDestino"));
    lbDestino->setGeometry(10, 44, 70, 20);
    lstDestino = new QTreeWidget(this);
    lstDestino->setObjectName(QStringLiteral("lstDestino"));
    lstDestino->setGeometry(10, 66, 500, 270);
    lstDestino->setColumnCount(3);
    lstDestino->setHeaderLabels(
        {QStringLiteral("Despacho"), QStringLiteral("Despachante"), QStringLiteral("Fecha")});
    lstDestino->setRootIsDecorated(false);
    lstDestino->setUniformRowHeights(true);
    lstDestino->setSelectionMode(QAbstractItemView::SingleSelection);
    lstDestino->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstDestino->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstDestino->header()->setStretchLastSection(false);

    chkInfoAd = new QCheckBox(QStringLiteral("Información Adicional"), this);
    chkInfoAd->setObjectName(QStringLiteral("chkInfoAd"));
    chkInfoAd->setGeometry(10, 346, 200, 22);
    chkDocumentos = new QCheckBox(QStringLiteral("Documentos"), this);
    chkDocumentos->setObjectName(QStringLiteral("chkDocumentos"));
    chkDocumentos->setGeometry(220, 346, 150, 22);

    cmdCopiar = new QPushButton(QStringLiteral("Copiar"), this);
    cmdCopiar->setObjectName(QStringLiteral("cmdCopiar"));
    cmdCopiar->setGeometry(320, 380, 90, 28);
    cmdCopiar->setAutoDefault(false);
    cmdCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    cmdCancelar->setGeometry(420, 380, 90, 28);
    cmdCancelar->setAutoDefault(false);

    connect(cmdCopiar, &QPushButton::clicked, this,
            [this] { runHandler(*this, QStringLiteral("cmdCopiar_Click"), [this] { Copiar(); }); });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdCancelar_Click"), [this] { cmdCancelar_Click(); });
    });

    // Once per showing, however the previous showing ended.
    new corvelix::FirstActivation(*this, [this] {
        runHandler(*this, QStringLiteral("Form_Activate"), [this] { Form_Activate(); });
    });
}

void frmCopiarOperacion::Form_Activate() {
    txtDesde->setText(m_Operacion_Origen);
    cargarGrilla(QString());
}

void frmCopiarOperacion::cargarGrilla(const QString& filtro) {
    runHandler(*this, QStringLiteral("cargarGrilla"), [&] {
        lstDestino->clear();
        modDA::Recordset rs = modDA::getDDT(filtro, true);
        QList<QTreeWidgetItem*> filas;
        filas.reserve(rs.recordCount());
        while (!rs.eof()) {
            auto* fila = new QTreeWidgetItem;
            fila->setText(0, rs.text(QStringLiteral("IDDT")));
            fila->setText(1, rs.text(QStringLiteral("CDDTAGR")));
            fila->setText(2, textoFecha(rs.field(QStringLiteral("DDDTOFICIA"))));
            filas << fila;
            rs.moveNext();
        }
        lstDestino->addTopLevelItems(filas);
        // As the old list, the first row starts selected.
        if (!filas.isEmpty())
            lstDestino->setCurrentItem(filas.first());
        modRET::ajustarColumnasListView(*lstDestino);
        lstDestino->setFocus();
    });
}

void frmCopiarOperacion::Copiar() {
    if (lstDestino->topLevelItemCount() == 0)
        return;
    corvelix::GuardOptions options;
    options.icon = MsgIcon::Exclamation;
    runHandler(
        *this, QStringLiteral("Copiar"),
        [&] {
            ui().setBusy(true);
            const auto normal = qScopeGuard([] { ui().setBusy(false); });
            QTreeWidgetItem* fila = lstDestino->currentItem();
            if (fila == nullptr)
                return;
            const QString origen = m_Operacion_Origen;
            const QString destino = fila->text(0);
            if (destino == origen) {
                ui().msgBox(
                    QStringLiteral("Despacho origen y despacho destino deben ser distintos"),
                    MsgButtons::Ok, MsgIcon::Exclamation);
                return;
            }
            if (ui().msgBox(QStringLiteral("Confirma copiar los datos del despacho ") + origen +
                                QStringLiteral(" al despacho ") + destino + QStringLiteral("?"),
                            MsgButtons::YesNo, MsgIcon::Question, {},
                            corvelix::MsgDefault::Second) != corvelix::MsgResult::Yes)
                return;
            // One transaction: a failure at any step leaves the destination as it was.
            modDA::CopyOptions opciones;
            opciones.infoCompl = chkInfoAd->isChecked();
            opciones.documentos = chkDocumentos->isChecked();
            modDA::copiarDeclaracion(origen, destino, opciones, [&] {
                if (esDestinoSIMI(destino))
                    resetSIMI(destino);
            });
            ui().setBusy(false);
            ui().msgBox(QStringLiteral("Fin del proceso"), MsgButtons::Ok, MsgIcon::Information);
        },
        options);
}

void frmCopiarOperacion::resetSIMI(const QString& operacion) {
    corvelix::chained(QStringLiteral("Corvelix.frmCopiarOperacion.resetSIMI"),
                      [&] { modDA::clearSimiLinks(operacion); });
}

void frmCopiarOperacion::cmdCancelar_Click() {
    m_Operacion_Origen.clear();
    reject();
}

#include "shell/frmMain.h"

#include "imports/entradas.h"

#include "data/modDA.h"
#include "platform/SingleInstance.h"
#include "runtime/Format.h"
#include "runtime/VbError.h"
#include "shell/mainModule.h"
#include "shell/modRET_listas.h"

#include "version.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QFileDialog>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <QTreeWidget>

using corvelix::guardEvent;
using corvelix::GuardOptions;
using corvelix::MsgIcon;
using corvelix::ui;
using corvelix::VbError;

namespace {

constexpr qint64 kVersionDigits = mainModule::joinVersionDigits(
    corvelix::build::versionMajor, corvelix::build::versionMinor, corvelix::build::versionRevision);
static_assert(kVersionDigits <= 32767, "the joined version digits must fit a 16-bit number");

// 150 twips between the list and the window's edges.
constexpr int kMargen = 10;

frmMain* s_ventana = nullptr;

// Building the internal profile's connection string marks the title.
void marcarVersionInterna() {
    if (s_ventana == nullptr)
        return;
    auto* titulo = s_ventana->findChild<QLabel*>(QStringLiteral("lbTitulo"));
    if (titulo != nullptr)
        titulo->setText(titulo->text() + QStringLiteral(" version Interna"));
}

// A date as text the way the list always showed it: day, month, four-digit year in the
// user's order, and the time only when there is one.
QString textoFecha(const QVariant& value) {
    if (value.isNull())
        return {};
    QDateTime when;
    if (value.metaType().id() == QMetaType::QDateTime) {
        when = value.toDateTime();
    } else if (value.metaType().id() == QMetaType::QDate) {
        when = QDateTime(value.toDate(), QTime(0, 0));
    } else {
        const QString text = value.toString();
        for (const char* format : {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm:ss.zzz",
                                   "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd"}) {
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

QPixmap dibujarLogo() {
    QPixmap pixmap(44, 44);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::white);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(2, 2, 40, 40), 8, 8);
    QFont font(QStringLiteral("Verdana"));
    font.setBold(true);
    font.setPixelSize(28);
    painter.setFont(font);
    painter.setPen(QColor(0, 51, 102));
    painter.drawText(QRectF(2, 2, 40, 40), Qt::AlignCenter, QStringLiteral("C"));
    return pixmap;
}

bool esClicDerechoSoltado(QEvent* event) {
    return event->type() == QEvent::MouseButtonRelease &&
           static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
}

} // namespace

bool frmMain::s_activado = false;

frmMain::frmMain(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("CORVELIX"));
    QFont verdana = font();
    verdana.setFamily(QStringLiteral("Verdana"));
    setFont(verdana);
    resize(900, 560);

    crearControles();
    crearMenus();

    s_ventana = this;
    modDA::setInternalProfileListener(&marcarVersionInterna);

    Form_Load();
    Form_Resize();
}

frmMain::~frmMain() {
    if (s_ventana == this)
        s_ventana = nullptr;
}

void frmMain::crearControles() {
    // Created in the window's design order, which is also its tab order.
    const auto boton = [this](const char* name, const QString& caption, const QRect& geometry) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QLatin1String(name));
        button->setGeometry(geometry);
        button->setAutoDefault(false);
        // The form each button opens is not part of the program yet.
        button->setEnabled(false);
        return button;
    };
    cmdExportarProvisorio = boton("cmdExportarProvisorio",
                                  QStringLiteral("Copiar provisorio a otra PC"), {10, 64, 190, 26});
    cmdBultos = boton("cmdBultos", QStringLiteral("Alerta SubCuenta Maria"), {206, 64, 170, 26});
    cmdRatificacion =
        boton("cmdRatificacion", QStringLiteral("Ratificar desp"), {382, 64, 120, 26});
    cmdMasOpciones =
        boton("cmdMasOpciones", QStringLiteral("Compartir token ARCA"), {508, 64, 170, 26});
    cmdConvertRET_2_TXT =
        boton("cmdConvertRET_2_TXT", QStringLiteral("Convertir RET a TXT"), {684, 64, 160, 26});

    chkMostrarSIMI = new QCheckBox(QStringLiteral("Mostrar SIMI"), this);
    chkMostrarSIMI->setObjectName(QStringLiteral("chkMostrarSIMI"));
    chkMostrarSIMI->setGeometry(382, 100, 140, 22);

    lstDespachos = new QTreeWidget(this);
    lstDespachos->setObjectName(QStringLiteral("lstDespachos"));
    lstDespachos->move(kMargen, 132);
    lstDespachos->setColumnCount(6);
    lstDespachos->setHeaderLabels(
        {QStringLiteral("Despacho"), QStringLiteral("Referencia"), QStringLiteral("ImpoExpo"),
         QStringLiteral("Vendedor / Comprador"), QStringLiteral("Fob"), QStringLiteral("Fecha")});
    for (int i = 0; i < lstDespachos->columnCount(); ++i)
        lstDespachos->headerItem()->setTextAlignment(i, (i == 4 ? Qt::AlignRight : Qt::AlignLeft) |
                                                            Qt::AlignVCenter);
    lstDespachos->setRootIsDecorated(false);
    lstDespachos->setUniformRowHeights(true);
    lstDespachos->setItemsExpandable(false);
    lstDespachos->setSortingEnabled(false);
    lstDespachos->setSelectionMode(QAbstractItemView::SingleSelection);
    lstDespachos->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstDespachos->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstDespachos->header()->setStretchLastSection(false);
    lstDespachos->header()->setSectionsMovable(false);
    lstDespachos->viewport()->installEventFilter(this);

    cmdBuscar = new QPushButton(QStringLiteral("Buscar"), this);
    cmdBuscar->setObjectName(QStringLiteral("cmdBuscar"));
    cmdBuscar->setGeometry(276, 97, 96, 26);
    cmdBuscar->setAutoDefault(false);

    txtDespacho = new QLineEdit(this);
    txtDespacho->setObjectName(QStringLiteral("txtDespacho"));
    txtDespacho->setGeometry(kMargen, 98, 260, 24);

    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setGeometry(8, 6, 44, 44);
    imgLogo->setPixmap(dibujarLogo());
    imgLogo->installEventFilter(this);

    lbTitulo = new QLabel(QStringLiteral("CORVELIX"), this);
    lbTitulo->setObjectName(QStringLiteral("lbTitulo"));
    lbTitulo->setGeometry(62, 10, 600, 36);
    QFont titulo = font();
    titulo.setBold(true);
    titulo.setPointSize(titulo.pointSize() > 0 ? titulo.pointSize() + 8 : 18);
    lbTitulo->setFont(titulo);
    QPalette blanco = lbTitulo->palette();
    blanco.setColor(QPalette::WindowText, Qt::white);
    lbTitulo->setPalette(blanco);

    Shape = new QFrame(this);
    Shape->setObjectName(QStringLiteral("Shape"));
    Shape->setGeometry(0, 0, width(), 56);
    Shape->setAutoFillBackground(true);
    QPalette banda = Shape->palette();
    banda.setColor(QPalette::Window, QColor(0, 51, 102));
    Shape->setPalette(banda);
    // A band painted under the logo and the title.
    Shape->lower();

    connect(cmdBuscar, &QPushButton::clicked, this, [this] {
        guardEvent(QStringLiteral("Corvelix.frmMain.cmdBuscar_Click (0)::"),
                   [this] { cmdBuscar_Click(); });
    });
    connect(txtDespacho, &QLineEdit::returnPressed, this, [this] {
        guardEvent(QStringLiteral("Corvelix.frmMain.txtDespacho_KeyPress (0)::"),
                   [this] { cmdBuscar_Click(); });
    });
    connect(chkMostrarSIMI, &QCheckBox::clicked, this, [this] {
        guardEvent(QStringLiteral("Corvelix.frmMain.chkMostrarSIMI_Click (0)::"),
                   [this] { cmdBuscar_Click(); });
    });
}

void frmMain::crearMenus() {
    // The operations behind these entries are not part of the program yet: shown, not usable.
    const auto entrada = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setEnabled(false);
    };
    mnuArchivo = new QMenu(QStringLiteral("Archivo"), this);
    mnuArchivo->setObjectName(QStringLiteral("mnuArchivo"));
    entrada(mnuArchivo, "mnuCaratula", QStringLiteral("Caratula"));
    entrada(mnuArchivo, "mnuCopiarOperacion", QStringLiteral("Copiar Operacion"));
    entrada(mnuArchivo, "mnuCargarLiquidaciones",
            QStringLiteral("Cargar Liquidaciones (AUTOLIQUIDACION)"));
    entrada(mnuArchivo, "mnuExportarATXT", QStringLiteral("Exportar a TXT"));
    entrada(mnuArchivo, "mnuItem", QStringLiteral("ver Item's"));
    entrada(mnuArchivo, "mnuSIMIFIX4", QStringLiteral("SIMI FIX"));
    entrada(mnuArchivo, "mnuprorratearIDA4", QStringLiteral("Generar Descarga / Cancelaciones"));
    entrada(mnuArchivo, "mnuCargarCancelaciones", QStringLiteral("Cargar Cancelaciones"));
    entrada(mnuArchivo, "mnuExportarExcelLgy", QStringLiteral("Exportar a Excel v1"));
    entrada(mnuArchivo, "mnuExportarExcel", QStringLiteral("Exportar a Excel v2"));
    conectarImportacionesHoja(*this, *mnuArchivo, *lstDespachos);

    mnuActualizacion = new QMenu(QStringLiteral("Actualizacion"), this);
    mnuActualizacion->setObjectName(QStringLiteral("mnuActualizacion"));
    entrada(mnuActualizacion, "mnuComprobarActualizacion",
            QStringLiteral("Comprobar Actualizacion"));
}

void frmMain::Form_Load() {
    mainModule::VersionAplicacion = static_cast<qint16>(kVersionDigits);
}

void frmMain::Form_Activate() {
    if (s_activado || activando_)
        return;
    // Boxes and dialogs shown from here must not start the work a second time.
    activando_ = true;
    const auto fin = qScopeGuard([this] { activando_ = false; });
    guardEvent(QStringLiteral("Corvelix.frmMain.Form_Activate (0)::"), [this] {
        if (!corvelix::acquireInstanceLock())
            ui().quit(0);
        modDA::updateStore();
        cargarGrilla(QString());
        lstDespachos->setFocus();
        setWindowTitle(QStringLiteral("CORVELIX - Version %1.%2.%3 - Generado %4")
                           .arg(corvelix::build::versionMajor)
                           .arg(corvelix::build::versionMinor)
                           .arg(corvelix::build::versionRevision)
                           .arg(QLatin1String(corvelix::build::buildDate)));
        s_activado = true;
    });
}

void frmMain::cargarGrilla(const QString& filtro) {
    int line = 0;
    GuardOptions options;
    options.compose = [&line](const VbError& error) {
        return error.description + QStringLiteral("\n\nCorvelix.frmMain.cargarGrilla.::") +
               error.source + QStringLiteral(" linea ") + QString::number(line);
    };
    guardEvent(
        {},
        [&] {
            line = 10;
            lstDespachos->clear();
            line = 20;
            const bool mostrarSIMI = chkMostrarSIMI->checkState() != Qt::Unchecked;
            line = 30;
            modDA::Recordset rs = modDA::getDDT(filtro, mostrarSIMI);
            line = 40;
            while (!rs.eof()) {
                auto* fila = new QTreeWidgetItem;
                fila->setText(0, rs.text(QStringLiteral("IDDT")));
                fila->setText(1, rs.text(QStringLiteral("IEXT")));
                fila->setText(2, rs.text(QStringLiteral("LDDTNOMIOE")));
                fila->setText(3, rs.text(QStringLiteral("LDDTNOMFOD")));
                const QVariant fob = rs.field(QStringLiteral("MDDTFOB"));
                fila->setText(4, fob.isNull() ? QString()
                                              : corvelix::formatNumber(fob.toDouble(),
                                                                       QStringLiteral("00.00")));
                fila->setTextAlignment(4, Qt::AlignRight | Qt::AlignVCenter);
                fila->setText(5, textoFecha(rs.field(QStringLiteral("DDDTOFICIA"))));
                lstDespachos->addTopLevelItem(fila);
                rs.moveNext();
            }
            line = 50;
            modRET::ajustarColumnasListView(*lstDespachos);
            line = 60;
            lstDespachos->setFocus();
        },
        options);
}

void frmMain::cmdBuscar_Click() {
    QString filtro = txtDespacho->text();
    filtro.replace(QLatin1Char('\''), QLatin1Char(' '));
    filtro.replace(QLatin1Char(';'), QLatin1Char(' '));
    cargarGrilla(filtro);
}

void frmMain::Form_Resize() {
    // Each fit on its own: a window made very small only gets an empty list.
    lstDespachos->resize(qMax(0, width() - lstDespachos->x() - kMargen),
                         qMax(0, height() - lstDespachos->y() - kMargen));
    Shape->resize(width(), Shape->height());
}

void frmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            Form_Activate();
    });
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (!isActiveWindow()) {
        // Message boxes and file dialogs are not forms: coming back from them is no
        // activation; coming back from another application neither.
        QWidget* ahora = QApplication::activeWindow();
        cedidoAFormulario_ = ahora != nullptr && ahora != this &&
                             qobject_cast<QMessageBox*>(ahora) == nullptr &&
                             qobject_cast<QFileDialog*>(ahora) == nullptr;
        return;
    }
    if (cedidoAFormulario_) {
        cedidoAFormulario_ = false;
        Form_Activate();
    }
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (esClicDerechoSoltado(event)) {
        const QPoint donde = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        if (watched == lstDespachos->viewport()) {
            mnuArchivo->popup(donde);
            return false;
        }
        if (watched == imgLogo) {
            mnuActualizacion->popup(donde);
            return false;
        }
    }
    return QWidget::eventFilter(watched, event);
}

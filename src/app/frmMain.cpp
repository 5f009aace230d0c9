#include "app/frmMain.h"

#include "app/FilaDespacho.h"
#include "app/frmActualizacion.h"
#include "app/frmCopiarOperacion.h"
#include "app/frmmasOpciones.h"
#include "app/mainModule.h"
#include "assembly/frmArmadoITEM.h"
#include "assembly/frmCaratula.h"
#include "data/modDA.h"
#include "platform/SingleInstance.h"
#include "platform/TextWidths.h"
#include "runtime/FormKit.h"
#include "runtime/Format.h"
#include "runtime/VbError.h"
#include "shell/ModMaria.h"
#include "shell/modRET_listas.h"
#include "transfer/frmImportarRET.h"
#include "transfer/modKitSQL.h"
#include "workbook_export/Reporte.h"
#include "workbook_export/main_workbook.h"

#include "version.h"

#include <array>
#include <vector>

#include <QAction>
#include <QCheckBox>
#include <QDateTime>
#include <QFrame>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QTreeWidget>

using corvelix::runHandler;
using corvelix::ui;

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
// user's order, and the time only when there is one. The format is built once per fill, and
// each day is formatted once (a list holds many declarations of the same day).
class TextoFecha {
public:
    TextoFecha() {
        formato_ = locale_.dateFormat(QLocale::ShortFormat);
        if (!formato_.contains(QLatin1String("yyyy")))
            formato_.replace(QLatin1String("yy"), QLatin1String("yyyy"));
        if (!formato_.contains(QLatin1String("dd")))
            formato_.replace(QLatin1Char('d'), QLatin1String("dd"));
        if (!formato_.contains(QLatin1String("MM")))
            formato_.replace(QLatin1Char('M'), QLatin1String("MM"));
    }

    QString operator()(const QVariant& value) {
        if (value.isNull())
            return {};
        // Day and time apart: a date-time in local time would ask the time zone (a file
        // look-up) for every row.
        QDate date;
        QTime time(0, 0);
        if (value.metaType().id() == QMetaType::QDateTime) {
            const QDateTime when = value.toDateTime();
            date = when.date();
            time = when.time();
        } else if (value.metaType().id() == QMetaType::QDate) {
            date = value.toDate();
        } else {
            const QString text = value.toString();
            if (!leerIso(text, date, time)) {
                QDateTime when;
                for (const char* format : {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm:ss.zzz",
                                           "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd"}) {
                    when = QDateTime::fromString(text, QLatin1String(format));
                    if (when.isValid())
                        break;
                }
                if (!when.isValid())
                    return text;
                date = when.date();
                time = when.time();
            }
        }
        QString& dia = dias_[date];
        if (dia.isEmpty())
            dia = locale_.toString(date, formato_);
        if (time == QTime(0, 0))
            return dia;
        return dia + QLatin1Char(' ') + time.toString(QStringLiteral("HH:mm:ss"));
    }

private:
    // The catalog's own text, "yyyy-MM-dd HH:mm:ss", read without a format parser.
    static bool leerIso(const QString& text, QDate& date, QTime& time) {
        if (text.size() != 19 || text.at(4) != QLatin1Char('-') || text.at(7) != QLatin1Char('-') ||
            text.at(10) != QLatin1Char(' ') || text.at(13) != QLatin1Char(':') ||
            text.at(16) != QLatin1Char(':'))
            return false;
        const auto number = [&text](int from, int length, bool& ok) {
            int value = 0;
            for (int i = from; i < from + length; ++i) {
                const QChar c = text.at(i);
                if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                    ok = false;
                value = value * 10 + (c.unicode() - '0');
            }
            return value;
        };
        bool ok = true;
        const QDate day(number(0, 4, ok), number(5, 2, ok), number(8, 2, ok));
        const QTime at(number(11, 2, ok), number(14, 2, ok), number(17, 2, ok));
        if (!ok || !day.isValid() || !at.isValid())
            return false;
        date = day;
        time = at;
        return true;
    }

    QLocale locale_;
    QString formato_;
    QHash<QDate, QString> dias_;
};

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

} // namespace

corvelix::ProcessStatic<bool> frmMain::s_activado{false};

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

    // Runs at the first showing and again, after a failure, whenever the window comes back
    // from another form, until it succeeds once for this window.
    activacion_ = new corvelix::FirstActivation(
        *this, [this] { primeraActivacion(); }, [this] { return cargada_; });

    Form_Load();
    Form_Resize();
}

void frmMain::abrirNueva() {
    auto* ventana = new frmMain;
    ventana->setAttribute(Qt::WA_DeleteOnClose);
    ui().show(*ventana);
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
        // Enabled below when the form it opens is part of the program.
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
    // These three open the options panel.
    for (QPushButton* button : {cmdBultos, cmdRatificacion, cmdMasOpciones}) {
        button->setEnabled(true);
        const QString handler = button->objectName() + QStringLiteral("_Click");
        connect(button, &QPushButton::clicked, this, [this, handler] {
            corvelix::runHandler(*this, handler, [this] {
                frmmasOpciones panel(this);
                ui().exec(panel);
            });
        });
    }

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
        runHandler(*this, QStringLiteral("cmdBuscar_Click"), [this] { cmdBuscar_Click(); });
    });
    connect(txtDespacho, &QLineEdit::returnPressed, this, [this] {
        runHandler(*this, QStringLiteral("txtDespacho_KeyPress"), [this] { cmdBuscar_Click(); });
    });
    connect(chkMostrarSIMI, &QCheckBox::clicked, this, [this] {
        runHandler(*this, QStringLiteral("chkMostrarSIMI_Click"), [this] { cmdBuscar_Click(); });
    });
}

void frmMain::crearMenus() {
    // Entries whose operations are not part of the program yet are shown, not usable.
    const auto entrada = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setEnabled(false);
        return action;
    };
    mnuArchivo = new QMenu(QStringLiteral("Archivo"), this);
    mnuArchivo->setObjectName(QStringLiteral("mnuArchivo"));
    entrada(mnuArchivo, "mnuCaratula", QStringLiteral("Caratula"));
    QAction* copiar = entrada(mnuArchivo, "mnuCopiarOperacion", QStringLiteral("Copiar Operacion"));
    copiar->setEnabled(true);
    connect(copiar, &QAction::triggered, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("copiaOperacion"), [this] {
            // Nothing to copy from an empty list.
            QTreeWidgetItem* fila = lstDespachos->currentItem();
            if (fila == nullptr)
                fila = lstDespachos->topLevelItem(0);
            if (fila == nullptr)
                return;
            frmCopiarOperacion copia(this);
            copia.m_Operacion_Origen = fila->text(0);
            ui().exec(copia);
        });
    });
    entrada(mnuArchivo, "mnuCargarLiquidaciones",
            QStringLiteral("Cargar Liquidaciones (AUTOLIQUIDACION)"));
    entrada(mnuArchivo, "mnuExportarATXT", QStringLiteral("Exportar a TXT"));
    entrada(mnuArchivo, "mnuItem", QStringLiteral("ver Item's"));
    entrada(mnuArchivo, "mnuSIMIFIX4", QStringLiteral("SIMI FIX"));
    entrada(mnuArchivo, "mnuprorratearIDA4", QStringLiteral("Generar Descarga / Cancelaciones"));
    entrada(mnuArchivo, "mnuCargarCancelaciones", QStringLiteral("Cargar Cancelaciones"));
    entrada(mnuArchivo, "mnuExportarExcelLgy", QStringLiteral("Exportar a Excel v1"));
    entrada(mnuArchivo, "mnuExportarExcel", QStringLiteral("Exportar a Excel v2"));

    // Transfer files: the selected declaration to TXT, and a RET pair to TXT.
    const auto exportarTXT = [this] {
        if (lstDespachos->topLevelItemCount() == 0)
            return;
        const QTreeWidgetItem* fila = lstDespachos->currentItem() != nullptr
                                          ? lstDespachos->currentItem()
                                          : lstDespachos->topLevelItem(0);
        modKitSQL::ExportarProvisorio2TXT(fila->text(0));
    };
    auto* mnuExportarATXT = mnuArchivo->findChild<QAction*>(QStringLiteral("mnuExportarATXT"));
    mnuExportarATXT->setEnabled(true);
    connect(mnuExportarATXT, &QAction::triggered, this, [this, exportarTXT] {
        runHandler(*this, QStringLiteral("mnuExportarATXT_Click"), exportarTXT);
    });
    cmdExportarProvisorio->setEnabled(true);
    connect(cmdExportarProvisorio, &QPushButton::clicked, this, [this, exportarTXT] {
        runHandler(*this, QStringLiteral("cmdExportarProvisorio_Click"), exportarTXT);
    });
    cmdConvertRET_2_TXT->setEnabled(true);
    connect(cmdConvertRET_2_TXT, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdConvertRET_2_TXT_Click"), [] {
            frmImportarRET importar;
            ui().exec(importar);
        });
    });

    mnuActualizacion = new QMenu(QStringLiteral("Actualizacion"), this);
    mnuActualizacion->setObjectName(QStringLiteral("mnuActualizacion"));
    QAction* actualizar = entrada(mnuActualizacion, "mnuComprobarActualizacion",
                                  QStringLiteral("Comprobar Actualizacion"));
    actualizar->setEnabled(true);
    connect(actualizar, &QAction::triggered, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("mnuComprobarActualizacion_Click"),
                             [] { frmActualizacion::mostrar(); });
    });

    // The header editor of the selected declaration; nothing when the list is empty.
    auto* mnuCaratula = mnuArchivo->findChild<QAction*>(QStringLiteral("mnuCaratula"));
    mnuCaratula->setEnabled(true);
    connect(mnuCaratula, &QAction::triggered, this, [this] {
        corvelix::GuardOptions exclamacion;
        exclamacion.icon = corvelix::MsgIcon::Exclamation;
        runHandler(
            *this, QStringLiteral("mnuCaratula_Click"),
            [this] {
                if (lstDespachos->topLevelItemCount() == 0)
                    return;
                const QTreeWidgetItem* fila = lstDespachos->currentItem() != nullptr
                                                  ? lstDespachos->currentItem()
                                                  : lstDespachos->topLevelItem(0);
                frmCaratula caratula(this);
                caratula.m_Operacion = fila->text(0);
                ui().exec(caratula);
            },
            exclamacion);
    });
    conectarVistaItems();
    conectarOperaciones();

    // The menus open as the platform asks for a context menu (a right click, the menu key),
    // over the list's rows and its empty part alike, and over the logo.
    lstDespachos->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lstDespachos, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        mnuArchivo->popup(lstDespachos->viewport()->mapToGlobal(pos));
    });
    imgLogo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(imgLogo, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { mnuActualizacion->popup(imgLogo->mapToGlobal(pos)); });

    // The two workbook exports of the selected declaration (number and own reference).
    const auto exportarExcel = [this](const char* name, const char* procedure,
                                      void (*writer)(const QString&, const QString&)) {
        auto* action = mnuArchivo->findChild<QAction*>(QLatin1String(name));
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, [this, procedure, writer] {
            runHandler(*this, QLatin1String(procedure), [this, writer] {
                ui().setBusy(true);
                ui().processEvents();
                if (lstDespachos->topLevelItemCount() > 0) {
                    const QTreeWidgetItem* fila = lstDespachos->currentItem() != nullptr
                                                      ? lstDespachos->currentItem()
                                                      : lstDespachos->topLevelItem(0);
                    ui().processEvents();
                    writer(fila->text(0), fila->text(1));
                }
                ui().setBusy(false);
            });
        });
    };
    exportarExcel("mnuExportarExcel", "ExportarProvisorioExcel",
                  &mainModule::GenerarArchivoDespacho);
    exportarExcel("mnuExportarExcelLgy", "ExportarProvisorioExcelLgy",
                  &Reporte::GenerarArchivoDespacho);
}

void frmMain::Form_Load() {
    mainModule::VersionAplicacion = static_cast<qint16>(kVersionDigits);
}

void frmMain::Form_Activate() {
    activacion_->activate();
}

void frmMain::primeraActivacion() {
    // The instance test and the store check belong to the process; the list to each window.
    if (!s_activado) {
        QString sinBloqueo;
        const corvelix::InstanceLock bloqueo = corvelix::takeInstanceLock(&sinBloqueo);
        if (bloqueo == corvelix::InstanceLock::HeldByOther)
            ui().quit(0);
        // Two copies could run side by side unnoticed: the user should know.
        if (bloqueo == corvelix::InstanceLock::Unavailable)
            ui().msgBox(sinBloqueo, corvelix::MsgButtons::Ok, corvelix::MsgIcon::Exclamation);
        modDA::updateStore();
    }
    cargarGrilla(QString());
    lstDespachos->setFocus();
    setWindowTitle(QStringLiteral("CORVELIX - Version %1.%2.%3 - Generado %4")
                       .arg(corvelix::build::versionMajor)
                       .arg(corvelix::build::versionMinor)
                       .arg(corvelix::build::versionRevision)
                       .arg(QLatin1String(corvelix::build::buildDate)));
    s_activado = true;
    cargada_ = true;
}

void frmMain::cargarGrilla(const QString& filtro) {
    corvelix::runNumberedHandler(*this, QStringLiteral("cargarGrilla"), [&](int& line) {
        line = 10;
        lstDespachos->clear();
        line = 20;
        const bool mostrarSIMI = chkMostrarSIMI->checkState() != Qt::Unchecked;
        line = 30;
        const modDA::Recordset rs = modDA::getDDTList(filtro, mostrarSIMI);
        line = 40;
        // Rows are built apart and handed to the list in one go; rows built before a failure
        // still reach it.
        QList<QTreeWidgetItem*> filas;
        filas.reserve(rs.recordCount());
        const auto agregar = qScopeGuard([&] { lstDespachos->addTopLevelItems(filas); });
        constexpr int kColumnas = FilaDespacho::kColumnas;
        // The widest text of each column in the list's font, not the longest one: the
        // characters of a declaration number or an amount differ in width.
        std::vector<corvelix::WidestText> anchos(kColumnas,
                                                 corvelix::WidestText(lstDespachos->font()));
        TextoFecha fecha;
        const corvelix::NumberMask mascaraFob(QStringLiteral("00.00"));
        for (const QVariantList& campos : rs.rows()) {
            const QVariant& fob = campos.at(4);
            std::array<QString, kColumnas> textos{campos.at(0).toString(),
                                                  campos.at(1).toString(),
                                                  campos.at(2).toString(),
                                                  campos.at(3).toString(),
                                                  fob.isNull() ? QString()
                                                               : mascaraFob(fob.toDouble()),
                                                  fecha(campos.at(5))};
            for (int c = 0; c < kColumnas; ++c)
                anchos[std::size_t(c)].add(textos[std::size_t(c)]);
            filas.append(new FilaDespacho(std::move(textos)));
        }
        lstDespachos->addTopLevelItems(filas);
        filas.clear();
        line = 50;
        QList<int> anchosTexto;
        for (corvelix::WidestText& ancho : anchos)
            anchosTexto << ancho.pixels();
        modRET::ajustarColumnasListView(*lstDespachos, anchosTexto);
        line = 60;
        lstDespachos->setFocus();
    });
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

void frmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstDespachos && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_R && static_cast<QKeyEvent*>(event)->modifiers() ==
                                    (Qt::ControlModifier | Qt::AltModifier)) {
            // The list has no use for it; the window's handler sees it once.
            Form_KeyDown(*static_cast<QKeyEvent*>(event));
            return true;
        }
        if (key == Qt::Key_F6) {
            corvelix::runHandler(*this, QStringLiteral("cargarOperacion"),
                                 [this] { cargarOperacion(); });
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            corvelix::runHandler(*this, QStringLiteral("cargarItemsView"),
                                 [this] { cargarItemsView(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Double-click, Enter and "ver Item's" open the item view of the selected declaration.
void frmMain::conectarVistaItems() {
    lstDespachos->installEventFilter(this);
    connect(lstDespachos, &QTreeWidget::itemDoubleClicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cargarItemsView"),
                             [this] { cargarItemsView(); });
    });
    auto* verItems = mnuArchivo->findChild<QAction*>(QStringLiteral("mnuItem"));
    verItems->setEnabled(true);
    connect(verItems, &QAction::triggered, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cargarItemsView"),
                             [this] { cargarItemsView(); });
    });
}

void frmMain::cargarItemsView() {
    QTreeWidgetItem* fila = lstDespachos->currentItem();
    if (fila == nullptr)
        fila = lstDespachos->topLevelItem(0);
    if (fila == nullptr)
        return;
    const QString numero = fila->text(0);
    if (ModMaria::ProvisorioAbierto(numero) &&
        ui().msgBox(QStringLiteral("ADVERTENCIA: El provisorio ") + numero +
                        QStringLiteral(" esta abierto en el KIT, si va a realizar alguna "
                                       "modificación debe terminar tratamiento, ¿desea continuar?"),
                    corvelix::MsgButtons::YesNo,
                    corvelix::MsgIcon::Exclamation) == corvelix::MsgResult::No)
        return;
    frmArmadoITEM vista(this);
    vista.m_Operacion = numero;
    vista.m_IdentificadorPropio = fila->text(1);
    ui().exec(vista);
}

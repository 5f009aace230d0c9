#include "app/frmActualizacion.h"

#include "app/mainModule.h"
#include "platform/HttpGet.h"
#include "runtime/FormKit.h"
#include "runtime/Paths.h"
#include "runtime/Twips.h"
#include "runtime/Ui.h"
#include "shell/Leer_HTML.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMovie>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

using corvelix::runHandler;
using corvelix::ui;

namespace {

QWidget* ventanaPrincipal() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("frmMain"))
            return w;
    return nullptr;
}

QPointer<frmActualizacion>& abierta() {
    static QPointer<frmActualizacion> ventana;
    return ventana;
}

} // namespace

frmActualizacion::frmActualizacion(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmActualizacion"));
    setWindowTitle(QStringLiteral("Actualizaciones del Sistema Brasmo Corvelix"));
    setFixedSize(480, 330);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(10, 10, 48, 48);
    Image1->setPixmap(windowIcon().pixmap(48, 48));

    lbComprobando = new QLabel(QStringLiteral("Comprobando Actualizaciones en Linea"), this);
    lbComprobando->setObjectName(QStringLiteral("lbComprobando"));
    lbComprobando->setGeometry(70, 10, 300, 22);

    Animation1 = new QLabel(this);
    Animation1->setObjectName(QStringLiteral("Animation1"));
    Animation1->setGeometry(380, 6, 90, 60);

    lbEstado = new QLabel(QStringLiteral("Estado de Actualización:"), this);
    lbEstado->setObjectName(QStringLiteral("lbEstado"));
    lbEstado->setGeometry(10, 70, 300, 20);

    ListaEstado = new QListWidget(this);
    ListaEstado->setObjectName(QStringLiteral("ListaEstado"));
    ListaEstado->setGeometry(10, 92, 460, 190);
    ListaEstado->setWordWrap(true);

    const auto boton = [this](const char* name, const QString& caption, int x, int w) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(x, 292, w, 28);
        b->setAutoDefault(false);
        return b;
    };
    cmdActualizar = boton("cmdActualizar", QStringLiteral("Actualizar Ahora"), 10, 150);
    cmdActualizarConUltimaDisponible =
        boton("cmdActualizarConUltimaDisponible", QStringLiteral("Actualización Manual"), 170, 150);
    cmdSalir = boton("cmdSalir", QStringLiteral("Salir"), 380, 90);
    // Nothing is offered until a check has run.
    cmdActualizar->hide();
    cmdActualizarConUltimaDisponible->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));

    connect(cmdActualizar, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdActualizar_Click"), [this] { cmdActualizar_Click(); });
    });
    connect(cmdActualizarConUltimaDisponible, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdActualizarConUltimaDisponible_Click"),
                   [this] { cmdActualizarConUltimaDisponible_Click(); });
    });
    connect(cmdSalir, &QPushButton::clicked, this, [this] {
        runHandler(*this, QStringLiteral("cmdSalir_Click"), [this] { cmdSalir_Click(); });
    });
    connect(Timer1, &QTimer::timeout, this, [this] {
        runHandler(*this, QStringLiteral("Timer1_Timer"), [this] { Timer1_Timer(); });
    });

    Form_Load();
}

frmActualizacion::~frmActualizacion() = default;

frmActualizacion& frmActualizacion::mostrar() {
    QPointer<frmActualizacion>& ventana = abierta();
    if (ventana) {
        ventana->raise();
        ventana->activateWindow();
        return *ventana;
    }
    auto* nueva = new frmActualizacion;
    nueva->setAttribute(Qt::WA_DeleteOnClose);
    ventana = nueva;
    ui().show(*nueva);
    return *nueva;
}

void frmActualizacion::Form_Load() {
    if (QWidget* principal = ventanaPrincipal())
        move(principal->x() + corvelix::twipsToPixels(6000),
             principal->y() + corvelix::twipsToPixels(3000));
    Timer1->setInterval(10);
    ListaEstado->clear();
    agregarEstado(QStringLiteral("Consultando Version Actual."));

    Animation1->setVisible(true);
    // QMovie reads the format from the file's content; a missing or unreadable file leaves
    // the space empty.
    const QString archivo = corvelix::programFolder() + QStringLiteral("/Avis/loading3.avi");
    if (QFileInfo::exists(archivo)) {
        animacion_ = new QMovie(archivo, QByteArray(), this);
        if (animacion_->isValid()) {
            Animation1->setMovie(animacion_);
            animacion_->start();
        } else {
            delete animacion_;
            animacion_ = nullptr;
        }
    }
    Timer1->start();
}

void frmActualizacion::agregarEstado(const QString& texto) {
    ListaEstado->addItem(texto);
    ListaEstado->scrollToBottom();
}

void frmActualizacion::Timer1_Timer() {
    ++ticks_;
    if (ticks_ == 150)
        agregarEstado(QStringLiteral("Aplicación : v.") +
                      QString::number(mainModule::VersionAplicacion));
    if (ticks_ == 200)
        comprobarActualizacion(false);
    if (ticks_ > 300)
        detenerAnimacion();
}

void frmActualizacion::detenerAnimacion() {
    Timer1->stop();
    Animation1->hide();
    if (animacion_ != nullptr)
        animacion_->stop();
}

void frmActualizacion::comprobarActualizacion(bool manual) {
    // The window stays usable while the server is asked: a second check meanwhile is ignored.
    if (lectura_ != nullptr)
        return;
    // The ticks wait while the server is asked, as they did when the read blocked the window.
    const bool enMarcha = Timer1->isActive();
    Timer1->stop();
    corvelix::HttpAbandon abandono;
    lectura_ = &abandono;
    const QPointer<frmActualizacion> ventana(this);
    const QString respuesta =
        Leer_HTML::leerPagina(Leer_HTML::urlActualizacion(manual), &abandono);
    if (ventana.isNull())
        return;
    lectura_ = nullptr;
    if (abandono.abandoned()) {
        // Closed while waiting: the close held back until the read had returned ends now.
        close();
        return;
    }

    // database version </> package address </> program version; anything after is ignored.
    const QStringList campos = respuesta.split(QStringLiteral("</>"));
    bool esNumero = false;
    const double versionDisponible =
        campos.size() >= 3 ? QLocale::c().toDouble(campos.at(2).trimmed(), &esNumero) : 0;
    if (!esNumero) {
        // The second server is the way out when the first fails: the manual check stays
        // offered, and nothing is left to install.
        paquete_.clear();
        agregarEstado(QStringLiteral("No se pudo leer la información de actualización."));
        cmdActualizar->hide();
        cmdActualizarConUltimaDisponible->show();
        detenerAnimacion();
        return;
    }
    const QString versionBase = campos.at(0).trimmed();
    const QString versionPrograma = campos.at(2).trimmed();
    paquete_ = campos.at(1).trimmed();
    agregarEstado(QStringLiteral("URL :") + paquete_.right(19));

    const bool ofrecer =
        versionDisponible != static_cast<double>(mainModule::VersionAplicacion) &&
        QString::compare(versionBase, mainModule::getVersionBaseDatos(), Qt::CaseSensitive) >= 0;
    if (ofrecer) {
        agregarEstado(QString());
        agregarEstado(QStringLiteral("Base de Datos Disponible : ") + versionBase);
        agregarEstado(QStringLiteral("Aplicacion Disponible : v.") + versionPrograma +
                      QStringLiteral(" (Desactualizado)"));
        agregarEstado(QStringLiteral("Existe una Actualización Disponible. ¿Procede a Descargar e "
                                     "Instalar la Actualización?"));
        cmdActualizar->show();
    } else if (manual) {
        agregarEstado(QStringLiteral("Paquete:[") + paquete_.right(21) + QStringLiteral("]"));
        cmdActualizarConUltimaDisponible->hide();
        cmdActualizar->show();
    } else {
        agregarEstado(QStringLiteral(
            "La Aplicacion esta Actualizada, No hay Versiones Disponibles para Descargar."));
        cmdActualizarConUltimaDisponible->show();
    }
    if (enMarcha)
        Timer1->start();
}

void frmActualizacion::cmdActualizarConUltimaDisponible_Click() {
    if (ui().msgBox(QStringLiteral("¿Confirma la actualización manual de la aplicación?"),
                    corvelix::MsgButtons::YesNoCancel, corvelix::MsgIcon::Exclamation,
                    QStringLiteral("¡Atención!")) == corvelix::MsgResult::Yes)
        comprobarActualizacion(true);
}

void frmActualizacion::cmdActualizar_Click() {
    const QString paquete = paquete_;
    const QUrl direccion = QUrl::fromUserInput(paquete);
    // The program ends only when the browser has the package; otherwise the user is told
    // where it is, so that it can be fetched by hand.
    if (paquete.isEmpty() || !direccion.isValid() || !ui().openUrl(direccion)) {
        agregarEstado(QStringLiteral("Paquete: ") + paquete);
        ui().msgBox(QStringLiteral("No se pudo abrir la dirección del paquete de actualización "
                                   "en el navegador. Descárguelo desde:\n\n") +
                        paquete,
                    corvelix::MsgButtons::Ok, corvelix::MsgIcon::Exclamation);
        return;
    }
    close();
    ui().quit(0);
}

void frmActualizacion::cmdSalir_Click() {
    ticks_ = 0;
    paquete_.clear();
    close();
}

void frmActualizacion::closeEvent(QCloseEvent* event) {
    if (lectura_ != nullptr) {
        // A read is still waiting further down the stack: give it up and close once it has
        // returned, so that the window is not destroyed under it.
        event->ignore();
        hide();
        lectura_->abandon();
        return;
    }
    Form_Unload();
    QWidget::closeEvent(event);
}

void frmActualizacion::Form_Unload() {
    detenerAnimacion();
    if (QWidget* principal = ventanaPrincipal())
        principal->move(0, 0);
}

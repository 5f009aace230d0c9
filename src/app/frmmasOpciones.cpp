#include "app/frmmasOpciones.h"

#include "runtime/FormKit.h"
#include "runtime/Ui.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

frmmasOpciones::frmmasOpciones(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmmasOpciones"));
    setWindowTitle(QStringLiteral("Mas Opciones - Velquen"));
    setFixedSize(420, 330);

    auto* Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setGeometry(8, 8, 404, 314);

    const auto etiqueta = [this](const QString& texto, const QRect& geometry) {
        auto* label = new QLabel(texto, this);
        label->setObjectName(QStringLiteral("Label"));
        label->setGeometry(geometry);
        return label;
    };
    QLabel* titulo = etiqueta(QStringLiteral("Tenemos mas soluciones"), {20, 16, 380, 24});
    QFont grande = titulo->font();
    grande.setBold(true);
    titulo->setFont(grande);

    const struct {
        const char* name;
        const char* caption;
    } botones[] = {
        {"cmdCierre", "Cierre de Operaciones"},
        {"cmdSaldoTemporales", "Saldo de Temporales"},
        {"cmdEnvioPDF", "Envío de PDF"},
        {"cmdSaldo", "Saldos de Cuenta"},
        {"cmdBultos", "Control de Bultos"},
        {"cmdRatificacion", "Ratificación de Despachos"},
        {"cmdTirrarAvisoDeCarga", "Aviso de Carga"},
    };
    int y = 48;
    for (const auto& b : botones) {
        auto* button = new QPushButton(QString::fromUtf8(b.caption), this);
        const QString name = QLatin1String(b.name);
        button->setObjectName(name);
        button->setAutoDefault(false);
        button->setGeometry(20, y, 230, 28);
        y += 34;
        connect(button, &QPushButton::clicked, this, [this, name] {
            corvelix::runHandler(*this, name + QStringLiteral("_Click"), [this] { abrirSitio(); });
        });
    }

    etiqueta(QStringLiteral("Contáctese con nosotros para más información "), {262, 120, 140, 60})
        ->setWordWrap(true);
    etiqueta(QStringLiteral("info@velquen.com.ar"), {262, 184, 140, 22});
    etiqueta(QStringLiteral("[ESC] - Para salir"), {262, 290, 140, 22});
}

QString frmmasOpciones::sitioWeb() {
    return QStringLiteral("https://www.velquen.com.ar/");
}

void frmmasOpciones::abrirSitio() {
    // Whether a browser opened is not reported, as before.
    corvelix::ui().openUrl(QUrl(sitioWeb()));
}

void frmmasOpciones::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

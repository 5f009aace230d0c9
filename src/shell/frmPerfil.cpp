#include "shell/frmPerfil.h"

#include "platform/Settings.h"
#include "runtime/FormKit.h"
#include "runtime/Ui.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmPerfil::frmPerfil(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPerfil"));
    setWindowTitle(QStringLiteral("Perfil Corvelix"));

    Label1 =
        new QLabel(QStringLiteral("Hubo un problema al iniciar, pruebe cambiando de perfil"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);

    cboPerfil = new QComboBox(this);
    cboPerfil->setObjectName(QStringLiteral("cboPerfil"));
    cboPerfil->addItems({QStringLiteral("Perfil version Legacy"),
                         QStringLiteral("Perfil nueva version"),
                         QStringLiteral("Perfil nueva version 2"), QStringLiteral("Perfil AFIPv2"),
                         QStringLiteral("Uso Interno!")});
    cboPerfil->setCurrentIndex(-1);

    cmdAceptar = new QPushButton(QStringLiteral("Aceptar"), this);
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar->setAutoDefault(false);
    cmdCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    cmdCancelar->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAceptar);
    buttons->addWidget(cmdCancelar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(cboPerfil);
    layout->addLayout(buttons);

    connect(cmdAceptar, &QPushButton::clicked, this, [this] { cmdAceptar_Click(); });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdCancelar_Click"),
                             [this] { cmdCancelar_Click(); });
    });
    // Once per showing: the profile stored when the dialog comes up.
    new corvelix::FirstActivation(*this, [this] { preseleccionar(); });
}

const QStringList& frmPerfil::profileWords() {
    static const QStringList words{QStringLiteral("legacy"), QStringLiteral("nuevo"),
                                   QStringLiteral("nuevodb"), QStringLiteral("afipv2"),
                                   QStringLiteral("interno")};
    return words;
}

QString frmPerfil::preguntar() {
    frmPerfil dialog;
    dialog.sRespuesta.clear();
    corvelix::ui().exec(dialog);
    return dialog.sRespuesta;
}

void frmPerfil::preseleccionar() {
    const QString word =
        corvelix::settings::getSetting(QStringLiteral("config"), QStringLiteral("perfil"));
    if (word == QLatin1String("legacy") || word.isEmpty())
        cboPerfil->setCurrentIndex(0);
    else if (word == QLatin1String("nuevo"))
        cboPerfil->setCurrentIndex(1);
}

void frmPerfil::cmdAceptar_Click() {
    corvelix::GuardOptions options;
    options.compose = [](const corvelix::VbError& error) {
        return QString::number(error.number) + QStringLiteral(" - ") + error.description;
    };
    corvelix::runHandler(
        *this, QStringLiteral("cmdAceptar_Click"),
        [this] {
            const int index = cboPerfil->currentIndex();
            if (index < 0) {
                corvelix::ui().msgBox(QStringLiteral("Debe seleccionar una opcion"),
                                      corvelix::MsgButtons::Ok, corvelix::MsgIcon::Exclamation);
                return;
            }
            const QString word = profileWords().value(index);
            corvelix::settings::saveSetting(QStringLiteral("config"), QStringLiteral("perfil"),
                                            word);
            sRespuesta = word;
            accept();
        },
        options);
}

void frmPerfil::cmdCancelar_Click() {
    sRespuesta.clear();
    reject();
}

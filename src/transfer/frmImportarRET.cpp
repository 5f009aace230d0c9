#include "transfer/frmImportarRET.h"

#include "runtime/FormKit.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"
#include "shell/modAPITools.h"
#include "shell/utiles.h"
#include "transfer/frmRET2TXT.h"
#include "transfer/modRET_lectura.h"
#include "transfer/modRET_transferencia.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::ui;
using corvelix::VbError;

namespace {

// A failure while reading one of the two files also names that file.
template <class F> decltype(auto) conArchivo(const QString& ruta, F&& fn) {
    try {
        return std::forward<F>(fn)();
    } catch (...) {
        const VbError error = corvelix::currentError();
        const QString nombre = QDir::toNativeSeparators(ruta);
        if (error.description.contains(nombre))
            throw error;
        throw VbError(error.number, error.source,
                      error.description + QStringLiteral("\nArchivo: ") + nombre);
    }
}

} // namespace

frmImportarRET::frmImportarRET(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmImportarRET"));
    setWindowTitle(QStringLiteral("Corvelix"));
    setFixedSize(560, 230);

    lbTitulo = new QLabel(QStringLiteral("Convertir RET a TXT"), this);
    lbTitulo->setObjectName(QStringLiteral("lbTitulo"));
    lbTitulo->setGeometry(12, 8, 536, 28);
    QFont titulo = lbTitulo->font();
    titulo.setBold(true);
    titulo.setPointSize(titulo.pointSize() > 0 ? titulo.pointSize() + 4 : 14);
    lbTitulo->setFont(titulo);

    const auto fila = [this](const QString& etiqueta, const char* caja, const char* boton, int y,
                             QLineEdit*& texto, QPushButton*& seleccionar) {
        auto* label = new QLabel(etiqueta, this);
        label->setGeometry(12, y, 70, 24);
        texto = new QLineEdit(this);
        texto->setObjectName(QLatin1String(caja));
        texto->setGeometry(86, y, 420, 24);
        seleccionar = new QPushButton(QStringLiteral("..."), this);
        seleccionar->setObjectName(QLatin1String(boton));
        seleccionar->setGeometry(512, y, 36, 24);
        seleccionar->setAutoDefault(false);
    };
    fila(QStringLiteral("Archivo C"), "txtArchivoRet", "cmdSeleccionar", 48, txtArchivoRet,
         cmdSeleccionar);
    fila(QStringLiteral("Archivo I"), "txtArchivoRET_I", "cmdSeleccionarI", 80, txtArchivoRET_I,
         cmdSeleccionarI);

    chkOmitirCPLCaratula =
        new QCheckBox(QStringLiteral("Omitir Información Complementaria Caratula"), this);
    chkOmitirCPLCaratula->setObjectName(QStringLiteral("chkOmitirCPLCaratula"));
    chkOmitirCPLCaratula->setGeometry(86, 114, 420, 22);
    chkOmitirInformacionComplementariaItem =
        new QCheckBox(QStringLiteral("Omitir Informacion Complementaria Item"), this);
    chkOmitirInformacionComplementariaItem->setObjectName(
        QStringLiteral("chkOmitirInformacionComplementariaItem"));
    chkOmitirInformacionComplementariaItem->setGeometry(86, 140, 420, 22);

    cmdImportar = new QPushButton(QStringLiteral("Generar"), this);
    cmdImportar->setObjectName(QStringLiteral("cmdImportar"));
    cmdImportar->setGeometry(344, 186, 100, 30);
    cmdImportar->setAutoDefault(false);
    cmdCerrar = new QPushButton(QStringLiteral("Cerrar"), this);
    cmdCerrar->setObjectName(QStringLiteral("cmdCerrar"));
    cmdCerrar->setGeometry(448, 186, 100, 30);
    cmdCerrar->setAutoDefault(false);

    connect(cmdSeleccionar, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdSeleccionar_Click"),
                             [this] { cmdSeleccionar_Click(); });
    });
    connect(cmdSeleccionarI, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdSeleccionarI_Click"),
                             [this] { cmdSeleccionarI_Click(); });
    });
    // A failure ends the action after its message: nothing is written and the dialog stays.
    connect(cmdImportar, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdImportar_Click"),
                             [this] { cmdImportar_Click(); });
    });
    connect(cmdCerrar, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdCerrar_Click"),
                             [this] { cmdCerrar_Click(); });
    });
}

void frmImportarRET::cmdSeleccionar_Click() {
    const QString ruta =
        modAPITools::OpenFileCommonDialog(QStringLiteral("Archivos RET (c*.*)") + QChar(u'\0') +
                                          QStringLiteral("c*.*") + QChar(u'\0'));
    if (!ruta.isEmpty())
        txtArchivoRet->setText(ruta);
}

void frmImportarRET::cmdSeleccionarI_Click() {
    const QString ruta =
        modAPITools::OpenFileCommonDialog(QStringLiteral("Archivos RET (i*.*)") + QChar(u'\0') +
                                          QStringLiteral("i*.*") + QChar(u'\0'));
    if (!ruta.isEmpty())
        txtArchivoRET_I->setText(ruta);
}

void frmImportarRET::cmdImportar_Click() {
    if (txtArchivoRet->text().isEmpty()) {
        ui().msgBox(QStringLiteral("debe seleccionar el archivo C*.ret"), MsgButtons::Ok,
                    MsgIcon::Exclamation);
        return;
    }
    if (txtArchivoRET_I->text().isEmpty()) {
        ui().msgBox(QStringLiteral("debe seleccionar el archivo I*.ret"), MsgButtons::Ok,
                    MsgIcon::Exclamation);
        return;
    }

    const QString rutaC = txtArchivoRet->text();
    const QString rutaI = txtArchivoRET_I->text();
    ui().setBusy(true);
    RegistroDespacho registro = conArchivo(rutaC, [&] {
        return modRET::getCaratula(modRET::AbrirArchivoXML(rutaC),
                                   chkOmitirCPLCaratula->isChecked());
    });
    conArchivo(rutaI, [&] {
        modRET::getitems(modRET::AbrirArchivoXML(rutaI), registro,
                         chkOmitirInformacionComplementariaItem->isChecked());
    });
    ui().setBusy(false);

    frmRET2TXT confirmar(this);
    confirmar.m_CUITimportador = registro.NDDTIMMIOE;
    confirmar.m_CUITDespachante = registro.CDDTAGR;
    confirmar.m_Aduana = registro.CDDTBUR;
    confirmar.m_SubReg = registro.ISTA;
    confirmar.m_CondVenta = registro.CDDTINCOTE;
    confirmar.m_Acepto = false;
    ui().exec(confirmar);
    if (!confirmar.m_Acepto)
        return;

    registro.NDDTIMMIOE = confirmar.m_CUITimportador;
    registro.CDDTAGR = confirmar.m_CUITDespachante;
    registro.CDDTBUR = confirmar.m_Aduana;
    registro.ISTA = confirmar.m_SubReg;
    if (!confirmar.m_CondVenta.isEmpty())
        registro.CDDTINCOTE = confirmar.m_CondVenta;

    const QString propuesto =
        registro.IEXT.isEmpty()
            ? QString()
            : utiles::limpiarNombreArchivo(registro.IEXT) + QStringLiteral(".txt");
    QString ruta =
        modAPITools::SaveFileCommonDialog(QStringLiteral("Guardar archivo"),
                                          QStringLiteral("Archivo Transferencia (*.txt)") +
                                              QChar(u'\0') + QStringLiteral("*.txt") + QChar(u'\0'),
                                          QString(), propuesto);
    if (ruta.isEmpty())
        return;
    if (ruta.right(4).toLower() != QLatin1String(".txt"))
        ruta += QStringLiteral(".txt");

    ui().setBusy(true);
    modRET::generarTXT(ruta, registro);
    ui().setBusy(false);
    ui().msgBox(QStringLiteral("Se generó el archivo de transferencia en \n") + ruta,
                MsgButtons::Ok, MsgIcon::Information);
    accept();
}

void frmImportarRET::cmdCerrar_Click() {
    reject();
}

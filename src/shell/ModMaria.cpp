#include "shell/ModMaria.h"

#include "platform/WindowTitles.h"
#include "runtime/VbError.h"

#include <QPushButton>
#include <QWidget>

using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::ui;
using corvelix::VbError;

namespace ModMaria {

namespace {

// Module state kept between calls, as the search left it.
QString sTituloBuscado;
quintptr hVentanaEncontrada = 0;
QString sTituloEncontrado;

const QString kFragmentoCliente = QStringLiteral("SIM Versi");
// The old title buffer held 259 characters and its terminator.
constexpr qsizetype kLargoBufferTitulo = 259;

void buscarVentanaPorTitulo(const QString& titulo) {
    sTituloBuscado = titulo;
    hVentanaEncontrada = 0;
    sTituloEncontrado.clear();
    const QString buscado = sTituloBuscado.toUpper();
    for (const auto& window : corvelix::topLevelWindows()) {
        if (window.title.left(kLargoBufferTitulo).toUpper().contains(buscado)) {
            hVentanaEncontrada = window.id;
            sTituloEncontrado = window.title;
            return;
        }
    }
}

QString obtenerTituloVentana(quintptr hwnd) {
    return hwnd == 0 ? QString() : sTituloEncontrado;
}

} // namespace

bool ProvisorioAbierto(const QString& despacho) {
    int line = 0;
    try {
        line = 10;
        buscarVentanaPorTitulo(kFragmentoCliente);
        line = 20;
        const QString titulo = obtenerTituloVentana(hVentanaEncontrada);
        line = 30;
        // An empty title holds nothing, not even the empty number.
        const bool abierto = !titulo.isEmpty() && titulo.contains(despacho, Qt::CaseSensitive);
        line = 40;
        return abierto;
    } catch (...) {
        const VbError error = corvelix::currentError();
        ui().msgBox(error.description + QStringLiteral("\n\nCorvelix.ProvisorioAbierto (") +
                        QString::number(line) + QStringLiteral(")::") + error.source,
                    MsgButtons::Ok, MsgIcon::None);
        return false;
    }
}

void bloqueoProvisorio(QWidget& frm, const QString& despacho) {
    try {
        const bool abierto = ProvisorioAbierto(despacho);
        for (auto* button : frm.findChildren<QPushButton*>()) {
            // Forms kept as children of this one are windows of their own, not its controls.
            if (button->window() == frm.window())
                button->setEnabled(!abierto);
        }
    } catch (...) {
        const VbError error = corvelix::currentError();
        ui().msgBox(QStringLiteral("Error: ") + error.description +
                        QStringLiteral("\nsource: bloqueoProvisorio") + error.source,
                    MsgButtons::Ok, MsgIcon::Critical);
    }
}

} // namespace ModMaria

#pragma once

#include <QString>

class QWidget;

// Watch on the outside system's client: is a declaration open in its main window?
namespace ModMaria {

// True when the first top-level window whose title holds "SIM Versi" (any letter case, first
// 259 characters) shows `despacho` anywhere in its title, in the same letter case. A failure
// is shown in a box and reads as false.
bool ProvisorioAbierto(const QString& despacho);

// Enables every push button of `frm` when `despacho` is not open there, disables them all
// when it is.
void bloqueoProvisorio(QWidget& frm, const QString& despacho);

} // namespace ModMaria

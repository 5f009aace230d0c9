#pragma once

#include <QString>

// Number text of the transfer files, which the workbooks write too. (The module's list-view
// helper stays with the shared dialogs, shell/modRET_listas.h.)
namespace modRET {

// Machine text to number, whatever the user's locale: "12.5" and "12,5" both give 12.5.
// Machine text has no grouping, so a text with more than one separator is not a number.
// Text that is not a number gives 0.
double convertTexto_to_Double(const QString& texto);

// Number to machine text: up to 15 significant digits, "." as decimal separator, exponent
// form for very large or small values ("1E-05").
QString convertDouble_to_Texto(double valor);

} // namespace modRET

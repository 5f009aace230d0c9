#pragma once

#include <QString>

// Small text checks shared by the forms (the value-suffix reader of the same module lives with
// the item assembly: assembly/utiles_sufijos.h).
namespace utiles {

// An invoice number: five characters, "-", eight characters (the characters are not checked;
// anything after a second "-" is ignored).
bool validarFormato(const QString& factura);

// A text turned into a usable file name: \ / : * ? < > | become "_", blanks around are
// removed, and every character outside codes 32..122 of the ANSI code page becomes "_".
QString limpiarNombreArchivo(const QString& nombre);

// The exchange rate of currency `moneda` from the exchange-rate service: the fourth "|" field
// of its answer, read as machine text ("." decimal point) whatever the user's locale. When it
// cannot be had it shows "Error al obtener Tipo de Pase de AFIP" and returns 1.
double getTipoPase(const QString& moneda);

// Asks for items of declaration `operacion` with the item picker. Returns "" when nothing was
// chosen, "TODO" for every item, else the chosen item numbers, each in single quotes, joined
// by "," (the form modDA::ItemList::parse reads).
QString getSeleccionarITEMS(const QString& operacion);

} // namespace utiles

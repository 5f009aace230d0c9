#pragma once

#include <QString>

// Declaration totals and the spreads of header amounts, net kilos and item FOB over items and
// subitems. Every spread runs in one transaction (a savepoint inside the caller's): a refusal
// or a failure half-way leaves the catalog as it was. Divisors are checked before writing.
// Item recalculation from subitems (recalcularITEM) lives with the subitem writers.
namespace modDA {

// Pro-rating field numbers (getCampo).
inline constexpr int kCampoSeguro = 1;
inline constexpr int kCampoFlete = 2;
inline constexpr int kCampoAjusteIncluir = 3;
inline constexpr int kCampoAjusteDeducir = 4;
inline constexpr int kCampoFob = 5;

// Header FOB, insurance and freight from the sums over the items (two decimals, an empty sum
// counts 0); marks the header for re-validation.
void recalcularCaratula(const QString& iddt);
// Marks the header for re-validation.
void Invalidar_Caratula(const QString& iddt);
// The header FOB and one item's FOB, both at two decimals. A missing row fails.
void getTotalCaratula_Item(const QString& iddt, const QString& nart, double& fobCaratula,
                           double& fobItem);

// The ART column of a pro-rating field number (1 to 5); others fail with "Campo Invalido".
QString getCampo(int campo);

// Spreads `monto` over the items in proportion to each item's FOB over the header FOB, writes
// the column of `campo` at two decimals, spreads the rounding rest a cent at a time over the
// items the rounding moved furthest (each share within a cent of its exact one, the sum
// exact) and gives every item left at 0 one cent taken from the largest share. A header FOB
// of 0, or one so far from the items' FOB that the rest cannot be spread a cent an item, fails
// before anything is written.
void prorratear_DatosCaratula(const QString& iddt, int campo, double monto);
// The zero fill alone: 0.01 for every item whose column is 0, taken from the largest value.
void rellenarProrrateo(const QString& iddt, int campo);

// Spreads `kilos` of net kilos over the items whose declared unit is not "01" (those keep their
// fixed kilos), in proportion to their FOB, the rounding rest a hundredth at a time as above,
// then each item's kilos over its subitems' statistical quantities when its statistical unit
// is "01". A refusal comes back as a corvelix::Refusal, with nothing written.
void ProrratearKilos(const QString& iddt, double kilos);
// Zero fill of net kilos among the items whose declared unit is not "01", then their
// statistical quantity when its unit is "01".
void rellenarProrrateo_Kilos(const QString& iddt);
// Spreads an item's net kilos `kilosItem` over its subitems (not the row "0000") in proportion
// to their FOB over `fobItem`. A positive rest goes to subitem "0001"; a negative one is taken
// from the largest subitem, or from the largest down when none holds enough, so that no
// quantity goes below 0.
void ProrratearEstadisticaSubitem(const QString& iddt, const QString& nart, double fobItem,
                                  double kilosItem);

// Spreads every item's FOB over its subitem rows (for the items that have subitems).
void prorratearSubItems(const QString& iddt);
// Spreads `fobItem` over the item's subitem rows (the row "0000" included) in proportion to
// their FOB, puts the rest on one row and sets every row's unit price. A row with declared
// quantity 0 is refused before anything is written.
void prorratearItemSubItems(const QString& iddt, const QString& nart, double fobItem);

} // namespace modDA

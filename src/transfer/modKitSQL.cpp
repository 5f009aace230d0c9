#include "transfer/modKitSQL.h"

#include "data/declaration_reads.h"
#include "data/export_reads.h"
#include "data/modDA.h"
#include "data/transfer_reads.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"
#include "shell/modAPITools.h"
#include "shell/utiles.h"
#include "transfer/modRET.h"
#include "transfer/modRET_transferencia.h"

#include <QHash>
#include <QLocale>

#include <cmath>
#include <utility>

using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::ui;
using corvelix::VbError;
using modDA::Recordset;

namespace modKitSQL {

namespace {

constexpr qint32 kErrSinItems = static_cast<qint32>(0x80043038u);
// The old runtime's numbers: type mismatch, invalid use of Null, overflow, no current row.
constexpr qint32 kErrTipos = 13;
constexpr qint32 kErrNull = 94;
constexpr qint32 kErrDesborde = 6;
constexpr qint32 kErrSinFila = 3021;

QString loc(const char* texto) {
    return QLatin1String(texto);
}

// An amount or quantity column: a number as stored, text through the machine conversion,
// Null as 0.
double numero(const Recordset& rs, int columna) {
    const QVariant v = rs.field(columna);
    if (v.isNull())
        return 0;
    switch (v.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return v.toDouble();
    default:
        return modRET::convertTexto_to_Double(v.toString());
    }
}

// A code column read as a number under the user's locale: empty or not a number is an error
// that says which item and column.
double numeroCodigo(const Recordset& rs, int indice, const QString& columna) {
    const QString texto = rs.text(indice);
    if (!corvelix::isNumeric(texto, QLocale()))
        throw VbError(kErrTipos, QStringLiteral("Corvelix"),
                      QStringLiteral("No coinciden los tipos: %1 del item %2 no es un número "
                                     "(\"%3\")")
                          .arg(columna, rs.text(QStringLiteral("NARTEXT")), texto));
    return corvelix::toNumber(texto, QLocale());
}

// The rows' loops look each column up once, not once per row.
int columna(const Recordset& rs, const char* nombre) {
    return rs.fieldIndex(QLatin1String(nombre));
}

QString formatoItem(const QString& nart) {
    const QLocale locale;
    if (!corvelix::isNumeric(nart, locale))
        return nart;
    return corvelix::formatNumber(corvelix::toNumber(nart, locale), QStringLiteral("0000"), locale);
}

// The rows of a declaration-wide read grouped by item key, each item's read as it is filled.
class PorItem {
public:
    explicit PorItem(Recordset todo) : todo_(std::move(todo)) {
        qsizetype nart = 0;
        while (nart < todo_.fields().size() &&
               todo_.fields().at(nart).compare(QLatin1String("NART"), Qt::CaseInsensitive) != 0)
            ++nart;
        if (nart == todo_.fields().size())
            return;
        for (const QVariantList& fila : todo_.rows())
            filas_[fila.at(nart).toString()].append(fila);
    }
    // The key's rows under the read's fields; none when it has none.
    Recordset tomar(const QString& clave) const { return todo_.withRows(filas_.value(clave)); }

private:
    Recordset todo_;
    QHash<QString, QList<QVariantList>> filas_;
};

} // namespace

void getInformacionComplementariaKitSQL(RegistroDespacho& registro, Recordset& rs,
                                        const QString& item) {
    corvelix::chained(loc("Corvelix.modKitSQL.getInformacionComplementariaKitSQL"), [&] {
        registro.cantidadCPL = 0;
        if (rs.recordCount() == 0)
            return;
        const qint32 n = rs.recordCount();
        registro.CPL.resize(n);
        registro.cantidadCPL = n;
        const QString nart = formatoItem(item);
        const int ccpl = columna(rs, "CCPL");
        const int mcpl = columna(rs, "MCPL");
        const int icpldif = columna(rs, "ICPLDIF");
        for (qint32 i = 0; !rs.eof(); ++i, rs.moveNext()) {
            RegistroCPL& cpl = registro.CPL[i];
            cpl.CCPL = rs.text(ccpl);
            cpl.MCPL = rs.text(mcpl);
            cpl.ICPLDIF = rs.text(icpldif);
            cpl.NART = nart;
        }
    });
}

namespace {

// Documents of the header and of an item fill the same way.
void documentos(qint32& cantidad, QList<RegistroDocumento>& lista, Recordset& rs,
                const QString& item) {
    cantidad = 0;
    if (rs.recordCount() == 0)
        return;
    const qint32 n = rs.recordCount();
    lista.resize(n);
    cantidad = n;
    const int cdvddoc = columna(rs, "CDVDDOC");
    const int cdvdprsdoc = columna(rs, "CDVDPRSDOC");
    for (qint32 i = 0; !rs.eof(); ++i, rs.moveNext()) {
        RegistroDocumento& d = lista[i];
        d.CDVDDOC = rs.text(cdvddoc);
        d.CDVDPRSDOC = rs.text(cdvdprsdoc);
        d.NART = item;
        // The reference only of a presented document.
        d.LDVDREFDOC =
            d.CDVDPRSDOC == QLatin1String("S") ? rs.text(QStringLiteral("LDVDREFDOC")) : QString();
    }
}

} // namespace

void getDocumentosKitSQL(RegistroDespacho& registro, Recordset& rs, const QString& item) {
    corvelix::chained(loc("Corvelix.modRET.getDocumentos"),
                      [&] { documentos(registro.cantidadDVD, registro.DVD, rs, item); });
}

void getDocumentos_ItemKitSQL(RegistroItem& item, Recordset& rs, const QString& nart) {
    corvelix::chained(loc("Corvelix.modKitS.getDocumentos_ItemKitSQL"),
                      [&] { documentos(item.cantidadDVD, item.DVD, rs, nart); });
}

void getSubitems(RegistroItem& item, Recordset& rs, const QString& nart) {
    corvelix::chained(loc("Corvelix.modRET.getSubitems"), [&] {
        item.cantidadSubitems = rs.recordCount();
        if (item.cantidadSubitems < 1)
            return;
        item.Subitems.resize(item.cantidadSubitems);
        const QString nartItem = formatoItem(nart);
        const int csbtsvl = columna(rs, "CSBTSVL");
        const int isbt = columna(rs, "ISBT");
        // An item with its own row only: that row's amounts are never written.
        const bool conMontos = item.cantidadSubitems > 1;
        const int msbtfob = conMontos ? columna(rs, "MSBTFOB") : -1;
        const int qsbtuntdcl = conMontos ? columna(rs, "QSBTUNTDCL") : -1;
        const int qsbtuntest = conMontos ? columna(rs, "QSBTUNTEST") : -1;
        const int msbtunitar = conMontos ? columna(rs, "MSBTUNITAR") : -1;
        const int iext = conMontos ? columna(rs, "IEXT") : -1;
        for (qint32 i = 0; !rs.eof(); ++i, rs.moveNext()) {
            RegistroSubitem& s = item.Subitems[i];
            s.CSBTSVL = rs.text(csbtsvl);
            s.ISBT = rs.text(isbt);
            s.NART = nartItem;
            if (conMontos) {
                s.MSBTFOB = numero(rs, msbtfob);
                s.QSBTUNTDCL = numero(rs, qsbtuntdcl);
                s.QSBTUNTEST = numero(rs, qsbtuntest);
                s.MSBTUNITAR = numero(rs, msbtunitar);
                s.IEXT = rs.text(iext);
            }
        }
    });
}

void getInformacionComplementaria_ItemKitSQL(RegistroItem& item, Recordset& rs,
                                             const QString& nart) {
    try {
        if (rs.recordCount() == 0)
            return;
        item.cantidadCPL = rs.recordCount();
        item.CPL.resize(item.cantidadCPL);
        const QString nartItem = formatoItem(nart);
        const int ccpl = columna(rs, "CCPL");
        const int mcpl = columna(rs, "MCPL");
        const int icpldif = columna(rs, "ICPLDIF");
        for (qint32 i = 0; !rs.eof(); ++i, rs.moveNext()) {
            RegistroCPL& cpl = item.CPL[i];
            cpl.CCPL = rs.text(ccpl);
            cpl.MCPL = rs.text(mcpl);
            cpl.ICPLDIF = rs.text(icpldif);
            // The item's number as shown (the file writes the item's own anyway).
            cpl.NART = nartItem;
        }
    } catch (...) {
        const VbError error = corvelix::currentError();
        ui().msgBox(error.description +
                    QStringLiteral("\n\nCorvelix.modRET.getInformacionComplementaria_Item (0)::") +
                    error.source);
        corvelix::reraise(error, loc("Corvelix.modRET.getInformacionComplementaria_ItemKitSQL"));
    }
}

void getVentajasKitSQL(RegistroItem& item, Recordset& rs, const QString& nart) {
    corvelix::chained(loc("Corvelix.modRET.getVentajasKitSQL"), [&] {
        item.cantidadVentajas = 0;
        if (rs.recordCount() == 0)
            return;
        item.cantidadVentajas = rs.recordCount();
        item.Ventajas.resize(item.cantidadVentajas);
        const QString nartItem = formatoItem(nart);
        const int csrg = columna(rs, "CSRG");
        const int nartFila = columna(rs, "NART");
        for (qint32 k = 0; !rs.eof(); ++k, rs.moveNext()) {
            if (rs.field(csrg).isNull() || rs.field(nartFila).isNull())
                throw VbError(kErrNull, QStringLiteral("Corvelix"),
                              QStringLiteral("Uso no válido de Null"));
            item.Ventajas[k].CSRG = rs.text(csrg);
            item.Ventajas[k].NART = nartItem;
        }
    });
}

RegistroDespacho getCaratulaKitSQL(const QString& iddt) {
    return corvelix::chained(loc("Corvelix.modRET.getCaratulaKitSQL"), [&] {
        // The declaration whose number is exactly this one, not any whose number or own
        // reference contains it.
        Recordset rs = modDA::getDDTByNumber(iddt);
        if (rs.eof())
            throw VbError(kErrSinFila, QStringLiteral("Corvelix"),
                          QStringLiteral("No se encuentra el despacho ") + iddt);
        RegistroDespacho r;
        r.CDDTAGR = rs.text(QStringLiteral("CDDTAGR"));
        r.NDDTIMMIOE = rs.text(QStringLiteral("NDDTIMMIOE"));
        r.CDDTBUR = rs.text(QStringLiteral("CDDTBUR"));
        r.CDDTDEVFOB = rs.text(QStringLiteral("CDDTDEVFOB"));
        r.CDDTDEVFLE = rs.text(QStringLiteral("CDDTDEVFLE"));
        r.CDDTDEVASS = rs.text(QStringLiteral("CDDTDEVASS"));
        r.MDDTFOB = numero(rs, columna(rs, "MDDTFOB"));
        r.MDDTFLE = numero(rs, columna(rs, "MDDTFLE"));
        r.MDDTASS = numero(rs, columna(rs, "MDDTASS"));
        r.CDDTINCOTE = rs.text(QStringLiteral("CDDTINCOTE"));
        r.CDDTIVA = rs.text(QStringLiteral("CDDTIVA"));
        r.ISTA = rs.text(QStringLiteral("ISTA"));
        r.IEXT = rs.text(QStringLiteral("IEXT"));
        r.LDDTNOMFOD = rs.text(QStringLiteral("LDDTNOMFOD"));

        const QString cabecera = QStringLiteral("0000");
        Recordset cpl = modDA::getCPL(iddt, cabecera);
        getInformacionComplementariaKitSQL(r, cpl, cabecera);
        Recordset dvd = modDA::getDVDItem(iddt, cabecera);
        getDocumentosKitSQL(r, dvd, cabecera);
        return r;
    });
}

void getitemsKitS(const QString& iddt, RegistroDespacho& registro) {
    corvelix::chained(loc("Corvelix.modKitS.getitemsKitS"), [&] {
        const Recordset items = modDA::getRsITEMs(iddt);
        if (items.recordCount() == 0)
            throw VbError(kErrSinItems, QStringLiteral("Obteniendo Provisorio"),
                          QStringLiteral("No hay items cargados en el provisorio ") + iddt);

        // One read per table for the whole declaration, split by item key.
        const PorItem subitems(modDA::getSBTDespacho(iddt));
        const PorItem informacion(modDA::getCPLDespacho(iddt));
        const PorItem ventajas(modDA::getSRGDespacho(iddt));
        const PorItem docs(modDA::getDVDDespacho(iddt));

        const qint32 n = items.recordCount();
        registro.Items.resize(n);
        Recordset rs = items;
        const int cartpayori = columna(rs, "CARTPAYORI");
        const int cartpayprc = columna(rs, "CARTPAYPRC");
        const int cartsbitem = columna(rs, "CARTSBITEM");
        const int carttyp = columna(rs, "CARTTYP");
        const QString nombreUntdcl = QStringLiteral("CARTUNTDCL");
        const int cartuntdcl = rs.fieldIndex(nombreUntdcl);
        const QString nombreUso = QStringLiteral("CARTUSO");
        const int cartuso = rs.fieldIndex(nombreUso);
        const int iespnce = columna(rs, "IESPNCE");
        const int nartext = columna(rs, "NARTEXT");
        const int martass = columna(rs, "MARTASS");
        const int martfle = columna(rs, "MARTFLE");
        const int martfob = columna(rs, "MARTFOB");
        const int martunitar = columna(rs, "MARTUNITAR");
        const int qartkgrnet = columna(rs, "QARTKGRNET");
        const int qartuntdcl = columna(rs, "QARTUNTDCL");
        const int qartuntest = columna(rs, "QARTUNTEST");
        const int cartcaldst = columna(rs, "CARTCALDST");
        const int cartpagreg = columna(rs, "CARTPAGREG");
        const int nart = columna(rs, "NART");
        for (qint32 i = 0; !rs.eof(); ++i, rs.moveNext()) {
            RegistroItem& it = registro.Items[i];
            it.CARTPAYORI = rs.text(cartpayori);
            it.CARTPAYPRC = rs.text(cartpayprc);
            const QString sbitem = rs.text(cartsbitem);
            if (!sbitem.trimmed().isEmpty())
                it.CARTSBITEM = sbitem;
            it.CARTTYP = rs.text(carttyp);
            it.CARTUNTDCL = numeroCodigo(rs, cartuntdcl, nombreUntdcl);
            const double uso = std::nearbyint(numeroCodigo(rs, cartuso, nombreUso));
            if (!(uso >= -32768.0 && uso <= 32767.0))
                throw VbError(kErrDesborde, QStringLiteral("Corvelix"),
                              QStringLiteral("Desbordamiento"));
            it.CARTUSO = static_cast<qint16>(uso);
            it.IESPNCE = rs.text(iespnce);
            it.NART = rs.text(nartext);
            it.MARTASS = numero(rs, martass);
            it.MARTFLE = numero(rs, martfle);
            it.MARTFOB = numero(rs, martfob);
            if (!rs.text(martunitar).isEmpty())
                it.MARTUNITAR = numero(rs, martunitar);
            it.QARTKGRNET = numero(rs, qartkgrnet);
            it.QARTUNTDCL = numero(rs, qartuntdcl);
            it.QARTUNTEST = numero(rs, qartuntest);
            it.CARTCALDST = rs.text(cartcaldst);
            it.CARTPAGREG = rs.text(cartpagreg);

            // The child rows belong to the item's key; the shown number may differ from it.
            const QString clave = rs.text(nart);
            Recordset sbt = subitems.tomar(clave);
            getSubitems(it, sbt, it.NART);
            Recordset cpl = informacion.tomar(clave);
            getInformacionComplementaria_ItemKitSQL(it, cpl, it.NART);
            Recordset srg = ventajas.tomar(clave);
            getVentajasKitSQL(it, srg, it.NART);
            Recordset dvd = docs.tomar(clave);
            getDocumentos_ItemKitSQL(it, dvd, it.NART);
        }
    });
}

void ExportarProvisorio2TXT(const QString& iddt) {
    corvelix::GuardOptions options;
    options.icon = MsgIcon::Exclamation;
    options.compose = [](const VbError& error) {
        return error.description + QStringLiteral("\n\n\n\nExportarProvisorio2TXT (0)::") +
               error.source;
    };
    corvelix::guardEvent(
        {},
        [&] {
            ui().setBusy(true);
            RegistroDespacho registro = getCaratulaKitSQL(iddt);
            const QString propuesto =
                utiles::limpiarNombreArchivo(
                    registro.IEXT.isEmpty() ? iddt : iddt + QStringLiteral(" - ") + registro.IEXT) +
                QStringLiteral(".txt");
            ui().setBusy(false);
            QString ruta = modAPITools::SaveFileCommonDialog(
                QStringLiteral("Guardar archivo"),
                QStringLiteral("Archivo Transferencia (*.txt)") + QChar(u'\0') +
                    QStringLiteral("*.txt") + QChar(u'\0'),
                QString(), propuesto);
            if (ruta.isEmpty())
                return;
            ui().setBusy(true);
            if (ruta.right(4).toLower() != QLatin1String(".txt"))
                ruta += QStringLiteral(".txt");
            getitemsKitS(iddt, registro);
            modRET::generarTXT(ruta, registro);
            ui().setBusy(false);
            ui().msgBox(QStringLiteral("Se generó el archivo de transferencia en \n") + ruta,
                        MsgButtons::Ok, MsgIcon::Information);
        },
        options);
}

} // namespace modKitSQL

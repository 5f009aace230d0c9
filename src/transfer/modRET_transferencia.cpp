#include "transfer/modRET_transferencia.h"

#include "runtime/Format.h"
#include "runtime/VbError.h"
#include "shell/modAPITools.h"
#include "shell/modRET.h"

#include <QLocale>

#include <algorithm>

using corvelix::VbError;

namespace modRET {

namespace {

// The old runtime's "Subscript out of range".
constexpr qint32 kErrSubscript = 9;

// C0 and C1 control characters, DEL included.
bool esControl(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7f && u <= 0x9f);
}

class Texto {
public:
    explicit Texto(QString& out) : out_(out) {}
    // A line break inside a value would start lines of its own (a forged "[ART]" or
    // "NARTEXT="); every control character goes out as a blank, as in the tab exports.
    void linea(QLatin1StringView clave, const QString& valor) {
        out_ += clave;
        if (std::none_of(valor.cbegin(), valor.cend(), esControl)) {
            out_ += valor;
        } else {
            for (const QChar c : valor)
                out_ += esControl(c) ? QLatin1Char(' ') : c;
        }
        out_ += QLatin1StringView("\r\n");
    }
    void linea(QLatin1StringView texto) {
        out_ += texto;
        out_ += QLatin1StringView("\r\n");
    }
    void vacia() { out_ += QLatin1StringView("\r\n"); }

private:
    QString& out_;
};

QString numero(double valor) {
    return convertDouble_to_Texto(valor);
}

bool noBlanco(const QString& texto) {
    // Only spaces count as blank, as the old trim saw it.
    for (const QChar c : texto)
        if (c != QLatin1Char(' '))
            return true;
    return false;
}

} // namespace

QString convertCaratula_to_TXT(const RegistroDespacho& r) {
    QString out;
    Texto t(out);
    t.linea(QLatin1StringView("[DDT]"));
    t.linea(QLatin1StringView("NDDTIMMIOE="), r.NDDTIMMIOE);
    t.linea(QLatin1StringView("CDDTAGR="), r.CDDTAGR);
    t.linea(QLatin1StringView("CDDTBUR="), r.CDDTBUR);
    if (r.MDDTFLE > 0)
        t.linea(QLatin1StringView("CDDTDEVFLE="), r.CDDTDEVFLE);
    if (r.MDDTASS > 0)
        t.linea(QLatin1StringView("CDDTDEVASS="), r.CDDTDEVASS);
    t.linea(QLatin1StringView("CDDTDEVFOB="), r.CDDTDEVFOB);
    if (r.MDDTASS > 0)
        t.linea(QLatin1StringView("MDDTASS="), numero(r.MDDTASS));
    if (r.MDDTFLE > 0)
        t.linea(QLatin1StringView("MDDTFLE="), numero(r.MDDTFLE));
    t.linea(QLatin1StringView("MDDTFOB="), numero(r.MDDTFOB));
    if (!r.CDDTINCOTE.isEmpty())
        t.linea(QLatin1StringView("CDDTINCOTE="), r.CDDTINCOTE);
    t.linea(QLatin1StringView("CDDTIVA="), r.CDDTIVA);
    t.linea(QLatin1StringView("ISTA="), r.ISTA);
    if (!r.LDDTNOMFOD.isEmpty())
        t.linea(QLatin1StringView("LDDTNOMFOD="), r.LDDTNOMFOD);
    // The header's closing empty line goes with IEXT: without it the next section follows
    // directly, as the outside system's own files do.
    if (noBlanco(r.IEXT)) {
        t.linea(QLatin1StringView("IEXT="), r.IEXT);
        t.vacia();
    }

    if (r.cantidadCPL > 0) {
        for (const RegistroCPL& cpl : r.CPL) {
            t.linea(QLatin1StringView("[CPL]"));
            t.linea(QLatin1StringView("CCPL="), cpl.CCPL);
            t.linea(QLatin1StringView("ICPLDIF="), cpl.ICPLDIF);
            t.linea(QLatin1StringView("MCPL="), cpl.MCPL);
            t.linea(QLatin1StringView("NART="), cpl.NART);
            t.vacia();
        }
    }

    if (r.cantidadDVD > 0) {
        for (const RegistroDocumento& dvd : r.DVD) {
            // Slots of documents not presented stay empty in the list.
            if (dvd.CDVDDOC.isEmpty())
                continue;
            t.linea(QLatin1StringView("[DVD]"));
            t.linea(QLatin1StringView("CDVDDOC="), dvd.CDVDDOC);
            t.linea(QLatin1StringView("LDVDREFDOC="), dvd.LDVDREFDOC);
            t.linea(QLatin1StringView("NART="), dvd.NART);
            t.vacia();
        }
    }
    return out;
}

namespace {

// One item's lines appended to `out` (the whole file is one text).
void escribirItem(qint32 indice, const RegistroDespacho& registro, QString& out) {
    corvelix::chained(QStringLiteral("Corvelix.modRET.getItemformTYP"), [&] {
        if (indice < 0 || indice >= registro.Items.size())
            throw VbError(kErrSubscript, QStringLiteral("Corvelix"),
                          QStringLiteral("El subíndice está fuera del intervalo"));
        const RegistroItem& it = registro.Items.at(indice);
        Texto t(out);

        t.linea(QLatin1StringView("[ART]"));
        t.linea(QLatin1StringView("CARTPAYORI="), it.CARTPAYORI);
        t.linea(QLatin1StringView("CARTPAYPRC="), it.CARTPAYPRC);
        t.linea(QLatin1StringView("CARTTYP="), it.CARTTYP);
        t.linea(QLatin1StringView("CARTUNTDCL="),
                corvelix::formatNumber(it.CARTUNTDCL, QStringLiteral("00"), QLocale::c()));
        t.linea(QLatin1StringView("CARTUSO="), QString::number(it.CARTUSO));
        t.linea(QLatin1StringView("IESPNCE="), it.IESPNCE);
        if (it.MARTASS > 0)
            t.linea(QLatin1StringView("MARTASS="), numero(it.MARTASS));
        if (it.MARTFLE > 0)
            t.linea(QLatin1StringView("MARTFLE="), numero(it.MARTFLE));
        t.linea(QLatin1StringView("MARTFOB="), numero(it.MARTFOB));
        t.linea(QLatin1StringView("MARTUNITAR="), numero(it.MARTUNITAR));
        t.linea(QLatin1StringView("QARTKGRNET="), numero(it.QARTKGRNET));
        t.linea(QLatin1StringView("QARTUNTDCL="), numero(it.QARTUNTDCL));
        t.linea(QLatin1StringView("QARTUNTEST="), numero(it.QARTUNTEST));
        if (noBlanco(it.CARTCALDST))
            t.linea(QLatin1StringView("CARTCALDST="), it.CARTCALDST);
        if (noBlanco(it.CARTPAGREG))
            t.linea(QLatin1StringView("CARTPAGREG="), it.CARTPAGREG);
        if (noBlanco(it.CARTSBITEM))
            t.linea(QLatin1StringView("CARTSBITEM="), it.CARTSBITEM);
        t.linea(QLatin1StringView("NARTEXT="), it.NART);
        t.vacia();

        if (it.cantidadCPL > 0) {
            for (const RegistroCPL& cpl : it.CPL) {
                t.linea(QLatin1StringView("[CPL]"));
                t.linea(QLatin1StringView("CCPL="), cpl.CCPL);
                t.linea(QLatin1StringView("ICPLDIF="), cpl.ICPLDIF);
                t.linea(QLatin1StringView("MCPL="), cpl.MCPL);
                // The item's number, whatever the element holds.
                t.linea(QLatin1StringView("NART="), it.NART);
                t.vacia();
            }
        }

        if (it.cantidadDVD > 0) {
            for (const RegistroDocumento& dvd : it.DVD) {
                t.linea(QLatin1StringView("[DVD]"));
                t.linea(QLatin1StringView("CDVDDOC = "), dvd.CDVDDOC);
                t.linea(QLatin1StringView("LDVDREFDOC = "), dvd.LDVDREFDOC);
                t.linea(QLatin1StringView("CDVDPRSDOC = "), dvd.CDVDPRSDOC);
                t.linea(QLatin1StringView("NART = "), dvd.NART);
                t.vacia();
            }
        }

        if (it.cantidadVentajas > 0) {
            for (const RegistroVentaja& srg : it.Ventajas) {
                t.linea(QLatin1StringView("[SRG]"));
                t.linea(QLatin1StringView("CSRG="), srg.CSRG);
                t.linea(QLatin1StringView("NART="), srg.NART);
                t.vacia();
            }
        }

        if (it.cantidadSubitems > 0) {
            const QString itemPropio = QStringLiteral("0000");
            for (const RegistroSubitem& sbt : it.Subitems) {
                const bool esItem = sbt.ISBT == itemPropio;
                if (!esItem || !sbt.CSBTSVL.isEmpty())
                    t.linea(QLatin1StringView("[SBT]"));
                if (!sbt.CSBTSVL.isEmpty())
                    t.linea(QLatin1StringView("CSBTSVL="), sbt.CSBTSVL);
                if (!esItem) {
                    t.linea(QLatin1StringView("MSBTFOB="), numero(sbt.MSBTFOB));
                    t.linea(QLatin1StringView("QSBTUNTDCL="), numero(sbt.QSBTUNTDCL));
                    t.linea(QLatin1StringView("QSBTUNTEST="), numero(sbt.QSBTUNTEST));
                }
                t.linea(QLatin1StringView("ISBT="), sbt.ISBT);
                t.linea(QLatin1StringView("NART="), sbt.NART);
                t.vacia();
            }
        }
    });
}

// Every item's lines appended to `out`.
void escribirItems(const RegistroDespacho& registro, QString& out) {
    int line = 0;
    corvelix::chained(
        QStringLiteral("Corvelix.modRET.convertItem_to_TXT"),
        [&] {
            line = 10;
            if (registro.Items.isEmpty())
                throw VbError(kErrSubscript, QStringLiteral("Corvelix"),
                              QStringLiteral("El subíndice está fuera del intervalo"));
            line = 20;
            for (qint32 i = 0; i < registro.Items.size(); ++i) {
                line = 30;
                escribirItem(i, registro, out);
            }
        },
        line);
}

} // namespace

QString getItemformTYP(qint32 indice, const RegistroDespacho& registro) {
    QString out;
    escribirItem(indice, registro, out);
    return out;
}

QString convertItem_to_TXT(const RegistroDespacho& registro) {
    QString out;
    escribirItems(registro, out);
    return out;
}

void generarTXT(const QString& ruta, const RegistroDespacho& registro) {
    int line = 0;
    corvelix::chained(
        QStringLiteral("Corvelix.modRET.generarTXT"),
        [&] {
            line = 10;
            QString texto = convertCaratula_to_TXT(registro);
            line = 20;
            escribirItems(registro, texto);
            // Written only once the whole text is built: a failure above writes nothing.
            line = 30;
            modAPITools::generarArchivo(ruta, texto);
        },
        line);
}

} // namespace modRET

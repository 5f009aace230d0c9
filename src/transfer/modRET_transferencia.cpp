#include "transfer/modRET_transferencia.h"

#include "runtime/Format.h"
#include "runtime/VbError.h"
#include "shell/modAPITools.h"
#include "transfer/modRET.h"

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
    void linea(QStringView clave, QStringView valor) {
        // The whole line written in place: one growth check for its three pieces.
        const qsizetype at = out_.size();
        out_.resize(at + clave.size() + valor.size() + 2);
        QChar* to = std::copy(clave.begin(), clave.end(), out_.data() + at);
        to = std::transform(valor.begin(), valor.end(), to,
                            [](QChar c) { return esControl(c) ? QChar(u' ') : c; });
        *to++ = QChar(u'\r');
        *to = QChar(u'\n');
    }
    void linea(QStringView texto) {
        out_ += texto;
        out_ += QStringView(u"\r\n");
    }
    void vacia() { out_ += QStringView(u"\r\n"); }

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
    t.linea(QStringView(u"[DDT]"));
    t.linea(QStringView(u"NDDTIMMIOE="), r.NDDTIMMIOE);
    t.linea(QStringView(u"CDDTAGR="), r.CDDTAGR);
    t.linea(QStringView(u"CDDTBUR="), r.CDDTBUR);
    if (r.MDDTFLE > 0)
        t.linea(QStringView(u"CDDTDEVFLE="), r.CDDTDEVFLE);
    if (r.MDDTASS > 0)
        t.linea(QStringView(u"CDDTDEVASS="), r.CDDTDEVASS);
    t.linea(QStringView(u"CDDTDEVFOB="), r.CDDTDEVFOB);
    if (r.MDDTASS > 0)
        t.linea(QStringView(u"MDDTASS="), numero(r.MDDTASS));
    if (r.MDDTFLE > 0)
        t.linea(QStringView(u"MDDTFLE="), numero(r.MDDTFLE));
    t.linea(QStringView(u"MDDTFOB="), numero(r.MDDTFOB));
    if (!r.CDDTINCOTE.isEmpty())
        t.linea(QStringView(u"CDDTINCOTE="), r.CDDTINCOTE);
    t.linea(QStringView(u"CDDTIVA="), r.CDDTIVA);
    t.linea(QStringView(u"ISTA="), r.ISTA);
    if (!r.LDDTNOMFOD.isEmpty())
        t.linea(QStringView(u"LDDTNOMFOD="), r.LDDTNOMFOD);
    // The header's closing empty line goes with IEXT: without it the next section follows
    // directly, as the outside system's own files do.
    if (noBlanco(r.IEXT)) {
        t.linea(QStringView(u"IEXT="), r.IEXT);
        t.vacia();
    }

    if (r.cantidadCPL > 0) {
        for (const RegistroCPL& cpl : r.CPL) {
            t.linea(QStringView(u"[CPL]"));
            t.linea(QStringView(u"CCPL="), cpl.CCPL);
            t.linea(QStringView(u"ICPLDIF="), cpl.ICPLDIF);
            t.linea(QStringView(u"MCPL="), cpl.MCPL);
            t.linea(QStringView(u"NART="), cpl.NART);
            t.vacia();
        }
    }

    if (r.cantidadDVD > 0) {
        for (const RegistroDocumento& dvd : r.DVD) {
            // Slots of documents not presented stay empty in the list.
            if (dvd.CDVDDOC.isEmpty())
                continue;
            t.linea(QStringView(u"[DVD]"));
            t.linea(QStringView(u"CDVDDOC="), dvd.CDVDDOC);
            t.linea(QStringView(u"LDVDREFDOC="), dvd.LDVDREFDOC);
            t.linea(QStringView(u"NART="), dvd.NART);
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

        t.linea(QStringView(u"[ART]"));
        t.linea(QStringView(u"CARTPAYORI="), it.CARTPAYORI);
        t.linea(QStringView(u"CARTPAYPRC="), it.CARTPAYPRC);
        t.linea(QStringView(u"CARTTYP="), it.CARTTYP);
        t.linea(QStringView(u"CARTUNTDCL="),
                corvelix::formatNumber(it.CARTUNTDCL, QStringLiteral("00"), QLocale::c()));
        t.linea(QStringView(u"CARTUSO="), QString::number(it.CARTUSO));
        t.linea(QStringView(u"IESPNCE="), it.IESPNCE);
        if (it.MARTASS > 0)
            t.linea(QStringView(u"MARTASS="), numero(it.MARTASS));
        if (it.MARTFLE > 0)
            t.linea(QStringView(u"MARTFLE="), numero(it.MARTFLE));
        t.linea(QStringView(u"MARTFOB="), numero(it.MARTFOB));
        t.linea(QStringView(u"MARTUNITAR="), numero(it.MARTUNITAR));
        t.linea(QStringView(u"QARTKGRNET="), numero(it.QARTKGRNET));
        t.linea(QStringView(u"QARTUNTDCL="), numero(it.QARTUNTDCL));
        t.linea(QStringView(u"QARTUNTEST="), numero(it.QARTUNTEST));
        if (noBlanco(it.CARTCALDST))
            t.linea(QStringView(u"CARTCALDST="), it.CARTCALDST);
        if (noBlanco(it.CARTPAGREG))
            t.linea(QStringView(u"CARTPAGREG="), it.CARTPAGREG);
        if (noBlanco(it.CARTSBITEM))
            t.linea(QStringView(u"CARTSBITEM="), it.CARTSBITEM);
        t.linea(QStringView(u"NARTEXT="), it.NART);
        t.vacia();

        if (it.cantidadCPL > 0) {
            for (const RegistroCPL& cpl : it.CPL) {
                t.linea(QStringView(u"[CPL]"));
                t.linea(QStringView(u"CCPL="), cpl.CCPL);
                t.linea(QStringView(u"ICPLDIF="), cpl.ICPLDIF);
                t.linea(QStringView(u"MCPL="), cpl.MCPL);
                // The item's number, whatever the element holds.
                t.linea(QStringView(u"NART="), it.NART);
                t.vacia();
            }
        }

        if (it.cantidadDVD > 0) {
            for (const RegistroDocumento& dvd : it.DVD) {
                t.linea(QStringView(u"[DVD]"));
                t.linea(QStringView(u"CDVDDOC = "), dvd.CDVDDOC);
                t.linea(QStringView(u"LDVDREFDOC = "), dvd.LDVDREFDOC);
                t.linea(QStringView(u"CDVDPRSDOC = "), dvd.CDVDPRSDOC);
                t.linea(QStringView(u"NART = "), dvd.NART);
                t.vacia();
            }
        }

        if (it.cantidadVentajas > 0) {
            for (const RegistroVentaja& srg : it.Ventajas) {
                t.linea(QStringView(u"[SRG]"));
                t.linea(QStringView(u"CSRG="), srg.CSRG);
                t.linea(QStringView(u"NART="), srg.NART);
                t.vacia();
            }
        }

        if (it.cantidadSubitems > 0) {
            const QString itemPropio = QStringLiteral("0000");
            for (const RegistroSubitem& sbt : it.Subitems) {
                const bool esItem = sbt.ISBT == itemPropio;
                if (!esItem || !sbt.CSBTSVL.isEmpty())
                    t.linea(QStringView(u"[SBT]"));
                if (!sbt.CSBTSVL.isEmpty())
                    t.linea(QStringView(u"CSBTSVL="), sbt.CSBTSVL);
                if (!esItem) {
                    t.linea(QStringView(u"MSBTFOB="), numero(sbt.MSBTFOB));
                    t.linea(QStringView(u"QSBTUNTDCL="), numero(sbt.QSBTUNTDCL));
                    t.linea(QStringView(u"QSBTUNTEST="), numero(sbt.QSBTUNTEST));
                }
                t.linea(QStringView(u"ISBT="), sbt.ISBT);
                t.linea(QStringView(u"NART="), sbt.NART);
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

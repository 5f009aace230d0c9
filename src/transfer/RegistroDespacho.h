#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

// One declaration as the transfer file needs it. Every field bears the name of the outside
// system's column it mirrors; the counts say whether the writer looks at a list at all.

struct RegistroCPL {
    QString CCPL;
    QString MCPL;
    QString ICPLDIF;
    QString NART;
};

struct RegistroDocumento {
    QString CDVDDOC;
    QString LDVDREFDOC;
    QString CDVDPRSDOC;
    QString NART;
};

struct RegistroVentaja {
    QString CSRG;
    QString NART;
};

struct RegistroSubitem {
    QString CSBTSVL;
    QString ISBT;
    QString NART;
    double MSBTFOB = 0;
    double QSBTUNTDCL = 0;
    double QSBTUNTEST = 0;
    double MSBTUNITAR = 0;
    QString IEXT;
};

struct RegistroItem {
    QString CARTPAYORI;
    QString CARTPAYPRC;
    QString CARTTYP;
    // The unit code as a number: "07" is 7, written back with two digits.
    double CARTUNTDCL = 0;
    qint16 CARTUSO = 0;
    QString IESPNCE;
    double MARTASS = 0;
    double MARTFLE = 0;
    double MARTFOB = 0;
    double MARTUNITAR = 0;
    // The item number as the outside system shows it (written as NARTEXT).
    QString NART;
    double QARTKGRNET = 0;
    double QARTUNTDCL = 0;
    double QARTUNTEST = 0;
    QString CARTSBITEM;
    QString CARTCALDST;
    QString CARTPAGREG;
    qint32 cantidadSubitems = 0;
    QList<RegistroSubitem> Subitems;
    qint32 cantidadVentajas = 0;
    QList<RegistroVentaja> Ventajas;
    qint32 cantidadCPL = 0;
    QList<RegistroCPL> CPL;
    qint32 cantidadDVD = 0;
    QList<RegistroDocumento> DVD;
};

struct RegistroDespacho {
    QString CDDTAGR;
    QString NDDTIMMIOE;
    QString CDDTBUR;
    QString CDDTDEVFOB;
    QString CDDTDEVFLE;
    QString CDDTDEVASS;
    double MDDTFOB = 0;
    double MDDTFLE = 0;
    double MDDTASS = 0;
    QString CDDTINCOTE;
    QString ISTA;
    QString CDDTIVA;
    QString IEXT;
    QString LDDTNOMFOD;
    qint32 cantidadCPL = 0;
    QList<RegistroCPL> CPL;
    qint32 cantidadDVD = 0;
    QList<RegistroDocumento> DVD;
    // Written in list order; there is no count.
    QList<RegistroItem> Items;
};

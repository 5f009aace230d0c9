// .xlsx: the package's relationships lead from the workbook to its first visible worksheet;
// the cells' values come with the shared strings and, for dates, the cell's number format.
#include "platform/SheetFormats.h"

#include <QBuffer>
#include <QDateTime>
#include <QHash>
#include <QXmlStreamReader>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

namespace corvelix {

// ---- zip package ----

struct ZipPackage::Impl {
    QBuffer buffer;
    QuaZip zip{&buffer};
    QStringList names;
};

ZipPackage::ZipPackage(const QByteArray& data, SheetBuilder& builder)
    : d(std::make_unique<Impl>()), builder_(builder) {
    d->buffer.setData(data);
    if (!d->zip.open(QuaZip::mdUnzip))
        builder_.fail(reasonCorruptZip());
    d->names = d->zip.getFileNameList();
}

ZipPackage::~ZipPackage() {
    d->zip.close();
}

bool ZipPackage::has(const QString& name) const {
    return d->names.contains(name, Qt::CaseInsensitive);
}

void ZipPackage::parseXml(const QString& name,
                          const std::function<void(QXmlStreamReader&)>& parse) {
    if (!d->zip.setCurrentFile(name, QuaZip::csInsensitive))
        builder_.fail(QStringLiteral("le falta la parte %1").arg(name));
    QuaZipFileInfo64 info;
    if (d->zip.getCurrentFileInfo(&info) && (info.flags & 1))
        builder_.fail(QStringLiteral("está protegido con contraseña"));
    QuaZipFile file(&d->zip);
    if (!file.open(QIODevice::ReadOnly))
        builder_.fail(reasonCorruptZip());
    BudgetDevice device(file, builder_);
    QXmlStreamReader xml(&device);
    parse(xml);
    if (device.exceeded())
        builder_.fail(reasonTooLarge(builder_.limits().maxExpandedBytes));
    if (xml.hasError()) {
        if (file.getZipError() != UNZ_OK)
            builder_.fail(reasonCorruptZip());
        builder_.failXml(xml, name);
    }
    file.close();
    if (file.getZipError() != UNZ_OK)
        builder_.fail(reasonCorruptZip());
}

QString elementText(QXmlStreamReader& xml, const QStringList& skip) {
    QString text;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (skip.contains(xml.name().toString()))
                xml.skipCurrentElement();
            else
                ++depth;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
            text += xml.text();
            break;
        default:
            break;
        }
    }
    return text;
}

namespace {

const QString kRph = QStringLiteral("rPh");

// "_x000D_" escapes of characters XML cannot hold.
QString unescapeOoxml(const QString& text) {
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('_') && i + 6 < text.size() &&
            text.at(i + 1) == QLatin1Char('x') && text.at(i + 6) == QLatin1Char('_')) {
            bool ok = false;
            const uint code = QStringView(text).mid(i + 2, 4).toUInt(&ok, 16);
            if (ok) {
                out += QChar(static_cast<char16_t>(code));
                i += 6;
                continue;
            }
        }
        out += text.at(i);
    }
    return out;
}

// "folder/part.xml" relative to `base` ("xl/workbook.xml"), or absolute from the root.
QString resolveTarget(const QString& base, const QString& target) {
    if (target.startsWith(QLatin1Char('/')))
        return target.mid(1);
    QStringList parts = base.split(QLatin1Char('/'));
    parts.removeLast();
    for (const QString& p : target.split(QLatin1Char('/'))) {
        if (p == QLatin1String(".."))
            parts.isEmpty() ? void() : parts.removeLast();
        else if (p != QLatin1String(".") && !p.isEmpty())
            parts.append(p);
    }
    return parts.join(QLatin1Char('/'));
}

// The relationships part of `part`: "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
QString relsOf(const QString& part) {
    const qsizetype slash = part.lastIndexOf(QLatin1Char('/'));
    return part.left(slash + 1) + QLatin1String("_rels/") + part.mid(slash + 1) +
           QLatin1String(".rels");
}

struct Relationship {
    QString type;
    QString target;
};

QHash<QString, Relationship> readRelationships(ZipPackage& zip, const QString& relsPart,
                                               const QString& base) {
    QHash<QString, Relationship> rels;
    if (!zip.has(relsPart))
        return rels;
    zip.parseXml(relsPart, [&](QXmlStreamReader& xml) {
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement &&
                xml.name() == QLatin1String("Relationship")) {
                const auto a = xml.attributes();
                const QString mode = a.value(QLatin1String("TargetMode")).toString();
                if (mode.compare(QLatin1String("External"), Qt::CaseInsensitive) != 0)
                    rels.insert(a.value(QLatin1String("Id")).toString(),
                                {a.value(QLatin1String("Type")).toString(),
                                 resolveTarget(base, a.value(QLatin1String("Target")).toString())});
            }
        }
    });
    return rels;
}

QString relationshipId(const QXmlStreamAttributes& attributes) {
    for (const QXmlStreamAttribute& a : attributes)
        if (a.name() == QLatin1String("id") && !a.namespaceUri().isEmpty())
            return a.value().toString();
    return {};
}

} // namespace

// Whether a number format shows dates or times.
bool isDateFormatId(int id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58) || (id >= 71 && id <= 81);
}

bool isDateFormatCode(const QString& code) {
    // Only the first section decides; quoted texts, escapes and colours/conditions do not count.
    bool quoted = false;
    bool bracket = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (quoted) {
            quoted = c != QLatin1Char('"');
            continue;
        }
        if (bracket) {
            // Elapsed time: [h], [mm], [ss].
            const QChar l = c.toLower();
            if (l == QLatin1Char('h') || l == QLatin1Char('m') || l == QLatin1Char('s'))
                if (code.at(i - 1) == QLatin1Char('['))
                    return true;
            bracket = c != QLatin1Char(']');
            continue;
        }
        if (c == QLatin1Char('"'))
            quoted = true;
        else if (c == QLatin1Char('['))
            bracket = true;
        else if (c == QLatin1Char('\\') || c == QLatin1Char('_') || c == QLatin1Char('*'))
            ++i;
        else if (c == QLatin1Char(';'))
            return false;
        else {
            const QChar l = c.toLower();
            if (l == QLatin1Char('d') || l == QLatin1Char('m') || l == QLatin1Char('y') ||
                l == QLatin1Char('h') || l == QLatin1Char('s'))
                return true;
        }
    }
    return false;
}

namespace {

// "BC12" -> column 55, row 12; false when it is not a cell reference.
bool parseReference(QStringView ref, qint64& row, qint64& column) {
    qsizetype i = 0;
    column = 0;
    row = 0;
    while (i < ref.size() && ref.at(i).isLetter() && i < 4) {
        const char16_t u = ref.at(i).toUpper().unicode();
        if (u < u'A' || u > u'Z')
            return false;
        column = column * 26 + (u - u'A' + 1);
        ++i;
    }
    if (i == 0 || i == ref.size())
        return false;
    const qsizetype digits = ref.size() - i;
    if (digits > 8)
        return false;
    for (; i < ref.size(); ++i) {
        const char16_t u = ref.at(i).unicode();
        if (u < u'0' || u > u'9')
            return false;
        row = row * 10 + (u - u'0');
    }
    return row > 0;
}

class XlsxReader {
public:
    XlsxReader(const QByteArray& data, SheetBuilder& builder) : zip_(data, builder), b_(builder) {}

    void run() {
        QString workbook = QStringLiteral("xl/workbook.xml");
        for (const Relationship& r : readRelationships(zip_, QStringLiteral("_rels/.rels"), {}))
            if (r.type.endsWith(QLatin1String("/officeDocument")))
                workbook = r.target;
        if (!zip_.has(workbook))
            b_.fail(QStringLiteral("no es un libro de Excel (falta %1)").arg(workbook));
        const auto rels = readRelationships(zip_, relsOf(workbook), workbook);
        const QString sheet = firstSheet(workbook, rels);
        for (const Relationship& r : rels) {
            if (r.type.endsWith(QLatin1String("/sharedStrings")) && zip_.has(r.target))
                readSharedStrings(r.target);
            else if (r.type.endsWith(QLatin1String("/styles")) && zip_.has(r.target))
                readStyles(r.target);
        }
        readSheet(sheet);
    }

private:
    QString firstSheet(const QString& workbook, const QHash<QString, Relationship>& rels) {
        QString first;
        QString firstVisible;
        zip_.parseXml(workbook, [&](QXmlStreamReader& xml) {
            while (!xml.atEnd()) {
                if (xml.readNext() != QXmlStreamReader::StartElement)
                    continue;
                const auto a = xml.attributes();
                if (xml.name() == QLatin1String("workbookPr")) {
                    const auto v = a.value(QLatin1String("date1904"));
                    date1904_ = v == QLatin1String("1") || v == QLatin1String("true");
                } else if (xml.name() == QLatin1String("sheet")) {
                    const auto rel = rels.find(relationshipId(a));
                    if (rel == rels.end() || !rel->type.endsWith(QLatin1String("/worksheet")))
                        continue; // chart and macro sheets are not worksheets
                    if (first.isEmpty())
                        first = rel->target;
                    const auto state = a.value(QLatin1String("state"));
                    if (firstVisible.isEmpty() && state != QLatin1String("hidden") &&
                        state != QLatin1String("veryHidden"))
                        firstVisible = rel->target;
                }
            }
        });
        // Hidden sheets are not what the user sees first; all hidden cannot be saved by the
        // spreadsheet program, but take the first then.
        const QString sheet = firstVisible.isEmpty() ? first : firstVisible;
        if (sheet.isEmpty() || !zip_.has(sheet))
            b_.fail(QStringLiteral("no tiene ninguna hoja de cálculo"));
        return sheet;
    }

    void readSharedStrings(const QString& part) {
        zip_.parseXml(part, [&](QXmlStreamReader& xml) {
            while (!xml.atEnd()) {
                if (xml.readNext() == QXmlStreamReader::StartElement &&
                    xml.name() == QLatin1String("si"))
                    strings_.append(unescapeOoxml(elementText(xml, {kRph})));
            }
        });
    }

    void readStyles(const QString& part) {
        QHash<int, bool> customDate;
        zip_.parseXml(part, [&](QXmlStreamReader& xml) {
            bool inCellXfs = false;
            while (!xml.atEnd()) {
                const auto token = xml.readNext();
                if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("cellXfs"))
                    inCellXfs = false;
                if (token != QXmlStreamReader::StartElement)
                    continue;
                const auto a = xml.attributes();
                if (xml.name() == QLatin1String("numFmt")) {
                    customDate.insert(
                        a.value(QLatin1String("numFmtId")).toInt(),
                        isDateFormatCode(a.value(QLatin1String("formatCode")).toString()));
                } else if (xml.name() == QLatin1String("cellXfs")) {
                    inCellXfs = true;
                } else if (inCellXfs && xml.name() == QLatin1String("xf")) {
                    const int id = a.value(QLatin1String("numFmtId")).toInt();
                    dateStyles_.push_back(customDate.contains(id) ? customDate.value(id)
                                                                  : isDateFormatId(id));
                }
            }
        });
    }

    [[nodiscard]] bool isDateStyle(int style) const {
        return style >= 0 && style < static_cast<int>(dateStyles_.size()) && dateStyles_[style];
    }

    void readSheet(const QString& part) {
        zip_.parseXml(part, [&](QXmlStreamReader& xml) {
            qint64 row = 0;
            qint64 column = 0;
            while (!xml.atEnd()) {
                const auto token = xml.readNext();
                if (token == QXmlStreamReader::EndElement &&
                    xml.name() == QLatin1String("sheetData"))
                    return; // what follows (merges, print setup) holds no values
                if (token != QXmlStreamReader::StartElement)
                    continue;
                if (xml.name() == QLatin1String("row")) {
                    bool ok = false;
                    const qint64 r = xml.attributes().value(QLatin1String("r")).toLongLong(&ok);
                    row = ok && r > 0 ? r : row + 1;
                    column = 0;
                } else if (xml.name() == QLatin1String("c")) {
                    readCell(xml, row, column);
                }
            }
        });
    }

    void readCell(QXmlStreamReader& xml, qint64& row, qint64& column) {
        const auto a = xml.attributes();
        qint64 r = 0;
        qint64 c = 0;
        if (parseReference(a.value(QLatin1String("r")), r, c)) {
            row = r;
            column = c;
        } else {
            if (row == 0)
                row = 1;
            ++column;
        }
        const QString type = a.value(QLatin1String("t")).toString();
        const int style = a.value(QLatin1String("s")).toInt();
        QString value;
        bool hasValue = false;
        while (!xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("c"))
                break;
            if (token != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("v")) {
                value = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                hasValue = true;
            } else if (xml.name() == QLatin1String("is")) {
                value = elementText(xml, {kRph});
                hasValue = true;
            } else {
                xml.skipCurrentElement(); // formulas: the cached value is what shows
            }
        }
        if (!hasValue || value.isEmpty())
            return;
        if (row > b_.limits().maxRows || column > b_.limits().maxColumns)
            b_.checkBounds(row, column);
        const int ri = static_cast<int>(row);
        const int ci = static_cast<int>(column);
        if (type == QLatin1String("s")) {
            bool ok = false;
            const qsizetype index = value.trimmed().toLongLong(&ok);
            if (!ok || index < 0 || index >= strings_.size())
                b_.fail(QStringLiteral("una celda remite a un texto que el libro no tiene"));
            b_.setText(ri, ci, strings_.at(index));
        } else if (type == QLatin1String("str") || type == QLatin1String("inlineStr") ||
                   type == QLatin1String("e")) {
            b_.setText(ri, ci, unescapeOoxml(value));
        } else if (type == QLatin1String("b")) {
            b_.setBoolean(ri, ci,
                          value.trimmed() == QLatin1String("1") ||
                              value.trimmed() == QLatin1String("true"));
        } else if (type == QLatin1String("d")) {
            const QDateTime when = QDateTime::fromString(value.trimmed(), Qt::ISODate);
            if (when.isValid())
                b_.setDateTime(ri, ci, when.date(), when.time());
            else
                b_.setText(ri, ci, value);
        } else {
            bool ok = false;
            const double number = value.trimmed().toDouble(&ok);
            if (!ok)
                b_.setText(ri, ci, value);
            else if (isDateStyle(style))
                b_.setDateSerial(ri, ci, number, date1904_);
            else
                b_.setNumber(ri, ci, number);
        }
    }

    ZipPackage zip_;
    SheetBuilder& b_;
    QStringList strings_;
    std::vector<bool> dateStyles_;
    bool date1904_ = false;
};

} // namespace

void readXlsx(const QByteArray& data, SheetBuilder& builder) {
    XlsxReader(data, builder).run();
}

} // namespace corvelix

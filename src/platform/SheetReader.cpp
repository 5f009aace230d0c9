#include "platform/SheetReader.h"
#include "platform/SheetFormats.h"

#include "runtime/Format.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

namespace corvelix {

QString Sheet::text(int row, int column) const {
    const auto r = std::lower_bound(rows_.begin(), rows_.end(), row,
                                    [](const Row& a, int index) { return a.index < index; });
    if (r == rows_.end() || r->index != row)
        return {};
    const auto c = std::lower_bound(
        r->cells.begin(), r->cells.end(), column,
        [](const std::pair<int, QString>& a, int index) { return a.first < index; });
    if (c == r->cells.end() || c->first != column)
        return {};
    return c->second;
}

namespace {

// "B7".
QString cellName(int row, int column) {
    QString letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row);
}

} // namespace

SheetBuilder::SheetBuilder(QString fileName, const QLocale& locale, const SheetLimits& limits,
                           SheetFormat format)
    : fileName_(std::move(fileName)), locale_(locale), limits_(limits), format_(format) {}

bool SheetBuilder::inBounds(int row, int column) const {
    return row >= 1 && column >= 1 && row <= limits_.maxRows && column <= limits_.maxColumns;
}

void SheetBuilder::checkBounds(qint64 row, qint64 column) const {
    if (row > limits_.maxRows)
        fail(QStringLiteral("la hoja pasa del máximo de %1 filas").arg(limits_.maxRows));
    if (column > limits_.maxColumns)
        fail(QStringLiteral("la hoja pasa del máximo de %1 columnas").arg(limits_.maxColumns));
    if (row < 1 || column < 1)
        fail(QStringLiteral("una celda tiene una posición inválida"));
}

void SheetBuilder::setText(int row, int column, QString text) {
    if (text.isEmpty())
        return;
    checkBounds(row, column);
    if (text.size() > kMaxCellText)
        fail(QStringLiteral("la celda %1 tiene más de %2 caracteres")
                 .arg(cellName(row, column))
                 .arg(kMaxCellText));
    if (static_cast<qint64>(entries_.size()) + sheet_.cellCount_ >= limits_.maxCells)
        fail(QStringLiteral("la hoja tiene más de %1 celdas con datos").arg(limits_.maxCells));
    // Cells that come in order, as most files hold them, go straight into the sheet; from the
    // first one out of order on, the rest waits to be sorted.
    if (entries_.empty()) {
        auto& rows = sheet_.rows_;
        if (rows.empty() || row > rows.back().index) {
            const std::size_t width = rows.empty() ? 0 : rows.back().cells.size();
            rows.push_back({row, {}});
            rows.back().cells.reserve(width);
            rows.back().cells.emplace_back(column, std::move(text));
            ++sheet_.cellCount_;
            return;
        }
        if (row == rows.back().index && column > rows.back().cells.back().first) {
            rows.back().cells.emplace_back(column, std::move(text));
            ++sheet_.cellCount_;
            return;
        }
    }
    entries_.push_back({row, column, std::move(text)});
}

QString SheetBuilder::numberText(double value) const {
    return generalNumber(value, locale_);
}

QString SheetBuilder::booleanText(bool value) {
    // What the old runtime's text conversion gives for a Boolean value.
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

void SheetBuilder::setNumber(int row, int column, double value) {
    setText(row, column, numberText(value));
}

void SheetBuilder::setBoolean(int row, int column, bool value) {
    setText(row, column, booleanText(value));
}

void SheetBuilder::setDateSerial(int row, int column, double serial, bool system1904) {
    setText(row, column, dateSerialText(serial, system1904));
}

QString SheetBuilder::dateSerialText(double serial, bool system1904) const {
    if (!std::isfinite(serial) || serial < 0 || serial > 2958466) // past 9999-12-31
        return numberText(serial);
    // The two systems count from different days: only the usual one is kept.
    if (!system1904) {
        if (const auto known = dateTexts_.constFind(serial); known != dateTexts_.cend())
            return known.value();
    }
    double days = std::floor(serial);
    // Seconds rounded the way the spreadsheet shows them.
    qint64 seconds = std::llround((serial - days) * 86400.0);
    if (seconds >= 86400) {
        days += 1;
        seconds -= 86400;
    }
    QDate date;
    if (system1904) {
        // Below one day a serial is a time alone in either system.
        if (days >= 1)
            date = QDate(1904, 1, 1).addDays(static_cast<qint64>(days));
    } else if (days >= 61) {
        date = QDate(1899, 12, 30).addDays(static_cast<qint64>(days));
    } else if (days >= 1) {
        // Serial 60 is the 29th of February 1900 the 1900 system counts; serials below it
        // are one day off from the usual count.
        date = QDate(1899, 12, 31).addDays(static_cast<qint64>(days));
    }
    const QTime time = seconds ? QTime(0, 0).addSecs(static_cast<int>(seconds)) : QTime();
    QString text =
        dateText(locale_, date, time.isValid() ? time : (date.isValid() ? QTime() : QTime(0, 0)));
    constexpr qsizetype kKeptDates = 4096;
    if (!system1904 && dateTexts_.size() < kKeptDates)
        dateTexts_.insert(serial, text);
    return text;
}

void SheetBuilder::setDateTime(int row, int column, const QDate& date, const QTime& time) {
    setText(row, column, dateText(locale_, date, time));
}

QString SheetBuilder::dateText(const QLocale& locale, const QDate& date, const QTime& time) {
    QString out;
    if (date.isValid()) {
        QString format = locale.dateFormat(QLocale::ShortFormat);
        if (!format.contains(QLatin1String("yyyy")))
            format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
        out = date.toString(format);
    }
    if (time.isValid() && (time != QTime(0, 0) || !date.isValid())) {
        if (!out.isEmpty())
            out += QLatin1Char(' ');
        out += time.toString(QStringLiteral("HH:mm:ss"));
    }
    return out;
}

void SheetBuilder::clearCells() {
    sheet_ = Sheet();
    entries_.clear();
}

void SheetBuilder::addExpanded(qint64 bytes) {
    expanded_ += bytes;
}

void SheetBuilder::fail(const QString& reason) const {
    throw SheetReadError(
        QStringLiteral("El archivo \"%1\" no se puede leer como hoja de cálculo: %2.")
            .arg(fileName_, reason));
}

Sheet SheetBuilder::finish() {
    if (entries_.empty()) {
        Sheet sheet = std::move(sheet_);
        sheet.format_ = format_;
        for (const Sheet::Row& r : sheet.rows_)
            sheet.lastColumn_ = std::max(sheet.lastColumn_, r.cells.back().first);
        sheet.lastRow_ = sheet.rows_.empty() ? 0 : sheet.rows_.back().index;
        return sheet;
    }
    // The cells kept in order came first.
    std::vector<Entry> ordered;
    ordered.reserve(static_cast<std::size_t>(sheet_.cellCount_) + entries_.size());
    for (Sheet::Row& r : sheet_.rows_)
        for (auto& [column, text] : r.cells)
            ordered.push_back({r.index, column, std::move(text)});
    sheet_ = Sheet();
    std::move(entries_.begin(), entries_.end(), std::back_inserter(ordered));
    entries_ = std::move(ordered);
    std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
    Sheet sheet;
    sheet.format_ = format_;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        Entry& e = entries_[i];
        // A later value at the same position replaces the earlier one.
        if (i + 1 < entries_.size() && entries_[i + 1].row == e.row &&
            entries_[i + 1].column == e.column)
            continue;
        if (sheet.rows_.empty() || sheet.rows_.back().index != e.row)
            sheet.rows_.push_back({e.row, {}});
        sheet.rows_.back().cells.emplace_back(e.column, std::move(e.text));
        sheet.lastRow_ = e.row;
        sheet.lastColumn_ = std::max(sheet.lastColumn_, e.column);
        ++sheet.cellCount_;
    }
    entries_.clear();
    entries_.shrink_to_fit();
    return sheet;
}

BudgetDevice::BudgetDevice(QIODevice& source, SheetBuilder& builder, bool watchMarkup)
    : source_(source), builder_(builder), watchMarkup_(watchMarkup) {
    setOpenMode(QIODevice::ReadOnly);
}

qint64 BudgetDevice::readData(char* data, qint64 maxSize) {
    if (exceeded_ || guard_.crowded())
        return -1;
    const qint64 n = source_.read(data, maxSize);
    if (n > 0) {
        builder_.addExpanded(n);
        if (builder_.expansionExceeded()) {
            exceeded_ = true;
            return -1;
        }
        if (watchMarkup_ && !guard_.feed(data, n))
            return -1;
    }
    return n;
}

QString reasonCorruptZip() {
    return QStringLiteral("el archivo comprimido está dañado o incompleto");
}

QString reasonTooLarge(qint64 limitBytes) {
    return QStringLiteral("su contenido descomprimido pasa del límite de %1 MB")
        .arg(limitBytes / (1024 * 1024));
}

namespace {

bool startsWith(const QByteArray& data, const char* magic, int size) {
    return data.size() >= size && std::equal(magic, magic + size, data.constData());
}

// The first non-blank bytes after a byte-order mark, lower-cased, for the XML test.
QByteArray xmlHead(const QByteArray& data) {
    QByteArray head = data.left(4096);
    if (head.startsWith("\xEF\xBB\xBF"))
        head.remove(0, 3);
    else if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF")) {
        // UTF-16: keep the ASCII bytes only, enough to recognise the markup.
        QByteArray ascii;
        for (char c : head)
            if (c != '\0')
                ascii += c;
        head = ascii.mid(2);
    }
    return head.trimmed().toLower();
}

} // namespace

SheetFormat sniffSheetFormat(const QByteArray& data) {
    if (startsWith(data, "PK\x03\x04", 4)) {
        // Both are zips; the ODF one names its type in its first entry, "mimetype", and the
        // names of the entries stand in plain text in the zip's directory.
        if (data.left(200).contains("application/vnd.oasis.opendocument"))
            return SheetFormat::Ods;
        if (!data.contains("xl/") && data.contains("content.xml"))
            return SheetFormat::Ods;
        return SheetFormat::Xlsx;
    }
    if (startsWith(data, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
        return SheetFormat::Biff;
    // BIFF2-BIFF4 files are a bare record stream starting with a BOF record (0x0009, 0x0209,
    // 0x0409).
    if (data.size() >= 4 && static_cast<unsigned char>(data[0]) == 0x09 &&
        (data[1] == 0x00 || data[1] == 0x02 || data[1] == 0x04) &&
        (static_cast<unsigned char>(data[2]) == 0x04 ||
         static_cast<unsigned char>(data[2]) == 0x06) &&
        static_cast<unsigned char>(data[3]) == 0x00)
        return SheetFormat::Biff;
    const QByteArray head = xmlHead(data);
    if (head.startsWith('<')) {
        if (head.contains("urn:schemas-microsoft-com:office:spreadsheet") ||
            head.contains("<workbook"))
            return SheetFormat::XmlWorkbook;
        return SheetFormat::Unknown;
    }
    if (data.isEmpty())
        return SheetFormat::Unknown;
    // Text: no NUL bytes outside a UTF-16 text.
    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF") || !data.contains('\0'))
        return SheetFormat::DelimitedText;
    return SheetFormat::Unknown;
}

namespace {

// What a zip's parts may inflate to: a bomb inflates hundreds of times its file, a workbook
// tens; a file's own budget keeps the reading of a small one within a couple of seconds.
qint64 expansionBudget(qint64 fileBytes, qint64 limit) {
    constexpr qint64 kFloor = 32ll * 1024 * 1024;
    constexpr qint64 kRatio = 48;
    return std::min(limit, std::max(kFloor, kRatio * fileBytes));
}

Sheet readSheet(const QByteArray& data, const QString& fileName, const QString& path,
                const QLocale& locale, SheetLimits limits) {
    limits.maxExpandedBytes = expansionBudget(data.size(), limits.maxExpandedBytes);
    const SheetFormat format = sniffSheetFormat(data);
    SheetBuilder builder(fileName, locale, limits, format);
    if (data.isEmpty())
        builder.fail(QStringLiteral("está vacío"));
    if (data.size() > limits.maxFileBytes)
        builder.fail(QStringLiteral("pasa del tamaño máximo de %1 MB")
                         .arg(limits.maxFileBytes / (1024 * 1024)));
    readFormat(format, data, path, builder);
    return builder.finish();
}

} // namespace

void readFormat(SheetFormat format, const QByteArray& data, const QString& path,
                SheetBuilder& builder) {
    switch (format) {
    case SheetFormat::Xlsx:
        readXlsx(data, builder);
        break;
    case SheetFormat::Ods:
        readOds(data, builder);
        break;
    case SheetFormat::Biff:
        readBiff(data, path, builder);
        break;
    case SheetFormat::XmlWorkbook:
        readXmlWorkbook(data, builder);
        break;
    case SheetFormat::DelimitedText:
        readDelimitedText(data, builder);
        break;
    case SheetFormat::Unknown:
        builder.fail(QStringLiteral("no es una hoja de cálculo reconocida"));
    }
}

Sheet readFirstSheetFromData(const QByteArray& data, const QString& fileName, const QLocale& locale,
                             const SheetLimits& limits) {
    return readSheet(data, fileName, QString(), locale, limits);
}

Sheet readFirstSheet(const QString& path, const QLocale& locale, const SheetLimits& limits) {
    QFile file(path);
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        throw SheetReadError(QStringLiteral("No se encuentra el archivo \"%1\".").arg(path));
    if (info.size() > limits.maxFileBytes)
        throw SheetReadError(
            QStringLiteral("El archivo \"%1\" no se puede leer como hoja de cálculo: pasa del "
                           "tamaño máximo de %2 MB.")
                .arg(path)
                .arg(limits.maxFileBytes / (1024 * 1024)));
    if (!file.open(QIODevice::ReadOnly))
        throw SheetReadError(QStringLiteral("No se puede abrir el archivo \"%1\": no hay permiso "
                                            "de lectura o está en uso.")
                                 .arg(path));
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw SheetReadError(
            QStringLiteral("No se puede leer el archivo \"%1\": error de lectura del disco.")
                .arg(path));
    return readSheet(data, path, path, locale, limits);
}

} // namespace corvelix

#pragma once

// Inside the spreadsheet reader: what the format readers share.
#include "platform/SheetReader.h"

#include <QDate>
#include <QHash>
#include <QIODevice>
#include <QTime>

#include <functional>
#include <memory>
#include <vector>

class QXmlStreamReader;

namespace corvelix {

// The spreadsheet programs' own bound on the characters of a cell's text.
constexpr qsizetype kMaxCellText = 32767;

// Watches the markup of an XML part as its bytes go by, before a parser sees them: the parsers
// check an element's attributes against each other, which takes time growing with the square
// of their number.
class MarkupGuard {
public:
    // Far more than any writer puts on one element (a document's first element declares its
    // namespaces as attributes, some forty).
    static constexpr int kMaxAttributes = 64;

    // Takes the next bytes of the part; false once an element has more than kMaxAttributes.
    bool feed(const char* data, qint64 size);
    [[nodiscard]] bool crowded() const { return crowded_; }

private:
    enum class State { Text, Open, Bang, Tag, Quoted, Comment, CData, Other };
    State state_ = State::Text;
    char quote_ = 0;
    char opening_[8] = {}; // what follows "<!" until the kind of markup is known
    std::size_t matched_ = 0;
    int attributes_ = 0;
    bool crowded_ = false;
};

// Collects cells as a format reader finds them and turns values into the texts the
// spreadsheet program would show.
class SheetBuilder {
public:
    SheetBuilder(QString fileName, const QLocale& locale, const SheetLimits& limits,
                 SheetFormat format);

    [[nodiscard]] const SheetLimits& limits() const { return limits_; }
    [[nodiscard]] const QLocale& locale() const { return locale_; }

    // Values at a 1-based position; empty texts are not kept. Positions past the sheet's
    // bounds are refused.
    void setText(int row, int column, QString text);
    void setNumber(int row, int column, double value);
    void setBoolean(int row, int column, bool value);
    // A date serial of the spreadsheet (days since 1899-12-30 in the 1900 system).
    void setDateSerial(int row, int column, double serial, bool system1904 = false);
    void setDateTime(int row, int column, const QDate& date, const QTime& time);

    // The texts the setters above store.
    [[nodiscard]] QString numberText(double value) const;
    [[nodiscard]] static QString booleanText(bool value);
    [[nodiscard]] QString dateSerialText(double serial, bool system1904 = false) const;

    // Whether a position is inside the sheet's bounds.
    [[nodiscard]] bool inBounds(int row, int column) const;
    // Throws unless the position is inside the bounds.
    void checkBounds(qint64 row, qint64 column) const;

    // Forgets the cells set so far, for a part read again from its start.
    void clearCells();

    // Counts bytes taken from compressed parts against the expansion limit.
    void addExpanded(qint64 bytes);
    [[nodiscard]] bool expansionExceeded() const { return expanded_ > limits_.maxExpandedBytes; }

    // "El archivo "<name>" no se puede leer como hoja de cálculo: <reason>."
    [[noreturn]] void fail(const QString& reason) const;

    Sheet finish();

    // How a date shows: the locale's short date with a four-digit year, then the time when
    // there is one; a time alone when there is no date part.
    static QString dateText(const QLocale& locale, const QDate& date, const QTime& time);

private:
    struct Entry {
        int row;
        int column;
        QString text;
    };
    QString fileName_;
    QLocale locale_;
    SheetLimits limits_;
    SheetFormat format_;
    Sheet sheet_;                // the cells that came in order
    std::vector<Entry> entries_; // those after the first one out of order
    qint64 expanded_ = 0;
    // Texts of the date serials met so far: a column of dates repeats few of them, and the
    // locale's formatting is the dearest part of a cell.
    mutable QHash<double, QString> dateTexts_;
};

// A device that passes bytes through from another one and stops (read error) once the
// builder's expansion budget is spent, so a zip bomb never reaches memory, or once an element
// has too many attributes for the parser to get through in time.
class BudgetDevice : public QIODevice {
public:
    // `watchMarkup` false for a reading that bounds the attributes of an element itself.
    BudgetDevice(QIODevice& source, SheetBuilder& builder, bool watchMarkup = true);
    [[nodiscard]] bool isSequential() const override { return true; }
    [[nodiscard]] bool exceeded() const { return exceeded_; }
    [[nodiscard]] bool crowded() const { return guard_.crowded(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice& source_;
    SheetBuilder& builder_;
    bool exceeded_ = false;
    bool watchMarkup_;
    MarkupGuard guard_;
};

// The parts of a zip package, each read as XML through the expansion budget.
class ZipPackage {
public:
    ZipPackage(const QByteArray& data, SheetBuilder& builder);
    ~ZipPackage();
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    [[nodiscard]] bool has(const QString& name) const;
    // Hands `consume` the part as a device that inflates it as it is read (a read error once
    // the part is damaged or the budget spent); afterwards the damage or the bomb fail the read.
    // The markup is watched (MarkupGuard) unless `watchMarkup` is false.
    void stream(const QString& name, const std::function<void(QIODevice&)>& consume,
                bool watchMarkup = true);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    SheetBuilder& builder_;
};

// The text of the element the reader stands on, with everything inside it; the elements
// named in `skip` are left out with their content. Leaves the reader on the end element.
QString elementText(QXmlStreamReader& xml, const QStringList& skip = {});

// Fills the builder from the whole file's bytes by the reader of `format` (`path`: the file,
// for the readers that need it; may be empty). An unknown format fails the reading.
void readFormat(SheetFormat format, const QByteArray& data, const QString& path,
                SheetBuilder& builder);

// The format readers; each fills the builder from the whole file's bytes.
void readXlsx(const QByteArray& data, SheetBuilder& builder);
void readOds(const QByteArray& data, SheetBuilder& builder);
void readBiff(const QByteArray& data, const QString& path, SheetBuilder& builder);
void readXmlWorkbook(const QByteArray& data, SheetBuilder& builder);
void readDelimitedText(const QByteArray& data, SheetBuilder& builder);

// Whether a number format shows dates or times: by its built-in number, or by its code.
bool isDateFormatId(int id);
bool isDateFormatCode(const QString& code);

// Reasons shared by several readers.
QString reasonCorruptZip();
QString reasonTooLarge(qint64 limitBytes);
// An element with more attributes than MarkupGuard allows in `content` ("el contenido de ...").
QString reasonCrowdedElement(const QString& content);

} // namespace corvelix

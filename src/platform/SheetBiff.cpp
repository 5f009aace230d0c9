// Binary .xls (BIFF 2 to 8) through FreeXL, which reads from a path.
#include "platform/SheetFormats.h"

#include <QDateTime>
#include <QTemporaryFile>

#include <freexl.h>

namespace corvelix {

namespace {

// A workbook saved with a password to open is an encrypted package inside the same
// container as a binary workbook.
bool isEncryptedPackage(const QByteArray& data) {
    static const QByteArray name =
        QByteArray("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32);
    return data.contains(name);
}

struct Handle {
    const void* h = nullptr;
    ~Handle() {
        if (h)
            freexl_close(h);
    }
};

} // namespace

void readBiff(const QByteArray& data, const QString& path, SheetBuilder& builder) {
    if (isEncryptedPackage(data))
        builder.fail(QStringLiteral("está protegido con contraseña"));
    QString file = path;
    QTemporaryFile copy;
    if (file.isEmpty()) {
        if (!copy.open() || copy.write(data) != data.size() || !copy.flush())
            builder.fail(QStringLiteral("no se pudo preparar su lectura"));
        file = copy.fileName();
    }
    Handle handle;
    const int opened = freexl_open(file.toLocal8Bit().constData(), &handle.h);
    if (opened != FREEXL_OK) {
        if (opened == FREEXL_INSUFFICIENT_MEMORY)
            builder.fail(QStringLiteral("no hay memoria suficiente para leerlo"));
        builder.fail(QStringLiteral("el libro de Excel está dañado o no es un libro de Excel"));
    }
    unsigned int info = 0;
    if (freexl_get_info(handle.h, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
        info == FREEXL_BIFF_OBFUSCATED)
        builder.fail(QStringLiteral("está protegido con contraseña"));
    unsigned int sheets = 0;
    if (freexl_get_info(handle.h, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK || sheets == 0)
        builder.fail(QStringLiteral("no tiene ninguna hoja de cálculo"));
    if (freexl_select_active_worksheet(handle.h, 0) != FREEXL_OK)
        builder.fail(QStringLiteral("el libro de Excel está dañado o no es un libro de Excel"));
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(handle.h, &rows, &columns) != FREEXL_OK)
        builder.fail(QStringLiteral("el libro de Excel está dañado o no es un libro de Excel"));
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(handle.h, r, c, &cell) != FREEXL_OK)
                continue;
            const int row = static_cast<int>(r) + 1;
            const int column = c + 1;
            switch (cell.type) {
            case FREEXL_CELL_INT:
                builder.setNumber(row, column, cell.value.int_value);
                break;
            case FREEXL_CELL_DOUBLE:
                builder.setNumber(row, column, cell.value.double_value);
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
                if (cell.value.text_value)
                    builder.setText(row, column, QString::fromUtf8(cell.value.text_value));
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME: {
                if (!cell.value.text_value)
                    break;
                const QString text = QString::fromUtf8(cell.value.text_value);
                const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
                QTime time = QTime::fromString(text.right(8), QStringLiteral("HH:mm:ss"));
                if (cell.type == FREEXL_CELL_DATE)
                    time = QTime();
                builder.setDateTime(row, column, cell.type == FREEXL_CELL_TIME ? QDate() : date,
                                    cell.type == FREEXL_CELL_TIME && !time.isValid() ? QTime(0, 0)
                                                                                     : time);
                break;
            }
            default:
                break;
            }
        }
    }
}

} // namespace corvelix

// Binary .xls (BIFF 2 to 8) through FreeXL, which reads from a path. FreeXL can read past its
// buffers and free a bad pointer on damaged files, so on Unix it runs in a child process: a
// crash there is a damaged file, not the end of the program.
#include "platform/SheetFormats.h"

#include <QDataStream>
#include <QDateTime>
#include <QTemporaryFile>

#include <freexl.h>

#ifdef Q_OS_UNIX
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#endif

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

namespace {

void readWithFreeXL(const QString& file, SheetBuilder& builder) {
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

#ifdef Q_OS_UNIX
bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Reads in a child process; the cells (or the refusal) come back through a pipe.
void readInChild(const QString& file, SheetBuilder& builder) {
    int fds[2];
    if (::pipe(fds) != 0)
        builder.fail(QStringLiteral("no se pudo preparar su lectura"));
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        builder.fail(QStringLiteral("no se pudo preparar su lectura"));
    }
    if (pid == 0) {
        ::close(fds[0]);
        QByteArray out;
        QDataStream stream(&out, QIODevice::WriteOnly);
        try {
            SheetBuilder child(QString(), builder.locale(), builder.limits(), SheetFormat::Biff);
            readWithFreeXL(file, child);
            const Sheet sheet = child.finish();
            stream << qint32(0);
            for (int r = 1; r <= sheet.lastRow(); ++r)
                for (int c = 1; c <= sheet.lastColumn(); ++c)
                    if (const QString t = sheet.text(r, c); !t.isEmpty())
                        stream << qint32(r) << qint32(c) << t;
        } catch (const SheetReadError& e) {
            out.clear();
            QDataStream refusal(&out, QIODevice::WriteOnly);
            refusal << qint32(1) << e.message();
        } catch (...) {
            ::_exit(2);
        }
        ::_exit(writeAll(fds[1], out) ? 0 : 3);
    }
    ::close(fds[1]);
    QByteArray in;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        in.append(buffer, n);
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        builder.fail(QStringLiteral("el libro de Excel está dañado o no es un libro de Excel"));
    QDataStream stream(in);
    qint32 kind = -1;
    stream >> kind;
    if (kind == 1) {
        QString message;
        stream >> message;
        // The child's message ends in its reason; keep the reason under this file's name.
        const QString marker = QStringLiteral("hoja de cálculo: ");
        const qsizetype at = message.indexOf(marker);
        QString reason = at >= 0 ? message.mid(at + marker.size()) : message;
        if (reason.endsWith(QLatin1Char('.')))
            reason.chop(1);
        builder.fail(reason);
    }
    if (kind != 0)
        builder.fail(QStringLiteral("el libro de Excel está dañado o no es un libro de Excel"));
    while (!stream.atEnd()) {
        qint32 r = 0;
        qint32 c = 0;
        QString text;
        stream >> r >> c >> text;
        if (stream.status() != QDataStream::Ok)
            builder.fail(QStringLiteral("el libro de Excel está dañado o no es un libro de Excel"));
        builder.setText(r, c, text);
    }
}
#endif

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
#ifdef Q_OS_UNIX
    readInChild(file, builder);
#else
    readWithFreeXL(file, builder);
#endif
}

} // namespace corvelix

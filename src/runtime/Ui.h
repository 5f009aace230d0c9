#pragma once

#include <QList>
#include <QString>
#include <QUrl>

class QDialog;
class QWidget;

namespace corvelix {

// Values as the old runtime numbered them, so that answers compare the same way.
enum class MsgButtons {
    Ok = 0,
    OkCancel = 1,
    AbortRetryIgnore = 2,
    YesNoCancel = 3,
    YesNo = 4,
    RetryCancel = 5
};
enum class MsgIcon { None = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };
enum class MsgDefault { First = 0, Second = 256, Third = 512 };
enum class MsgResult { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct FileFilter {
    QString description; // "Archivo Excel (*.xls)"
    QString pattern;     // "*.xls" (several patterns separated by ';')
    bool operator==(const FileFilter&) const = default;
};

struct FileDialogRequest {
    QString title;
    QList<FileFilter> filters; // the first one is preselected
    QString directory;         // empty: the folder last used, else the user's home
    QString proposedName;      // only for the save dialog
};

// Everything the program shows or asks of the desktop goes through here, so that tests can
// script the answers and record what was shown.
class Ui {
public:
    virtual ~Ui() = default;

    // An empty title shows the program's name, as the old message boxes did.
    virtual MsgResult msgBox(const QString& text, MsgButtons buttons = MsgButtons::Ok,
                             MsgIcon icon = MsgIcon::None, const QString& title = {},
                             MsgDefault defaultButton = MsgDefault::First) = 0;

    // Modal showing of a dialog; returns its result code.
    virtual int exec(QDialog& dialog) = 0;
    // Modeless showing of a window.
    virtual void show(QWidget& window) = 0;

    // The chosen path, or the empty text when the user cancelled.
    virtual QString saveFileName(const FileDialogRequest& request) = 0;
    virtual QString openFileName(const FileDialogRequest& request) = 0;

    virtual QString clipboardText() = 0;
    virtual bool openUrl(const QUrl& url) = 0;

    // Absolute state, like the old screen pointer: true shows the hourglass.
    virtual void setBusy(bool busy) = 0;
    // Whether the busy pointer shows.
    [[nodiscard]] virtual bool isBusy() const { return false; }
    // Lets pending window events run (long loops, process waits).
    virtual void processEvents() = 0;
    // Paints the open windows again, and nothing else: no input, timer or queued call runs (a
    // wait inside a database statement, which nothing may re-enter).
    virtual void repaintWindows();
    // Ends the program at once; never returns.
    [[noreturn]] virtual void quit(int exitCode) = 0;
};

// The seam in use. main() installs the Qt one; tests install the scripted double.
Ui& ui();
// Installs a seam (not owned); returns the previous one.
Ui* setUi(Ui* seam);

} // namespace corvelix

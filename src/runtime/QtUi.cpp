#include "runtime/QtUi.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace corvelix {

namespace {

std::vector<std::pair<QMessageBox::StandardButton, MsgResult>> buttonsFor(MsgButtons buttons) {
    using B = QMessageBox::StandardButton;
    switch (buttons) {
    case MsgButtons::Ok:
        return {{B::Ok, MsgResult::Ok}};
    case MsgButtons::OkCancel:
        return {{B::Ok, MsgResult::Ok}, {B::Cancel, MsgResult::Cancel}};
    case MsgButtons::AbortRetryIgnore:
        return {{B::Abort, MsgResult::Abort},
                {B::Retry, MsgResult::Retry},
                {B::Ignore, MsgResult::Ignore}};
    case MsgButtons::YesNoCancel:
        return {{B::Yes, MsgResult::Yes}, {B::No, MsgResult::No}, {B::Cancel, MsgResult::Cancel}};
    case MsgButtons::YesNo:
        return {{B::Yes, MsgResult::Yes}, {B::No, MsgResult::No}};
    case MsgButtons::RetryCancel:
        return {{B::Retry, MsgResult::Retry}, {B::Cancel, MsgResult::Cancel}};
    }
    return {{B::Ok, MsgResult::Ok}};
}

QMessageBox::Icon iconFor(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Icons and types from the name alone. Guessing a type from the contents opens and closes the
// file, and closing any descriptor of a file drops every lock the process holds on it: the
// SQLite catalog's, under an open transaction, when the dialog shows the catalog's folder.
class NameOnlyIconProvider : public QFileIconProvider {
public:
    NameOnlyIconProvider() { setOptions(DontUseCustomDirectoryIcons); }
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override { return icon(info.isDir() ? Folder : File); }
    QString type(const QFileInfo& info) const override {
        if (info.isDir())
            return QFileIconProvider::type(info);
        return QMimeDatabase()
            .mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension)
            .comment();
    }
};

// Qt's own dialog, so that nothing but our provider looks at the files (a desktop's native
// dialog would read them in our process too).
void leerSoloNombres(QFileDialog& dialog, QFileIconProvider& provider) {
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setIconProvider(&provider);
}

} // namespace

QString qtNameFilters(const QList<FileFilter>& filters) {
    QStringList entries;
    for (const auto& f : filters) {
        QString patterns = f.pattern;
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // QFileDialog reads the patterns from the last parentheses of the entry; most
        // descriptions already end with them ("Archivo Excel (*.xls)").
        if (f.description.endsWith(QStringLiteral("(%1)").arg(patterns)))
            entries << f.description;
        else
            entries << QStringLiteral("%1 (%2)").arg(f.description, patterns);
    }
    return entries.join(QStringLiteral(";;"));
}

MsgResult QtUi::msgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
                       MsgDefault defaultButton) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title.isEmpty() ? QStringLiteral("Corvelix") : title);
    box.setText(text);
    box.setIcon(iconFor(icon));
    const auto mapping = buttonsFor(buttons);
    for (const auto& [button, result] : mapping)
        box.addButton(button);
    const std::size_t index = defaultButton == MsgDefault::Third    ? 2
                              : defaultButton == MsgDefault::Second ? 1
                                                                    : 0;
    if (index < mapping.size())
        box.setDefaultButton(mapping[index].first);
    // Busy pointer stays as the caller set it, but the box itself must take clicks.
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QGuiApplication::restoreOverrideCursor();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const auto& [button, result] : mapping)
        if (button == clicked)
            return result;
    // Closed with Esc or the close box: the cancelling answer, or the only one.
    for (const auto& [button, result] : mapping)
        if (result == MsgResult::Cancel || result == MsgResult::No)
            return result;
    return mapping.front().second;
}

int QtUi::exec(QDialog& dialog) {
    return dialog.exec();
}

void QtUi::show(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

QString QtUi::startFolder(const FileDialogRequest& request) const {
    if (!request.directory.isEmpty())
        return request.directory;
    if (!lastFolder_.isEmpty() && QFileInfo(lastFolder_).isDir())
        return lastFolder_;
    return QDir::homePath();
}

QString QtUi::chosen(const QString& path) {
    lastFolder_ = QFileInfo(path).absolutePath();
    return QDir::toNativeSeparators(path);
}

QString QtUi::saveFileName(const FileDialogRequest& request) {
    NameOnlyIconProvider iconos;
    QFileDialog dialog(QApplication::activeWindow(), request.title, startFolder(request),
                       qtNameFilters(request.filters));
    leerSoloNombres(dialog, iconos);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The name comes back as typed: no added extension, no overwrite question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return chosen(dialog.selectedFiles().constFirst());
}

QString QtUi::openFileName(const FileDialogRequest& request) {
    NameOnlyIconProvider iconos;
    QFileDialog dialog(QApplication::activeWindow(), request.title, startFolder(request),
                       qtNameFilters(request.filters));
    leerSoloNombres(dialog, iconos);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return chosen(dialog.selectedFiles().constFirst());
}

QString QtUi::clipboardText() {
    return QGuiApplication::clipboard()->text();
}

bool QtUi::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

void QtUi::setBusy(bool busy) {
    if (busy == busy_)
        return;
    busy_ = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        while (QGuiApplication::overrideCursor() != nullptr)
            QGuiApplication::restoreOverrideCursor();
}

void QtUi::processEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtUi::quit(int exitCode) {
    std::fflush(nullptr);
    std::exit(exitCode);
}

} // namespace corvelix

#pragma once

#include "runtime/Ui.h"

namespace corvelix {

// The real seam: Qt message boxes, file dialogs, clipboard and cursor.
class QtUi final : public Ui {
public:
    MsgResult msgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
                     MsgDefault defaultButton) override;
    int exec(QDialog& dialog) override;
    void show(QWidget& window) override;
    QString saveFileName(const FileDialogRequest& request) override;
    QString openFileName(const FileDialogRequest& request) override;
    QString clipboardText() override;
    bool openUrl(const QUrl& url) override;
    void setBusy(bool busy) override;
    void processEvents() override;
    [[noreturn]] void quit(int exitCode) override;

private:
    bool busy_ = false;
};

// "Desc (pattern)" entries for QFileDialog.
QString qtNameFilters(const QList<FileFilter>& filters);

} // namespace corvelix

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
    [[nodiscard]] bool isBusy() const override { return busy_; }
    void processEvents() override;
    [[noreturn]] void quit(int exitCode) override;

private:
    // Where a dialog asked without a folder starts: the folder of the file last chosen, else
    // the user's home (never the working folder, which is wherever the program was started).
    [[nodiscard]] QString startFolder(const FileDialogRequest& request) const;
    QString chosen(const QString& path);

    bool busy_ = false;
    QString lastFolder_;
};

// "Desc (pattern)" entries for QFileDialog.
QString qtNameFilters(const QList<FileFilter>& filters);

} // namespace corvelix

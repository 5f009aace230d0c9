#pragma once

#include "runtime/Ui.h"

#include <QDialog>
#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>

#include <functional>

namespace corvelix::test {

// Thrown by ScriptedUi::quit so that a test sees the program end where it would have ended.
struct ProgramExit {
    int code = 0;
};

// The UI seam for tests: records every call, answers message boxes and file dialogs from
// queues, and runs a handler per form (by objectName) each time a form is shown modally.
// Constructing it installs it; destroying it puts the previous seam back.
class ScriptedUi final : public Ui {
public:
    struct Box {
        QString text;
        MsgButtons buttons;
        MsgIcon icon;
        QString title;
        MsgDefault defaultButton;
    };
    struct FileDialog {
        bool save = false;
        FileDialogRequest request;
    };
    using FormHandler = std::function<void(QDialog&)>;

    ScriptedUi();
    ~ScriptedUi() override;
    ScriptedUi(const ScriptedUi&) = delete;
    ScriptedUi& operator=(const ScriptedUi&) = delete;

    // The seam installed by the newest living ScriptedUi.
    static ScriptedUi& current();

    // Forget every record, queued answer and handler.
    void reset();
    // While on, a box without a queued answer gets its default button without failing the test
    // (for checks that press everything and count the boxes themselves). reset() turns it off.
    void tolerateBoxes(bool on) { tolerateBoxes_ = on; }
    // The queued answers nobody asked for, described; empty when all were used.
    [[nodiscard]] QString unusedAnswers() const;

    // --- scripting
    // Answers for the next boxes, in order. Every box needs one: a box with the queue empty
    // fails the running test (it still gets its default button), and so does an answer the
    // box has no button for. Answers left unused at the end of a test function fail it too.
    void answerBoxes(const QList<MsgResult>& answers) { boxAnswers_ += answers; }
    void answerSaveDialog(const QString& path) { saveAnswers_ << path; }
    void answerOpenDialog(const QString& path) { openAnswers_ << path; }
    void setClipboard(const QString& text) { clipboard_ = text; }
    // Runs for every modal showing of a dialog with this objectName, after its load logic ran.
    // A dialog still open when the handler returns (or throws), or without a handler, is
    // rejected, and hidden if it refuses; its modality is put back as it was. A handler that
    // never ran (its form never opened, or closed itself while loading) is an unused answer.
    void onForm(const QString& objectName, FormHandler handler) {
        handlers_[objectName] = std::move(handler);
    }

    // --- records
    QList<Box> boxes;
    QList<FileDialog> fileDialogs;
    QStringList shownForms;    // objectNames, modal and modeless, in order
    QStringList modelessForms; // objectNames shown modeless
    QList<QUrl> openedUrls;
    bool urlsOpen = true;    // what openUrl answers (false: no browser took the address)
    QList<bool> busyChanges; // every setBusy call
    bool busy = false;
    int processEventsCalls = 0;
    int repaintCalls = 0;
    int clipboardReads = 0;
    QList<int> quits;

    // --- Ui
    MsgResult msgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
                     MsgDefault defaultButton) override;
    int exec(QDialog& dialog) override;
    void show(QWidget& window) override;
    QString saveFileName(const FileDialogRequest& request) override;
    QString openFileName(const FileDialogRequest& request) override;
    QString clipboardText() override {
        ++clipboardReads;
        return clipboard_;
    }
    bool openUrl(const QUrl& url) override;
    void setBusy(bool value) override;
    [[nodiscard]] bool isBusy() const override { return busy; }
    void processEvents() override;
    void repaintWindows() override;
    [[noreturn]] void quit(int exitCode) override;

private:
    Ui* previous_ = nullptr;
    ScriptedUi* previousScripted_ = nullptr;
    QList<MsgResult> boxAnswers_;
    QStringList saveAnswers_;
    QStringList openAnswers_;
    QString clipboard_;
    QHash<QString, FormHandler> handlers_;
    QSet<QString> handlersRun_;
    bool tolerateBoxes_ = false;
};

// Text of the default button's answer for a box.
MsgResult defaultAnswer(MsgButtons buttons, MsgDefault defaultButton);

} // namespace corvelix::test

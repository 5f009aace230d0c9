#include "support/ScriptedUi.h"

#include <QCoreApplication>
#include <QTest>
#include <QWidget>

namespace corvelix::test {

namespace {
ScriptedUi* newest = nullptr;
}

namespace {

// The answers a box can give, in the order of its buttons.
QList<MsgResult> answersOf(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok:
        return {MsgResult::Ok};
    case MsgButtons::OkCancel:
        return {MsgResult::Ok, MsgResult::Cancel};
    case MsgButtons::AbortRetryIgnore:
        return {MsgResult::Abort, MsgResult::Retry, MsgResult::Ignore};
    case MsgButtons::YesNoCancel:
        return {MsgResult::Yes, MsgResult::No, MsgResult::Cancel};
    case MsgButtons::YesNo:
        return {MsgResult::Yes, MsgResult::No};
    case MsgButtons::RetryCancel:
        return {MsgResult::Retry, MsgResult::Cancel};
    }
    return {MsgResult::Ok};
}

} // namespace

MsgResult defaultAnswer(MsgButtons buttons, MsgDefault defaultButton) {
    const QList<MsgResult> order = answersOf(buttons);
    const int index = defaultButton == MsgDefault::Third    ? 2
                      : defaultButton == MsgDefault::Second ? 1
                                                            : 0;
    return order.value(index, order.front());
}

ScriptedUi::ScriptedUi() {
    previous_ = setUi(this);
    previousScripted_ = newest;
    newest = this;
}

ScriptedUi::~ScriptedUi() {
    setUi(previous_);
    newest = previousScripted_;
}

ScriptedUi& ScriptedUi::current() {
    Q_ASSERT(newest != nullptr);
    return *newest;
}

void ScriptedUi::reset() {
    boxes.clear();
    fileDialogs.clear();
    shownForms.clear();
    modelessForms.clear();
    openedUrls.clear();
    urlsOpen = true;
    busyChanges.clear();
    busy = false;
    processEventsCalls = 0;
    repaintCalls = 0;
    clipboardReads = 0;
    quits.clear();
    boxAnswers_.clear();
    saveAnswers_.clear();
    openAnswers_.clear();
    clipboard_.clear();
    handlers_.clear();
    handlersRun_.clear();
    tolerateBoxes_ = false;
}

QString ScriptedUi::unusedAnswers() const {
    QStringList parts;
    if (!boxAnswers_.isEmpty())
        parts << QStringLiteral("%1 box answer(s)").arg(boxAnswers_.size());
    if (!saveAnswers_.isEmpty())
        parts << QStringLiteral("save dialog: ") + saveAnswers_.join(QStringLiteral(", "));
    if (!openAnswers_.isEmpty())
        parts << QStringLiteral("open dialog: ") + openAnswers_.join(QStringLiteral(", "));
    // A form that never opened, or closed itself before its script could run.
    QStringList neverRan;
    for (auto it = handlers_.cbegin(); it != handlers_.cend(); ++it)
        if (!handlersRun_.contains(it.key()))
            neverRan << it.key();
    if (!neverRan.isEmpty()) {
        neverRan.sort();
        parts << QStringLiteral("form handler never ran: ") + neverRan.join(QStringLiteral(", "));
    }
    return parts.join(QStringLiteral("; "));
}

MsgResult ScriptedUi::msgBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                             const QString& title, MsgDefault defaultButton) {
    boxes.append({text, buttons, icon, title, defaultButton});
    if (boxAnswers_.isEmpty()) {
        if (tolerateBoxes_)
            return defaultAnswer(buttons, defaultButton);
        // A box the test did not expect is a fault of the form, even when nothing checks it.
        QTest::qFail(qPrintable(QStringLiteral("unexpected box: \"%1\"").arg(text)), __FILE__,
                     __LINE__);
        return defaultAnswer(buttons, defaultButton);
    }
    const MsgResult answer = boxAnswers_.takeFirst();
    // A scripted answer the box has no button for would let a wrong box pass unnoticed.
    if (!answersOf(buttons).contains(answer))
        QTest::qFail(
            qPrintable(QStringLiteral("scripted answer %1 is not a button of the box \"%2\"")
                           .arg(static_cast<int>(answer))
                           .arg(text)),
            __FILE__, __LINE__);
    return answer;
}

int ScriptedUi::exec(QDialog& dialog) {
    const QString name = dialog.objectName();
    shownForms << name;
    // Modal for this showing only, as QDialog::exec leaves it.
    const bool wasModal = dialog.testAttribute(Qt::WA_ShowModal);
    const auto takeDown = [&] {
        if (dialog.isVisible())
            dialog.reject();
        // A form that refuses to close would block every later test.
        if (dialog.isVisible())
            dialog.hide();
        dialog.setAttribute(Qt::WA_ShowModal, wasModal);
    };
    // Show it so that its load and activation logic runs, as a modal showing would.
    dialog.setAttribute(Qt::WA_ShowModal, true);
    dialog.setResult(0);
    try {
        dialog.show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        if (dialog.isVisible()) {
            if (auto handler = handlers_.value(name)) {
                handlersRun_.insert(name);
                handler(dialog);
            }
        }
    } catch (...) {
        takeDown();
        throw;
    }
    takeDown();
    QCoreApplication::processEvents();
    return dialog.result();
}

void ScriptedUi::show(QWidget& window) {
    shownForms << window.objectName();
    modelessForms << window.objectName();
    window.show();
    QCoreApplication::processEvents();
}

QString ScriptedUi::saveFileName(const FileDialogRequest& request) {
    fileDialogs.append({true, request});
    return saveAnswers_.isEmpty() ? QString() : saveAnswers_.takeFirst();
}

QString ScriptedUi::openFileName(const FileDialogRequest& request) {
    fileDialogs.append({false, request});
    return openAnswers_.isEmpty() ? QString() : openAnswers_.takeFirst();
}

bool ScriptedUi::openUrl(const QUrl& url) {
    openedUrls << url;
    return urlsOpen;
}

void ScriptedUi::setBusy(bool value) {
    busyChanges << value;
    busy = value;
}

void ScriptedUi::processEvents() {
    ++processEventsCalls;
    QCoreApplication::processEvents();
}

void ScriptedUi::repaintWindows() {
    ++repaintCalls;
    Ui::repaintWindows();
}

void ScriptedUi::quit(int exitCode) {
    quits << exitCode;
    throw ProgramExit{exitCode};
}

} // namespace corvelix::test

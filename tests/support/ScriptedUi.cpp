#include "support/ScriptedUi.h"

#include <QCoreApplication>
#include <QWidget>

namespace corvelix::test {

namespace {
ScriptedUi* newest = nullptr;
}

MsgResult defaultAnswer(MsgButtons buttons, MsgDefault defaultButton) {
    QList<MsgResult> order;
    switch (buttons) {
    case MsgButtons::Ok:
        order = {MsgResult::Ok};
        break;
    case MsgButtons::OkCancel:
        order = {MsgResult::Ok, MsgResult::Cancel};
        break;
    case MsgButtons::AbortRetryIgnore:
        order = {MsgResult::Abort, MsgResult::Retry, MsgResult::Ignore};
        break;
    case MsgButtons::YesNoCancel:
        order = {MsgResult::Yes, MsgResult::No, MsgResult::Cancel};
        break;
    case MsgButtons::YesNo:
        order = {MsgResult::Yes, MsgResult::No};
        break;
    case MsgButtons::RetryCancel:
        order = {MsgResult::Retry, MsgResult::Cancel};
        break;
    }
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
    busyChanges.clear();
    busy = false;
    processEventsCalls = 0;
    clipboardReads = 0;
    quits.clear();
    boxAnswers_.clear();
    saveAnswers_.clear();
    openAnswers_.clear();
    clipboard_.clear();
    handlers_.clear();
}

MsgResult ScriptedUi::msgBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                             const QString& title, MsgDefault defaultButton) {
    boxes.append({text, buttons, icon, title, defaultButton});
    if (!boxAnswers_.isEmpty())
        return boxAnswers_.takeFirst();
    return defaultAnswer(buttons, defaultButton);
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
            if (auto handler = handlers_.value(name))
                handler(dialog);
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
    return true;
}

void ScriptedUi::setBusy(bool value) {
    busyChanges << value;
    busy = value;
}

void ScriptedUi::processEvents() {
    ++processEventsCalls;
    QCoreApplication::processEvents();
}

void ScriptedUi::quit(int exitCode) {
    quits << exitCode;
    throw ProgramExit{exitCode};
}

} // namespace corvelix::test

#include "runtime/FormKit.h"

#include <QEvent>
#include <QTimer>

#include <vector>

namespace corvelix {

QString handlerLocation(const QString& form, const QString& handler, int line) {
    return QStringLiteral("Corvelix.") + form + QLatin1Char('.') + handler + QStringLiteral(" (") +
           QString::number(line) + QStringLiteral(")::");
}

bool runHandler(const QObject& form, const QString& handler, const std::function<void()>& fn,
                const GuardOptions& options) {
    return guardEvent(handlerLocation(form.objectName(), handler), fn, options);
}

bool runHandler(const QObject& form, const QString& handler,
                const std::function<void(int& line)>& fn, const GuardOptions& options) {
    int line = 0;
    GuardOptions withLine = options;
    const QString name = form.objectName();
    if (!withLine.compose)
        withLine.compose = [&](const VbError& error) {
            return chainMessage(error, handlerLocation(name, handler, line));
        };
    return guardEvent({}, [&] { fn(line); }, withLine);
}

FirstActivation::FirstActivation(QWidget& window, std::function<void()> work)
    : QObject(&window), window_(&window), work_(std::move(work)) {
    window.installEventFilter(this);
}

bool FirstActivation::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        if (event->type() == QEvent::Show && !scheduled_ && !ran_) {
            scheduled_ = true;
            QTimer::singleShot(0, this, [this] {
                scheduled_ = false;
                if (!window_ || !window_->isVisible() || ran_)
                    return;
                ran_ = true;
                work_();
            });
        } else if (event->type() == QEvent::Hide && !event->spontaneous()) {
            ran_ = false;
        }
    }
    return QObject::eventFilter(watched, event);
}

namespace {
std::vector<std::function<void()>>& resets() {
    static std::vector<std::function<void()>> all;
    return all;
}
} // namespace

void registerProcessReset(std::function<void()> reset) {
    resets().push_back(std::move(reset));
}

void resetProcessStatics() {
    for (const auto& reset : resets())
        reset();
}

} // namespace corvelix

#include "support/EventWait.h"

#include <QCoreApplication>
#include <QTest>

#include <memory>

namespace corvelix::test {

EventCounter::EventCounter(QObject& watched, QEvent::Type type) : watched_(&watched), type_(type) {
    watched.installEventFilter(this);
}

bool EventCounter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == watched_ && event->type() == type_)
        ++count_;
    return QObject::eventFilter(watched, event);
}

bool runQueuedWork(int timeoutMs) {
    // Shared: a call still queued when the wait gives up runs later, after this returned.
    const auto ran = std::make_shared<bool>(false);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [ran] { *ran = true; }, Qt::QueuedConnection);
    return QTest::qWaitFor([&ran] { return *ran; }, timeoutMs);
}

} // namespace corvelix::test

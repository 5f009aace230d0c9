#pragma once

#include <QEvent>
#include <QObject>

namespace corvelix::test {

// Counts the events of one type an object receives. Its filter, installed after the object's
// own, sees each event first, and the others run in the same delivery: once the count has
// grown, every filter of the object has handled the event.
class EventCounter : public QObject {
public:
    EventCounter(QObject& watched, QEvent::Type type);
    [[nodiscard]] int count() const { return count_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QObject* watched_;
    QEvent::Type type_;
    int count_ = 0;
};

// Runs the event loop until a call posted now has run: the work queued before it (0 ms
// timers, queued calls) has run by then. False when it did not within `timeoutMs`.
[[nodiscard]] bool runQueuedWork(int timeoutMs = 5000);

} // namespace corvelix::test

#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QString>
#include <QUrl>

#include <functional>

namespace corvelix {

struct HttpAnswer {
    // False: the address could not be reached, the server answered with an error status, the
    // whole answer did not arrive within the deadline, or the read was abandoned. `body` is
    // then empty.
    bool ok = false;
    bool abandoned = false; // HttpAbandon::abandon() ended it
    bool timedOut = false;  // the deadline ended it
    int status = 0;         // the HTTP status of the last answer, 0 when there was none
    QNetworkReply::NetworkError code = QNetworkReply::NoError;
    QByteArray body;
    QString error; // why it failed, in Spanish, for logs and tests
};

// Lets the user give up a read in progress (a window's "Salir" while it waits). One read at a
// time; abandoning when none runs marks the next one abandoned before it starts.
class HttpAbandon {
public:
    void abandon();
    [[nodiscard]] bool abandoned() const { return abandoned_; }

private:
    friend HttpAnswer httpGet(const QUrl&, const QByteArray&, int, HttpAbandon*);
    bool abandoned_ = false;
    std::function<void()> stop_;
};

// A plain GET that waits for the whole answer: redirects are followed, nothing comes from a
// cache, the system's proxy settings are used except for this machine's own addresses.
// `deadlineMs` bounds the whole read from the request on, however the server trickles its
// answer. While it waits windows paint and timers fire. With `abandon` the user's input runs
// too (every window takes clicks and keys, so the caller must expect its own window to be
// closed meanwhile, and gives the read up through it); without it, input is held back, so no
// other handler starts in the middle.
HttpAnswer httpGet(const QUrl& url, const QByteArray& userAgent, int deadlineMs,
                   HttpAbandon* abandon = nullptr);

} // namespace corvelix

#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace corvelix {

struct HttpAnswer {
    // False: the address could not be reached, the server answered with an error status, or
    // it went quiet for longer than the wait allows. `body` is then empty.
    bool ok = false;
    int status = 0; // the HTTP status of the last answer, 0 when there was none
    QByteArray body;
    QString error; // why it failed, for logs and tests
};

// A plain GET that waits for the whole answer: redirects are followed, nothing comes from a
// cache, the system's proxy settings are used except for this machine's own addresses. While
// it waits the windows keep painting and timers keep running, but user input is held back,
// so no other handler starts in the middle. `quietLimitMs` is how long the server may stay
// silent (connecting or sending) before the request is given up.
HttpAnswer httpGet(const QUrl& url, const QByteArray& userAgent, int quietLimitMs);

} // namespace corvelix

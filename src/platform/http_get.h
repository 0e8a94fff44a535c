#pragma once
// The one use of Qt Network: an HTTP GET with a time limit, waiting in a local event loop. It
// lives in a module of its own (quarvel_network) that is loaded on first use, so that a program
// that never fetches a page does not load Qt Network and what it pulls in.

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <chrono>

namespace quarvel::platform {

struct HttpRequest {
    QUrl url;
    std::chrono::milliseconds timeLimit{20000};
    bool allowInput = false;  // let clicks and keys through while waiting
    qint64 maxBodyBytes = 0;  // larger bodies are abandoned (tooLarge)
};

struct HttpAnswer {
    int status = 0;   // the HTTP status; 0 when no answer came
    QString reason;   // its reason phrase
    QString failure;  // what went wrong on the way, in Chinese; empty when nothing did
    bool timedOut = false;
    bool tooLarge = false;
    QByteArray body;
    QByteArray contentType;
};

using HttpGet = void (*)(const HttpRequest& request, HttpAnswer* answer);

// The module's GET, loaded on first use: from beside the program, from ../lib/quarvel, or from
// the folder it was built in. nullptr, with the loader's reason in `error`, when it cannot be
// loaded.
HttpGet networkGet(QString* error);

}  // namespace quarvel::platform

// The module's one entry point: the answer is written to `answer` (a C entry point returns
// no C++ type).
extern "C" void quarvelHttpGet(const quarvel::platform::HttpRequest& r,
                               quarvel::platform::HttpAnswer* answer);

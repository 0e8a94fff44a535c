// The module quarvel_network: the HTTP GET over Qt Network (see platform/http_get.h).
#include "platform/http_get.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <memory>

namespace {

using quarvel::platform::HttpAnswer;
using quarvel::platform::HttpRequest;

// What went wrong on the way to the page, in the window's language whatever translations are
// installed: Qt's own error strings are English without them.
QString networkFailure(QNetworkReply::NetworkError e) {
    switch (e) {
        case QNetworkReply::ConnectionRefusedError:
            return QStringLiteral("连接被拒绝");
        case QNetworkReply::RemoteHostClosedError:
            return QStringLiteral("网站中途断开了连接");
        case QNetworkReply::HostNotFoundError:
            return QStringLiteral("找不到该网站");
        case QNetworkReply::TimeoutError:
        case QNetworkReply::OperationCanceledError:
            return QStringLiteral("连接超时");
        case QNetworkReply::SslHandshakeFailedError:
            return QStringLiteral("安全连接（SSL）无法建立");
        case QNetworkReply::TemporaryNetworkFailureError:
        case QNetworkReply::NetworkSessionFailedError:
            return QStringLiteral("网络暂时不通");
        case QNetworkReply::ProxyConnectionRefusedError:
        case QNetworkReply::ProxyConnectionClosedError:
        case QNetworkReply::ProxyNotFoundError:
        case QNetworkReply::ProxyTimeoutError:
        case QNetworkReply::ProxyAuthenticationRequiredError:
            return QStringLiteral("代理服务器无法使用");
        case QNetworkReply::TooManyRedirectsError:
        case QNetworkReply::InsecureRedirectError:
            return QStringLiteral("网站的跳转无法跟随");
        case QNetworkReply::ProtocolUnknownError:
        case QNetworkReply::ProtocolInvalidOperationError:
        case QNetworkReply::ProtocolFailure:
            return QStringLiteral("网站的回答不合规范");
        default:
            return QStringLiteral("网络错误（代码 %1）").arg(static_cast<int>(e));
    }
}

HttpAnswer httpGet(const HttpRequest& r) {
    QNetworkAccessManager manager;
    QNetworkRequest request(r.url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));

    HttpAnswer a;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        a.timedOut = true;
        reply->abort();
    });
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, &loop,
                     [&](qint64 received, qint64) {
                         if (received > r.maxBodyBytes && !a.tooLarge) {
                             a.tooLarge = true;
                             reply->abort();
                         }
                     });
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(r.timeLimit);
    if (!reply->isFinished())
        loop.exec(r.allowInput ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    timer.stop();
    if (a.timedOut || a.tooLarge) return a;

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    a.status = status.isValid() ? status.toInt() : 0;
    a.reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    if (reply->error() != QNetworkReply::NoError) a.failure = networkFailure(reply->error());
    a.body = reply->readAll();
    a.contentType = reply->rawHeader("Content-Type");
    return a;
}

}  // namespace

extern "C" Q_DECL_EXPORT void quarvelHttpGet(const HttpRequest& r, HttpAnswer* answer) {
    *answer = httpGet(r);
}

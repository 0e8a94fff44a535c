#include "platform/page_fetch.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTimer>
#include <QUrl>

#include "history_io/page_text.h"
#include "history_io/results_site.h"

namespace quarvel::platform {
namespace {

// The charset parameter of a Content-Type value ("text/html; charset=GBK" -> "GBK").
QByteArray charsetOf(const QByteArray& contentType) {
    for (QByteArray part : contentType.split(';')) {
        part = part.trimmed();
        if (part.toLower().startsWith("charset=")) {
            QByteArray v = part.mid(8).trimmed();
            if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
                v = v.mid(1, v.size() - 2);
            return v;
        }
    }
    return {};
}

QString describe(const QUrl& url) { return url.toDisplayString(QUrl::RemoveUserInfo); }

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

}  // namespace

std::optional<QString> decodeHtmlBody(const QByteArray& body, const QByteArray& contentType,
                                      QString* error) {
    const QByteArray charset = charsetOf(contentType);
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (!decoder.isValid()) {
            if (error)
                *error =
                    QStringLiteral("网页的字符集 %1 无法识别").arg(QString::fromLatin1(charset));
            return std::nullopt;
        }
        return decoder.decode(body);
    }
    QStringDecoder decoder = QStringDecoder::decoderForHtml(body);
    if (!decoder.isValid()) {
        // A <meta charset> this build does not know: UTF-8 keeps the digits and the layout.
        QStringDecoder utf8(QStringDecoder::Utf8);
        return utf8.decode(body);
    }
    return decoder.decode(body);
}

QtPageSource::QtPageSource(std::chrono::milliseconds timeLimit) : timeLimit_(timeLimit) {}

QtPageSource::~QtPageSource() = default;

io::PageResult QtPageSource::fetch(const std::string& url) {
    using store::Outcome;
    // Which addresses may be asked is the core's rule; QUrl only has to be able to parse it.
    const QUrl target(QString::fromStdString(url), QUrl::StrictMode);
    if (!io::checkPageAddress(url).ok() || !target.isValid())
        return Outcome::failed("不是可以读取的网址：" + url);
#ifdef QUARVEL_WITHOUT_GUMBO
    return Outcome::failed(
        "本程序构建时没有网页解析库，不能在线读取开奖号码；请导入历史号码文件。");
#endif
    if (!manager_) manager_ = std::make_unique<QNetworkAccessManager>();

    QNetworkRequest request(target);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    std::unique_ptr<QNetworkReply> reply(manager_->get(request));

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    bool timedOut = false;
    bool tooLarge = false;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, &loop,
                     [&](qint64 received, qint64) {
                         if (received > kMaxBodyBytes && !tooLarge) {
                             tooLarge = true;
                             reply->abort();
                         }
                     });
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(timeLimit_);
    if (!reply->isFinished())
        loop.exec(allowInput_ ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    timer.stop();

    const QString where = describe(target);
    if (timedOut) {
        return Outcome::failed(QStringLiteral("%1 在 %2 秒内没有回答")
                                   .arg(where)
                                   .arg(static_cast<double>(timeLimit_.count()) / 1000.0)
                                   .toStdString());
    }
    if (tooLarge) {
        return Outcome::failed(QStringLiteral("%1 的网页大于 %2 MiB")
                                   .arg(where)
                                   .arg(kMaxBodyBytes >> 20)
                                   .toStdString());
    }
    const QVariant statusAttr = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int status = statusAttr.isValid() ? statusAttr.toInt() : 0;
    if (status == 0) {
        return Outcome::failed(QStringLiteral("无法读取 %1：%2")
                                   .arg(where, networkFailure(reply->error()))
                                   .toStdString());
    }
    if (status < 200 || status > 299) {
        const QString reason =
            reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        return Outcome::failed(QStringLiteral("网站对 %1 的回答是 %2 %3")
                                   .arg(where)
                                   .arg(status)
                                   .arg(reason)
                                   .toStdString());
    }
    if (reply->error() != QNetworkReply::NoError) {
        return Outcome::failed(QStringLiteral("无法读取 %1：%2")
                                   .arg(where, networkFailure(reply->error()))
                                   .toStdString());
    }
    const QByteArray body = reply->readAll();
    QString decodeError;
    const auto text = decodeHtmlBody(body, reply->rawHeader("Content-Type"), &decodeError);
    if (!text) {
        return Outcome::failed(decodeError.toStdString());
    }
    return io::bodyInnerText(text->toStdString());
}

}  // namespace quarvel::platform

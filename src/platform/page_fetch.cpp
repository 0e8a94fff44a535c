#include "platform/page_fetch.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTimer>
#include <QUrl>

#include "history_io/page_text.h"

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

}  // namespace

std::optional<QString> decodeHtmlBody(const QByteArray& body, const QByteArray& contentType,
                                      QString* error) {
    const QByteArray charset = charsetOf(contentType);
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (!decoder.isValid()) {
            if (error)
                *error = QStringLiteral("the page is in charset %1, which cannot be decoded here")
                             .arg(QString::fromLatin1(charset));
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
    io::PageResult result;
    const QUrl target(QString::fromStdString(url), QUrl::StrictMode);
    const QString scheme = target.scheme().toLower();
    if (!target.isValid() || target.host().isEmpty() || (scheme != "http" && scheme != "https")) {
        result.error = "not a web address that can be fetched: " + url;
        return result;
    }
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
        result.error = QStringLiteral("no answer from %1 within %2 s")
                           .arg(where)
                           .arg(static_cast<double>(timeLimit_.count()) / 1000.0)
                           .toStdString();
        return result;
    }
    if (tooLarge) {
        result.error = QStringLiteral("the page at %1 is larger than %2 MiB")
                           .arg(where)
                           .arg(kMaxBodyBytes >> 20)
                           .toStdString();
        return result;
    }
    const QVariant statusAttr = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int status = statusAttr.isValid() ? statusAttr.toInt() : 0;
    if (status == 0) {
        result.error =
            QStringLiteral("cannot read %1: %2").arg(where, reply->errorString()).toStdString();
        return result;
    }
    if (status < 200 || status > 299) {
        const QString reason =
            reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        result.error = QStringLiteral("the server answered %1 %2 for %3")
                           .arg(status)
                           .arg(reason, where)
                           .toStdString();
        return result;
    }
    if (reply->error() != QNetworkReply::NoError) {
        result.error =
            QStringLiteral("cannot read %1: %2").arg(where, reply->errorString()).toStdString();
        return result;
    }
    const QByteArray body = reply->readAll();
    QString decodeError;
    const auto text = decodeHtmlBody(body, reply->rawHeader("Content-Type"), &decodeError);
    if (!text) {
        result.error = decodeError.toStdString();
        return result;
    }
    result.body = io::bodyInnerText(text->toStdString());
    result.ok = true;
    return result;
}

}  // namespace quarvel::platform

#include "platform/page_fetch.h"

#include <QStringDecoder>
#include <QUrl>

#include "history_io/page_text.h"
#include "history_io/results_site.h"
#include "platform/http_get.h"

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

store::Outcome QtPageSource::readiness() const {
    if (!io::kPageReaderBuilt) return store::Outcome::refused(io::kNoPageReader);
    return store::Outcome::done();
}

io::PageResult QtPageSource::fetch(const std::string& url) {
    using store::Outcome;
    // Which addresses may be asked is the core's rule; QUrl only has to be able to parse it.
    const QUrl target(QString::fromStdString(url), QUrl::StrictMode);
    if (!io::checkPageAddress(url).ok() || !target.isValid())
        return Outcome::failed("不是可以读取的网址：" + url);
    QString loadError;
    const HttpGet get = networkGet(&loadError);
    if (!get) {
        return Outcome::failed(
            "联网所需的模块 quarvel_network 无法载入，不能读取网页；历史号码未改变，"
            "请重新安装本程序。",
            loadError.toStdString());
    }
    HttpAnswer a;
    get({target, timeLimit_, allowInput_, kMaxBodyBytes}, &a);

    const QString where = describe(target);
    if (a.timedOut) {
        return Outcome::failed(QStringLiteral("%1 在 %2 秒内没有回答")
                                   .arg(where)
                                   .arg(static_cast<double>(timeLimit_.count()) / 1000.0)
                                   .toStdString());
    }
    if (a.tooLarge) {
        return Outcome::failed(QStringLiteral("%1 的网页大于 %2 MiB")
                                   .arg(where)
                                   .arg(kMaxBodyBytes >> 20)
                                   .toStdString());
    }
    if (a.status == 0)
        return Outcome::failed(
            QStringLiteral("无法读取 %1：%2").arg(where, a.failure).toStdString());
    if (a.status < 200 || a.status > 299) {
        return Outcome::failed(QStringLiteral("网站对 %1 的回答是 %2 %3")
                                   .arg(where)
                                   .arg(a.status)
                                   .arg(a.reason)
                                   .toStdString());
    }
    if (!a.failure.isEmpty())
        return Outcome::failed(
            QStringLiteral("无法读取 %1：%2").arg(where, a.failure).toStdString());
    QString decodeError;
    const auto text = decodeHtmlBody(a.body, a.contentType, &decodeError);
    if (!text) {
        return Outcome::failed(decodeError.toStdString());
    }
    if (auto why = readiness(); !why.ok()) return why;
    return io::bodyInnerText(text->toStdString());
}

}  // namespace quarvel::platform

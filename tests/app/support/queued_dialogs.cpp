#include "queued_dialogs.h"

namespace quarvel::app {

bool QueuedDialogs::question(const QString& title, const QString& text) {
    shown.append({"question", title, text, {}, owner()});
    return questionAnswers.isEmpty() ? false : questionAnswers.dequeue();
}

void QueuedDialogs::message(const QString& title, const QString& text) {
    shown.append({"message", title, text, {}, owner()});
}

void QueuedDialogs::detailedMessage(const QString& title, const QString& text,
                                    const QString& detail) {
    shown.append({"message", title, text, detail});
}

std::optional<QString> QueuedDialogs::inputBox(const QString& title, const QString& prompt,
                                               const QString& defaultText) {
    shown.append({"input", title, prompt, defaultText, owner()});
    return inputAnswers.isEmpty() ? std::nullopt : inputAnswers.dequeue();
}

QString QueuedDialogs::openFileName(const QString& title, const QString& dir,
                                    const QString& filter) {
    shown.append({"file", title, dir, filter, owner()});
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

QString QueuedDialogs::saveFileName(const QString& title, const QString& path,
                                    const QString& filter) {
    shown.append({"save", title, path, filter, owner()});
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

bool QueuedDialogs::openInDesktop(const QString& pathOrUrl) {
    opened.append(pathOrUrl);
    return desktopOpens;
}

QList<QueuedDialogs::Shown> QueuedDialogs::messages() const {
    QList<Shown> out;
    for (const auto& s : shown)
        if (s.kind == "message") out.append(s);
    return out;
}

int QueuedDialogs::count(const QString& kind) const {
    int n = 0;
    for (const auto& s : shown) n += s.kind == kind ? 1 : 0;
    return n;
}

}  // namespace quarvel::app

#include "app/qt_dialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace quarvel::app {

namespace {

// False when the desktop says it has no program for the file's type. The desktop's opener
// starts even then and fails later, out of sight, so the question is asked first; where it
// cannot be asked (no xdg-mime), the opener is trusted.
bool desktopHasProgramFor(const QString& path) {
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty()) return true;
    QProcess p;
    p.start(query, {QStringLiteral("query"), QStringLiteral("default"),
                    QMimeDatabase().mimeTypeForFile(path).name()});
    if (!p.waitForFinished(3000)) return true;
    return !p.readAllStandardOutput().trimmed().isEmpty();
}

}  // namespace

bool QtDialogs::question(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                    parent_);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

void QtDialogs::message(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent_);
    box.exec();
}

std::optional<QString> QtDialogs::inputBox(const QString& title, const QString& prompt,
                                           const QString& defaultText) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent_, title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok) return std::nullopt;
    return answer;
}

QString QtDialogs::openFileName(const QString& title, const QString& dir, const QString& filter) {
    return QFileDialog::getOpenFileName(parent_, title, dir, filter);
}

QString QtDialogs::saveFileName(const QString& title, const QString& path, const QString& filter) {
    return QFileDialog::getSaveFileName(parent_, title, path, filter);
}

bool QtDialogs::openInDesktop(const QString& pathOrUrl) {
    // A local file is opened by path; anything with a scheme is handed over as an address.
    const bool local = QFileInfo::exists(pathOrUrl);
    if (local && !desktopHasProgramFor(pathOrUrl)) return false;
    const QUrl url = local ? QUrl::fromLocalFile(pathOrUrl) : QUrl(pathOrUrl);
    return url.isValid() && QDesktopServices::openUrl(url);
}

}  // namespace quarvel::app

#include "app/qt_dialogs.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTextEdit>
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

void QtDialogs::detailedMessage(const QString& title, const QString& text, const QString& detail) {
    if (detail.isEmpty()) return message(title, text);
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent_);
    box.setDetailedText(detail);
    // Qt's own button for the detail is labelled in Qt's words; it is said in the program's.
    for (QAbstractButton* b : box.buttons()) {
        if (box.buttonRole(b) != QMessageBox::ActionRole) continue;
        b->setText(QStringLiteral("详细信息"));
        QObject::connect(b, &QAbstractButton::clicked, &box, [b, &box] {
            const auto* shown = box.findChild<QTextEdit*>();
            b->setText(shown && shown->isVisible() ? QStringLiteral("隐藏详细信息")
                                                   : QStringLiteral("详细信息"));
        });
    }
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

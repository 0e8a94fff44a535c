#include "app/qt_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
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
#include <QWidget>

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

DialogOwner::DialogOwner(Dialogs& dialogs, QWidget* window)
    : dialogs_(dialogs), previous_(dialogs.owner_), window_(window ? window->window() : nullptr) {
    dialogs_.owner_ = window_;
}

DialogOwner::~DialogOwner() {
    dialogs_.owner_ = previous_;
    // The chart window stays in front of the main window after its own question.
    if (window_ != nullptr && window_->isVisible()) {
        window_->raise();
        window_->activateWindow();
    }
}

QWidget* QtDialogs::parentWindow() const {
    if (owner() != nullptr) return owner();
    // A box asked for by a command of a chart window stands over that window.
    QWidget* active = QApplication::activeWindow();
    if (active != nullptr && active->isWindow() && !active->isModal()) return active;
    return parent_;
}

bool QtDialogs::question(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                    parentWindow());
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

void QtDialogs::message(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parentWindow());
    box.exec();
}

void QtDialogs::detailedMessage(const QString& title, const QString& text, const QString& detail) {
    if (detail.isEmpty()) return message(title, text);
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parentWindow());
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
        QInputDialog::getText(parentWindow(), title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok) return std::nullopt;
    return answer;
}

QString QtDialogs::openFileName(const QString& title, const QString& dir, const QString& filter) {
    return QFileDialog::getOpenFileName(parentWindow(), title, dir, filter);
}

QString QtDialogs::saveFileName(const QString& title, const QString& path, const QString& filter) {
    return QFileDialog::getSaveFileName(parentWindow(), title, path, filter);
}

bool QtDialogs::openInDesktop(const QString& pathOrUrl) {
    // A local file is opened by path; anything with a scheme is handed over as an address.
    const bool local = QFileInfo::exists(pathOrUrl);
    if (local && !desktopHasProgramFor(pathOrUrl)) return false;
    const QUrl url = local ? QUrl::fromLocalFile(pathOrUrl) : QUrl(pathOrUrl);
    return url.isValid() && QDesktopServices::openUrl(url);
}

}  // namespace quarvel::app

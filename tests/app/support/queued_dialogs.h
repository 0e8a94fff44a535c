#pragma once
// A Dialogs for window tests: answers come from queues (an empty queue answers Cancel or "no
// choice"), and every box shown is recorded with its title and text.

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

#include "app/dialogs.h"

namespace quarvel::app {

class QueuedDialogs : public Dialogs {
  public:
    struct Shown {
        QString kind;  // "question", "message", "input", "file", "save"
        QString title;
        QString text;              // the text, prompt or folder
        QString extra;             // input default text or file filter
        QWidget* owner = nullptr;  // the window the box belonged to (nullptr: the main window)
    };

    QQueue<bool> questionAnswers;
    QQueue<std::optional<QString>> inputAnswers;
    QQueue<QString> fileAnswers;
    bool desktopOpens = true;

    QList<Shown> shown;
    QStringList opened;  // every path or address given to openInDesktop

    bool question(const QString& title, const QString& text) override;
    void message(const QString& title, const QString& text) override;
    // Recorded as a "message" whose extra is the detail.
    void detailedMessage(const QString& title, const QString& text, const QString& detail) override;
    std::optional<QString> inputBox(const QString& title, const QString& prompt,
                                    const QString& defaultText) override;
    QString openFileName(const QString& title, const QString& dir, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& path, const QString& filter) override;
    bool openInDesktop(const QString& pathOrUrl) override;

    QList<Shown> messages() const;  // the "message" boxes only
    int count(const QString& kind) const;
};

}  // namespace quarvel::app

#pragma once
// The one seam for modal questions, messages, input boxes, file dialogs and "open this file in
// the desktop's program", so that tests can queue the answers.

#include <QString>
#include <optional>

class QWidget;

namespace quarvel::app {

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // OK/Cancel question with a question icon; true for OK.
    virtual bool question(const QString& title, const QString& text) = 0;
    // Message with an OK button only.
    virtual void message(const QString& title, const QString& text) = 0;
    // Message with an OK button and, when `detail` is not empty, a "详细信息" button that shows
    // the technical detail (file names, the system's reason) under the sentence.
    virtual void detailedMessage(const QString& title, const QString& text, const QString& detail) {
        (void)detail;
        message(title, text);
    }
    // Input box; nullopt for Cancel.
    virtual std::optional<QString> inputBox(const QString& title, const QString& prompt,
                                            const QString& defaultText) = 0;
    // Open-file dialog; empty when closed without a choice. `filter` in Qt form, e.g. "Text
    // (*.txt)".
    virtual QString openFileName(const QString& title, const QString& dir,
                                 const QString& filter) = 0;
    // Save-file dialog opened on `path` (folder and suggested name); it asks before an existing
    // file is replaced. Empty when closed without a choice.
    virtual QString saveFileName(const QString& title, const QString& path,
                                 const QString& filter) = 0;
    // Opens a file or address in the desktop's default program; false when nothing could open it.
    virtual bool openInDesktop(const QString& pathOrUrl) = 0;

    // The window the boxes shown now belong to (nullptr: the main window). Set through
    // DialogOwner by a command of another window (a chart window), so that its questions and
    // messages stand over it and it stays in front when they close.
    QWidget* owner() const { return owner_; }

  private:
    friend class DialogOwner;
    QWidget* owner_ = nullptr;
};

// While it lives, the boxes of `dialogs` belong to `window`'s top-level window; on leaving it
// gives the earlier owner back and brings that chart window to the front again.
class DialogOwner {
  public:
    DialogOwner(Dialogs& dialogs, QWidget* window);
    ~DialogOwner();
    DialogOwner(const DialogOwner&) = delete;
    DialogOwner& operator=(const DialogOwner&) = delete;

  private:
    Dialogs& dialogs_;
    QWidget* previous_;
    QWidget* window_;
};

}  // namespace quarvel::app

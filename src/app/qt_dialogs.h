#pragma once
// The dialog seam over Qt: message boxes with the given title, input boxes, the open-file
// dialog and the desktop's default programs.

#include "app/dialogs.h"

namespace quarvel::app {

class QtDialogs : public Dialogs {
  public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    bool question(const QString& title, const QString& text) override;
    void message(const QString& title, const QString& text) override;
    void detailedMessage(const QString& title, const QString& text, const QString& detail) override;
    std::optional<QString> inputBox(const QString& title, const QString& prompt,
                                    const QString& defaultText) override;
    QString openFileName(const QString& title, const QString& dir, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& path, const QString& filter) override;
    bool openInDesktop(const QString& pathOrUrl) override;

  private:
    // The owner of the boxes shown now, else the main window.
    QWidget* parentWindow() const;
    QWidget* parent_;
};

}  // namespace quarvel::app

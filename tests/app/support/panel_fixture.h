#pragma once
// A criteria panel on its own: a temporary data folder with its history, settings kept in
// memory, dialogs that record what they were asked and the status-bar notices.

#include <QString>
#include <QStringList>
#include <QWidget>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/dialogs.h"
#include "support/test_support.h"

namespace quarvel::apptest {

// The control of that objectName below `parent`; the test stops when there is none.
template <class T>
T* child(QWidget* parent, const QString& name) {
    auto* w = parent->findChild<T*>(name);
    if (!w) qFatal("no control %s", qPrintable(name));
    return w;
}

}  // namespace quarvel::apptest

namespace quarvel::app {
class CriteriaPanel;
}

namespace quarvel::apptest {

class MemorySettings : public store::SettingsStore {
  public:
    std::optional<std::string> get(const std::string& key) override;
    bool save(const std::string& key, const std::string& value) override;
    std::map<std::string, std::string> values;
    int saves = 0;
};

class RecordingDialogs : public app::Dialogs {
  public:
    bool question(const QString& title, const QString& text) override;
    void message(const QString& title, const QString& text) override;
    std::optional<QString> inputBox(const QString& title, const QString& prompt,
                                    const QString& defaultText) override;
    QString openFileName(const QString& title, const QString& dir, const QString& filter) override;
    // Takes the suggested path, as a user pressing Enter in the dialog would; each is recorded.
    QString saveFileName(const QString& title, const QString& path, const QString& filter) override;
    bool openInDesktop(const QString& pathOrUrl) override;

    QStringList titles, messages, opened, saveDialogs;
    bool questionAnswer = false;  // what every question is answered
};

struct PanelFixture {
    PanelFixture();
    ~PanelFixture();
    // Stores draws and reopens the sorted history.
    void addDraws(const std::vector<testing::Draw>& draws);
    // A panel over this context with its commands, started up as the window starts it.
    app::CriteriaPanel& makePanel();

    testing::TempDir dir;
    store::HistoryDb db;
    MemorySettings settings;
    RecordingDialogs dialogs;
    app::AppContext ctx;
    QStringList notices;
    std::unique_ptr<app::CriteriaPanel> panel;
};

}  // namespace quarvel::apptest

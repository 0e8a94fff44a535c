#pragma once
// A real main window over a temporary data folder and a temporary settings file, with queued
// dialogs; restartable so that tests can see what survives a restart.

#include <QLineEdit>
#include <QStatusBar>
#include <QtTest>
#include <memory>

#include "app/main_window.h"
#include "platform/qt_settings_store.h"
#include "queued_dialogs.h"
#include "support/test_support.h"

namespace quarvel::app {

class HistoryPanel;

struct WindowFixture {
    testing::TempDir dir;
    QString settingsFile = QString::fromStdString((dir.path() / "settings.ini").string());
    std::unique_ptr<platform::QtSettingsStore> settings;
    QueuedDialogs dialogs;
    std::unique_ptr<MainWindow> window;

    // Stores draws in the data folder before the window opens.
    void seed(const std::vector<testing::Draw>& draws);
    // Opens (or reopens) the window, shown and active.
    MainWindow& open();
    void close();

    HistoryPanel& history() const;
    QLineEdit* box(int i) const;
    QString status() const { return window->statusBar()->currentMessage(); }
    // The draws as stored, from a fresh connection: issue and the eight numbers.
    std::vector<testing::Draw> stored() const;
    // quarvel-cli on the same data folder, with settings of its own (cli.ini there).
    testing::CliResult cli(std::vector<std::string> args) const;
    template <class T>
    T* find(const QString& name) const {
        T* w = window->findChild<T*>(name);
        if (!w) qWarning("no child named %s", qPrintable(name));
        return w;
    }
};

// Draws 2013001.. with distinct numbers 1..8 shifted by the serial.
std::vector<testing::Draw> simpleDraws(int count, std::int32_t first = 2013001);

}  // namespace quarvel::app

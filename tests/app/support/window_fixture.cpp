#include "window_fixture.h"

#include "app/history_panel.h"

namespace quarvel::app {

void WindowFixture::seed(const std::vector<testing::Draw>& draws) {
    store::HistoryDb db(dir.path());
    db.open();
    testing::addDraws(db, draws);
}

MainWindow& WindowFixture::open() {
    window.reset();
    settings = std::make_unique<platform::QtSettingsStore>(settingsFile);
    window = std::make_unique<MainWindow>(dir.path(), *settings, dialogs);
    window->show();
    QApplication::setActiveWindow(window.get());
    if (!QTest::qWaitForWindowActive(window.get())) qWarning("window not active");
    return *window;
}

void WindowFixture::close() {
    window.reset();
    settings.reset();
}

HistoryPanel& WindowFixture::history() const { return *window->historyPanel(); }

QLineEdit* WindowFixture::box(int i) const { return history().entryBox(i); }

std::vector<testing::Draw> WindowFixture::stored() const {
    store::HistoryDb db(dir.path());
    db.open();
    std::vector<testing::Draw> out;
    auto& rs = db.reopenSort();
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        testing::Draw d{static_cast<std::int32_t>(rs.intField("SQQH")), {}};
        for (int p = 1; p <= 8; ++p)
            d.numbers[p - 1] = static_cast<int>(rs.intField("L" + std::to_string(p) + "A"));
        out.push_back(d);
    }
    return out;
}

std::vector<testing::Draw> simpleDraws(int count, std::int32_t first) {
    std::vector<testing::Draw> out;
    for (int i = 0; i < count; ++i) {
        testing::Draw d{first + i, {}};
        for (int k = 0; k < 8; ++k) d.numbers[k] = (i + k * 3) % 30 + 1;
        out.push_back(d);
    }
    return out;
}

testing::CliResult WindowFixture::cli(std::vector<std::string> args) const {
    args.insert(args.begin(), {"--data-dir", dir.path().string(), "--settings-file",
                               (dir.path() / "cli.ini").string()});
    return testing::runCli(args);
}

}  // namespace quarvel::app

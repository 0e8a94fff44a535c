// The window's figures at a full history (32,766 draws): start-up to a shown, painted window,
// and 检索, 分部检索 and 分组计算 from the click to the painted result grids. The real main
// window over a temporary data folder, offscreen; wall time, best of a few runs.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWindow>
#include <cstdio>
#include <memory>

#include "app/criteria_panel.h"
#include "app/dialogs.h"
#include "app/grid_view.h"
#include "app/main_window.h"
#include "platform/qt_settings_store.h"
#include "support/random_history.h"

namespace {

using namespace quarvel;

// Every question is declined and every message counted: a figure taken while a message was
// shown would measure the refusal, not the command.
struct BenchDialogs : app::Dialogs {
    int messages = 0;
    bool question(const QString&, const QString&) override { return false; }
    void message(const QString& title, const QString& text) override {
        ++messages;
        std::fprintf(stderr, "message %s: %s\n", qPrintable(title), qPrintable(text));
    }
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    bool openInDesktop(const QString&) override { return true; }
};

struct Fixture {
    bench::BenchHistory history{store::kMaxDraws, 20130101};
    platform::QtSettingsStore settings{history.dir / "settings.ini"};
    BenchDialogs dialogs;

    Fixture() { history.db.close(); }

    std::unique_ptr<app::MainWindow> startWindow() {
        auto w = std::make_unique<app::MainWindow>(history.dir, settings, dialogs);
        w->show();
        while (!w->windowHandle() || !w->windowHandle()->isExposed()) QApplication::processEvents();
        QApplication::processEvents();
        w->repaint();
        return w;
    }
};

// Made in main once the application exists, and gone before it.
std::unique_ptr<Fixture> theFixture;
Fixture& fixture() { return *theFixture; }

template <class T>
T* child(app::MainWindow& w, const QString& name) {
    T* c = w.findChild<T*>(name);
    if (!c) std::fprintf(stderr, "no control %s\n", qPrintable(name));
    return c;
}

// A value typed into a box, taken as the window takes it: when the focus leaves the box.
void typeValue(app::MainWindow& w, const QString& name, const QString& text) {
    auto* box = child<QLineEdit>(w, name);
    box->setText(text);
    QFocusEvent left(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(box, &left);
}

// The click, the events it leaves (the grids' updates) and a paint of both result grids.
void clickToPainted(app::MainWindow& w, const char* button) {
    child<QPushButton>(w, QString::fromLatin1(button))->click();
    QApplication::processEvents();
    w.criteriaPanel()->hitGrid()->repaint();
    w.criteriaPanel()->summaryGrid()->repaint();
}

void BM_StartUpToShown(benchmark::State& state) {
    for (auto _ : state) {
        auto w = fixture().startWindow();
        state.PauseTiming();
        w.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_SearchClickToPainted(benchmark::State& state) {
    auto w = fixture().startWindow();
    child<QRadioButton>(*w, "Option1_0")->click();
    child<QCheckBox>(*w, "Check1_1")->setChecked(true);
    typeValue(*w, "Text2_1", "5");
    child<QCheckBox>(*w, "Check1_2")->setChecked(true);
    typeValue(*w, "Text2_2", "12");
    for (auto _ : state) clickToPainted(*w, "Command1");
    state.counters["hit_rows"] = w->criteriaPanel()->hitGrid()->grid().rows() - 1;
}

void BM_PartialClickToPainted(benchmark::State& state) {
    auto w = fixture().startWindow();
    child<QRadioButton>(*w, "Option1_0")->click();
    const char* values[] = {"3", "7", "11", "15", "19", "23", "27", "30"};
    for (int p = 1; p <= 8; ++p) typeValue(*w, QString("Text2_%1").arg(p), values[p - 1]);
    child<QComboBox>(*w, "Combo1")->setCurrentText("4");
    for (auto _ : state) clickToPainted(*w, "Command2");
    state.counters["hit_rows"] = w->criteriaPanel()->hitGrid()->grid().rows() - 1;
}

void BM_GroupsClickToPainted(benchmark::State& state) {
    auto w = fixture().startWindow();
    for (int k = 1; k <= 24; ++k) child<QCheckBox>(*w, QString("Check6_%1").arg(k))->click();
    child<QComboBox>(*w, "Combo2")->setCurrentText("4");
    for (auto _ : state) clickToPainted(*w, "Command5");
    state.counters["groups"] = w->criteriaPanel()->summaryGrid()->grid().rows() - 1;
}

BENCHMARK(BM_StartUpToShown)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_SearchClickToPainted)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_PartialClickToPainted)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_GroupsClickToPainted)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    theFixture = std::make_unique<Fixture>();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const int messages = fixture().dialogs.messages;
    theFixture.reset();
    if (messages > 0)
        std::fprintf(stderr, "%d message(s) shown: the figures are not valid\n", messages);
    return messages > 0 ? 1 : 0;
}

// The main window as a whole: start-up with and without settings, a database that cannot be
// opened, settings kept over a restart, the base menus, the pop-up menus and the wheel.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QWheelEvent>

#include "app/criteria_panel.h"
#include "app/grid_view.h"
#include "app/history_panel.h"
#include "support/window_fixture.h"

using namespace quarvel;
using namespace quarvel::app;

namespace {

void wheel(QWidget* target, int angle) {
    const QPointF pos(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent ev(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, angle), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &ev);
}

QString iniValue(const QString& file, const QString& key) {
    QSettings ini(file, QSettings::IniFormat);
    return ini.value(QStringLiteral("IniSetting/") + key).toString();
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowFixture> f;

  private slots:
    void init() { f = std::make_unique<WindowFixture>(); }
    void cleanup() { f.reset(); }

    void firstStartShowsEveryDefault() {
        f->open();
        QVERIFY(f->find<QRadioButton>("Option1_1")->isChecked());  // 自由位
        QVERIFY(f->find<QCheckBox>("Check2")->isChecked());
        QVERIFY(f->find<QCheckBox>("Check2")->isVisible());
        QVERIFY(f->find<QRadioButton>("Option3_0")->isChecked());  // 号码
        QVERIFY(f->find<QRadioButton>("Option6_0")->isChecked());  // 平特
        QCOMPARE(f->find<QComboBox>("Combo1")->currentText(), QString("2"));
        QVERIFY(f->find<QRadioButton>("Option2_4")->isChecked());  // 落地码
        QVERIFY(f->find<QAction>("mnuSxcs_1")->isChecked());
        QVERIFY(!f->find<QAction>("mnuSxcs_0")->isChecked());
        QVERIFY(f->find<QAction>("mnuDscs_1")->isChecked());
        QVERIFY(!f->find<QAction>("mnuDscs_0")->isChecked());
        // An empty history: header row only, next issue 1, last issue 0.
        QCOMPARE(f->history().list()->gridModel()->rowCount(), 0);
        QCOMPARE(f->history().list()->grid().at(0, 0), std::string("期号"));
        QCOMPARE(f->history().nextIssueBox()->text(), QString("1"));
        QCOMPARE(f->find<QLineEdit>("Text3_1")->text(), QString("0"));
        QCOMPARE(f->window->nextIssue(), 1);
        QVERIFY(f->dialogs.shown.isEmpty());
    }

    void startUpZodiacYearFollowsTheNextIssue() {
        // 2013's new year falls after serial 16.
        QCOMPARE(startupZodiacYear("2013016", 2030), 2012);
        QCOMPARE(startupZodiacYear(" 2013017 ", 2030), 2013);
        QCOMPARE(startupZodiacYear("2027001", 2030), 2027);  // outside the table: no threshold
        // An empty history shows 1: no year in it, the calendar decides.
        QCOMPARE(startupZodiacYear("1", 2030), 2030);
        QCOMPARE(startupZodiacYear("", 2030), 2030);
        f->seed(simpleDraws(3, 2013014));
        f->open();
        QCOMPARE(f->window->context().zodiacYear, 2013);  // next issue 2013017
    }

    void startUpShowsTheHistoryAndScrollsLongListsToTheEnd() {
        f->seed(simpleDraws(45));
        f->open();
        auto* list = f->history().list();
        QCOMPARE(list->gridModel()->rowCount(), 45);
        QCOMPARE(f->history().nextIssueBox()->text(), QString("2013046"));
        QCOMPARE(f->find<QLineEdit>("Text3_0")->text(), QString("2013001"));
        QCOMPARE(f->find<QLineEdit>("Text3_1")->text(), QString("2013045"));
        QCOMPARE(f->find<QLineEdit>("Text4")->text(), QString("2013045"));
        // Beyond 39 draws the view shows the newest: the last row is visible.
        QVERIFY(list->topRow() > 1);
        QVERIFY(list->rowAt(list->viewport()->height() - 2) == 44 ||
                list->rowAt(list->viewport()->height() - 2) == -1);
    }

    void unusableDatabaseOpensAnEmptyWindowAndKeepsTheFile() {
        const std::string junk = "this is not a database, and it must stay exactly like this\n";
        testing::writeFile(f->dir.path() / "quarvel.mdb", junk);
        f->open();
        QCOMPARE(f->history().list()->gridModel()->rowCount(), 0);
        QVERIFY2(f->status().contains("quarvel.mdb"), qPrintable(f->status()));
        // Commands refuse without touching the file.
        f->window->deleteLastDraw();
        f->dialogs.questionAnswers.enqueue(true);
        f->window->clearHistory();
        for (int i = 1; i <= 8; ++i)
            QTest::keyClicks(f->box(i), QString("%1").arg(i, 2, 10, QChar('0')));
        // Each command is refused with a message.
        QCOMPARE(f->dialogs.messages().size(), 3);
        for (const auto& m : f->dialogs.messages())
            QVERIFY2(m.text.contains("历史数据库没有打开"), qPrintable(m.text));
        f->close();
        QCOMPARE(testing::readFile(f->dir.path() / "quarvel.mdb"), junk);
    }

    void settingsChangesSurviveARestart() {
        f->open();
        f->find<QAction>("mnuSxcs_0")->trigger();
        f->find<QAction>("mnuDscs_0")->trigger();
        QTest::mouseClick(f->find<QRadioButton>("Option3_2"), Qt::LeftButton);
        QTest::mouseClick(f->find<QRadioButton>("Option1_0"), Qt::LeftButton);
        f->dialogs.inputAnswers.enqueue(QString("9"));
        f->window->setKeptYears();
        f->close();
        QCOMPARE(iniValue(f->settingsFile, "SxIni"), QString("0"));
        QCOMPARE(iniValue(f->settingsFile, "DsIni"), QString("0"));
        QCOMPARE(iniValue(f->settingsFile, "IniSerchDay"), QString("9"));

        f->open();
        QVERIFY(f->find<QAction>("mnuSxcs_0")->isChecked());
        QVERIFY(!f->find<QAction>("mnuSxcs_1")->isChecked());
        QVERIFY(f->find<QAction>("mnuDscs_0")->isChecked());
        QVERIFY(f->find<QRadioButton>("Option3_2")->isChecked());
        QVERIFY(f->find<QRadioButton>("Option1_0")->isChecked());
        QVERIFY(!f->find<QCheckBox>("Check2")->isVisible());
        QCOMPARE(f->window->context().saved.IniSerchDay, 9);
        // The start-up filling of the zodiac codes is base + name index, whatever was chosen
        // before.
        QCOMPARE(f->window->context().zodiacCodes.code[0], 0);
        QCOMPARE(f->window->context().zodiacCodes.code[11], 11);
    }

    // Stored values that no step can use: each key falls back to its default, and the status
    // bar names the keys that were reset.
    void badSettingValuesGiveTheDefaults() {
        testing::writeFile(
            f->settingsFile.toStdString(),
            "[IniSetting]\nbolZyw=yes\nintIdfTm=2\nintLei=9\nDsIni=5\nSxIni=2147483647\n"
            "bolZhpm=1\nintZhWSetup=0\nbolLdm=False\nIniSerchDay=17\nintHotWindow=40\n");
        f->open();
        const auto& saved = f->window->context().saved;
        QCOMPARE(saved.bolZyw, true);
        QCOMPARE(saved.intIdfTm, 1);
        QCOMPARE(saved.intLei, 0);
        QCOMPARE(saved.DsIni, 1);
        QCOMPARE(saved.SxIni, 1);
        QCOMPARE(saved.bolZhpm, false);
        QCOMPARE(saved.intZhWSetup, 2);
        QCOMPARE(saved.bolLdm, false);  // a valid value is kept
        QCOMPARE(saved.IniSerchDay, 6);
        QCOMPARE(saved.intHotWindow, 30);  // 40 is not one of the offered windows
        QVERIFY(f->find<QRadioButton>("Option3_0")->isChecked());  // a search type is selected
        QVERIFY(f->find<QAction>("mnuDscs_1")->isChecked());
        QCOMPARE(f->window->context().zodiacCodes.code[11], 12);
        for (const char* key : {"bolZyw", "intIdfTm", "intLei", "DsIni", "SxIni", "bolZhpm",
                                "intZhWSetup", "IniSerchDay", "intHotWindow"})
            QVERIFY2(f->status().contains(QLatin1String(key)), qPrintable(f->status()));
        QVERIFY(!f->status().contains(QLatin1String("bolLdm")));
    }

    void aChangeThatCannotBeSavedIsReported() {
        // A settings file below a plain file can be neither created nor written.
        testing::writeFile(f->dir.path() / "blocker", "x");
        f->settingsFile =
            QString::fromStdString((f->dir.path() / "blocker" / "settings.ini").string());
        f->open();
        f->find<QAction>("mnuDscs_0")->trigger();
        QVERIFY2(f->status().contains(QLatin1String("DsIni")), qPrintable(f->status()));
        QVERIFY(f->find<QAction>("mnuDscs_0")->isChecked());  // the change holds for this run
    }

    void baseMenusMoveTheirCheckMarksAndWaveColourItemsDoNothing() {
        f->open();
        auto* sx0 = f->find<QAction>("mnuSxcs_0");
        auto* sx1 = f->find<QAction>("mnuSxcs_1");
        sx0->trigger();
        QVERIFY(sx0->isChecked() && !sx1->isChecked());
        QCOMPARE(f->window->context().saved.SxIni, 0);
        sx0->trigger();  // choosing the checked item again keeps it checked
        QVERIFY(sx0->isChecked() && !sx1->isChecked());
        sx1->trigger();
        QVERIFY(!sx0->isChecked() && sx1->isChecked());
        QCOMPARE(iniValue(f->settingsFile, "SxIni"), QString("1"));
        // Refilled for the current zodiac year: a number of that year gets base + its cycle place.
        const int y = f->window->context().zodiacYear;
        const auto& codes = f->window->context().zodiacCodes;
        QCOMPARE(codes.code[store::zodiacIndex(y, 1)], 1);
        QCOMPARE(codes.code[store::zodiacIndex(y, 12)], 12);

        auto* bs0 = f->find<QAction>("mnuBscs_0");
        auto* bs1 = f->find<QAction>("mnuBscs_1");
        QFile::remove(f->settingsFile);
        bs0->trigger();
        bs1->trigger();
        QVERIFY(!bs0->isChecked() && !bs1->isChecked());
        QVERIFY(!QFile::exists(f->settingsFile));
    }

    void rightReleaseOnTheListOpensTheHistoryMenuOnly() {
        f->seed(simpleDraws(3));
        f->open();
        QList<QMenu*> shown;
        f->window->setPopupHook([&](QMenu* m, const QPoint&) { shown << m; });
        QWidget* viewport = f->history().list()->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(20, 10));
        QVERIFY(shown.isEmpty());
        QTest::mousePress(viewport, Qt::RightButton, {}, QPoint(20, 10));
        QVERIFY(shown.isEmpty());  // the press alone does nothing
        QTest::mouseRelease(viewport, Qt::RightButton, {}, QPoint(20, 10));
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0]->objectName(), QString("mnuLsgl"));
        QCOMPARE(shown[0]->actions().size(), 5);
        // Right button elsewhere does not open it.
        QTest::mouseClick(
            f->find<QWidget>("MSFlexGrid2")->findChild<QWidget*>("qt_scrollarea_viewport"),
            Qt::RightButton);
        QCOMPARE(shown.size(), 1);
        QTest::mouseClick(f->find<QPushButton>("Command9"), Qt::LeftButton);
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[1]->objectName(), QString("mnuSetup"));
    }

    void historyMenuReallyPopsUpWithoutBlocking() {
        f->seed(simpleDraws(3));
        f->open();
        QSignalSpy about(f->window->historyMenu(), &QMenu::aboutToShow);
        QTest::mouseRelease(f->history().list()->viewport(), Qt::RightButton, {}, QPoint(20, 10));
        QCOMPARE(about.count(), 1);
        f->window->historyMenu()->close();
    }

    void wheelMovesTheFocusedGridOneRowPerEvent() {
        f->seed(simpleDraws(100));
        f->open();
        auto* list = f->history().list();
        list->setFocus();
        QCOMPARE(f->window->wheelTarget(), list);
        list->setTopRow(1);
        wheel(list->viewport(), -120);
        QCOMPARE(list->topRow(), 2);
        wheel(list->viewport(), -360);  // a bigger turn still moves one row
        QCOMPARE(list->topRow(), 3);
        wheel(list->viewport(), 120);
        wheel(list->viewport(), 120);
        QCOMPARE(list->topRow(), 1);
        wheel(list->viewport(), 120);  // at the top nothing moves
        QCOMPARE(list->topRow(), 1);
        // The wheel over another widget still moves the focused grid.
        wheel(f->find<QWidget>("Command1"), -120);
        QCOMPARE(list->topRow(), 2);
    }

    void withoutAFocusedGridTheWheelIsLeftToTheWidgets() {
        f->seed(simpleDraws(100));
        f->open();
        auto* list = f->history().list();
        list->setFocus();
        f->box(1)->setFocus();
        QCOMPARE(f->window->wheelTarget(), nullptr);
        list->setTopRow(1);
        wheel(list->viewport(), -120);
        // The list's own scrolling ran (by the style's wheel step, not by the window).
        QCOMPARE(list->topRow(), 1 + QApplication::wheelScrollLines());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"

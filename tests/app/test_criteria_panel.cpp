// The criteria panel on its own: the reference draw of the history tab, the range boxes, the
// stored settings, the relabelling and counting of the value boxes and the typed values.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QtTest>

#include "app/criteria_panel.h"
#include "support/panel_fixture.h"

using quarvel::apptest::child;
using quarvel::apptest::PanelFixture;

namespace {

// 2013020 is the worked example of the draw record (zodiac codes 4 8 4 9 4 2 1 11).
const std::vector<quarvel::testing::Draw> kHistory = {
    {2013010, {1, 2, 3, 4, 5, 6, 7, 8}},
    {2013020, {3, 11, 15, 22, 27, 29, 30, 8}},
    {2013030, {30, 29, 28, 27, 26, 25, 24, 23}},
};

}  // namespace

class TestCriteriaPanel : public QObject {
    Q_OBJECT

    std::unique_ptr<PanelFixture> f;
    quarvel::app::CriteriaPanel* panel = nullptr;

    QLineEdit* box(const QString& name) { return child<QLineEdit>(panel, name); }
    QString text(const QString& name) { return box(name)->text(); }
    void start(bool withHistory = true) {
        if (withHistory) f->addDraws(kHistory);
        panel = &f->makePanel();
        panel->show();
        panel->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(panel));
    }
    // Types into a box and leaves it for another control, as the user would.
    void typeAndLeave(const QString& name, const QString& typed) {
        QLineEdit* b = box(name);
        b->setFocus();
        b->selectAll();
        QTest::keyClicks(b, typed);
        child<QPushButton>(panel, "Command1")->setFocus();
    }
    void chooseTab(int tab) { child<QTabBar>(panel, "TabStrip1")->setCurrentIndex(tab); }

  private slots:
    void init() { f = std::make_unique<PanelFixture>(); }
    void cleanup() {
        panel = nullptr;
        f.reset();
    }

    void startUpWithoutSettingsUsesTheDefaults() {
        start();
        QVERIFY(child<QRadioButton>(panel, "Option1_1")->isChecked());
        QVERIFY(child<QCheckBox>(panel, "Check2")->isVisible());
        QVERIFY(child<QCheckBox>(panel, "Check2")->isChecked());
        QVERIFY(child<QRadioButton>(panel, "Option3_0")->isChecked());
        QVERIFY(child<QRadioButton>(panel, "Option6_0")->isChecked());
        QVERIFY(child<QRadioButton>(panel, "Option2_4")->isChecked());
        QCOMPARE(child<QComboBox>(panel, "Combo1")->currentText(), QString("2"));
        QCOMPARE(child<QComboBox>(panel, "Combo2")->currentText(), QString("2"));
        QCOMPARE(text("Text5"), QString("0"));
        QCOMPARE(text("Text3_0"), QString("2013010"));
        QCOMPARE(text("Text3_1"), QString("2013030"));
        // Tab 1 is shown: the reference box and its check box are not.
        QVERIFY(!box("Text4")->isVisible());
        QVERIFY(!child<QCheckBox>(panel, "Check4")->isVisible());
        QVERIFY(box("Text2_1")->isVisible());
        QVERIFY(!box("Text22_11")->isVisible());
    }

    void startUpRestoresStoredSettings() {
        f->settings.values = {{"bolZyw", "False"}, {"intIdfTm", "0"},    {"intLei", "3"},
                              {"bolZhpm", "True"}, {"intZhWSetup", "4"}, {"bolLdm", "False"}};
        start();
        QVERIFY(child<QRadioButton>(panel, "Option1_0")->isChecked());
        QVERIFY(!child<QCheckBox>(panel, "Check2")->isVisible());
        QVERIFY(child<QRadioButton>(panel, "Option3_3")->isChecked());
        QCOMPARE(panel->searchType(), 3);
        QVERIFY(child<QRadioButton>(panel, "Option6_1")->isChecked());
        QVERIFY(child<QRadioButton>(panel, "Option2_5")->isChecked());
        QCOMPARE(child<QComboBox>(panel, "Combo1")->currentText(), QString("4"));
        QVERIFY(panel->readCriteria().fixed);
        QVERIFY(!panel->readCriteria().countSpecial);
        // A stored type without a button is not valid: the default 号码 is selected and used.
        cleanup();
        init();
        f->settings.values = {{"intLei", "7"}};
        start();
        QCOMPARE(panel->searchType(), 0);
        QCOMPARE(panel->readCriteria().type, 0);
        QVERIFY(child<QRadioButton>(panel, "Option3_0")->isChecked());
    }

    void settingsAreStoredWhenChanged() {
        start();
        auto& stored = f->settings.values;
        child<QRadioButton>(panel, "Option1_0")->click();
        QCOMPARE(stored["bolZyw"], std::string("False"));
        QVERIFY(!child<QCheckBox>(panel, "Check2")->isVisible());
        child<QRadioButton>(panel, "Option1_1")->click();
        QCOMPARE(stored["bolZyw"], std::string("True"));
        QVERIFY(child<QCheckBox>(panel, "Check2")->isVisible());
        // The period options share the handler and leave the mode as it is.
        child<QRadioButton>(panel, "Option1_3")->click();
        QCOMPARE(stored["bolZyw"], std::string("True"));
        QVERIFY(panel->freePosition());

        child<QRadioButton>(panel, "Option2_5")->click();
        QCOMPARE(stored["bolLdm"], std::string("False"));
        child<QRadioButton>(panel, "Option3_4")->click();
        QCOMPARE(stored["intLei"], std::string("4"));
        child<QRadioButton>(panel, "Option6_1")->click();
        QCOMPARE(stored["bolZhpm"], std::string("True"));
        child<QCheckBox>(panel, "Check2")->click();
        QCOMPARE(stored["intIdfTm"], std::string("0"));

        auto* combo = child<QComboBox>(panel, "Combo1");
        combo->setFocus();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo, "5");
        child<QPushButton>(panel, "Command1")->setFocus();
        QCOMPARE(stored["intZhWSetup"], std::string("5"));
        // Text that is not a whole number is not stored.
        combo->setFocus();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo, "x");
        child<QPushButton>(panel, "Command1")->setFocus();
        QCOMPARE(stored["intZhWSetup"], std::string("5"));
    }

    void modeSwitchResetsTheStartBox() {
        start();
        box("Text3_0")->setText("2013020");
        child<QRadioButton>(panel, "Option1_0")->click();
        QCOMPARE(text("Text3_0"), QString("2013010"));
        box("Text3_0")->setText("2013020");
        child<QRadioButton>(panel, "Option1_1")->click();
        QCOMPARE(text("Text3_0"), QString("2013010"));
    }

    void referenceDrawIsTheNewestNotAfterTheReferenceIssue() {
        start();
        box("Text4")->setText("2013025");
        chooseTab(1);
        QVERIFY(box("Text4")->isVisible());
        QVERIFY(child<QCheckBox>(panel, "Check4")->isVisible());
        QVERIFY(!box("Text2_1")->isVisible());
        QVERIFY(panel->historyTabActive());
        QCOMPARE(panel->positionValues(), (std::array<int, 8>{3, 11, 15, 22, 27, 29, 30, 8}));
        QCOMPARE(text("Text22_11"), QString("3"));
        QCOMPARE(text("Text22_18"), QString("8"));
        QCOMPARE(text("Text3_1"), QString("2013030"));

        // "仅检索该期前" on a stored issue: the range ends just before it, the draw is that issue.
        typeAndLeave("Text4", "2013030");
        QCOMPARE(panel->positionValues()[0], 30);
        child<QCheckBox>(panel, "Check4")->click();
        QCOMPARE(text("Text3_1"), QString("2013029"));
        QCOMPARE(panel->positionValues()[0], 30);
        // Cleared again: the range end returns to the newest draw, the values stay.
        typeAndLeave("Text4", "2013020");
        QCOMPARE(text("Text3_1"), QString("2013019"));
        child<QCheckBox>(panel, "Check4")->click();
        QCOMPARE(text("Text3_1"), QString("2013030"));
        QCOMPARE(panel->positionValues()[0], 3);

        // Back to tab 1: the typed values and the newest issue as the end.
        typeAndLeave("Text4", "2013010");
        child<QCheckBox>(panel, "Check4")->click();
        QCOMPARE(text("Text3_1"), QString("2013009"));
        chooseTab(0);
        QVERIFY(!panel->historyTabActive());
        QVERIFY(!box("Text4")->isVisible());
        QCOMPARE(text("Text3_1"), QString("2013030"));
    }

    void zodiacTypeShowsNamesAndKeepsCodes() {
        start();
        box("Text4")->setText("2013020");
        child<QRadioButton>(panel, "Option3_1")->click();
        chooseTab(1);
        QCOMPARE(text("Text22_11"), QString("兔"));
        QCOMPARE(text("Text22_17"), QString("鼠"));
        QCOMPARE(panel->positionValues(), (std::array<int, 8>{4, 8, 4, 9, 4, 2, 1, 11}));
        // A type change on tab 2 refreshes from the same reference draw.
        child<QRadioButton>(panel, "Option3_3")->click();
        QCOMPARE(text("Text22_11"), QString("3"));
        QCOMPARE(panel->positionValues()[1], 1);
    }

    void badReferenceKeepsValuesAndRangeAndSaysSo() {
        start();
        box("Text4")->setText("2013020");
        chooseTab(1);
        QCOMPARE(panel->positionValues()[0], 3);
        child<QCheckBox>(panel, "Check4")->click();
        QCOMPARE(text("Text3_1"), QString("2013019"));
        for (const char* bad : {"abc", "2013001", "", "99999999999"}) {
            f->notices.clear();
            typeAndLeave("Text4", bad);
            QCOMPARE(panel->positionValues()[0], 3);
            QCOMPARE(text("Text3_1"), QString("2013019"));
            QCOMPARE(text("Text22_11"), QString("3"));
            QCOMPARE(f->notices.size(), 1);
        }
    }

    // A store that cannot be read is said on the status line; boxes and values stay.
    void unreadableHistoryIsSaid() {
        start();
        box("Text4")->setText("2013020");
        chooseTab(1);
        const auto values = panel->positionValues();
        const QString start = text("Text3_0");
        f->db.db().executeNative("ALTER TABLE Lishi RENAME TO Gone");
        f->notices.clear();
        typeAndLeave("Text4", "2013030");
        child<QRadioButton>(panel, "Option1_1")->click();
        QCOMPARE(panel->positionValues(), values);
        QCOMPARE(text("Text3_0"), start);
        QVERIFY2(f->notices.filter(QStringLiteral("参考期“2013030”的历史号码无法读取")).size() > 0,
                 qPrintable(f->notices.join('\n')));
        QVERIFY2(f->notices.filter(QStringLiteral("期号范围无法读取")).size() > 0,
                 qPrintable(f->notices.join('\n')));
    }

    void emptyHistoryDoesNotEndTheProgram() {
        start(false);
        QCOMPARE(text("Text3_0"), QString("2013001"));
        box("Text4")->setText("2013001");
        chooseTab(1);
        QVERIFY(!f->notices.isEmpty());
        QCOMPARE(panel->positionValues(), (std::array<int, 8>{}));
        child<QCheckBox>(panel, "Check4")->click();
        child<QCheckBox>(panel, "Check4")->click();
        child<QRadioButton>(panel, "Option1_0")->click();
        chooseTab(0);
        QCOMPARE(text("Text3_1"), QString("2013001"));
    }

    void typedValuesAcceptOnlyDigitsAndMinus() {
        start();
        typeAndLeave("Text2_1", "1a2.b");
        QCOMPARE(text("Text2_1"), QString("12"));
        QCOMPARE(panel->positionValues()[0], 12);
        typeAndLeave("Text2_2", "-7");
        QCOMPARE(panel->positionValues()[1], -7);
        // Backspace edits; a text that is not a number keeps the previous value.
        QLineEdit* b = box("Text2_1");
        b->setFocus();
        b->end(false);
        QTest::keyClick(b, Qt::Key_Backspace);
        QTest::keyClicks(b, "-");
        child<QPushButton>(panel, "Command1")->setFocus();
        QCOMPARE(text("Text2_1"), QString("1-"));
        QCOMPARE(panel->positionValues()[0], 12);
        // Out of the 16-bit range: kept as well.
        typeAndLeave("Text2_3", "40000");
        QCOMPARE(panel->positionValues()[2], 0);
        // The history tab's boxes take any text; it is shown, not used as a value.
        chooseTab(1);
        QLineEdit* h = box("Text22_11");
        h->setFocus();
        h->selectAll();
        QTest::keyClicks(h, "x9");
        QCOMPARE(h->text(), QString("x9"));
    }

    void valueBoxesFollowTheSearchType() {
        start();
        struct Case {
            const char* option;
            int shown;
            const char* first;
            const char* twelfth;
        };
        const Case cases[] = {
            {"Option3_1", 12, "牛", "鼠"},   {"Option3_2", 5, "0", nullptr},
            {"Option3_3", 10, "0", nullptr}, {"Option3_4", 11, "1", nullptr},
            {"Option3_5", 10, "1", nullptr}, {"Option3_0", 30, "1", "12"},
        };
        for (const auto& c : cases) {
            child<QRadioButton>(panel, c.option)->click();
            int visible = 0;
            for (int k = 1; k <= 30; ++k)
                visible +=
                    child<QCheckBox>(panel, QString("Check6_%1").arg(k))->isVisible() ? 1 : 0;
            QCOMPARE(visible, c.shown);
            QCOMPARE(child<QCheckBox>(panel, "Check6_1")->text(), QString(c.first));
            QVERIFY(child<QCheckBox>(panel, QString("Check6_%1").arg(c.shown))->isVisible());
            if (c.twelfth)
                QCOMPARE(child<QCheckBox>(panel, "Check6_12")->text(), QString(c.twelfth));
        }
        QCOMPARE(child<QCheckBox>(panel, "Check6_30")->text(), QString("30"));
    }

    void countBoxCountsTheRelevantBoxes() {
        start();
        child<QRadioButton>(panel, "Option3_2")->click();
        child<QPushButton>(panel, "cmdZH_0")->click();
        for (int k = 1; k <= 30; ++k)
            QVERIFY(child<QCheckBox>(panel, QString("Check6_%1").arg(k))->isChecked());
        QCOMPARE(text("Text5"), QString("5"));
        child<QPushButton>(panel, "cmdZH_2")->click();
        QCOMPARE(text("Text5"), QString("0"));
        child<QCheckBox>(panel, "Check6_3")->click();
        child<QCheckBox>(panel, "Check6_9")->click();  // hidden for the head type, not counted
        QCOMPARE(text("Text5"), QString("1"));
        child<QPushButton>(panel, "cmdZH_2")->click();
        QCOMPARE(text("Text5"), QString("4"));
        // A type with more boxes counts them at once.
        child<QRadioButton>(panel, "Option3_0")->click();
        QCOMPARE(text("Text5"), QString("28"));
        child<QPushButton>(panel, "cmdZH_1")->click();
        QCOMPARE(text("Text5"), QString("0"));
        QVERIFY(!child<QCheckBox>(panel, "Check6_30")->isChecked());
    }
};

QTEST_MAIN(TestCriteriaPanel)
#include "test_criteria_panel.moc"

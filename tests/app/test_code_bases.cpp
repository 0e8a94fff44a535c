// The zodiac and segment bases as the window's user meets them: after every base-menu click the
// group boxes count the draws their captions name (each one-value group row equals a search for
// the code that the stored rows carry for it), a change of base offers to rebuild the stored
// codes, declining keeps them and says so.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>

#include "app/criteria_panel.h"
#include "app/grid_view.h"
#include "app/trend_view.h"
#include "search/search_command.h"
#include "store/draw_record.h"
#include "support/top_level.h"
#include "support/window_fixture.h"

using namespace quarvel;
using namespace quarvel::app;

class TestCodeBases : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowFixture> f;

    // Runs the one-value group computation of every box of `type` and checks each row's
    // 最小遗漏, 最大遗漏, 最后遗漏 and 出现次数 against a free search for the code that rows
    // built under `rowBase` carry for the row's label (zodiac: base + name index; segment: the
    // label is the code).
    void groupRowsEqualSearches(int type, int rowBase, const char* when) {
        f->find<QRadioButton>(QString("Option3_%1").arg(type))->click();
        f->find<QPushButton>("cmdZH_0")->click();
        f->find<QComboBox>("Combo2")->setCurrentText("1");
        f->find<QPushButton>("Command5")->click();
        const auto& groups = f->window->criteriaPanel()->summaryGrid()->grid();
        QCOMPARE(groups.rows(), type == 1 ? 13 : 11);
        for (int r = 1; r < groups.rows(); ++r) {
            const std::string& label = groups.at(r, 0);
            int code = std::atoi(label.c_str());
            if (type == 1) {
                const auto& names = store::kZodiacNames;
                code = rowBase + static_cast<int>(std::find(names.begin(), names.end(), label) -
                                                  names.begin());
            }
            search::Criteria c;
            c.type = type;
            c.selected[0] = true;
            c.values[0] = code;
            c.sxBase = type == 1 ? rowBase : 1;
            c.dsBase = type == 5 ? rowBase : 1;
            c.rangeStart = "2013001";
            c.rangeEnd = "2099999";
            const auto s = search::runSearch(f->window->historyDb(), c);
            QVERIFY(s.ok());
            const auto& want = s.summary.cells[1];
            for (int col : {1, 2, 3, 5})
                QVERIFY2(groups.at(r, col) == want[static_cast<std::size_t>(col)],
                         qPrintable(QString("%1: %2 column %3")
                                        .arg(when, QString::fromStdString(label))
                                        .arg(col)));
        }
    }

  private slots:
    void init() {
        f = std::make_unique<WindowFixture>();
        f->seed(testing::randomDraws(150, 21));
        f->open();
    }
    void cleanup() { f.reset(); }

    void zodiacBoxesFollowTheStoredCodesThroughEveryMenuClick() {
        groupRowsEqualSearches(1, 1, "start");
        // The base in force chosen again: the table is refilled, the stored rows are not.
        f->find<QAction>("mnuSxcs_1")->trigger();
        QCOMPARE(f->dialogs.count("question"), 0);
        groupRowsEqualSearches(1, 1, "1~12 again");

        // Declined: the rows keep their codes, the boxes still find them, the status bar says so.
        const auto before = f->stored();
        f->dialogs.questionAnswers.enqueue(false);
        f->find<QAction>("mnuSxcs_0")->trigger();
        QCOMPARE(f->dialogs.count("question"), 1);
        QVERIFY(f->status().contains(QStringLiteral("保留原来的生肖代码（1~12）")));
        groupRowsEqualSearches(1, 1, "0~11 declined");

        // Accepted: every row is built again under base 0, its backup in lsbf.txt.
        f->find<QAction>("mnuSxcs_1")->trigger();  // the rows are in base 1: nothing to offer
        QCOMPARE(f->dialogs.count("question"), 1);
        f->dialogs.questionAnswers.enqueue(true);
        f->find<QAction>("mnuSxcs_0")->trigger();
        QCOMPARE(f->dialogs.count("question"), 2);
        QVERIFY(f->status().contains(QStringLiteral("已按新的参数重建 150 期")));
        QVERIFY(std::filesystem::exists(f->dir.path() / "lsbf.txt"));
        QCOMPARE(f->stored().size(), before.size());
        QCOMPARE(f->stored().back().numbers, before.back().numbers);
        groupRowsEqualSearches(1, 0, "0~11 rebuilt");
        QCOMPARE(store::storedBases(f->window->historyDb().db(), {1, 1}).sx, 0);
    }

    void segmentBoxesAreCaptionedAndCountedInTheStoredBase() {
        f->dialogs.questionAnswers.enqueue(false);
        f->find<QAction>("mnuDscs_0")->trigger();
        QVERIFY(f->status().contains(QStringLiteral("保留原来的段数代码（1~10）")));
        groupRowsEqualSearches(5, 1, "0~9 declined");
        QCOMPARE(f->find<QCheckBox>("Check6_1")->text(), QString("1"));

        f->dialogs.questionAnswers.enqueue(true);
        f->find<QAction>("mnuDscs_1")->trigger();  // the rows are in base 1 already
        f->find<QAction>("mnuDscs_0")->trigger();
        QCOMPARE(f->dialogs.count("question"), 2);
        QCOMPARE(f->find<QCheckBox>("Check6_1")->text(), QString("0"));
        groupRowsEqualSearches(5, 0, "0~9 rebuilt");
    }

    // Rows stored under one base, the menus on the other (rebuild declined), quarvel-cli told
    // the other base as well: search, groups and trend give the same figures and names in both
    // programs.
    void windowAndCommandLineAgreeWhateverTheSetting_data() {
        QTest::addColumn<int>("rowBase");
        QTest::newRow("rows 1~12, setting 0~11") << 1;
        QTest::newRow("rows 0~11, setting 1~12") << 0;
    }
    void windowAndCommandLineAgreeWhateverTheSetting() {
        QFETCH(int, rowBase);
        const int setting = 1 - rowBase;
        if (rowBase == 0) {  // rebuild the rows under base 0 first
            for (const char* menu : {"mnuSxcs_0", "mnuDscs_0"}) {
                f->dialogs.questionAnswers.enqueue(true);
                f->find<QAction>(menu)->trigger();
            }
            QCOMPARE(store::storedBases(f->window->historyDb().db(), {1, 1}).sx, 0);
        }
        for (const char* menu : {"mnuSxcs_%1", "mnuDscs_%1"}) {
            f->dialogs.questionAnswers.enqueue(false);
            f->find<QAction>(QString(menu).arg(setting))->trigger();
        }
        const store::Bases stored = store::storedBases(f->window->historyDb().db(), {9, 9});
        QCOMPARE(stored.sx, rowBase);
        QCOMPARE(stored.ds, rowBase);
        const auto cli = [this, setting](std::vector<std::string> args) {
            const std::string base = std::to_string(setting);
            args.insert(args.begin(), {"--sx-base", base, "--ds-base", base});
            const auto r = f->cli(std::move(args));
            if (r.status != 0) qWarning("%s", r.err.c_str());
            return r.out;
        };
        auto* panel = f->window->criteriaPanel();

        f->find<QRadioButton>("Option3_1")->click();
        f->find<QCheckBox>("Check1_1")->setChecked(true);
        auto* box = f->find<QLineEdit>("Text2_1");
        box->setFocus();
        QTest::keyClicks(box, "2");  // 牛 or 虎 in the stored rows' numbering
        f->find<QPushButton>("Command1")->click();
        QCOMPARE(panel->hitGrid()->grid().toTsv() + "\n" + panel->summaryGrid()->grid().toTsv(),
                 cli({"search", "--type", "1", "--pos", "1=2"}));
        QVERIFY(panel->hitGrid()->grid().toTsv().find(rowBase == 1 ? "牛" : "虎") !=
                std::string::npos);

        f->find<QPushButton>("cmdZH_0")->click();
        f->find<QComboBox>("Combo2")->setCurrentText("1");
        f->find<QPushButton>("Command5")->click();
        QCOMPARE(
            panel->summaryGrid()->grid().toTsv(),
            cli({"groups", "--type", "1", "--size", "1", "--boxes", "1,2,3,4,5,6,7,8,9,10,11,12"}));
        QVERIFY(panel->summaryGrid()->grid().toTsv().find("猪") != std::string::npos);

        for (const char* type : {"1", "5"}) {
            f->find<QRadioButton>(QString("Option3_%1").arg(type))->click();
            f->find<QPushButton>("cmdZst")->click();
            auto* trend = apptest::topLevel<TrendWindow>("frmZst");
            QVERIFY(trend);
            QCOMPARE(trend->model()->chart()->toTextGrid().toTsv(), cli({"trend", "--type", type}));
            trend->close();
        }
    }
};

QTEST_MAIN(TestCodeBases)
#include "test_code_bases.moc"

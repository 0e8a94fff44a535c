// Bad input through the window: non-numbers, negative and huge values, blanks, Chinese text and
// empty text in every text box and editable drop-down, and as the answers of the menus' input
// boxes. After each, every command is pressed: nothing may crash, the history changes only
// through the commands meant to change it, and every refusal is shown (a message box or a
// status-bar notice).

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTabBar>

#include "app/criteria_panel.h"
#include "app/grid_view.h"
#include "app/history_panel.h"
#include "support/window_fixture.h"

using namespace quarvel;
using namespace quarvel::app;

namespace {

constexpr int kDraws = 60;

struct Bad {
    const char* name;
    const char* text;
};

// Texts typed into boxes and given as answers.
const Bad kBadTexts[] = {
    {"letters", "abc"},
    {"negative", "-7"},
    {"huge", "99999999999"},
    {"below 32 bits", "-2147483649"},
    {"blanks", "   "},
    {"chinese", "二〇一三年"},
    {"empty", ""},
    {"lone minus", "-"},
    {"digits then letters", "12ab"},
};

// Whole numbers at the edges of 16 and 32 bits: accepted where a box takes them, and never
// allowed to overflow what is computed from them.
const char* const kEdgeNumbers[] = {"2147483647", "-2147483648", "32767", "-32768", "32768", "0"};

// Types each character as a key press with its text, also characters beyond Latin-1 (as an
// input method would commit them one by one).
void typeText(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        const QString one(c);
        const Qt::Key key = c.isDigit() ? Qt::Key(Qt::Key_0 + c.digitValue())
                            : c == u'-' ? Qt::Key_Minus
                            : c == u' ' ? Qt::Key_Space
                            : c.isLetter() && c.unicode() < 128
                                ? Qt::Key(Qt::Key_A + (c.toUpper().unicode() - 'A'))
                                : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Press, w, key, one, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, w, key, one, Qt::NoModifier);
    }
}

// What a user's typing leaves in a box: the characters the box takes, in place of what it held.
void typeInto(QWidget* w, const QString& text) {
    QLineEdit* edit = qobject_cast<QLineEdit*>(w);
    if (auto* combo = qobject_cast<QComboBox*>(w)) edit = combo->lineEdit();
    QVERIFY2(edit, "box cannot be typed into");
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    typeText(edit, text);
}

bool same(const std::vector<testing::Draw>& a, const std::vector<testing::Draw>& b, size_t n) {
    if (a.size() < n || b.size() < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (a[i].issue != b[i].issue || a[i].numbers != b[i].numbers) return false;
    return true;
}
bool same(const std::vector<testing::Draw>& a, const std::vector<testing::Draw>& b) {
    return a.size() == b.size() && same(a, b, a.size());
}

// The commands that read the position values.
const char* const kSearches = "Command1 Command2";

bool numberIn(const QString& text, int low, int high) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok && v >= low && v <= high;
}

// What the value boxes of 手动输入号 keep of a typed text: digits and minus signs.
QString typedKept(QString text) {
    text.removeIf([](QChar c) { return !c.isDigit() && c != u'-'; });
    return text;
}

QString describe(const QList<QueuedDialogs::Shown>& shown) {
    QStringList out;
    for (const auto& s : shown) out << s.kind + ":" + s.title + ":" + s.text;
    return out.join(" | ");
}

}  // namespace

class TestBadInput : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowFixture> f;

    void clearFeedback() {
        f->dialogs.shown.clear();
        f->window->statusBar()->clearMessage();
    }
    bool sawFeedback() const { return !f->dialogs.messages().isEmpty() || !f->status().isEmpty(); }
    int messageCount() const { return static_cast<int>(f->dialogs.messages().size()); }

    // Numbers in every value box of 手动输入号, each ticked: the partial search reads all eight,
    // and the search refuses an empty ticked box or a number in an unticked one.
    void fillValueBoxes() {
        for (int p = 1; p <= 8; ++p) {
            f->find<QLineEdit>(QStringLiteral("Text2_%1").arg(p))->setText(QString::number(p));
            f->find<QCheckBox>(QStringLiteral("Check1_%1").arg(p))->setChecked(true);
        }
    }

    void click(const char* name) {
        auto* b = f->find<QPushButton>(name);
        QVERIFY(b);
        QTest::mouseClick(b, Qt::LeftButton);
    }

    // Every command of the window after the bad text: each analysis says what it did or why it
    // refused, none of them stores or loses a draw; the delete removes exactly the newest draw.
    void pressEveryCommand(const QString& refusers) {
        const auto before = f->stored();
        QCOMPARE(before.size(), size_t(kDraws));

        for (const char* name : {"Command1", "Command2"}) {
            clearFeedback();
            click(name);
            QVERIFY2(sawFeedback(), name);
            QCOMPARE(messageCount() > 0, refusers.contains(QLatin1String(name)));
            QVERIFY(same(f->stored(), before));
        }
        // The value boxes: a few ticked, the group command, then the three buttons.
        for (int k = 1; k <= 5; ++k)
            f->find<QCheckBox>(QStringLiteral("Check6_%1").arg(k))->setChecked(true);
        clearFeedback();
        click("Command5");
        QVERIFY(sawFeedback());
        QCOMPARE(messageCount() > 0, refusers.contains(QLatin1String("Command5")));
        QVERIFY(same(f->stored(), before));
        auto* count = f->find<QLineEdit>("Text5");
        click("cmdZH_0");
        QCOMPARE(count->text(), QString("30"));
        click("cmdZH_1");
        QCOMPARE(count->text(), QString("0"));
        f->find<QCheckBox>("Check6_3")->setChecked(true);
        click("cmdZH_2");
        QCOMPARE(count->text(), QString("29"));
        click("cmdZH_1");

        // The option clicks, "仅检索该期前" and the tab switches run the reference draw (or read
        // the typed values) and change nothing.
        for (const char* name :
             {"Option3_1", "Option3_0", "Option1_0", "Option1_1", "Option2_5", "Option2_4"})
            QTest::mouseClick(f->find<QWidget>(name), Qt::LeftButton);
        if (auto* only = f->find<QCheckBox>("Check4"); only->isVisible()) {
            QTest::mouseClick(only, Qt::LeftButton);
            QTest::mouseClick(only, Qt::LeftButton);
        }
        auto* tabs = f->find<QTabBar>("TabStrip1");
        const int shownTab = tabs->currentIndex();
        tabs->setCurrentIndex(1 - shownTab);
        tabs->setCurrentIndex(shownTab);
        QVERIFY(same(f->stored(), before));

        clearFeedback();
        click("Command4");
        QVERIFY(sawFeedback());
        QVERIFY(same(f->stored(), before));

        clearFeedback();
        click("Command3");
        QVERIFY(sawFeedback());
        auto after = f->stored();
        QCOMPARE(after.size(), before.size() - 1);
        QVERIFY(same(after, before, after.size()));
        // The window still works: a search over the shortened history runs, once the value boxes
        // hold numbers again.
        f->find<QTabBar>("TabStrip1")->setCurrentIndex(0);
        fillValueBoxes();
        clearFeedback();
        f->find<QLineEdit>("Text3_0")->setText(QString::number(before.front().issue));
        f->find<QLineEdit>("Text3_1")->setText(QString::number(after.back().issue));
        click("Command1");
        QVERIFY2(f->dialogs.messages().isEmpty(), qPrintable(describe(f->dialogs.shown)));
    }

  private slots:
    void init() {
        f = std::make_unique<WindowFixture>();
        f->seed(simpleDraws(kDraws));
        f->open();
        fillValueBoxes();
    }
    void cleanup() { f.reset(); }

    // Each bad text in each box; `refusers` names the commands that must refuse with a message.
    void badTextInABox_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("refusers");
        const auto notInteger = [](const QString& t) {
            bool ok = false;
            t.trimmed().toInt(&ok);
            return !ok;
        };
        for (const Bad& bad : kBadTexts) {
            const QString text = QString::fromUtf8(bad.text);
            // The range boxes are read by all three analyses.
            for (const char* box : {"Text3_0", "Text3_1"})
                QTest::addRow("%s %s", box, bad.name)
                    << box << 0 << text << (notInteger(text) ? "Command1 Command2 Command5" : "");
            // The reference issue and the value boxes of both tabs with their positions ticked.
            QTest::addRow("Text4 %s", bad.name) << "Text4" << 1 << text << "";
            // A ticked value that is no number of 1..30 is refused by the search and the partial
            // search (the tab 1 boxes let digits and minus through); an empty one on tab 2 too.
            for (const char* box : {"Text2_1", "Text2_8"})
                QTest::addRow("%s %s", box, bad.name)
                    << box << 0 << text << (numberIn(typedKept(text), 1, 30) ? "" : kSearches);
            for (const char* box : {"Text22_11", "Text22_18"})
                QTest::addRow("%s %s", box, bad.name)
                    << box << 1 << text << (text.trimmed().isEmpty() ? kSearches : "");
            // The section digit count and the group size; the period box and the next issue.
            QTest::addRow("Combo1 %s", bad.name) << "Combo1" << 0 << text << "Command2";
            // A group size outside 1..5 (five boxes are ticked) is refused.
            QTest::addRow("Combo2 %s", bad.name)
                << "Combo2" << 0 << text << (numberIn(text, 1, 5) ? "" : "Command5");
            QTest::addRow("MaskEdBox2 %s", bad.name) << "MaskEdBox2" << 0 << text << "";
            QTest::addRow("Text1 %s", bad.name) << "Text1" << 0 << text << "";
            QTest::addRow("Text5 %s", bad.name) << "Text5" << 0 << text << "";
        }
        for (const char* edge : kEdgeNumbers) {
            for (const char* box : {"Text3_0", "Text3_1"})
                QTest::addRow("%s %s", box, edge) << box << 0 << QString(edge) << "";
            QTest::addRow("Text2_1 %s", edge) << "Text2_1" << 0 << QString(edge) << kSearches;
            QTest::addRow("Combo2 %s", edge) << "Combo2" << 0 << QString(edge) << "Command5";
            QTest::addRow("Text4 %s", edge) << "Text4" << 1 << QString(edge) << "";
        }
    }
    void badTextInABox() {
        QFETCH(QString, box);
        QFETCH(int, tab);
        QFETCH(QString, text);
        QFETCH(QString, refusers);
        f->find<QTabBar>("TabStrip1")->setCurrentIndex(tab);
        for (int p = 1; p <= 8; ++p) {
            f->find<QCheckBox>(QStringLiteral("Check11_%1").arg(p + 10))
                ->setChecked(p == 1 || p == 8);
        }
        auto* w = f->find<QWidget>(box);
        QVERIFY(w);
        typeInto(w, text);
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            // Enter keeps the list to its six counts.
            QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
            QCOMPARE(combo->count(), 6);
            for (int i = 0; i < 6; ++i) QCOMPARE(combo->itemText(i), QString::number(i + 1));
        }
        // Leaving the box, as the tab key would. A refused typed value, reference issue or
        // section count is mentioned at once.
        clearFeedback();
        f->find<QLineEdit>("MaskEdBox1_1")->setFocus(Qt::TabFocusReason);
        QString kept = text;  // what the value boxes of tab 1 let through
        if (box.startsWith("Text2_"))
            kept.removeIf([](QChar c) { return !c.isDigit() && c != u'-'; });
        bool isShort = false;
        kept.toShort(&isShort);
        const bool noReference =
            text.trimmed().toInt() < 2013001;  // before every stored draw, or no number
        if (box == "Combo1" || (box == "Text4" && noReference) ||
            (box.startsWith("Text2_") && !isShort))
            QVERIFY2(!f->status().isEmpty(), "leaving the box says nothing");
        QVERIFY(f->stored().size() == size_t(kDraws));
        if (box == "Text5")
            QCOMPARE(f->find<QLineEdit>("Text5")->text(), QString("0"));  // a count, not typed
        pressEveryCommand(refusers);
    }

    // The next-issue box is editable, but a draw always goes under the next issue; a text that is
    // no issue number does not change the zodiacs stored with it.
    void aDrawAfterBadNextIssueText_data() {
        QTest::addColumn<QString>("text");
        for (const Bad& bad : kBadTexts) QTest::newRow(bad.name) << QString::fromUtf8(bad.text);
    }
    void aDrawAfterBadNextIssueText() {
        QFETCH(QString, text);
        const QStringList draw = {"05", "12", "18", "21", "25", "28", "30", "09"};
        click("Command3");
        typeInto(f->history().nextIssueBox(), text);
        for (int i = 1; i <= 8; ++i) {
            f->box(i)->setFocus(Qt::TabFocusReason);  // as the tab key would: all selected
            typeText(f->box(i), draw[i - 1]);
        }
        // A next issue that is no issue refuses the draw with a message; nothing is stored
        // under a number the user did not see.
        const auto rows = f->stored();
        QVERIFY2(rows.size() == size_t(kDraws - 1),
                 qPrintable(describe(f->dialogs.shown) + " / " + f->status()));
        QCOMPARE(rows.back().issue, 2013000 + kDraws - 1);
        QVERIFY2(describe(f->dialogs.shown).contains("期号有误"),
                 qPrintable(describe(f->dialogs.shown)));
        QCOMPARE(f->box(8)->text(),
                 draw[7]);  // the typed draw stays to be stored after a correction
    }

    // The settings that a box writes when left never take a value that every reader refuses.
    void sectionCountKeepsAUsableValue_data() {
        QTest::addColumn<QString>("text");
        for (const Bad& bad : kBadTexts) QTest::newRow(bad.name) << QString::fromUtf8(bad.text);
        QTest::newRow("zero") << "0";
        QTest::newRow("seven") << "7";
        QTest::newRow("16 bits") << "32767";
    }
    void sectionCountKeepsAUsableValue() {
        QFETCH(QString, text);
        auto* combo = f->find<QComboBox>("Combo1");
        typeInto(combo, "3");
        f->find<QLineEdit>("Text3_0")->setFocus(Qt::TabFocusReason);
        QCOMPARE(f->settings->get("intZhWSetup").value_or(""), std::string("3"));
        clearFeedback();
        typeInto(combo, text);
        f->find<QLineEdit>("Text3_0")->setFocus(Qt::TabFocusReason);
        QCOMPARE(f->settings->get("intZhWSetup").value_or(""), std::string("3"));
        QVERIFY2(!f->status().isEmpty(), "the refused count is not mentioned");
        // After a restart the drop-down shows the last usable count.
        f->open();
        QCOMPARE(f->find<QComboBox>("Combo1")->currentText(), QString("3"));
    }

    // The entry boxes take two digits only: bad text leaves a box incomplete, and completing the
    // draw then refuses it with a message; nothing is stored.
    void badTextInAnEntryBox_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("text");
        for (const Bad& bad : kBadTexts)
            for (int box : {1, 4, 7})
                QTest::addRow("box %d %s", box, bad.name) << box << QString::fromUtf8(bad.text);
    }
    void badTextInAnEntryBox() {
        QFETCH(int, box);
        QFETCH(QString, text);
        const QStringList good = {"05", "12", "18", "21", "25", "28", "30", "09"};
        for (int i = 1; i <= 7; ++i) {
            f->box(i)->setFocus();
            typeText(f->box(i), i == box ? text : good[i - 1]);
        }
        QVERIFY(f->stored().size() == size_t(kDraws));
        // Only eight distinct two-digit numbers 01..30 make a sound draw.
        QStringList typed;
        for (int i = 1; i <= 7; ++i) typed << f->box(i)->text();
        typed << good[7];
        bool sound = typed.removeDuplicates() == 0;
        for (const QString& t : typed)
            sound = sound && t.size() == 2 && t.toInt() >= 1 && t.toInt() <= 30;
        clearFeedback();
        f->box(8)->setFocus();
        typeText(f->box(8), good[7]);
        const auto rows = f->stored();
        if (sound) {
            QCOMPARE(rows.size(), size_t(kDraws + 1));
            QVERIFY(f->dialogs.messages().isEmpty());
            f->dialogs.questionAnswers.clear();
            click("Command3");  // back to the seeded history for the sweep below
        } else {
            QCOMPARE(rows.size(), size_t(kDraws));
            QCOMPARE(messageCount(), 1);
        }
        // Box 8 itself, with the other boxes empty: whatever it completes to is refused.
        for (int i = 1; i <= 8; ++i) {
            f->box(i)->selectAll();
            QTest::keyClick(f->box(i), Qt::Key_Backspace);
        }
        f->box(8)->setFocus();
        typeText(f->box(8), text);
        QVERIFY(f->stored().size() == size_t(kDraws));
        pressEveryCommand(QString());
    }

    // The menus' input boxes: a bad answer changes neither the history nor the settings, and is
    // refused visibly. The kept-years and site boxes ask again; Cancel then ends them.
    void badAnswerOfAMenu_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("asksAgain");
        for (const Bad& bad : kBadTexts) {
            const QString text = QString::fromUtf8(bad.text);
            for (const char* menu : {"mnuDlzd", "mnuEszhzd"})
                QTest::addRow("%s %s", menu, bad.name) << menu << text << false;
            // An empty answer ends the kept-years question without a change, as Cancel does.
            QTest::addRow("mnuSetDay %s", bad.name)
                << "mnuSetDay" << text << !text.trimmed().isEmpty();
            QTest::addRow("mnuResultsHost %s", bad.name) << "mnuResultsHost" << text << true;
        }
        QTest::newRow("mnuSetDay 1") << "mnuSetDay"
                                     << "1" << true;
        QTest::newRow("mnuSetDay 17") << "mnuSetDay"
                                      << "17" << true;
        QTest::newRow("mnuSetDay fraction") << "mnuSetDay"
                                            << "6.5" << true;
        QTest::newRow("mnuResultsHost path") << "mnuResultsHost"
                                             << "http://example.com/x?y=1" << true;
        QTest::newRow("mnuResultsHost ftp") << "mnuResultsHost"
                                            << "ftp://example.com" << true;
        QTest::newRow("mnuDlzd zero") << "mnuDlzd"
                                      << "0" << false;
        QTest::newRow("mnuEszhzd zero") << "mnuEszhzd"
                                        << "0" << false;
        QTest::newRow("mnuEszhzd fraction") << "mnuEszhzd"
                                            << "2.5" << false;
    }
    void badAnswerOfAMenu() {
        QFETCH(QString, menu);
        QFETCH(QString, answer);
        QFETCH(bool, asksAgain);
        const auto before = f->stored();
        const auto years = f->settings->get("IniSerchDay");
        const auto host = f->settings->get("ResultsHost");
        clearFeedback();
        f->dialogs.inputAnswers.enqueue(answer);
        f->dialogs.inputAnswers.enqueue(std::nullopt);  // Cancel, if asked again
        auto* action = f->window->findChild<QAction*>(menu);
        QVERIFY(action);
        action->trigger();
        QCOMPARE(f->dialogs.count("input"), asksAgain ? 2 : 1);
        if (asksAgain) QCOMPARE(messageCount(), 1);
        const bool emptyEnds = menu == "mnuSetDay" && answer.trimmed().isEmpty();
        if (!emptyEnds) QVERIFY2(sawFeedback(), "the refused answer is not mentioned");
        QVERIFY(same(f->stored(), before));
        QVERIFY(f->settings->get("IniSerchDay") == years);
        QVERIFY(f->settings->get("ResultsHost") == host);
        pressEveryCommand(QString());
    }

    // A trim answer that would keep no draw (an issue before the first, a count as large as the
    // history) asks first, as clearing does; a trim that keeps draws asks nothing.
    void trimKeepingNothingAsks_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("asks");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<int>("kept");
        QTest::newRow("issue typed short, no") << "mnuDlzd"
                                               << "201301" << true << false << kDraws;
        QTest::newRow("issue typed short, yes") << "mnuDlzd"
                                                << "201301" << true << true << 0;
        QTest::newRow("count, no") << "mnuDlzd"
                                   << "5" << true << false << kDraws;
        QTest::newRow("all draws, no") << "mnuEszhzd"
                                       << "60" << true << false << kDraws;
        QTest::newRow("all draws, yes") << "mnuEszhzd"
                                        << "60" << true << true << 0;
        QTest::newRow("int max, no") << "mnuEszhzd"
                                     << "2147483647" << true << false << kDraws;
        QTest::newRow("first issue kept") << "mnuDlzd"
                                          << "2013001" << false << false << 1;
        QTest::newRow("one kept") << "mnuEszhzd"
                                  << "59" << false << false << 1;
    }
    void trimKeepingNothingAsks() {
        QFETCH(QString, menu);
        QFETCH(QString, answer);
        QFETCH(bool, asks);
        QFETCH(bool, confirm);
        QFETCH(int, kept);
        clearFeedback();
        f->dialogs.inputAnswers.enqueue(answer);
        f->dialogs.questionAnswers.enqueue(confirm);
        f->window->findChild<QAction*>(menu)->trigger();
        QCOMPARE(f->dialogs.count("question"), asks ? 1 : 0);
        QCOMPARE(f->stored().size(), size_t(kept));
        QVERIFY(!f->status().isEmpty());
        QCOMPARE(f->history().list()->gridModel()->rowCount(), kept);
    }

    // The import's file choice: files that hold no draws, or are no files at all, leave the
    // history as it was and say why.
    void badImportFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");  // empty: nothing is created under that name
        QTest::newRow("missing") << "missing.txt" << QByteArray();
        QTest::newRow("folder") << "folder.txt" << QByteArray("/");
        QTest::newRow("not text") << "history.xls"
                                  << QByteArray("2013061 01 02 03 04 05 06 07 08\r\n");
        QTest::newRow("binary") << "binary.txt" << QByteArray("\x00\xff\xfe\x01\x02", 5);
        QTest::newRow("words") << "words.txt" << QByteArray("历史号码\r\nabc def\r\n-7 -7\r\n");
        QTest::newRow("empty file") << "empty.txt" << QByteArray("");
        QTest::newRow("short lines")
            << "short.txt" << QByteArray("2013061 01 02 03\r\n2013062 5 6 7 8 9 10 11 12\r\n");
    }
    void badImportFile() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        const QString path = QString::fromStdString((f->dir.path() / name.toStdString()).string());
        if (content == "/")
            QVERIFY(QDir().mkpath(path));
        else if (name != "missing.txt") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        const auto before = f->stored();
        clearFeedback();
        f->dialogs.questionAnswers.enqueue(true);
        f->dialogs.fileAnswers.enqueue(path);
        click("cmdRdLst");
        QVERIFY2(sawFeedback(), "the refused file is not mentioned");
        QVERIFY(same(f->stored(), before));
        pressEveryCommand(QString());
    }

    // The commands on an empty history: no crash, each says what it did or why not.
    void everyCommandOnAnEmptyHistory() {
        f->dialogs.questionAnswers.enqueue(true);
        f->window->findChild<QAction*>("mnuClear")->trigger();
        QVERIFY(f->stored().empty());
        for (const char* name : {"Command1", "Command2", "Command5", "Command4", "Command3"}) {
            clearFeedback();
            click(name);
            QVERIFY2(sawFeedback(), name);
            QVERIFY(f->stored().empty());
        }
        for (int tab : {1, 0, 1}) f->find<QTabBar>("TabStrip1")->setCurrentIndex(tab);
        f->find<QLineEdit>("Text4")->setFocus();
        typeInto(f->find<QLineEdit>("Text4"), "2013005");
        f->find<QLineEdit>("Text3_0")->setFocus(Qt::TabFocusReason);
        QVERIFY(!f->status().isEmpty());
        for (const char* menu : {"mnuDlzd", "mnuEszhzd"}) {
            clearFeedback();
            f->dialogs.inputAnswers.enqueue(QStringLiteral("5"));
            f->window->findChild<QAction*>(menu)->trigger();
            QVERIFY2(sawFeedback(), menu);
            QVERIFY(f->stored().empty());
        }
    }
};

QTEST_MAIN(TestBadInput)
#include "test_bad_input.moc"

// The window's file and update commands: reading a text file, exporting as text and as a
// spreadsheet, trimming, the kept-years and results-site settings, and the online update
// against a small local web server.

#include <QAction>
#include <QDate>
#include <QDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include "app/criteria_panel.h"
#include "app/grid_view.h"
#include "app/history_panel.h"
#include "app/qt_paths.h"
#include "app/status_line.h"
#include "history_io/export.h"
#include "history_io/page_text.h"
#include "store/new_year_table.h"
#include "support/top_level.h"
#include "support/window_fixture.h"

using namespace quarvel;
using namespace quarvel::app;

namespace {

// Answers every GET with a page; the page of `drawYear` lists two draws in the chart layout.
class ResultsServer : public QObject {
  public:
    int drawYear = 0;
    int requests = 0;
    std::function<void()> onRequest;

    ResultsServer() {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (auto* s = server_.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] { answer(s); });
            }
        });
    }
    QString host() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()); }

  private:
    void answer(QTcpSocket* s) {
        const QByteArray request = s->readAll();
        if (!request.contains("\r\n\r\n")) return;
        ++requests;
        if (onRequest) onRequest();
        QByteArray body = "<html><body><p>no draws</p></body></html>";
        // Every year up to drawYear shows its first two draws.
        const int at = request.indexOf("span=");
        const QByteArray y = at < 0 ? QByteArray() : request.mid(at + 5, 4);
        if (drawYear != 0 && y.toInt() <= drawYear) {
            // Key, 13 filler characters, then eight numbers at a pitch of three.
            body = "<html><body><p>" + y + "001abcdefghijklm05,12,18,21,25,28,30,09</p><p>" + y +
                   "002abcdefghijklm01,02,03,04,06,07,08,10</p></body></html>";
        }
        s->write(
            "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nConnection: "
            "close\r\nContent-Length: " +
            QByteArray::number(body.size()) + "\r\n\r\n" + body);
        s->disconnectFromHost();
    }
    QTcpServer server_;
};

QString path(const WindowFixture& f, const char* name) {
    return toQString(f.dir.path() / io::utf8Path(name));
}

}  // namespace

class TestHistoryFiles : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowFixture> f;

  private slots:
    void init() { f = std::make_unique<WindowFixture>(); }
    void cleanup() {
        f.reset();
        store::setNewYearEntries({});
    }

    // A merge adds the missing draws after saying what the file was read as; the stored ones
    // stay, the differing one is listed, and the check names the hole the file leaves.
    void mergeAndCheckFromTheMenus() {
        f->seed(simpleDraws(5));  // 2013001 .. 2013005
        const auto stored = f->stored();
        const auto file = f->dir.path() / "results.csv";
        std::string csv = "draw_id,draw_date,n1,n2,n3,n4,n5,n6,n7,special\r\n";
        auto line = [](std::int32_t issue, const std::array<int, 8>& n) {
            std::string l = std::to_string(issue).substr(2) + ",2013-01-05";
            for (int v : n) l += (v < 10 ? ",0" : ",") + std::to_string(v);
            return l + "\r\n";
        };
        csv += line(2013008, {21, 22, 23, 24, 25, 26, 27, 28});
        csv += line(2013006, {11, 12, 13, 14, 15, 16, 17, 18});
        csv += line(2013005, {1, 2, 3, 4, 5, 6, 7, 9});  // differs from the stored one
        csv += line(2013004, stored[3].numbers);
        testing::writeFile(file, csv);
        f->open();
        f->dialogs.fileAnswers.enqueue(toQString(file));
        f->dialogs.questionAnswers.enqueue(true);
        f->find<QAction>("mnuMerge")->trigger();
        const auto after = f->stored();
        QCOMPARE(after.size(), size_t(7));
        QCOMPARE(after[4].numbers, stored[4].numbers);
        QCOMPARE(f->dialogs.shown[1].kind, QString("question"));
        QVERIFY2(f->dialogs.shown[1].text.startsWith(
                     QStringLiteral("识别为 CSV（有表头、日期列、五位期号、特码单列、新的在前），4 "
                                    "期，2013004–2013008。")),
                 qPrintable(f->dialogs.shown[1].text));
        QVERIFY2(f->dialogs.shown[2].text.contains(QStringLiteral("2013005：已保存")),
                 qPrintable(f->dialogs.shown[2].text));
        QVERIFY2(
            f->dialogs.shown[3].text.startsWith(QStringLiteral("历史检查：缺 1 期（2013007）")),
            qPrintable(f->dialogs.shown[3].text));
        QCOMPARE(f->history().nextIssueBox()->text(), QString("2013009"));

        f->find<QAction>("mnuCheck")->trigger();
        QVERIFY(f->dialogs.shown.last().text.contains(QStringLiteral("缺期 2013007")));
    }

    // The user adds a year to the new-year table; rows stored before under the old table are
    // offered a rebuild, and the entry is kept in the settings.
    void newYearTableIsExtendedAndTheRowsRebuilt() {
        std::vector<testing::Draw> draws;
        for (const auto& d : simpleDraws(20, 2030001)) draws.push_back(d);
        f->seed(draws);
        f->open();
        QTimer::singleShot(0, [] {
            auto* dialog = apptest::topLevel<QDialog>(QStringLiteral("frmNewYear"));
            QVERIFY(dialog);
            auto* grid = dialog->findChild<QTableWidget*>(QStringLiteral("gridNewYear"));
            QCOMPARE(grid->item(grid->rowCount() - 1, 0)->text(), QString("2026"));
            dialog->findChild<QPushButton*>(QStringLiteral("cmdAddYear"))->click();
            QCOMPARE(grid->item(grid->rowCount() - 1, 0)->text(), QString("2027"));
            grid->item(grid->rowCount() - 1, 0)->setText(QStringLiteral("2030"));
            grid->item(grid->rowCount() - 1, 1)->setText(QStringLiteral("12"));
            dialog->findChild<QPushButton*>(QStringLiteral("cmdNewYearOk"))->click();
        });
        f->dialogs.questionAnswers.enqueue(true);
        f->find<QAction>("mnuNewYear")->trigger();
        QCOMPARE(store::zodiacYear(2030012), 2029);
        QVERIFY2(f->dialogs.shown.last().text.contains(QStringLiteral("2030 年 12 期")),
                 qPrintable(f->dialogs.shown.last().text));
        store::HistoryDb check(f->dir.path());
        check.open();
        QVERIFY(store::rowsBuiltWithOtherNewYear(check.db(), 1).empty());
        QCOMPARE(f->settings->get("NewYearTable").value_or(""), std::string("2030=12"));
    }

    void importReplacesTheHistoryFromTheChosenFile() {
        f->seed(simpleDraws(3));
        const auto file = f->dir.path() / "new.TXT";
        testing::writeFile(file,
                           "2014001 05 12 18 21 25 28 30 09\r\n01 02 03 04 06 07 08 10\r\n\r\n");
        f->open();
        // The file lacks the three stored issues: once it is read, the window asks once more.
        for (int answer = 0; answer < 2; ++answer) {
            f->dialogs.questionAnswers.enqueue(true);
            f->dialogs.questionAnswers.enqueue(answer == 1);
            f->dialogs.fileAnswers.enqueue(toQString(file));
            QTest::mouseClick(f->find<QPushButton>("cmdRdLst"), Qt::LeftButton);
            QCOMPARE(f->stored().size(), size_t(answer == 0 ? 3 : 2));
        }
        QCOMPARE(f->dialogs.shown[0].title, QString("读入历史"));
        QVERIFY(f->dialogs.shown[0].text.startsWith("确实要读入最新历史号码吗？"));
        QCOMPARE(f->dialogs.shown[1].kind, QString("file"));
        QVERIFY(f->dialogs.shown[1].text.endsWith("历史号码"));
        QVERIFY(f->dialogs.shown[1].extra.contains(QStringLiteral("*.csv")));
        QCOMPARE(f->dialogs.shown[2].kind, QString("question"));
        QVERIFY2(f->dialogs.shown[2].text.startsWith(
                     QStringLiteral("文件中有 2 期（2014001～2014002），读入后现有的 3 期中有 3 "
                                    "期将不再保存；原历史已备份到 ")),
                 qPrintable(f->dialogs.shown[2].text));
        QVERIFY(f->dialogs.shown[2].text.endsWith(QStringLiteral("。确实要读入吗？")));
        QVERIFY2(f->status().contains(QStringLiteral("原历史已备份到")), qPrintable(f->status()));
        const auto rows = f->stored();
        QCOMPARE(rows.size(), size_t(2));
        QCOMPARE(rows[1].issue, 2014002);
        QCOMPARE(f->history().nextIssueBox()->text(), QString("2014003"));
        QCOMPARE(f->find<QLineEdit>("Text3_0")->text(), QString("2014001"));
        QCOMPARE(f->find<QLineEdit>("Text3_1")->text(), QString("2014002"));
        QCOMPARE(f->history().list()->gridModel()->rowCount(), 2);
        QVERIFY2(f->status().contains("2"), qPrintable(f->status()));
    }

    void importRefusalsLeaveTheHistoryAlone() {
        f->seed(simpleDraws(3));
        testing::writeFile(f->dir.path() / "draws.csv",
                           std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
        f->open();
        // Cancel on the question: no file dialog at all.
        f->window->importHistoryText();
        QCOMPARE(f->dialogs.count("file"), 0);
        // A file that is no text, then a missing file: refused, history kept, status says so.
        f->dialogs.questionAnswers.enqueue(true);
        f->dialogs.fileAnswers.enqueue(toQString(f->dir.path() / "draws.csv"));
        f->window->importHistoryText();
        QVERIFY2(f->status().contains(QStringLiteral("不像历史号码文件")), qPrintable(f->status()));
        f->dialogs.questionAnswers.enqueue(true);
        f->dialogs.fileAnswers.enqueue(toQString(f->dir.path() / "missing.txt"));
        f->window->importHistoryText();
        QVERIFY2(f->status().contains("未改变"), qPrintable(f->status()));
        QCOMPARE(f->stored().size(), size_t(3));
        QCOMPARE(f->history().list()->gridModel()->rowCount(), 3);
        // Each refusal is a modal message: the Chinese sentence, the detail behind its button.
        const auto messages = f->dialogs.messages();
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages[1].title, QString("读入历史"));
        QCOMPARE(messages[1].text, QStringLiteral("历史号码文件无法读取，历史号码未改变。"));
        QVERIFY(messages[1].extra.contains("missing.txt"));
    }

    // Lines that cannot be a draw are skipped; the user is told how many and where.
    void importNamesTheSkippedLines() {
        const auto file = f->dir.path() / "typos.txt";
        testing::writeFile(file,
                           "2013001 01 02 03 04 05 06 07 08\r2013-002 01 02 03 04 05 06 07 08\r"
                           "2013003 00 99 45 05 05 31 12 13\r09 10 11 12 13 14 15 16\r");
        f->open();
        f->dialogs.questionAnswers.enqueue(true);
        f->dialogs.fileAnswers.enqueue(toQString(file));
        f->window->importHistoryText();
        const auto rows = f->stored();
        QCOMPARE(rows.size(), size_t(2));
        QCOMPARE(rows[1].issue, 2013004);
        // The skipped lines, then the history check on the holes they leave.
        QCOMPARE(f->dialogs.messages().size(), 2);
        QVERIFY(f->dialogs.messages()[1].text.startsWith(QStringLiteral("历史检查：缺 2 期")));
        QVERIFY2(f->dialogs.messages()[0].text.contains(
                     QStringLiteral("2 行不是有效的号码（第 2、3 行）")),
                 qPrintable(f->dialogs.messages()[0].text));
    }

    void textExportWritesTheFileAndOpensIt() {
        f->seed(simpleDraws(3));
        f->open();
        QTest::mouseClick(f->find<QPushButton>("Command4"), Qt::LeftButton);
        const QString file = path(*f, "更新至2013003期历史号码.txt");
        QCOMPARE(f->dialogs.opened, QStringList{file});
        const std::string text = testing::readFile(toPath(file));
        QCOMPARE(std::count(text.begin(), text.end(), '\n'), 3L);
        QVERIFY(text.rfind("2013001 01 04 07 10 13 16 19 22 \r\n", 0) == 0);
        // Nothing to open it: the user is told where it is.
        f->dialogs.desktopOpens = false;
        f->window->exportHistoryText();
        QCOMPARE(f->dialogs.messages().size(), 1);
        QVERIFY(f->dialogs.messages()[0].text.contains(file));
    }

    void listExportWritesLishiXls() {
        f->seed(simpleDraws(3));
        f->open();
        const QModelIndex cell = f->history().list()->model()->index(0, 0);
        const QPoint at = f->history().list()->visualRect(cell).center();
        f->dialogs.questionAnswers.enqueue(true);  // the double click asks first
        QTest::mousePress(f->history().list()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(f->history().list()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(f->history().list()->viewport(), Qt::LeftButton, {}, at);
        const QString file = path(*f, "lishi.xls");
        QVERIFY2(QFile::exists(file), qPrintable(f->status()));
        QCOMPARE(f->dialogs.opened.value(0), file);
        const auto first = QFileInfo(file).size();
        // The menu entry writes the same file again, replacing it when the user agrees.
        f->dialogs.desktopOpens = false;
        f->dialogs.questionAnswers.enqueue(true);
        f->find<QAction>("mnuDcls")->trigger();
        QCOMPARE(QFileInfo(file).size(), first);
        QCOMPARE(f->dialogs.opened.size(), 2);
        QVERIFY(f->dialogs.messages().value(0).text.contains(file));
    }

    void trimmingCommandsAskAndRefresh() {
        f->seed(simpleDraws(20));
        f->open();
        f->dialogs.inputAnswers.enqueue(QString("2013015"));
        f->find<QAction>("mnuDlzd")->trigger();
        QCOMPARE(f->dialogs.shown[0].title, QString("删除期数"));
        QCOMPARE(f->dialogs.shown[0].text, QString("请输入需要删除到的期数，例如‘2014016’"));
        QCOMPARE(f->dialogs.shown[0].extra, QString("2013020"));
        QCOMPARE(f->stored().size(), size_t(15));
        QCOMPARE(f->history().nextIssueBox()->text(), QString("2013016"));

        f->dialogs.inputAnswers.enqueue(QString("3"));
        f->find<QAction>("mnuEszhzd")->trigger();
        QCOMPARE(f->dialogs.shown[1].extra, QString("1"));
        QCOMPARE(f->stored().size(), size_t(12));
        QCOMPARE(f->history().list()->gridModel()->rowCount(), 12);
        QCOMPARE(f->find<QLineEdit>("Text3_1")->text(), QString("2013012"));

        // Cancel, zero and text change nothing.
        f->dialogs.inputAnswers.enqueue(std::nullopt);
        f->window->trimLastDraws();
        f->dialogs.inputAnswers.enqueue(QString("0"));
        f->window->trimLastDraws();
        f->dialogs.inputAnswers.enqueue(QString("abc"));
        f->window->trimToIssue();
        QCOMPARE(f->stored().size(), size_t(12));
    }

    void keptYearsAreAskedAgainUntilValid() {
        f->open();
        for (const char* answer : {"1", "17", "abc", "16"})
            f->dialogs.inputAnswers.enqueue(QString(answer));
        f->find<QAction>("mnuSetDay")->trigger();
        QCOMPARE(f->dialogs.count("input"), 4);
        QCOMPARE(f->dialogs.messages().size(), 3);
        QCOMPARE(f->dialogs.messages()[0].title, QString("输入有误"));
        QCOMPARE(f->window->context().saved.IniSerchDay, 16);
        QCOMPARE(f->dialogs.shown[0].extra, QString("6"));
        // An empty answer ends the question without a change.
        f->dialogs.inputAnswers.enqueue(QString(""));
        f->window->setKeptYears();
        QCOMPARE(f->window->context().saved.IniSerchDay, 16);
        QCOMPARE(QString::fromStdString(f->settings->get("IniSerchDay").value_or("")),
                 QString("16"));
    }

    void resultsSiteAddressIsCheckedAndSaved() {
        f->open();
        for (const char* answer : {"ftp://example.org", "example.org",
                                   "http://example.org/path?x=1", "http://example.org/"})
            f->dialogs.inputAnswers.enqueue(QString(answer));
        f->find<QAction>("mnuResultsHost")->trigger();
        QCOMPARE(f->dialogs.messages().size(), 3);
        QCOMPARE(f->settings->get("ResultsHost").value_or(""), std::string("http://example.org"));
    }

    void onlineUpdateWithoutAnAddressSaysSo() {
        if (!io::kPageReaderBuilt) QSKIP("this build has no page reader (gumbo)");
        f->open();
        f->dialogs.questionAnswers.enqueue(true);
        QTest::mouseClick(f->find<QPushButton>("Command21"), Qt::LeftButton);
        QCOMPARE(f->dialogs.messages().size(), 1);
        QVERIFY(!f->window->updateRunning());
    }

    void onlineUpdateAddsTheDrawsAndIgnoresASecondPress() {
        if (!io::kPageReaderBuilt) QSKIP("this build has no page reader (gumbo)");
        ResultsServer server;
        const int year = QDate::currentDate().year();
        server.drawYear = year;
        f->open();
        f->settings->save("ResultsHost", server.host().toStdString());
        f->window->context().saved.ResultsHost = server.host().toStdString();
        bool sawRunning = false;
        QStringList statusDuring;
        server.onRequest = [&] {
            sawRunning = sawRunning || f->window->updateRunning();
            statusDuring << f->status();
            // A second press while the pages load: no second question, no second run.
            f->dialogs.questionAnswers.enqueue(true);
            f->window->onlineUpdate();
        };
        f->dialogs.questionAnswers.enqueue(true);
        f->window->onlineUpdate();
        QVERIFY(sawRunning);
        QCOMPARE(f->dialogs.count("question"), 1);
        QCOMPARE(server.requests, 7);  // an empty history: the kept 6 years and this one
        QVERIFY(statusDuring.value(0).contains(QString::number(year - 6)));
        const auto rows = f->stored();
        QCOMPARE(rows.size(), size_t(14));
        QCOMPARE(rows[0].issue, (year - 6) * 1000 + 1);
        QCOMPARE(rows[13].issue, year * 1000 + 2);
        QCOMPARE(f->history().nextIssueBox()->text(), QString::number(year * 1000 + 3));
        QCOMPARE(f->history().list()->gridModel()->rowCount(), 14);
        QVERIFY(!f->window->updateRunning());
        QVERIFY(f->window->centralWidget()->isEnabled());
        QVERIFY2(f->status().contains("14"), qPrintable(f->status()));
        QVERIFY(f->dialogs.messages().isEmpty());
    }

    // A build without the page reader refuses at once, in Chinese only: no question, no page
    // asked, the history as it was.
    void onlineUpdateWithoutThePageReaderIsRefusedAtOnce() {
        if (io::kPageReaderBuilt) QSKIP("this build has the page reader");
        ResultsServer server;
        f->open();
        f->window->context().saved.ResultsHost = server.host().toStdString();
        f->window->onlineUpdate();
        QCOMPARE(f->dialogs.count("question"), 0);
        QCOMPARE(f->dialogs.messages().size(), 1);
        const QString text = f->dialogs.messages()[0].text;
        QCOMPARE(text, QString::fromUtf8(io::kNoPageReader));
        QVERIFY2(!text.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))), qPrintable(text));
        QCOMPARE(server.requests, 0);
        QVERIFY(f->stored().empty());
        QVERIFY(!f->window->updateRunning());
    }

    // An update that stops at a year whose page fails keeps the draws before it and says in a
    // message box where it stopped.
    void onlineUpdateThatStopsSaysWhere() {
        if (!io::kPageReaderBuilt) QSKIP("this build has no page reader (gumbo)");
        ResultsServer server;
        const int year = QDate::currentDate().year();
        server.drawYear = year - 3;  // later years show no draw of their own
        f->open();
        f->window->context().saved.ResultsHost = server.host().toStdString();
        f->dialogs.questionAnswers.enqueue(true);
        f->window->onlineUpdate();
        QCOMPARE(server.requests, 5);  // up to the first page without a draw of its year
        QCOMPARE(f->stored().size(), size_t(8));
        QCOMPARE(f->dialogs.messages().size(), 1);
        const QString text = f->dialogs.messages()[0].text;
        const QString y = QString::number(year - 2);
        QVERIFY2(text.contains(y + QStringLiteral(" 年的页面上没有该年的号码，") + y +
                               QStringLiteral("001 期及之后的号码没有保存")),
                 qPrintable(text));
    }

    // A site that refuses the connection: the window says so in Chinese whatever translations
    // Qt has, and the status bar shortens the long notice before the data-folder label, with
    // the whole of it as the tool tip.
    void onlineUpdateFailureIsSaidInChineseAndFitsTheStatusBar() {
        if (!io::kPageReaderBuilt) QSKIP("this build has no page reader (gumbo)");
        quint16 closedPort;
        {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost);
            closedPort = probe.serverPort();
        }
        f->open();
        f->window->resize(1000, 700);
        f->window->context().saved.ResultsHost =
            QStringLiteral("http://127.0.0.1:%1").arg(closedPort).toStdString();
        f->dialogs.questionAnswers.enqueue(true);
        f->window->onlineUpdate();
        QCOMPARE(f->dialogs.messages().size(), 1);
        QString text = f->dialogs.messages()[0].text;
        QVERIFY2(text.contains(QStringLiteral("：连接被拒绝")), qPrintable(text));
        text.remove(QRegularExpression(QStringLiteral("https?://[^：\\s]+")));
        QVERIFY2(!text.contains(QRegularExpression(QStringLiteral("[A-Za-z]{3,}"))),
                 qPrintable(text));

        auto* bar = qobject_cast<StatusLine*>(f->window->statusBar());
        QVERIFY(bar);
        QCoreApplication::processEvents();
        const QString full = f->status();
        QVERIFY2(full.contains(QStringLiteral("连接被拒绝")), qPrintable(full));
        const QString shown = bar->shownMessage();
        QVERIFY2(shown.endsWith(QStringLiteral("…")) && shown.size() < full.size(),
                 qPrintable(shown));
        QCOMPARE(bar->toolTip(), full);
        const QWidget* folder = f->find<QWidget>("DataFolderLabel");
        QVERIFY(bar->fontMetrics().horizontalAdvance(shown) + 6 < folder->x());
    }
};

QTEST_MAIN(TestHistoryFiles)
#include "test_history_files.moc"

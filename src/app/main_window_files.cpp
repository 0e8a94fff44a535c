// The window's file and update commands: reading a history text file, exporting the history
// as text and as a spreadsheet, cutting the history back, the kept-years and results-site
// settings, the online update, and the help entries.

#include <QDate>
#include <QFileInfo>
#include <QMenuBar>

#include "app/busy_cursor.h"
#include "app/criteria_panel.h"
#include "app/dialogs.h"
#include "app/grid_export.h"
#include "app/grid_view.h"
#include "app/history_panel.h"
#include "app/main_window.h"
#include "app/qt_paths.h"
#include "app/qt_text.h"
#include "history_io/history_service.h"
#include "history_io/results_site.h"
#include "platform/page_fetch.h"
#include "platform/program_folders.h"

namespace quarvel::app {

namespace {

const QString kImportQuestion = QStringLiteral(
    "确实要读入最新历史号码吗？点击'确认'读入,点击'取消'"
    "放弃该操作。确要读入请保证安装目录下存在历史号码的"
    "文本文件文件。读取时可能要花费一段时间,请耐心等候！");
const QString kUpdateQuestion = QStringLiteral(
    "确实要在线更新最新历史号码吗？更新可能要花费一段时间，网络不通或者我方服务器更新不及时可能都造"
    "成更新失败！");

// Restores the window after the online update, whatever way it ends.
struct UpdateScope {
    bool& flag;
    QList<QWidget*> widgets;
    UpdateScope(bool& f, QList<QWidget*> w) : flag(f), widgets(std::move(w)) {
        flag = true;
        for (auto* x : widgets) x->setEnabled(false);
    }
    ~UpdateScope() {
        flag = false;
        for (auto* x : widgets) x->setEnabled(true);
    }
};

const QString kTrimAllTitle = QStringLiteral("确认删除");
const QString kImportTitle = QStringLiteral("读入历史");
const QString kUpdateTitle = QStringLiteral("在线更新");

// A refusal or failure: a modal message, the sentence first and the detail after it; the status
// bar keeps the sentence.
void refuse(AppContext& ctx, const QString& title, const QString& sentence,
            const QString& detail = {}) {
    ctx.dialogs->message(title,
                         detail.isEmpty() ? sentence : sentence + QStringLiteral("\n\n") + detail);
    ctx.notify(sentence);
}

// "第 3、7、9 行" and "……" when more were skipped than listed.
QString skippedLines(const io::ImportResult& r) {
    QStringList numbers;
    for (std::size_t n : r.firstSkippedLines) numbers << QString::number(n);
    return QStringLiteral("第 %1 行%2")
        .arg(numbers.join(QStringLiteral("、")),
             r.linesSkipped > r.firstSkippedLines.size() ? QStringLiteral("等") : QString());
}

}  // namespace

// A trim that would keep no draw empties the history as the clear command does, so it asks
// as that command asks: a mistyped issue or count must not take every draw without a word.
// False, with the user told why, when the trim is not to run.
bool MainWindow::confirmTrim(io::TrimKind kind, std::int32_t value) {
    const auto preview = io::HistoryService(db_).previewTrim(kind, value);
    if (!preview) {
        refuse(ctx_, QString::fromUtf8(io::kTrimTitle), QString::fromUtf8(io::kNotTrimmed),
               fromStd(preview.outcome.text()));
        return false;
    }
    if (!preview->keepsNothing) return true;
    if (ctx_.dialogs->question(
            kTrimAllTitle,
            QStringLiteral("这样将删除全部 %1 期历史号码，确定吗？").arg(preview->stored)))
        return true;
    notify(QStringLiteral("历史号码未改变。"));
    return false;
}

void MainWindow::importHistoryText() {
    if (refuseWhileUpdating()) return;
    if (!ctx_.dialogs->question(QStringLiteral("读入历史"), kImportQuestion)) return;
    // The dialog opens on an existing folder (a missing one would fill its name into the file
    // name box): the data folder's 历史号码, else the folder of the sample history, else the
    // data folder itself.
    QString dir = toQString(db_.dataDir() / toPath(QStringLiteral("历史号码")));
    if (!QFileInfo(dir).isDir()) dir = platform::sampleHistoryFolder();
    if (dir.isEmpty()) dir = toQString(db_.dataDir());
    const QString chosen =
        ctx_.dialogs->openFileName(QStringLiteral("读入历史"), dir, QStringLiteral("Text (*.txt)"));
    if (chosen.isEmpty()) return;
    if (!ctx_.historyOpen()) {
        refuse(ctx_, kImportTitle, QStringLiteral("历史数据库没有打开，无法读入。"));
        return;
    }
    io::ImportResult result;
    {
        BusyCursor busy;
        io::ImportParams params;
        params.rules = io::RowRules{ctx_.zodiacCodes, ctx_.saved.DsIni};
        // Asked once the file is read, when it would leave out stored draws.
        params.confirmLoss = [this](const io::ImportPreview& p) {
            return ctx_.dialogs->question(kImportTitle, fromStd(io::importLossQuestion(p)));
        };
        result = io::HistoryService(db_).importFile(toPath(chosen), params);
    }
    if (result.error == io::ImportError::Cancelled) {
        notify(fromStd(result.outcome.sentence));
        return;
    }
    if (!result.ok()) {
        refuse(ctx_, kImportTitle, fromStd(result.outcome.sentence),
               fromStd(result.outcome.detail));
        // Refused because another program changed the history: show it as it is now.
        if (result.error == io::ImportError::Refused) afterHistoryReplaced();
        return;
    }
    afterHistoryReplaced();
    QString text = QStringLiteral("已读入 %1 期历史号码").arg(result.drawsStored);
    if (result.linesSkipped > 0) {
        // Lines that gave no draw are told at once, so that the file can be mended.
        text += QStringLiteral("，%1 行不是有效的号码（%2），已跳过。")
                    .arg(result.linesSkipped)
                    .arg(skippedLines(result));
        ctx_.dialogs->message(kImportTitle, text);
    }
    notify(text + fromStd(io::backupSentence(result.backup)));
}

void MainWindow::exportHistoryText() {
    if (!ctx_.historyOpen()) {
        notify(QStringLiteral("历史数据库没有打开，无法导出。"));
        return;
    }
    const auto written = io::HistoryService(db_).exportText();
    if (!written) {
        ctx_.dialogs->message(
            QStringLiteral("导出失败"),
            QStringLiteral("历史号码无法导出：%1").arg(fromStd(written.outcome.text())));
        return;
    }
    const QString path = toQString(*written);
    notify(QStringLiteral("历史号码已导出到 %1").arg(path));
    if (!ctx_.dialogs->openInDesktop(path))
        ctx_.dialogs->message(
            QStringLiteral("导出历史号码"),
            QStringLiteral("没有可以打开文本文件的程序。历史号码已保存在：\n%1").arg(path));
}

void MainWindow::exportHistoryList() {
    BusyCursor busy;
    exportGridToXls(ctx_, history_->list()->grid(), QStringLiteral("lishi.xls"));
}

void MainWindow::trimToIssue() {
    runTrim(io::TrimKind::ToIssue, QString::fromUtf8(io::kTrimToPrompt),
            QString::number(nextIssue_ - 1));
}

void MainWindow::trimLastDraws() {
    runTrim(io::TrimKind::LastDraws, QString::fromUtf8(io::kTrimLastPrompt), QStringLiteral("1"));
}

// Both trims: ask for the issue or count, refuse what is no positive whole number, confirm a
// trim that keeps nothing, trim with the rows built as now, and say what was kept.
void MainWindow::runTrim(io::TrimKind kind, const QString& prompt, const QString& suggested) {
    if (refuseWhileUpdating()) return;
    const QString title = QString::fromUtf8(io::kTrimTitle);
    const auto answer = ctx_.dialogs->inputBox(title, prompt, suggested);
    if (!answer) return;
    const auto value = io::parseTrimInput(answer->toStdString());
    if (!value) {
        refuse(ctx_, title, fromStd(io::trimInputRefusal(answer->trimmed().toStdString())));
        return;
    }
    if (!ctx_.historyOpen()) {
        refuse(ctx_, title, QStringLiteral("历史数据库没有打开，历史号码未改变。"));
        return;
    }
    if (!confirmTrim(kind, *value)) return;
    io::TrimResult result;
    {
        BusyCursor busy;
        io::ImportParams params;
        params.rules = io::RowRules{ctx_.zodiacCodes, ctx_.saved.DsIni};
        io::HistoryService service(db_);
        result = kind == io::TrimKind::ToIssue ? service.trimToIssue(*value, params, &seen_)
                                               : service.trimLastDraws(*value, params, &seen_);
    }
    afterHistoryReplaced();
    if (!result.ok()) {
        refuse(ctx_, title, fromStd(result.outcome.sentence), fromStd(result.outcome.detail));
        return;
    }
    const QString kept =
        kind == io::TrimKind::ToIssue
            ? QStringLiteral("已保留到 %1 期，共 %2 期。").arg(*value).arg(result.drawsKept)
            : QStringLiteral("已删除最后 %1 期，保留 %2 期。").arg(*value).arg(result.drawsKept);
    notify(kept + fromStd(result.warning) + fromStd(io::backupSentence(result.backup)));
}

void MainWindow::setKeptYears() {
    for (;;) {
        const auto answer = ctx_.dialogs->inputBox(QString::fromUtf8(io::kKeptYearsTitle),
                                                   QString::fromUtf8(io::kKeptYearsPrompt),
                                                   QString::number(ctx_.saved.IniSerchDay));
        if (!answer || answer->trimmed().isEmpty()) return;
        if (const auto years = io::parseKeptYears(answer->toStdString())) {
            ctx_.saved.IniSerchDay = *years;
            notify(QStringLiteral("在线更新保留 %1 年的历史号码").arg(*years));
            ctx_.saveSetting("IniSerchDay", std::to_string(*years));
            return;
        }
        ctx_.dialogs->message(QString::fromUtf8(io::kKeptYearsRefusalTitle),
                              QString::fromUtf8(io::kKeptYearsRefusal));
    }
}

void MainWindow::setResultsHost() {
    QString current = fromStd(ctx_.saved.ResultsHost);
    for (;;) {
        const auto answer = ctx_.dialogs->inputBox(
            QStringLiteral("开奖结果网站"),
            QStringLiteral("请输入开奖结果网站的地址（例如 "
                           "http://www.example.com），在线更新从该网站读取历史号码："),
            current);
        if (!answer) return;
        const QString text = answer->trimmed();
        if (const auto site = io::readResultsSite(text.toStdString())) {
            ctx_.saved.ResultsHost = *site;
            notify(QStringLiteral("开奖结果网站：%1").arg(fromStd(*site)));
            ctx_.saveSetting("ResultsHost", ctx_.saved.ResultsHost);
            return;
        }
        ctx_.dialogs->message(QStringLiteral("输入有误"),
                              QString::fromUtf8(io::kResultsSiteInputRefusal));
        current = text;
    }
}

void MainWindow::onlineUpdate() {
    if (updating_) return;  // a second press while the pages load does nothing
    if (!ctx_.dialogs->question(QStringLiteral("读入历史"), kUpdateQuestion)) return;
    if (!ctx_.historyOpen()) {
        refuse(ctx_, kUpdateTitle, QStringLiteral("历史数据库没有打开，无法更新。"));
        return;
    }
    if (ctx_.saved.ResultsHost.empty()) {
        ctx_.dialogs->message(
            QStringLiteral("在线更新"),
            QStringLiteral("还没有设置开奖结果网站的地址，请在“软件设置”菜单中设置。"));
        return;
    }
    io::UpdateResult result;
    {
        // The window stays live while pages load; everything that could change the history
        // meanwhile is switched off until the update ends.
        UpdateScope scope(updating_, {centralWidget(), menuBar()});
        BusyCursor busy;
        platform::QtPageSource source;
        // Input reaches the window while a page loads: its commands are off until the end, so
        // a second press is dropped instead of being held back and run afterwards.
        source.setUserInputDuringWait(true);
        io::UpdateParams params;
        params.yearNow = QDate::currentDate().year();
        params.keptYears = ctx_.saved.IniSerchDay;
        params.host = ctx_.saved.ResultsHost;
        params.bases = ctx_.bases();
        params.progress = [this](int year) {
            notify(QStringLiteral("正在读取 %1 年的历史号码……").arg(year));
        };
        result = io::HistoryService(db_).update(source, params);
    }
    afterHistoryReplaced();
    if (!result.ran()) {
        refuse(ctx_, kUpdateTitle, QStringLiteral("在线更新没有进行，历史号码未改变。"),
               fromStd(result.outcome.text()));
        return;
    }
    QString text = QStringLiteral("在线更新：新增 %1 期").arg(result.added);
    if (result.discarded)
        text += QStringLiteral("；超过保留年数的历史号码已删除（原历史已备份到 %1）")
                    .arg(toQString(result.backup));
    if (result.complete()) {
        notify(text);
        return;
    }
    // Stopped early: where, and why, so that the next update or a hand entry continues there.
    refuse(ctx_, kUpdateTitle,
           text + QStringLiteral("。") + fromStd(io::updateStopMessage(result)));
}

void MainWindow::openReadme() {
    // The program's description travels with it as README.md: beside the program, in the
    // installed documentation, in the data folder, or in the source tree it was built in.
    QString path = platform::documentationFile(QStringLiteral("README.md"));
    const QString inDataFolder = toQString(db_.dataDir() / "README.md");
    if (path.isEmpty() && QFileInfo::exists(inDataFolder))
        path = QFileInfo(inDataFolder).canonicalFilePath();
    if (path.isEmpty()) {
        notify(QStringLiteral("找不到说明文件 README.md"));
        return;
    }
    if (!ctx_.dialogs->openInDesktop(path)) notify(QStringLiteral("无法打开说明文件 %1").arg(path));
}

}  // namespace quarvel::app

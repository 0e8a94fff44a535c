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
#include "app/new_year_dialog.h"
#include "app/qt_paths.h"
#include "app/qt_text.h"
#include "history_io/history_service.h"
#include "history_io/layout_reader.h"
#include "history_io/results_site.h"
#include "platform/page_fetch.h"
#include "platform/program_folders.h"
#include "store/new_year_table.h"
#include "store/stored_bases.h"

namespace quarvel::app {

namespace {

const QString kImportQuestion = QStringLiteral(
    "确实要读入最新历史号码吗？点击“确定”读入，点击“取消”"
    "放弃该操作。确要读入请保证安装目录下存在历史号码的"
    "文本文件。读取时可能要花费一段时间，请耐心等候！");
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

// A refusal or failure: a modal message with the sentence, the detail behind its "详细信息"
// button; the status bar keeps the sentence.
void refuse(AppContext& ctx, const QString& title, const QString& sentence,
            const QString& detail = {}) {
    ctx.dialogs->detailedMessage(title, sentence, detail);
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

// The file kinds the import and the merge read; the layout is told by the content, so any name
// goes.
const QString kHistoryFileFilter =
    QStringLiteral("历史号码文件 (*.txt *.csv *.tsv *.json *.xls);;所有文件 (*)");

}  // namespace

// The history check after a change: said in the status bar, and in a message when it found
// something the user should mend.
void MainWindow::showFindings(const std::vector<io::Finding>& findings, const QString& title) {
    const QString summary = fromStd(io::checkSummary(findings));
    if (findings.empty()) return;
    QStringList lines;
    for (std::size_t i = 0; i < findings.size() && i < 20; ++i)
        lines << fromStd(io::findingLine(findings[i])).replace(QLatin1Char('\t'), QLatin1Char(' '));
    if (findings.size() > 20) lines << QStringLiteral("……共 %1 条").arg(findings.size());
    ctx_.dialogs->message(title, summary + QStringLiteral("\n\n") + lines.join(QLatin1Char('\n')));
    notify(summary);
}

// Where the file dialogs of the import and the merge open: the data folder's 历史号码, else the
// folder of the sample history, else the data folder itself.
QString MainWindow::historyFileFolder() const {
    QString dir = toQString(db_.dataDir() / toPath(QStringLiteral("历史号码")));
    if (!QFileInfo(dir).isDir()) dir = platform::sampleHistoryFolder();
    if (dir.isEmpty()) dir = toQString(db_.dataDir());
    return dir;
}

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
    // name box).
    const QString chosen = ctx_.dialogs->openFileName(QStringLiteral("读入历史"),
                                                      historyFileFolder(), kHistoryFileFilter);
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
        // Asked once the file is read, when it is in another layout (what was recognised) or
        // would leave out or change stored draws.
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
    } else {
        text += QStringLiteral("。");
    }
    notify(text + fromStd(io::backupSentence(result.backup)));
    showFindings(result.findings, kImportTitle);
}

void MainWindow::mergeHistoryText() {
    if (refuseWhileUpdating()) return;
    const QString title = QStringLiteral("合并历史");
    const QString chosen =
        ctx_.dialogs->openFileName(title, historyFileFolder(), kHistoryFileFilter);
    if (chosen.isEmpty()) return;
    if (!ctx_.historyOpen()) {
        refuse(ctx_, title, QStringLiteral("历史数据库没有打开，无法合并。"));
        return;
    }
    io::MergeResult result;
    {
        BusyCursor busy;
        io::ImportParams params;
        params.rules = io::RowRules{ctx_.zodiacCodes, ctx_.saved.DsIni};
        result = io::HistoryService(db_).mergeFile(
            toPath(chosen), params, [this, &title](const io::MergeResult& preview) {
                return ctx_.dialogs->question(title, fromStd(io::mergeQuestion(preview)));
            });
    }
    if (result.error == io::ImportError::Cancelled) {
        notify(fromStd(result.outcome.sentence));
        return;
    }
    if (!result.ok()) {
        refuse(ctx_, title, fromStd(result.outcome.sentence), fromStd(result.outcome.detail));
        return;
    }
    afterHistoryReplaced();
    QString text = fromStd(io::mergeSummary(result));
    if (!result.differing.empty()) {
        // The stored draws stay; the ones the file holds otherwise are listed to be looked at.
        QStringList lines;
        auto numbers = [](const std::array<int, 8>& n) {
            QStringList s;
            for (int v : n) s << QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
            return s.join(QLatin1Char(' '));
        };
        for (std::size_t i = 0; i < result.differing.size() && i < 20; ++i) {
            const auto& d = result.differing[i];
            lines << QStringLiteral("%1：已保存 %2，文件中 %3")
                         .arg(d.issue)
                         .arg(numbers(d.stored), numbers(d.file));
        }
        text +=
            QStringLiteral("；%1 期与已保存的号码不同，保留已保存的").arg(result.differing.size());
        ctx_.dialogs->message(title, text + QStringLiteral("：\n") + lines.join(QLatin1Char('\n')));
    }
    notify(text + QStringLiteral("。"));
    showFindings(result.findings, title);
}

void MainWindow::checkHistory() {
    const QString title = QStringLiteral("检查历史");
    if (!ctx_.historyOpen()) {
        refuse(ctx_, title, QStringLiteral("历史数据库没有打开，无法检查。"));
        return;
    }
    const auto findings = io::HistoryService(db_).check();
    if (!findings) {
        refuse(ctx_, title, QStringLiteral("历史号码无法检查。"), fromStd(findings.outcome.text()));
        return;
    }
    if (findings->empty()) {
        ctx_.dialogs->message(title, fromStd(io::checkSummary(*findings)));
        notify(fromStd(io::checkSummary(*findings)));
        return;
    }
    showFindings(*findings, title);
}

void MainWindow::editNewYearTable() {
    NewYearDialog dialog(store::newYearTableInForce(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    const store::NewYearTable entries = store::newYearEntriesBeyondDefaults(dialog.table());
    store::setNewYearEntries(entries);
    ctx_.saved.NewYearTable = store::newYearEntriesText(entries);
    ctx_.saveSetting("NewYearTable", ctx_.saved.NewYearTable);
    notify(QStringLiteral("生肖年分界已保存（%1 个年份）").arg(dialog.table().size()));
    offerNewYearRebuild();
}

// Stored rows whose early-year zodiac codes follow another new-year table (an older program, or
// the table just changed): the codes are rebuilt under the table in force when the user agrees,
// after the history is backed up, as after a base change.
void MainWindow::offerNewYearRebuild() {
    if (!ctx_.historyOpen() || updating_) return;
    std::map<int, std::size_t> other;
    try {
        other = store::rowsBuiltWithOtherNewYear(db_.db(), ctx_.rowBases().sx);
    } catch (const std::exception& e) {
        notify(QStringLiteral("生肖代码无法检查：%1").arg(fromStd(store::userText(e))));
        return;
    }
    if (other.empty()) return;
    QStringList years;
    std::size_t rows = 0;
    for (const auto& [year, n] : other) {
        years << QStringLiteral("%1 年 %2 期").arg(year).arg(n);
        rows += n;
    }
    const QString which = years.join(QStringLiteral("、"));
    if (!ctx_.dialogs->question(
            QStringLiteral("重建历史代码"),
            QStringLiteral(
                "已保存的历史号码中，%1（共 %2 期）春节前的号码的生肖代码是按另一张生肖年"
                "分界表编的，与现在的表不同。\n\n现在按现在的表重建全部历史号码的代码吗？"
                "重建前的历史号码先备份到 lsbf.txt。")
                .arg(which)
                .arg(rows))) {
        notify(QStringLiteral("已保存的历史号码仍保留原来的生肖代码（%1）。").arg(which));
        return;
    }
    io::TrimResult result;
    {
        BusyCursor busy;
        io::ImportParams params;
        params.rules =
            io::RowRules{store::ZodiacCodes::startup(ctx_.rowBases().sx), ctx_.rowBases().ds};
        result = io::HistoryService(db_).rebuildCodes(params);
    }
    afterHistoryReplaced();
    if (!result.rebuilt) {
        refuse(ctx_, QStringLiteral("重建失败"),
               QStringLiteral("历史号码的生肖代码没有重建，已保存的历史号码保留原来的代码。"),
               fromStd(result.outcome.detail));
        return;
    }
    notify(QStringLiteral("已按现在的生肖年分界重建 %1 期历史号码的代码").arg(result.drawsKept));
}

void MainWindow::exportHistoryText() {
    if (!ctx_.historyOpen()) {
        notify(QStringLiteral("历史数据库没有打开，无法导出。"));
        return;
    }
    const auto written = io::HistoryService(db_).exportText();
    if (!written) {
        refuse(ctx_, QStringLiteral("导出失败"),
               QStringLiteral("历史号码无法导出：%1").arg(fromStd(written.outcome.sentence)),
               fromStd(written.outcome.detail));
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
    // A build without the page reader says so at once, before the question and the address.
    if (const auto why = platform::QtPageSource().readiness(); !why.ok()) {
        refuse(ctx_, kUpdateTitle, fromStd(why.sentence));
        return;
    }
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
        // Old draws go only once the kept years came whole, and only when the user says so.
        params.confirmRemoval = [this, &params](const io::RemovalPreview& p) {
            return ctx_.dialogs->question(
                kUpdateTitle, fromStd(io::removalQuestion(p, params.keptYears, params.yearNow)));
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
        text += QStringLiteral("；超过保留年数的 %1 期历史号码已删除（原历史已备份到 %2）")
                    .arg(result.removed.total())
                    .arg(toQString(result.backup));
    if (result.removalDeclined) text += QStringLiteral("；超过保留年数的历史号码已保留");
    if (result.complete()) {
        notify(text);
        showFindings(result.findings, kUpdateTitle);
        return;
    }
    // Stopped early: where, and why, so that the next update or a hand entry continues there.
    refuse(ctx_, kUpdateTitle,
           text + QStringLiteral("。") + fromStd(io::updateStopMessage(result)));
}

void MainWindow::openReadme() {
    // The user guide travels with the program: beside it, in the installed documentation, in
    // the data folder, or in the source tree it was built in.
    const QString name = QStringLiteral("使用说明.html");
    QString path = platform::documentationFile(name);
    if (path.isEmpty()) path = platform::documentationFile(QStringLiteral("docs/") + name);
    const QString inDataFolder = toQString(db_.dataDir() / toPath(name));
    if (path.isEmpty() && QFileInfo::exists(inDataFolder))
        path = QFileInfo(inDataFolder).canonicalFilePath();
    if (path.isEmpty()) {
        notify(QStringLiteral("找不到使用说明（%1）").arg(name));
        return;
    }
    if (!ctx_.dialogs->openInDesktop(path)) notify(QStringLiteral("无法打开使用说明 %1").arg(path));
}

}  // namespace quarvel::app

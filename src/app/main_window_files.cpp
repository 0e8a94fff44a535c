// The window's file and update commands: reading a history text file, exporting the history
// as text and as a spreadsheet, cutting the history back, the kept-years and results-site
// settings, the online update, and the help entries.

#include <QDate>
#include <QFileInfo>
#include <QMenuBar>
#include <QUrl>

#include "app/busy_cursor.h"
#include "app/criteria_panel.h"
#include "app/dialogs.h"
#include "app/grid_export.h"
#include "app/grid_view.h"
#include "app/history_panel.h"
#include "app/main_window.h"
#include "app/qt_paths.h"
#include "history_io/export.h"
#include "history_io/history_service.h"
#include "platform/page_fetch.h"
#include "platform/program_folders.h"

namespace quarvel::app {

namespace {

QString fromStd(const std::string& s) { return QString::fromStdString(s); }

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

QString trimFailure(const io::TrimResult& r) {
    if (r.rebuilt) return QStringLiteral("历史号码已删除，但数据库没有压缩。");
    return QStringLiteral("历史号码没有删除，历史号码未改变。");
}

QString importRefusal(const io::ImportResult& r) {
    switch (r.error) {
        case io::ImportError::NotATextFile:
            return QStringLiteral("所选文件不是文本文件（*.txt），历史号码未改变。");
        case io::ImportError::Unreadable:
            return QStringLiteral("历史号码文件无法读取，历史号码未改变。");
        case io::ImportError::TooManyDraws:
            return QStringLiteral("文件中的历史号码超过 %1 期，历史号码未改变。")
                .arg(store::kMaxDraws);
        case io::ImportError::NoDraws:
            return QStringLiteral("文件中没有一期有效的历史号码，历史号码未改变。");
        case io::ImportError::StoreFailed:
        case io::ImportError::None:
            break;
    }
    return QStringLiteral("历史号码无法保存，历史号码未改变。");
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
bool MainWindow::confirmTrimKeepsNothing(bool keepsNothing) {
    if (!keepsNothing) return true;
    std::size_t count = 0;
    try {
        count = db_.drawCount();
    } catch (const std::exception&) {
    }
    if (count == 0) return true;
    if (ctx_.dialogs->question(kTrimAllTitle,
                               QStringLiteral("这样将删除全部 %1 期历史号码，确定吗？").arg(count)))
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
    if (!io::hasTextFileName(toPath(chosen))) {
        refuse(ctx_, kImportTitle,
               QStringLiteral("%1 不是文本文件（*.txt），历史号码未改变。").arg(chosen));
        return;
    }
    if (!ctx_.historyOpen()) {
        refuse(ctx_, kImportTitle, QStringLiteral("历史数据库没有打开，无法读入。"));
        return;
    }
    io::ImportResult result;
    {
        BusyCursor busy;
        io::ImportParams params;
        params.rules = io::RowRules{ctx_.zodiacCodes, ctx_.saved.DsIni};
        result = io::HistoryService(db_).importFile(toPath(chosen), params);
    }
    if (!result.ok()) {
        refuse(ctx_, kImportTitle, importRefusal(result), fromStd(result.errorText));
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
    notify(text);
}

void MainWindow::exportHistoryText() {
    if (!ctx_.historyOpen()) {
        notify(QStringLiteral("历史数据库没有打开，无法导出。"));
        return;
    }
    QString path;
    try {
        path = toQString(io::exportHistory(db_));
    } catch (const std::exception& e) {
        ctx_.dialogs->message(
            QStringLiteral("导出失败"),
            QStringLiteral("历史号码无法导出：%1").arg(fromStd(store::userText(e))));
        return;
    }
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
    if (refuseWhileUpdating()) return;
    const auto answer = ctx_.dialogs->inputBox(QString::fromUtf8(io::kTrimTitle),
                                               QString::fromUtf8(io::kTrimToPrompt),
                                               QString::number(nextIssue_ - 1));
    if (!answer) return;
    const auto issue = io::parseTrimInput(answer->toStdString());
    if (!issue) {
        refuse(ctx_, QString::fromUtf8(io::kTrimTitle),
               QStringLiteral("“%1”不是大于 0 的期数，历史号码未改变。").arg(answer->trimmed()));
        return;
    }
    if (!ctx_.historyOpen()) {
        refuse(ctx_, QString::fromUtf8(io::kTrimTitle),
               QStringLiteral("历史数据库没有打开，历史号码未改变。"));
        return;
    }
    std::optional<std::int32_t> first;
    try {
        first = db_.firstIssue();
    } catch (const std::exception&) {
    }
    if (!confirmTrimKeepsNothing(first && *issue < *first)) return;
    io::TrimResult result;
    {
        BusyCursor busy;
        io::ImportParams params;
        params.rules = io::RowRules{ctx_.zodiacCodes, ctx_.saved.DsIni};
        result = io::HistoryService(db_).trimToIssue(*issue, params);
    }
    afterHistoryReplaced();
    if (result.ok())
        notify(QStringLiteral("已保留到 %1 期，共 %2 期").arg(*issue).arg(result.drawsKept) +
               fromStd(result.warning));
    else
        refuse(ctx_, QString::fromUtf8(io::kTrimTitle), trimFailure(result),
               fromStd(result.errorText));
}

void MainWindow::trimLastDraws() {
    if (refuseWhileUpdating()) return;
    const auto answer =
        ctx_.dialogs->inputBox(QString::fromUtf8(io::kTrimTitle),
                               QString::fromUtf8(io::kTrimLastPrompt), QStringLiteral("1"));
    if (!answer) return;
    const auto count = io::parseTrimInput(answer->toStdString());
    if (!count) {
        refuse(ctx_, QString::fromUtf8(io::kTrimTitle),
               QStringLiteral("“%1”不是大于 0 的期数，历史号码未改变。").arg(answer->trimmed()));
        return;
    }
    if (!ctx_.historyOpen()) {
        refuse(ctx_, QString::fromUtf8(io::kTrimTitle),
               QStringLiteral("历史数据库没有打开，历史号码未改变。"));
        return;
    }
    std::size_t stored = 0;
    try {
        stored = db_.drawCount();
    } catch (const std::exception&) {
    }
    if (!confirmTrimKeepsNothing(static_cast<std::size_t>(*count) >= stored)) return;
    io::TrimResult result;
    {
        BusyCursor busy;
        io::ImportParams params;
        params.rules = io::RowRules{ctx_.zodiacCodes, ctx_.saved.DsIni};
        result = io::HistoryService(db_).trimLastDraws(*count, params);
    }
    afterHistoryReplaced();
    if (result.ok())
        notify(QStringLiteral("已删除最后 %1 期，保留 %2 期").arg(*count).arg(result.drawsKept) +
               fromStd(result.warning));
    else
        refuse(ctx_, QString::fromUtf8(io::kTrimTitle), trimFailure(result),
               fromStd(result.errorText));
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
        const QUrl url(text, QUrl::StrictMode);
        const bool web = url.isValid() && (url.scheme() == "http" || url.scheme() == "https") &&
                         !url.host().isEmpty() && (url.path().isEmpty() || url.path() == "/") &&
                         !url.hasQuery();
        if (web) {
            const QString host = text.endsWith('/') ? text.chopped(1) : text;
            ctx_.saved.ResultsHost = host.toStdString();
            notify(QStringLiteral("开奖结果网站：%1").arg(host));
            ctx_.saveSetting("ResultsHost", ctx_.saved.ResultsHost);
            return;
        }
        ctx_.dialogs->message(
            QStringLiteral("输入有误"),
            QStringLiteral("请输入以 http:// 或 https:// 开头的网站地址，不含路径，例如 "
                           "http://www.example.com"));
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
               fromStd(result.refusal));
        return;
    }
    QString text = QStringLiteral("在线更新：新增 %1 期").arg(result.added);
    if (result.discarded) text += QStringLiteral("；超过保留年数的历史已重新下载");
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

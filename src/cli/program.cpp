#include "cli/program.h"

#include <QCoreApplication>
#include <algorithm>
#include <filesystem>
#include <ostream>

#include "cli/command.h"
#include "history_io/leftovers.h"
#include "platform/program_folders.h"
#include "platform/qt_settings_store.h"
#include "store/new_year_table.h"

namespace quarvel::cli {

namespace {

CommandForm programSpec() {
    return {"quarvel-cli：历史号码和遗漏分析的命令行程序",
            "COMMAND [ARGS]",
            0,
            0,
            {{"--data-dir", {}, "DIR", "数据文件夹（quarvel.mdb 所在）"},
             {"--settings-file", {}, "FILE", "设置文件"},
             {"--sx-base", {}, "0|1", "生肖代码从 0 或 1 起（只用于以后保存的号码）", 0, 1},
             {"--ds-base", {}, "0|1", "段数代码从 0 或 1 起（只用于以后保存的号码）", 0, 1},
             {"--help", "-h", {}, "显示帮助；COMMAND --help 显示该命令的帮助"},
             {"--version", "-v", {}, "显示版本"}}};
}

void printUsage(std::ostream& out) {
    printCommandHelp(out, "", programSpec());
    out << "命令：\n";
    for (const auto& [name, info] : commandRegistry()) {
        out << "  " << name << std::string(name.size() < 14 ? 14 - name.size() : 1, ' ')
            << info.form.help << "\n";
    }
}

void badArguments(std::ostream& err, const std::string& where, const std::string& why,
                  const std::string& usage) {
    err << "quarvel-cli" << where << ": " << why << "（用法：quarvel-cli " << usage
        << "；--help 显示帮助）\n";
}

}  // namespace

void nameTheProgram() {
    QCoreApplication::setApplicationName(QString::fromLatin1(platform::kProgramName));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUARVEL_VERSION));
}

int runProgram(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err) {
    // The program's options come before the command; everything from the command on is the
    // command's own (a value such as -5 included). Names are used as their bytes.
    const CommandForm form = programSpec();
    Arguments global;
    try {
        const std::vector<std::string> words(argv.begin() + (argv.empty() ? 0 : 1), argv.end());
        global = readArguments(form, words, true);
        if (global.has("--help")) {
            printUsage(out);
            return kDone;
        }
        if (global.has("--version")) {
            out << "quarvel-cli " << QUARVEL_VERSION << "\n";
            return kDone;
        }
        if (global.operands.empty()) throw UsageError("没有给出命令");
    } catch (const UsageError& e) {
        badArguments(err, "", e.what(), usageLine("", form));
        return kBadArguments;
    }
    const std::string name = global.operands.front();
    const auto found = commandRegistry().find(name);
    if (found == commandRegistry().end()) {
        badArguments(err, "", "不认识的命令 " + name, usageLine("", form));
        return kBadArguments;
    }
    const CommandForm& command = found->second.form;
    const std::vector<std::string> own(global.operands.begin() + 1, global.operands.end());
    if (std::find(own.begin(), own.end(), "--help") != own.end()) {
        printCommandHelp(out, name, command);
        return kDone;
    }
    Arguments args;
    try {
        args = parseArguments(command, own);
    } catch (const UsageError& e) {
        badArguments(err, " " + name, e.what(), usageLine(name, command));
        return kBadArguments;
    }

    const std::string settingsFile = global.text("--settings-file").value_or("");
    platform::QtSettingsStore settings =
        settingsFile.empty() ? platform::QtSettingsStore()
                             : platform::QtSettingsStore(platform::pathFromArgument(settingsFile));
    if (!settings.refusal().isEmpty())
        err << "quarvel-cli: " << settings.refusal().toStdString() << "\n";
    // The same data folder as the window's: --data-dir, else the program's folder when it may
    // be written, else the user's data folder.
    store::HistoryDb db(platform::dataFolderOfThisProgram(
        platform::pathFromArgument(global.text("--data-dir").value_or(""))));
    try {
        db.open();
    } catch (const std::exception& e) {
        err << "quarvel-cli: " << store::userText(e) << "\n";
        return kRefusedOrFailed;
    }
    // What a killed run of either program left behind (compaction copies, half-written files).
    io::removeLeftovers(db.dataDir());
    std::vector<std::string> reset;
    Context ctx{
        name, db,  settings,    store::Settings::load(settings, &reset), {}, std::move(args),
        out,  err, std::nullopt};
    for (const auto& key : reset)
        err << "quarvel-cli: 保存的设置 " << key << " 无效，已使用默认值\n";
    ctx.bases = {static_cast<int>(global.number("--sx-base", ctx.saved.SxIni)),
                 static_cast<int>(global.number("--ds-base", ctx.saved.DsIni))};
    // The zodiac new-year table the rows are built with: the saved entries over the defaults.
    store::setNewYearEntries(
        store::parseNewYearEntries(ctx.saved.NewYearTable).value_or(store::NewYearTable{}));
    try {
        return found->second.run(ctx);
    } catch (const UsageError& e) {
        badArguments(err, " " + name, e.what(), usageLine(name, command));
        return kBadArguments;
    } catch (const OutcomeError& e) {
        return ending(ctx, e.outcome);
    } catch (const std::exception& e) {
        err << "quarvel-cli " << name << ": " << store::userText(e) << "\n";
        return kRefusedOrFailed;
    }
}

}  // namespace quarvel::cli

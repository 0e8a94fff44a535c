#include "cli/program.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <filesystem>
#include <optional>
#include <ostream>
#include <span>

#include "cli/command.h"
#include "history_io/leftovers.h"
#include "platform/program_folders.h"
#include "platform/qt_settings_store.h"
#include "store/new_year_table.h"

namespace quarvel::cli {

namespace {

void printUsage(std::ostream& out) {
    out << "usage: quarvel-cli [--data-dir DIR] [--settings-file FILE] [--sx-base 0|1] [--ds-base "
           "0|1] COMMAND [ARGS]\n"
           "       quarvel-cli -h | --help | -v | --version\n"
           "commands:\n";
    for (const auto& [name, info] : commandRegistry()) out << "  " << info.usage << "\n";
}

int baseArgument(const std::string& text, const char* option) {
    if (text != "0" && text != "1") throw UsageError(std::string(option) + " takes 0 or 1");
    return text == "1" ? 1 : 0;
}

}  // namespace

void nameTheProgram() {
    QCoreApplication::setApplicationName(QString::fromLatin1(platform::kProgramName));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUARVEL_VERSION));
}

int runProgram(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err) {
    // Qt's parser reads the arguments decoded as QCoreApplication::arguments() decodes them.
    QStringList arguments;
    for (const std::string& a : argv) arguments << QString::fromLocal8Bit(a);
    // The program's options come before the command; everything from the command on is the
    // command's own (a value such as -5 included).
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption dataDirOption(QStringLiteral("data-dir"), {}, QStringLiteral("DIR"));
    const QCommandLineOption settingsOption(QStringLiteral("settings-file"), {},
                                            QStringLiteral("FILE"));
    const QCommandLineOption sxOption(QStringLiteral("sx-base"), {}, QStringLiteral("BASE"));
    const QCommandLineOption dsOption(QStringLiteral("ds-base"), {}, QStringLiteral("BASE"));
    parser.addOptions({help, version, dataDirOption, settingsOption, sxOption, dsOption});
    std::string givenDataDir;
    std::string settingsFile;
    std::optional<int> sxBase, dsBase;
    std::vector<std::string> args;
    try {
        if (!parser.parse(arguments)) throw UsageError(parser.errorText().toStdString());
        if (parser.isSet(help)) {
            printUsage(out);
            return 0;
        }
        if (parser.isSet(version)) {
            out << "quarvel-cli " << QUARVEL_VERSION << "\n";
            return 0;
        }
        // The command and its arguments are the last ones given, taken as their bytes; so are
        // the folder and file names before them.
        const auto options = std::span(argv).first(
            argv.size() - static_cast<std::size_t>(parser.positionalArguments().size()));
        givenDataDir = platform::rawOptionValue(options, "--data-dir");
        settingsFile = platform::rawOptionValue(options, "--settings-file");
        if (parser.isSet(sxOption))
            sxBase = baseArgument(parser.value(sxOption).toStdString(), "--sx-base");
        if (parser.isSet(dsOption))
            dsBase = baseArgument(parser.value(dsOption).toStdString(), "--ds-base");
        args.assign(argv.begin() + static_cast<std::ptrdiff_t>(options.size()), argv.end());
        if (args.empty()) throw UsageError("no command given");
    } catch (const UsageError& e) {
        err << "quarvel-cli: " << e.what() << " (see --help)\n";
        return 2;
    }
    const std::string name = args.front();
    const auto found = commandRegistry().find(name);
    if (found == commandRegistry().end()) {
        err << "quarvel-cli: unknown command " << name << " (see --help)\n";
        return 2;
    }

    // File and folder names are bytes, used exactly as given (also when not valid UTF-8).
    platform::QtSettingsStore settings =
        settingsFile.empty() ? platform::QtSettingsStore()
                             : platform::QtSettingsStore(platform::pathFromArgument(settingsFile));
    if (!settings.refusal().isEmpty())
        err << "quarvel-cli: " << settings.refusal().toStdString() << "\n";
    // The same data folder as the window's: --data-dir, else the program's folder when it may
    // be written, else the user's data folder.
    store::HistoryDb db(
        platform::dataFolderOfThisProgram(platform::pathFromArgument(givenDataDir)));
    try {
        db.open();
    } catch (const std::exception& e) {
        err << "quarvel-cli: " << store::userText(e) << "\n";
        return 1;
    }
    // What a killed run of either program left behind (compaction copies, half-written files).
    io::removeLeftovers(db.dataDir());
    std::vector<std::string> reset;
    Context ctx{
        db,  settings, store::Settings::load(settings, &reset), {}, {args.begin() + 1, args.end()},
        out, err};
    for (const auto& key : reset)
        err << "quarvel-cli: the saved setting " << key << " is not valid; its default is used\n";
    ctx.bases = {sxBase.value_or(ctx.saved.SxIni), dsBase.value_or(ctx.saved.DsIni)};
    // The zodiac new-year table the rows are built with: the saved entries over the defaults.
    store::setNewYearEntries(
        store::parseNewYearEntries(ctx.saved.NewYearTable).value_or(store::NewYearTable{}));
    try {
        return found->second.run(ctx);
    } catch (const UsageError& e) {
        err << "quarvel-cli " << name << ": " << e.what() << " (usage: quarvel-cli "
            << found->second.usage << ")\n";
        return 2;
    } catch (const std::exception& e) {
        err << "quarvel-cli " << name << ": " << store::userText(e) << "\n";
        return 1;
    }
}

}  // namespace quarvel::cli

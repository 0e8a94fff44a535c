// quarvel-cli: the history and the analyses for scripts and batch use.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <filesystem>
#include <iostream>

#include "cli/command.h"
#include "platform/program_folders.h"
#include "platform/qt_settings_store.h"

namespace {

void printUsage(std::ostream& out) {
    out << "usage: quarvel-cli [--data-dir DIR] [--settings-file FILE] [--sx-base 0|1] [--ds-base "
           "0|1] COMMAND [ARGS]\n"
           "       quarvel-cli -h | --help | -v | --version\n"
           "commands:\n";
    for (const auto& [name, info] : quarvel::cli::commandRegistry())
        out << "  " << info.usage << "\n";
}

int baseArgument(const std::string& text, const char* option) {
    if (text != "0" && text != "1")
        throw quarvel::cli::UsageError(std::string(option) + " takes 0 or 1");
    return text == "1" ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quarvel;
    QCoreApplication::setApplicationName(QString::fromLatin1(platform::kProgramName));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUARVEL_VERSION));
    QCoreApplication app(argc, argv);
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
        if (!parser.parse(QCoreApplication::arguments()))
            throw cli::UsageError(parser.errorText().toStdString());
        if (parser.isSet(help)) {
            printUsage(std::cout);
            return 0;
        }
        if (parser.isSet(version)) {
            std::cout << "quarvel-cli " << QUARVEL_VERSION << "\n";
            return 0;
        }
        // The command and its arguments are the last ones given, taken as their bytes; so are
        // the folder and file names before them.
        const auto positional = static_cast<int>(parser.positionalArguments().size());
        givenDataDir = platform::rawOptionValue(argc - positional, argv, "--data-dir");
        settingsFile = platform::rawOptionValue(argc - positional, argv, "--settings-file");
        if (parser.isSet(sxOption))
            sxBase = baseArgument(parser.value(sxOption).toStdString(), "--sx-base");
        if (parser.isSet(dsOption))
            dsBase = baseArgument(parser.value(dsOption).toStdString(), "--ds-base");
        args.assign(argv + argc - positional, argv + argc);
        if (args.empty()) throw cli::UsageError("no command given");
    } catch (const cli::UsageError& e) {
        std::cerr << "quarvel-cli: " << e.what() << " (see --help)\n";
        return 2;
    }
    const std::size_t i = 0;

    const std::string name = args[i];
    const auto found = cli::commandRegistry().find(name);
    if (found == cli::commandRegistry().end()) {
        std::cerr << "quarvel-cli: unknown command " << name << " (see --help)\n";
        return 2;
    }

    // File and folder names are bytes, used exactly as given (also when not valid UTF-8).
    platform::QtSettingsStore settings =
        settingsFile.empty() ? platform::QtSettingsStore()
                             : platform::QtSettingsStore(std::filesystem::path(settingsFile));
    if (!settings.refusal().isEmpty())
        std::cerr << "quarvel-cli: " << settings.refusal().toStdString() << "\n";
    // The same data folder as the window's: --data-dir, else the program's folder when it may
    // be written, else the user's data folder.
    store::HistoryDb db(platform::dataFolderOfThisProgram(std::filesystem::path(givenDataDir)));
    try {
        db.open();
    } catch (const std::exception& e) {
        std::cerr << "quarvel-cli: " << store::userText(e) << "\n";
        return 1;
    }
    std::vector<std::string> reset;
    cli::Context ctx{db,
                     settings,
                     store::Settings::load(settings, &reset),
                     {},
                     {args.begin() + i + 1, args.end()},
                     std::cout,
                     std::cerr};
    for (const auto& key : reset)
        std::cerr << "quarvel-cli: the saved setting " << key
                  << " is not valid; its default is used\n";
    ctx.bases = {sxBase.value_or(ctx.saved.SxIni), dsBase.value_or(ctx.saved.DsIni)};
    try {
        return found->second.run(ctx);
    } catch (const cli::UsageError& e) {
        std::cerr << "quarvel-cli " << name << ": " << e.what() << " (usage: quarvel-cli "
                  << found->second.usage << ")\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "quarvel-cli " << name << ": " << store::userText(e) << "\n";
        return 1;
    }
}

// quarvel-cli: the history and the analyses for scripts and batch use.
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
    QCoreApplication app(argc, argv);
    std::string givenDataDir;
    std::string settingsFile;
    std::optional<int> sxBase, dsBase;
    std::vector<std::string> args(argv + 1, argv + argc);
    std::size_t i = 0;
    try {
        for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
            const std::string& opt = args[i];
            if (opt == "--help") {
                printUsage(std::cout);
                return 0;
            }
            if (i + 1 >= args.size()) throw cli::UsageError(opt + " needs a value");
            const std::string& value = args[++i];
            if (opt == "--data-dir")
                givenDataDir = value;
            else if (opt == "--settings-file")
                settingsFile = value;
            else if (opt == "--sx-base")
                sxBase = baseArgument(value, "--sx-base");
            else if (opt == "--ds-base")
                dsBase = baseArgument(value, "--ds-base");
            else
                throw cli::UsageError("unknown option " + opt);
        }
        if (i >= args.size()) throw cli::UsageError("no command given");
    } catch (const cli::UsageError& e) {
        std::cerr << "quarvel-cli: " << e.what() << " (see --help)\n";
        return 2;
    }

    const std::string name = args[i];
    const auto found = cli::commandRegistry().find(name);
    if (found == cli::commandRegistry().end()) {
        std::cerr << "quarvel-cli: unknown command " << name << " (see --help)\n";
        return 2;
    }

    platform::QtSettingsStore settings =
        settingsFile.empty() ? platform::QtSettingsStore()
                             : platform::QtSettingsStore(QString::fromStdString(settingsFile));
    // The same data folder as the window's: --data-dir, else the program's folder when it may
    // be written, else the user's data folder.
    const QString dataDir = platform::dataFolderOfThisProgram(QString::fromStdString(givenDataDir));
    store::HistoryDb db(std::filesystem::path(dataDir.toStdString()));
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

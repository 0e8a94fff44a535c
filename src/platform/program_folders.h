#pragma once
// Where the programs keep and find their files. Both quarvel and quarvel-cli decide here, so
// that a copy run from a folder the user may write keeps its history beside it (a portable
// copy), while an installed copy keeps it in the user's own data folder.

#include <QString>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quarvel::platform {

// The name both programs give Qt: the user's data folder is named after it.
inline constexpr const char* kProgramName = "quarvel";

// The installer's uninstaller, beside the programs of an installed copy (never of a portable one).
inline constexpr const char* kUninstaller = "uninstall.exe";

// The data folder: `given` (--data-dir) when not empty, else `programDir` when it may be
// written and holds no kUninstaller, else `userDataDir`.
QString chooseDataFolder(const QString& given, const QString& programDir,
                         const QString& userDataDir);

// The same choice for the running program (its own folder and QStandardPaths::AppDataLocation);
// the folder is created when missing.
QString dataFolderOfThisProgram(const QString& given);

// The same choice with the given folder as bytes: a --data-dir whose name is not valid UTF-8
// is used exactly as given (never a folder of a similar name), created when missing.
std::filesystem::path dataFolderOfThisProgram(const std::filesystem::path& given);

// The value of option `name` ("--data-dir") among args[1 ..] as its bytes, in either form
// "--name VALUE" or "--name=VALUE"; the last one given wins, empty when absent. Qt's parser
// reads the options, but decodes them: a file name that is not valid UTF-8 is taken from here.
std::string rawOptionValue(std::span<const std::string> args, std::string_view name);
// The same among argv[1 .. end).
std::string rawOptionValue(int end, char** argv, std::string_view name);

// A file name given on the command line as a path: its bytes as they are, except on Windows,
// where the programs read their arguments as UTF-8 (see argumentsAsUtf8) and paths are UTF-16.
std::filesystem::path pathFromArgument(const std::string& arg);

// A file name from Qt as a path, and back, without passing through an 8-bit code page.
std::filesystem::path toFsPath(const QString& name);
QString fromFsPath(const std::filesystem::path& p);

// The program's arguments as bytes: argv itself, except on Windows, where argv is in the
// system's 8-bit code page (Chinese names lost on a western system) and Qt's list, taken from
// the wide command line, is given as UTF-8 instead. Needs the QCoreApplication.
std::vector<std::string> argumentsAsUtf8(int argc, char** argv);

// The folder holding the sample history: "历史号码" beside the program in a build or a portable
// copy, or share/quarvel/历史号码 of an installed one. Empty when neither exists.
QString sampleHistoryFolder();

// A file of the program's documentation (README.md, LICENSE): beside the program, in the
// installed documentation folder, or at the top of the source tree it was built in.
// Empty when none is found.
QString documentationFile(const QString& name);

}  // namespace quarvel::platform

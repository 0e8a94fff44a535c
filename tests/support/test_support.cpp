#include "support/test_support.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "store/engine.h"

namespace quarvel::testing {

namespace fs = std::filesystem;

TempDir::TempDir() {
#ifdef _WIN32
    std::random_device rd;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const fs::path p = fs::temp_directory_path() / ("quarvel-test-" + std::to_string(rd()));
        if (fs::create_directory(p)) path_ = p;
    }
    if (path_.empty()) throw std::runtime_error("cannot create a temporary folder");
#else
    std::string tmpl = (fs::temp_directory_path() / "quarvel-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
#endif
}

TempDir::~TempDir() {
    std::error_code ec;
    // Restore write permission that a test may have taken away, then remove everything.
    for (auto it = fs::recursive_directory_iterator(path_, ec);
         !ec && it != fs::recursive_directory_iterator(); ++it)
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

void addDraws(store::HistoryDb& db, const std::vector<Draw>& draws, store::Bases bases) {
    const auto codes = store::ZodiacCodes::startup(bases.sx);
    store::Transaction tx(db.db());
    for (const auto& d : draws)
        store::appendDrawRow(db.rsLishi(),
                             store::buildDrawRow(d.issue, d.issue, d.numbers, codes, bases.ds));
    tx.commit();
    db.renumberIdx();
    db.reopenSort();
}

void damageIssueIndex(store::HistoryDb& db, std::int32_t issueFrom) {
    db.db().executeNative("DROP INDEX LishiBySqqh");
    db.db().executeNative("CREATE INDEX LishiBySqqh ON Lishi (SQQH) WHERE SQQH < " +
                          std::to_string(issueFrom));
    db.db().executeNative("PRAGMA writable_schema = ON");
    db.db().executeNative(
        "UPDATE sqlite_master SET sql = 'CREATE INDEX LishiBySqqh ON Lishi (SQQH)' "
        "WHERE name = 'LishiBySqqh'");
    db.close();
    db.open();
}

std::vector<Draw> randomDraws(std::size_t count, unsigned seed, std::int32_t firstIssue) {
    std::mt19937 rng(seed);
    std::vector<Draw> out;
    std::int32_t issue = firstIssue;
    for (std::size_t i = 0; i < count; ++i) {
        std::array<int, 30> pool{};
        for (int n = 0; n < 30; ++n) pool[n] = n + 1;
        std::shuffle(pool.begin(), pool.end(), rng);
        Draw d{issue, {}};
        std::copy_n(pool.begin(), 8, d.numbers.begin());
        out.push_back(d);
        issue = (issue % 1000 >= 150) ? (issue / 1000 + 1) * 1000 + 1 : issue + 1;
    }
    return out;
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeFile(const fs::path& p, const std::string& content) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << content;
}

fs::path dataFile(const std::string& name) { return fs::path(QUARVEL_TEST_DATA) / name; }

namespace {
#ifdef _WIN32
// cmd.exe's quoting: each argument in double quotes (the programs' own parser undoes \"), and
// the whole line in one more pair, which cmd /c strips.
std::string shellQuote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) out += (c == '"') ? std::string("\\\"") : std::string(1, c);
    return out + "\"";
}
#else
std::string shellQuote(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}
#endif
}  // namespace

CliResult runCli(const std::vector<std::string>& args) {
    std::vector<std::string> command = {QUARVEL_CLI_PATH};
    command.insert(command.end(), args.begin(), args.end());
    return runCommand(command);
}

CliResult runCommand(const std::vector<std::string>& command) {
    TempDir errDir;
    const fs::path errFile = errDir.path() / "stderr";
    std::string cmd;
    for (const auto& a : command) cmd += (cmd.empty() ? "" : " ") + shellQuote(a);
#ifdef _WIN32
    cmd = "\"" + cmd + " 2>" + shellQuote(errFile.string()) + " <NUL\"";
    CliResult r;
    FILE* pipe = _popen(cmd.c_str(), "rb");
#else
    cmd += " 2>" + shellQuote(errFile.string()) + " </dev/null";
    CliResult r;
    FILE* pipe = popen(cmd.c_str(), "r");
#endif
    if (!pipe) throw std::runtime_error("cannot start " + cmd);
    std::array<char, 4096> buf{};
    std::size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) r.out.append(buf.data(), n);
#ifdef _WIN32
    r.status = _pclose(pipe);
#else
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    r.err = readFile(errFile);
    return r;
}

}  // namespace quarvel::testing

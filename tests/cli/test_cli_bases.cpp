// The numbering base of a history is the one its rows were stored under: every analysis reads
// values and names in it, whatever the settings say for rows stored from now on.

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "support/cli_sandbox.h"

namespace {

using quarvel::testing::CliSandbox;

// The same forty draws stored under zodiac and segment base `base`.
void storeDraws(const CliSandbox& s, const char* base) {
    std::mt19937 random(7);
    for (int i = 1; i <= 40; ++i) {
        std::vector<int> pool(30);
        for (int n = 0; n < 30; ++n) pool[n] = n + 1;
        std::shuffle(pool.begin(), pool.end(), random);
        std::vector<std::string> args = {"--sx-base", base,  "--ds-base",
                                         base,        "add", std::to_string(2013000 + i)};
        for (int p = 0; p < 8; ++p)
            args.push_back((pool[p] < 10 ? "0" : "") + std::to_string(pool[p]));
        ASSERT_EQ(s.cli(args).status, 0);
    }
}

const std::vector<std::vector<std::string>> kZodiacByName = {
    {"search", "--type", "1", "--pos", "1=牛", "--pos", "8=猪"},
    {"search", "--type", "1", "--fixed", "--pos", "2=鼠"},
    {"partial", "--type", "1", "-k", "2", "--values", "鼠,牛,虎,兔,龙,蛇,马,猪"},
    {"groups", "--type", "1", "--size", "1", "--boxes", "1,2,3,4,5,6,7,8,9,10,11,12"},
    {"groups", "--type", "5", "--size", "2", "--boxes", "1,2,10"},
    {"trend", "--type", "1"},
    {"trend", "--type", "1", "--as-of", "2013030"},
};
const std::vector<std::vector<std::string>> kByCode = {
    {"search", "--type", "5", "--pos", "1=1"},
    {"search", "--type", "5", "--pos", "1=5", "--as-of", "2013030"},
    {"trend", "--type", "5"},
};

// The output without its first column: the labels of a search or group listing show the
// searched codes, which are the stored rows' own (the other columns hold figures and names).
std::string figures(const std::string& out) {
    std::istringstream in(out);
    std::string line, kept;
    while (std::getline(in, line))
        kept += line.substr(std::min(line.find('\t'), line.size())) + "\n";
    return kept;
}

std::vector<std::string> withBase(const char* base, std::vector<std::string> args) {
    args.insert(args.begin(), {"--sx-base", base, "--ds-base", base});
    return args;
}

TEST(CliBases, TheStoredBaseDecidesWhateverTheSetting) {
    CliSandbox zero, one;
    storeDraws(zero, "0");
    storeDraws(one, "1");
    for (const auto& args : kZodiacByName) {
        // Names: both histories, under either setting, give the same figures and names; the
        // labels of a search show the codes, which are the stored rows' own.
        const auto expected = one.cli(withBase("1", args));
        ASSERT_EQ(expected.status, 0) << args[0] << ": " << expected.err;
        EXPECT_NE(expected.out.find("\t"), std::string::npos);
        for (const char* setting : {"0", "1"}) {
            EXPECT_EQ(one.cli(withBase(setting, args)).out, expected.out) << args.back() << setting;
            EXPECT_EQ(figures(zero.cli(withBase(setting, args)).out), figures(expected.out))
                << args.back() << setting;
        }
    }
    for (const auto& args : kByCode) {
        // Codes mean the stored rows' codes: the setting changes nothing.
        for (const CliSandbox* s : {&zero, &one}) {
            const auto stored = s->cli(withBase(s == &zero ? "0" : "1", args));
            ASSERT_EQ(stored.status, 0) << stored.err;
            EXPECT_EQ(s->cli(withBase(s == &zero ? "1" : "0", args)).out, stored.out) << args[2];
        }
    }
    // Zodiac 猪 shows in the hit grid's names of both histories.
    EXPECT_NE(zero.cli(withBase("1", kZodiacByName[0])).out.find("猪"), std::string::npos);
}

}  // namespace

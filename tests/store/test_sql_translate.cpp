#include <gtest/gtest.h>

#include "store/sql_translate.h"

using quarvel::store::translateSql;

struct TranslateCase {
    const char* system;
    const char* sqlite;
};

class SqlTranslate : public ::testing::TestWithParam<TranslateCase> {};

TEST_P(SqlTranslate, GivesSqliteDialect) {
    EXPECT_EQ(translateSql(GetParam().system), GetParam().sqlite);
}

INSTANTIATE_TEST_SUITE_P(
    EveryFormTheProgramIssues, SqlTranslate,
    ::testing::Values(
        TranslateCase{"UPDATE [Lishi] SET [intTh]=0", "UPDATE [Lishi] SET [intTh]=0"},
        TranslateCase{
            "UPDATE [Lishi] SET [txtHisP6]= LEFT([txtHisLstSx],LEN([txtHisLstSx])-4)",
            "UPDATE [Lishi] SET [txtHisP6]= substr([txtHisLstSx],1,length([txtHisLstSx])-4)"},
        TranslateCase{"UPDATE [Lishi] SET [txtHisP6]= [txtHisLst]",
                      "UPDATE [Lishi] SET [txtHisP6]= [txtHisLst]"},
        TranslateCase{"UPDATE [Lishi] SET [intTh]=([intTh] +1) WHERE [txtHisLst] LIKE \"*05*\"",
                      "UPDATE [Lishi] SET [intTh]=([intTh] +1) WHERE [txtHisLst] GLOB '*05*'"},
        TranslateCase{"UPDATE [Lishi] SET [intTh]=([intTh] +1) WHERE [txtHisP6] LIKE \"*2X03*\"",
                      "UPDATE [Lishi] SET [intTh]=([intTh] +1) WHERE [txtHisP6] GLOB '*2X03*'"},
        TranslateCase{"UPDATE [Lishi] SET [intTh]=([intTh] +1) WHERE ([L3E] + [L3F]) = 7",
                      "UPDATE [Lishi] SET [intTh]=([intTh] +1) WHERE ([L3E] + [L3F]) = 7"},
        TranslateCase{"UPDATE [Lishi] SET [intTh]=([intTh] +1) WHERE ([L2A] MOD 2) = 1",
                      "UPDATE [Lishi] SET [intTh]=([intTh] +1) WHERE ([L2A] % 2) = 1"},
        TranslateCase{"UPDATE [Lishi] SET [intTh]=([intTh] +1) WHERE [L8F] = 4",
                      "UPDATE [Lishi] SET [intTh]=([intTh] +1) WHERE [L8F] = 4"},
        TranslateCase{"UPDATE [Lishi] SET [bolOk]= FALSE", "UPDATE [Lishi] SET [bolOk]= FALSE"},
        TranslateCase{"UPDATE [Lishi] SET [bolOk]= TRUE WHERE [intTh] = 3",
                      "UPDATE [Lishi] SET [bolOk]= TRUE WHERE [intTh] = 3"},
        TranslateCase{"SELECT * FROM [lishi] WHERE [SQQH] >= 2013001 AND  [SQQH] <= 2013150 AND "
                      "[intTh] = 2 ORDER BY [IDX]",
                      "SELECT * FROM [lishi] WHERE [SQQH] >= 2013001 AND  [SQQH] <= 2013150 AND "
                      "[intTh] = 2 ORDER BY [IDX], rowid"},
        TranslateCase{"SELECT * FROM [lishi] WHERE [SQQH] >= 1 AND  [SQQH] <= 9 AND [bolOk]= TRUE "
                      "ORDER BY [IDX]",
                      "SELECT * FROM [lishi] WHERE [SQQH] >= 1 AND  [SQQH] <= 9 AND [bolOk]= TRUE "
                      "ORDER BY [IDX], rowid"},
        TranslateCase{"SELECT * FROM lishi ORDER BY SQQH",
                      "SELECT * FROM lishi ORDER BY SQQH, rowid"},
        TranslateCase{"SELECT strQQH FROM lishi ORDER BY strQQH",
                      "SELECT strQQH FROM lishi ORDER BY strQQH, rowid"},
        TranslateCase{"SELECT * FROM YL ORDER BY intLstYl",
                      "SELECT * FROM YL ORDER BY intLstYl, rowid"},
        TranslateCase{"SELECT * FROM YL ORDER BY sglLlr",
                      "SELECT * FROM YL ORDER BY sglLlr, rowid"},
        // Quoted text is never rewritten, and GLOB's own wildcards in a pattern match themselves.
        TranslateCase{"SELECT * FROM t WHERE a = \"it's MOD LEFT(x,1)\"",
                      "SELECT * FROM t WHERE a = 'it''s MOD LEFT(x,1)'"},
        TranslateCase{"SELECT * FROM t WHERE a LIKE \"*a?[b*\"",
                      "SELECT * FROM t WHERE a GLOB '*a[?][[]b*'"},
        TranslateCase{"SELECT left(LEFT(a,2),len(b)) FROM t",
                      "SELECT substr(substr(a,1,2),1,length(b)) FROM t"}));

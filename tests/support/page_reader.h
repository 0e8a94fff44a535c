#pragma once
// Tests that read web pages need the HTML parser. A build without it (a Windows build made where
// the archive did not serve gumbo's source) skips them, saying why, instead of failing them.

#include <gtest/gtest.h>

#include "history_io/page_text.h"

#define QUARVEL_NEEDS_PAGE_READER()                                                   \
    if (!::quarvel::io::kPageReaderBuilt)                                             \
    GTEST_SKIP() << "this build has no page reader (gumbo was not found when it was " \
                    "configured)"

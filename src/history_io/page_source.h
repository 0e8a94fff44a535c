#pragma once
// How the core sees the network: a source that returns the rendered body text of a web page.
// The platform implements it over Qt Network; tests use a fake.

#include <string>

#include "store/outcome.h"

namespace quarvel::io {

// The body's rendered text (UTF-8, see bodyInnerText), or why the page could not be read.
using PageResult = store::Checked<std::string>;

class PageSource {
  public:
    virtual ~PageSource() = default;
    // Why this source can read no page at all (a build without the page reader), in Chinese;
    // Done when it can. The update asks this before it requests anything.
    virtual store::Outcome readiness() const { return store::Outcome::done(); }
    virtual PageResult fetch(const std::string& url) = 0;
};

}  // namespace quarvel::io

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
    virtual PageResult fetch(const std::string& url) = 0;
};

}  // namespace quarvel::io

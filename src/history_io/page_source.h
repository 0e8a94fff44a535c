#pragma once
// How the core sees the network: a source that returns the rendered body text of a web page.
// The platform implements it over Qt Network; tests use a fake.

#include <string>

namespace quarvel::io {

struct PageResult {
    bool ok = false;
    std::string body;   // the body's rendered text, UTF-8 (see bodyInnerText)
    std::string error;  // why the page could not be read, when !ok
};

class PageSource {
  public:
    virtual ~PageSource() = default;
    virtual PageResult fetch(const std::string& url) = 0;
};

}  // namespace quarvel::io

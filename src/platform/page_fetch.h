#pragma once
// Fetching a results page over HTTP: a GET with a time limit (the network module's, loaded on
// first use), waiting in a local event loop so that a window stays responsive, and the body
// turned into its rendered text.

#include <QByteArray>
#include <QString>
#include <chrono>
#include <optional>

#include "history_io/page_source.h"

namespace quarvel::platform {

class QtPageSource : public io::PageSource {
  public:
    static constexpr std::chrono::milliseconds kDefaultTimeLimit{20000};
    // Bodies larger than this are refused: no results page comes near it.
    static constexpr qint64 kMaxBodyBytes = 32 * 1024 * 1024;

    explicit QtPageSource(std::chrono::milliseconds timeLimit = kDefaultTimeLimit);

    void setTimeLimit(std::chrono::milliseconds limit) { timeLimit_ = limit; }
    std::chrono::milliseconds timeLimit() const { return timeLimit_; }

    // While a page loads the wait keeps repainting and running timers, but by default holds
    // back clicks and keys until the page is in: the update keeps a transaction open across its
    // pages, and another command started in the middle would land inside it. A window that
    // disables its commands during the update (and offers its own cancel) may let input through.
    void setUserInputDuringWait(bool allow) { allowInput_ = allow; }

    // Needs a QCoreApplication. Fails (the outcome says why) on an address the results-site rule
    // refuses or QUrl cannot parse, a network error, a status outside 200..299, no answer within
    // the time limit, an oversized body or a charset that cannot be decoded.
    io::PageResult fetch(const std::string& url) override;
    // Refused (io::kNoPageReader) in a build without the page reader; its fetch then still
    // asks for the page, but fails with the same refusal instead of the text.
    store::Outcome readiness() const override;

  private:
    std::chrono::milliseconds timeLimit_;
    bool allowInput_ = false;
};

// Decodes an HTML body: by the charset the Content-Type header names, else by the page's own
// byte order mark or <meta charset>, else as UTF-8. nullopt (with `error`) when the named
// charset is not one this build can decode.
std::optional<QString> decodeHtmlBody(const QByteArray& body, const QByteArray& contentType,
                                      QString* error);

}  // namespace quarvel::platform

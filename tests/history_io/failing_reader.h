#pragma once
// A reader that delivers the first bytes of a real file and then fails like a device error, and
// a history fixture with a trigger that makes the database refuse one issue.

#include <istream>
#include <memory>
#include <stdexcept>
#include <streambuf>
#include <string>

#include "history_io/history_file.h"
#include "support/test_support.h"

namespace quarvel::testing {

class FailingBuf : public std::streambuf {
  public:
    FailingBuf(std::string bytes, std::size_t failAfter)
        : bytes_(std::move(bytes)), failAfter_(failAfter) {}

  protected:
    int_type underflow() override {
        if (served_ >= failAfter_) throw std::runtime_error("injected read error");
        // One byte at a time so that the failure lands exactly at failAfter_.
        if (served_ >= bytes_.size()) return traits_type::eof();
        ch_ = bytes_[served_++];
        setg(&ch_, &ch_, &ch_ + 1);
        return traits_type::to_int_type(ch_);
    }

  private:
    std::string bytes_;
    std::size_t failAfter_;
    std::size_t served_ = 0;
    char ch_ = 0;
};

class FailingStream : public std::istream {
  public:
    FailingStream(std::string bytes, std::size_t failAfter)
        : std::istream(nullptr), buf_(std::move(bytes), failAfter) {
        rdbuf(&buf_);
    }

  private:
    FailingBuf buf_;
};

// An opener that reads the real file but fails half way through it.
inline io::OpenForReading failHalfWay() {
    return [](const std::filesystem::path& p) -> std::unique_ptr<std::istream> {
        std::string bytes = readFile(p);
        const std::size_t half = bytes.size() / 2;
        return std::make_unique<FailingStream>(std::move(bytes), half);
    };
}

// Makes every insert of `issue` into Lishi fail, as a full disk or a broken file would.
inline void refuseIssue(store::HistoryDb& db, std::int32_t issue) {
    db.db().executeNative("CREATE TRIGGER refuse_issue BEFORE INSERT ON Lishi WHEN NEW.SQQH = " +
                          std::to_string(issue) +
                          " BEGIN SELECT RAISE(ABORT, 'injected store failure'); END");
}

}  // namespace quarvel::testing

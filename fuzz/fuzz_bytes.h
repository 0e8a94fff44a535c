#pragma once
// Reads a fuzz input as a stream of small choices; past its end every choice is 0.

#include <cstddef>
#include <cstdint>

class Bytes {
  public:
    Bytes(const std::uint8_t* d, std::size_t n) : d_(d), n_(n) {}
    bool more() const { return i_ < n_; }
    unsigned next() { return i_ < n_ ? d_[i_++] : 0; }

  private:
    const std::uint8_t* d_;
    std::size_t n_;
    std::size_t i_ = 0;
};

#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Growable in-memory sink of little-endian values, independent of the host's byte order.
class ByteWriter {
  public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}

    void writeU8(uint8_t value) { out_.push_back(value); }
    void writeU32(uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) {
            out_.push_back(static_cast<uint8_t>(value >> shift));
        }
    }

  private:
    std::vector<uint8_t>& out_;
};

// Sequential reads from a borrowed buffer. A read that would pass the end takes nothing and
// answers false, so a short value can never be read beyond; it also ends the reading, so the
// bytes of a cut field are never taken for the fields after it.
class ByteReader {
  public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}

    bool readU8(uint8_t& value) {
        if (size_ - position_ < 1) return exhausted();
        value = data_[position_++];
        return true;
    }
    bool readU32(uint32_t& value) {
        if (size_ - position_ < 4) return exhausted();
        value = 0;
        for (int i = 0; i < 4; ++i) {
            value |= static_cast<uint32_t>(data_[position_ + i]) << (8 * i);
        }
        position_ += 4;
        return true;
    }

    size_t position() const { return position_; }

  private:
    bool exhausted() {
        position_ = size_;
        return false;
    }

    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Reads a fuzz input front to back; past its end every read gives zeros.
class ByteReader {
public:
    ByteReader(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}

    bool atEnd() const { return position_ >= size_; }

    std::uint8_t byte() { return position_ < size_ ? data_[position_++] : 0; }

    double rawDouble()
    {
        std::uint8_t bytes[sizeof(double)] = {};
        for (std::uint8_t &b : bytes)
            b = byte();
        double value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }

private:
    const std::uint8_t *data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

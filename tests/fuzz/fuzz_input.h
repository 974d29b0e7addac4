// Reads a fuzzer's bytes as a stream of choices. Every read succeeds: once
// the bytes are used up it answers zeros and empty texts, so a target never
// has to test for the end before it asks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace uvt_fuzz {

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return position_ >= size_; }
    std::size_t remaining() const { return empty() ? 0 : size_ - position_; }

    uint8_t byte() { return empty() ? 0 : data_[position_++]; }

    // A value from 0 to count - 1 (count from 1 to 256).
    uint32_t below(uint32_t count) { return count <= 1 ? 0 : byte() % count; }

    int32_t int32() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(byte()) << (8 * i);
        int32_t result;
        std::memcpy(&result, &value, sizeof result);
        return result;
    }

    double real() {
        uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(byte()) << (8 * i);
        double result;
        std::memcpy(&result, &bits, sizeof result);
        return result;
    }

    // Mostly small numbers (-64 to 63), where the interesting cases are;
    // now and then any int32 at all.
    int32_t smallInt() {
        const uint8_t b = byte();
        if (b == 0x80) return int32();
        return static_cast<int32_t>(static_cast<int8_t>(b)) / 2;
    }

    // A length (up to maxLength) and that many bytes.
    std::string text(std::size_t maxLength) {
        std::size_t length = byte() % (maxLength + 1);
        if (length > remaining()) length = remaining();
        std::string result(reinterpret_cast<const char*>(data_ + position_), length);
        position_ += length;
        return result;
    }

    std::string rest() {
        std::string result(reinterpret_cast<const char*>(data_ + position_), remaining());
        position_ = size_;
        return result;
    }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

}  // namespace uvt_fuzz

#pragma once

#include <cstdint>
#include <vector>

namespace quillmark::artwork {

using Bytes = std::vector<std::uint8_t>;

// Appends integers in the byte order a file format asks for.
class ByteBuffer {
public:
    void u8(unsigned v) { bytes_.push_back(static_cast<std::uint8_t>(v)); }
    void u16le(unsigned v) {
        u8(v & 0xFF);
        u8((v >> 8) & 0xFF);
    }
    void u32le(std::uint32_t v) {
        u16le(v & 0xFFFF);
        u16le(v >> 16);
    }
    void append(const Bytes& more) { bytes_.insert(bytes_.end(), more.begin(), more.end()); }

    std::size_t size() const { return bytes_.size(); }
    const Bytes& bytes() const { return bytes_; }
    Bytes take() { return std::move(bytes_); }

private:
    Bytes bytes_;
};

} // namespace quillmark::artwork

// Little-endian reading from a byte span that never reads past its end. Every read checks what is
// left first (in 64-bit arithmetic); a read that does not fit leaves its target unchanged, moves the
// position to the end and returns false, so a reader walking damaged data stops instead of looping.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace kelvarn {

class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : data_(bytes) {}

    std::uint64_t Position() const { return pos_; }
    std::uint64_t Size() const { return data_.size(); }
    std::uint64_t Remaining() const { return data_.size() - pos_; }
    bool AtEnd() const { return pos_ >= data_.size(); }
    // Can `count` items of `itemSize` bytes still be read? Safe for any u32 count.
    bool Fits(std::uint64_t count, std::uint64_t itemSize) const {
        return itemSize == 0 || count <= Remaining() / itemSize;
    }

    // Moves to an absolute position; a position past the end means the end.
    void Seek(std::uint64_t position) { pos_ = position < data_.size() ? position : data_.size(); }
    bool Skip(std::uint64_t count) {
        if (count > Remaining()) {
            pos_ = data_.size();
            return false;
        }
        pos_ += count;
        return true;
    }

    bool ReadBytes(std::uint64_t count, std::string_view& out) {
        if (count > Remaining()) {
            pos_ = data_.size();
            return false;
        }
        out = data_.substr(static_cast<std::size_t>(pos_), static_cast<std::size_t>(count));
        pos_ += count;
        return true;
    }

    bool ReadTag(std::array<char, 4>& tag) { return ReadRaw(tag.data(), 4); }
    bool ReadU16(std::uint16_t& v) { return ReadScalar(v); }
    bool ReadU32(std::uint32_t& v) { return ReadScalar(v); }
    bool ReadF32(float& v) { return ReadScalar(v); }

    // `count` floats into `out`; the caller has checked that they fit (Fits), else nothing is read.
    bool ReadF32Array(float* out, std::uint64_t count) {
        if (count == 0) return true;
        if (!Fits(count, 4)) {
            pos_ = data_.size();
            return false;
        }
        const char* p = data_.data() + pos_;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(out, p, static_cast<std::size_t>(count) * 4);
        } else {
            for (std::uint64_t i = 0; i < count; ++i)
                out[i] = Decode<float>(p + i * 4);
        }
        pos_ += count * 4;
        return true;
    }

    // The scalar at a byte offset of a span, for callers that index a block they have checked.
    template <typename T>
    static T Decode(const char* p) {
        static_assert(sizeof(T) == 2 || sizeof(T) == 4);
        using U = std::conditional_t<sizeof(T) == 2, std::uint16_t, std::uint32_t>;
        U u = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            u = static_cast<U>(u | static_cast<U>(static_cast<unsigned char>(p[i])) << (8 * i));
        return std::bit_cast<T>(u);
    }

private:
    bool ReadRaw(char* out, std::uint64_t count) {
        if (count > Remaining()) {
            pos_ = data_.size();
            return false;
        }
        std::memcpy(out, data_.data() + pos_, static_cast<std::size_t>(count));
        pos_ += count;
        return true;
    }
    template <typename T>
    bool ReadScalar(T& v) {
        if (Remaining() < sizeof(T)) {
            pos_ = data_.size();
            return false;
        }
        v = Decode<T>(data_.data() + pos_);
        pos_ += sizeof(T);
        return true;
    }

    std::string_view data_;
    std::uint64_t pos_ = 0;
};

}  // namespace kelvarn

#pragma once
// The building blocks of the project's table files: 16-bit Integers and Booleans,
// 32-bit Longs (all little-endian), fixed text of N bytes and variable text
// (16-bit byte count + bytes). Text is Windows-1252 bytes throughout.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

// A 16-bit Boolean as stored: true is 0xFFFF, false 0. The raw value is kept so that
// a record read from disk is written back byte for byte.
class Flag {
public:
    constexpr Flag() = default;
    constexpr Flag(bool value) : raw_(value ? std::int16_t(-1) : std::int16_t(0)) {}
    static constexpr Flag FromRaw(std::int16_t raw) {
        Flag f;
        f.raw_ = raw;
        return f;
    }
    constexpr operator bool() const { return raw_ != 0; }
    constexpr std::int16_t raw() const { return raw_; }

private:
    std::int16_t raw_ = 0;
};

// Fixed text of N bytes: stored left-aligned, blank-padded, cut when longer.
// A field that was never stored holds N zero bytes.
template <std::size_t N> class FixedText {
public:
    static constexpr std::size_t kSize = N;

    FixedText() { bytes_.fill('\0'); }
    explicit FixedText(std::string_view value) { Set(value); }

    // Stores a value: padded with blanks to N bytes, cut at N bytes when longer.
    void Set(std::string_view value) {
        bytes_.fill(' ');
        value.copy(bytes_.data(), value.size() < N ? value.size() : N);
    }
    FixedText& operator=(std::string_view value) {
        Set(value);
        return *this;
    }

    // The value as readers use it: up to the first zero byte, blanks trimmed.
    std::string Text() const {
        std::string_view raw(bytes_.data(), N);
        raw = raw.substr(0, raw.find('\0'));
        std::size_t b = raw.find_first_not_of(' ');
        if (b == std::string_view::npos) return {};
        std::size_t e = raw.find_last_not_of(' ');
        return std::string(raw.substr(b, e - b + 1));
    }

    // The N stored bytes, untrimmed.
    std::string_view Raw() const { return {bytes_.data(), N}; }
    void SetRaw(std::string_view raw) {
        bytes_.fill('\0');
        raw.copy(bytes_.data(), raw.size() < N ? raw.size() : N);
    }

    bool IsNeverStored() const {
        for (char c : bytes_)
            if (c != '\0') return false;
        return true;
    }

    friend bool operator==(const FixedText&, const FixedText&) = default;

private:
    std::array<char, N> bytes_;
};

// Appends table-file fields to a byte string.
class ByteWriter {
public:
    void Integer(std::int16_t value);
    void Boolean(Flag value) { Integer(value.raw()); }
    void Long(std::int32_t value);
    // 16-bit byte count and the bytes; a text longer than 65535 bytes is cut.
    void VariableText(std::string_view text);
    template <std::size_t N> void Fixed(const FixedText<N>& text) { bytes_.append(text.Raw()); }
    void Raw(std::string_view bytes) { bytes_.append(bytes); }

    const std::string& bytes() const { return bytes_; }
    std::string Take() { return std::move(bytes_); }

private:
    std::string bytes_;
};

// Reads table-file fields from a byte string. Every read checks the remaining length;
// a read past the end fails and leaves the target unchanged.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

    bool Integer(std::int16_t& value);
    bool Boolean(Flag& value);
    bool Long(std::int32_t& value);
    // False when the count or the text runs past the end.
    bool VariableText(std::string& text);
    template <std::size_t N> bool Fixed(FixedText<N>& text) {
        if (remaining() < N) return false;
        text.SetRaw(bytes_.substr(pos_, N));
        pos_ += N;
        return true;
    }

    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return bytes_.size() - pos_; }
    bool AtEnd() const { return pos_ >= bytes_.size(); }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

} // namespace kestrel

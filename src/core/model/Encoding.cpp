// Little-endian encoding of the table-file fields: 16-bit Integers and Booleans,
// 32-bit Longs and variable text (16-bit byte count + bytes). Readers never run past
// the end of their bytes; a failed read leaves its target unchanged.
#include "model/Encoding.h"

namespace kestrel {

void ByteWriter::Integer(std::int16_t value) {
    auto u = static_cast<std::uint16_t>(value);
    bytes_.push_back(static_cast<char>(u & 0xFF));
    bytes_.push_back(static_cast<char>(u >> 8));
}

void ByteWriter::Long(std::int32_t value) {
    auto u = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        bytes_.push_back(static_cast<char>((u >> shift) & 0xFF));
}

void ByteWriter::VariableText(std::string_view text) {
    if (text.size() > 0xFFFF) text = text.substr(0, 0xFFFF);
    Integer(static_cast<std::int16_t>(static_cast<std::uint16_t>(text.size())));
    bytes_.append(text);
}

namespace {

std::uint32_t ByteAt(std::string_view bytes, std::size_t pos) {
    return static_cast<unsigned char>(bytes[pos]);
}

} // namespace

bool ByteReader::Integer(std::int16_t& value) {
    if (remaining() < 2) return false;
    auto u = static_cast<std::uint16_t>(ByteAt(bytes_, pos_) | ByteAt(bytes_, pos_ + 1) << 8);
    value = static_cast<std::int16_t>(u);
    pos_ += 2;
    return true;
}

bool ByteReader::Boolean(Flag& value) {
    std::int16_t raw = 0;
    if (!Integer(raw)) return false;
    value = Flag::FromRaw(raw);
    return true;
}

bool ByteReader::Long(std::int32_t& value) {
    if (remaining() < 4) return false;
    std::uint32_t u = 0;
    for (std::size_t i = 0; i < 4; ++i) u |= ByteAt(bytes_, pos_ + i) << (8 * i);
    value = static_cast<std::int32_t>(u);
    pos_ += 4;
    return true;
}

bool ByteReader::VariableText(std::string& text) {
    if (remaining() < 2) return false;
    std::size_t count = ByteAt(bytes_, pos_) | ByteAt(bytes_, pos_ + 1) << 8;
    if (remaining() - 2 < count) return false;
    text.assign(bytes_.substr(pos_ + 2, count));
    pos_ += 2 + count;
    return true;
}

} // namespace kestrel

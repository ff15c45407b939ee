#include "platform/network/HelperProtocol.h"

#include <cstring>

namespace HelperProtocol {

namespace {

void appendNumber(std::string& out, std::uint32_t value) {
    const char bytes[4] = {static_cast<char>(value & 0xff), static_cast<char>((value >> 8) & 0xff),
                           static_cast<char>((value >> 16) & 0xff), static_cast<char>((value >> 24) & 0xff)};
    out.append(bytes, 4);
}

std::uint32_t readNumber(const char* at) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(at);
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

} // namespace

std::string encode(const Message& message) {
    std::size_t size = 4;
    for (const std::string& field : message) {
        size += 4 + field.size();
    }
    std::string out;
    out.reserve(4 + size);
    appendNumber(out, static_cast<std::uint32_t>(size));
    appendNumber(out, static_cast<std::uint32_t>(message.size()));
    for (const std::string& field : message) {
        appendNumber(out, static_cast<std::uint32_t>(field.size()));
        out.append(field);
    }
    return out;
}

void Decoder::feed(const char* bytes, std::size_t count) {
    if (_failed) {
        return;
    }
    if (_offset > 0 && _offset == _buffer.size()) {
        _buffer.clear();
        _offset = 0;
    } else if (_offset > (1u << 20) && _offset > _buffer.size() / 2) {
        _buffer.erase(0, _offset); // what was read is dropped now and then, not at every message
        _offset = 0;
    }
    _buffer.append(bytes, count);
}

std::optional<Message> Decoder::next() {
    if (_failed || _buffer.size() - _offset < 4) {
        return std::nullopt;
    }
    const std::uint32_t size = readNumber(_buffer.data() + _offset);
    if (size < 4 || size > kMaxFrameBytes) {
        _failed = true;
        return std::nullopt;
    }
    if (_buffer.size() - _offset - 4 < size) {
        return std::nullopt;
    }
    const char* at = _buffer.data() + _offset + 4;
    const char* end = at + size;
    const std::uint32_t count = readNumber(at);
    at += 4;
    if (count > size / 4) {
        _failed = true;
        return std::nullopt;
    }
    Message message;
    message.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (end - at < 4) {
            _failed = true;
            return std::nullopt;
        }
        const std::uint32_t length = readNumber(at);
        at += 4;
        if (static_cast<std::size_t>(end - at) < length) {
            _failed = true;
            return std::nullopt;
        }
        message.emplace_back(at, length);
        at += length;
    }
    if (at != end) {
        _failed = true;
        return std::nullopt;
    }
    _offset += 4 + size;
    return message;
}

} // namespace HelperProtocol

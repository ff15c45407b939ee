#include "platform/catalogues/XmlTextCleaner.h"

#include <cstring>

namespace {

constexpr char replacement[] = "\xEF\xBF\xBD";
// The longest character reference kept back at a chunk's end ("&#x0010FFFF;").
constexpr std::size_t maxReference = 16;

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The length of the valid UTF-8 character at bytes (0: invalid), or the
// length it would have when the bytes end before it does (set incomplete).
std::size_t characterLength(const unsigned char* bytes, std::size_t available, bool& incomplete) {
    incomplete = false;
    const unsigned char c = bytes[0];
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        low = c == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = c == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        low = c == 0xF0 ? 0x90 : 0x80;
        high = c == 0xF4 ? 0x8F : 0xBF; // nothing past U+10FFFF
    } else {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (i >= available) {
            incomplete = true;
            return length;
        }
        const unsigned char next = bytes[i];
        if (i == 1 ? (next < low || next > high) : !isContinuation(next)) {
            return 0;
        }
    }
    // U+FFFE and U+FFFF are no XML characters.
    if (length == 3 && c == 0xEF && bytes[1] == 0xBF && (bytes[2] == 0xBE || bytes[2] == 0xBF)) {
        return 0;
    }
    return length;
}

bool isXmlCharacter(unsigned long code) {
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
           (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

// When bytes start with a numeric character reference, its length; code is
// its value (past 0x10FFFF when it overflows). 0 when they do not.
std::size_t referenceLength(const char* bytes, std::size_t available, unsigned long& code) {
    if (available < 3 || bytes[0] != '&' || bytes[1] != '#') {
        return 0;
    }
    const bool hex = bytes[2] == 'x';
    std::size_t i = hex ? 3 : 2;
    code = 0;
    const std::size_t start = i;
    for (; i < available && i < maxReference; ++i) {
        const char c = bytes[i];
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f') {
            digit = (c | 0x20) - 'a' + 10;
        } else {
            break;
        }
        code = code * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
        if (code > 0x10FFFF) {
            code = 0x110000;
        }
    }
    if (i == start || i >= available || bytes[i] != ';') {
        return 0;
    }
    return i + 1;
}

} // namespace

void XmlTextCleaner::clean(const char* bytes, std::size_t length, std::string& out) {
    std::string text;
    const char* data = bytes;
    std::size_t size = length;
    if (!_pending.empty()) {
        text = std::move(_pending);
        _pending.clear();
        text.append(bytes, length);
        data = text.data();
        size = text.size();
    }
    // Keep back a character or reference that the end of the bytes may cut.
    std::size_t end = size;
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto c = static_cast<unsigned char>(data[size - back]);
        if (!isContinuation(c)) {
            bool incomplete = false;
            characterLength(reinterpret_cast<const unsigned char*>(data + size - back), back, incomplete);
            if (incomplete) {
                end = size - back;
            }
            break;
        }
    }
    for (std::size_t back = 1; back <= maxReference && back <= end; ++back) {
        const char c = data[end - back];
        if (c == ';' || c == '<' || c == '>') {
            break;
        }
        if (c == '&') {
            end -= back;
            break;
        }
    }
    cleanComplete(data, end, out);
    _pending.assign(data + end, size - end);
}

void XmlTextCleaner::finish(std::string& out) {
    std::string rest = std::move(_pending);
    _pending.clear();
    cleanComplete(rest.data(), rest.size(), out);
}

void XmlTextCleaner::cleanComplete(const char* bytes, std::size_t length, std::string& out) {
    out.reserve(out.size() + length);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes);
    std::size_t i = 0;
    while (i < length) {
        // Plain text runs are copied whole.
        std::size_t run = i;
        while (run < length && data[run] >= 0x20 && data[run] < 0x80 && data[run] != '&') {
            ++run;
        }
        out.append(bytes + i, run - i);
        i = run;
        if (i >= length) {
            break;
        }
        const unsigned char c = data[i];
        if (c == '&') {
            unsigned long code = 0;
            const std::size_t reference = referenceLength(bytes + i, length - i, code);
            if (reference > 0 && !isXmlCharacter(code)) {
                i += reference; // a reference to a character XML does not allow
            } else {
                out.push_back('&');
                ++i;
            }
        } else if (c < 0x20) {
            if (c == '\t' || c == '\n' || c == '\r') {
                out.push_back(static_cast<char>(c));
            }
            ++i;
        } else {
            bool incomplete = false;
            const std::size_t character = characterLength(data + i, length - i, incomplete);
            if (character == 0 || incomplete) {
                out.append(replacement);
                ++i;
            } else {
                out.append(bytes + i, character);
                i += character;
            }
        }
    }
}

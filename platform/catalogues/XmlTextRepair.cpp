#include "platform/catalogues/XmlTextRepair.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr std::size_t npos = std::string::npos;
constexpr char kReplacement[] = "\xEF\xBF\xBD"; // U+FFFD
// Longer numeric references (zeros in front) are left to the parser as they stand.
constexpr std::size_t kLongestReference = 64;
// This many NUL bytes in a row are no stray character but a hole in the file.
constexpr std::size_t kHoleLength = 16;
// The head of the document that decides how it is read: its byte-order mark
// and XML declaration.
constexpr std::size_t kHeadSize = 512;

bool isHighSurrogate(unsigned long c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLowSurrogate(unsigned long c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Whether a reference to c is one XML 1.0 accepts.
bool isXmlChar(unsigned long c) {
    if (c < 0x20) {
        return c == 0x9 || c == 0xA || c == 0xD;
    }
    return !(c >= 0xD800 && c <= 0xDFFF) && c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
}

void appendUtf8(unsigned long c, std::string& out) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Plain text that passes unchanged: ASCII other than '&' and the control
// characters, tab, newline and carriage return excepted.
bool isPlain(unsigned char c) {
    return (c >= 0x20 && c < 0x80 && c != '&') || c == '\t' || c == '\n' || c == '\r';
}

// The end of the run of plain text that starts at i. Most of a catalogue is
// plain: it is scanned sixteen bytes at a time where the processor can.
std::size_t plainRunEnd(const char* text, std::size_t i, std::size_t end) {
#ifdef __SSE2__
    const __m128i space = _mm_set1_epi8(0x20);
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i newline = _mm_set1_epi8('\n');
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    const __m128i ampersand = _mm_set1_epi8('&');
    while (i + 16 <= end) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        // Signed: bytes from 0x80 up count as below the space too.
        const __m128i low = _mm_cmplt_epi8(bytes, space);
        const __m128i allowed =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, tab), _mm_cmpeq_epi8(bytes, newline)),
                         _mm_cmpeq_epi8(bytes, carriageReturn));
        const __m128i special =
            _mm_or_si128(_mm_andnot_si128(allowed, low), _mm_cmpeq_epi8(bytes, ampersand));
        const int mask = _mm_movemask_epi8(special);
        if (mask != 0) {
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
        }
        i += 16;
    }
#endif
    while (i < end && isPlain(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    return i;
}

std::string lowered(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

// The encoding named by an XML declaration at the start of head, lower case;
// empty when there is none.
std::string declaredEncoding(std::string_view head) {
    if (head.substr(0, 5) != "<?xml") {
        return {};
    }
    const std::size_t end = head.find("?>");
    const std::string_view declaration = head.substr(0, end);
    const std::size_t key = declaration.find("encoding");
    if (key == npos) {
        return {};
    }
    const std::size_t quote = declaration.find_first_of("\"'", key);
    if (quote == npos) {
        return {};
    }
    const std::size_t close = declaration.find(declaration[quote], quote + 1);
    if (close == npos) {
        return {};
    }
    return lowered(declaration.substr(quote + 1, close - quote - 1));
}

} // namespace

void XmlTextRepair::decide(const std::string& head) {
    const auto byte = [&head](std::size_t i) {
        return i < head.size() ? static_cast<unsigned char>(head[i]) : 0x100;
    };
    // Byte-order marks and the first '<' of UTF-16 and UTF-32 text.
    if ((byte(0) == 0xFE && byte(1) == 0xFF) || (byte(0) == 0xFF && byte(1) == 0xFE) ||
        (byte(0) == 0 && byte(1) == 0) || (byte(0) == 0 && byte(1) == '<') ||
        (byte(0) == '<' && byte(1) == 0)) {
        _mode = Mode::PassThrough;
        return;
    }
    const bool utf8Mark = byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF;
    const std::string encoding = declaredEncoding(std::string_view(head).substr(utf8Mark ? 3 : 0));
    if (encoding.empty() || encoding == "utf-8" || encoding == "utf8") {
        _mode = Mode::Utf8;
    } else if (encoding.rfind("iso-8859-", 0) == 0 || encoding.rfind("windows-125", 0) == 0 ||
               encoding == "us-ascii" || encoding == "ascii" || encoding == "latin1" ||
               encoding == "iso-latin-1") {
        _mode = Mode::SingleByte;
    } else {
        _mode = Mode::PassThrough;
    }
}

void XmlTextRepair::feed(const char* data, std::size_t size, std::string& out, bool last) {
    if (_mode == Mode::Undecided) {
        if (size > 0) {
            _pending.append(data, size);
        }
        if (!last && _pending.size() < kHeadSize && _pending.find('>') == npos) {
            return;
        }
        decide(_pending);
        data = nullptr;
        size = 0;
    }
    if (_mode == Mode::PassThrough) {
        out.append(_pending);
        _pending.clear();
        if (size > 0) {
            out.append(data, size);
        }
        return;
    }
    if (_pending.empty()) {
        if (size == 0) {
            return;
        }
        const std::size_t used = mend(data, size, out, last);
        _pending.assign(data + used, size - used);
        return;
    }
    if (size > 0) {
        _pending.append(data, size);
    }
    const std::size_t used = mend(_pending.data(), _pending.size(), out, last);
    _pending.erase(0, used);
}

std::size_t XmlTextRepair::reference(const char* text, std::size_t i, std::size_t end,
                                     unsigned long& value) const {
    std::size_t j = i + 1;
    if (j >= end) {
        return npos;
    }
    if (text[j] != '#') {
        return 0;
    }
    ++j;
    if (j >= end) {
        return npos;
    }
    const bool hex = text[j] == 'x';
    if (hex) {
        ++j;
    }
    const std::size_t digitsStart = j;
    value = 0;
    for (; j < end && j - i < kLongestReference; ++j) {
        const char c = text[j];
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f') {
            digit = (c | 0x20) - 'a' + 10;
        } else if (c == ';') {
            return j > digitsStart ? j + 1 - i : 0;
        } else {
            return 0;
        }
        value =
            std::min<unsigned long>(value * (hex ? 16 : 10) + static_cast<unsigned long>(digit), 0x110000);
    }
    return j < end ? 0 : npos;
}

std::size_t XmlTextRepair::mend(const char* text, std::size_t end, std::string& out, bool last) {
    const auto at = [text](std::size_t i) {
        return static_cast<unsigned char>(text[i]);
    };
    std::size_t i = 0;
    while (i < end) {
        const unsigned char c = at(i);
        if (isPlain(c)) {
            const std::size_t j = plainRunEnd(text, i + 1, end);
            out.append(text + i, j - i);
            i = j;
            continue;
        }
        if (c == 0) {
            // A stray NUL goes; a run of them is a hole in the file (zeros
            // where a crash left the file short), which ends what can be read.
            std::size_t j = i;
            while (j < end && at(j) == 0 && j - i < kHoleLength) {
                ++j;
            }
            if (j - i >= kHoleLength) {
                out.append(text + i, end - i);
                return end;
            }
            if (j == end && !last) {
                return i;
            }
            i = j;
            continue;
        }
        if (c < 0x20) {
            if (c == '\t' || c == '\n' || c == '\r') {
                out.push_back(static_cast<char>(c));
            }
            ++i;
            continue;
        }
        if (c == '&') {
            unsigned long value = 0;
            std::size_t length = reference(text, i, end, value);
            if (length == npos && !last) {
                return i;
            }
            if (length == npos || length == 0) {
                out.push_back('&');
                ++i;
                continue;
            }
            if (isHighSurrogate(value)) {
                unsigned long low = 0;
                const std::size_t next = i + length < end && text[i + length] == '&'
                                             ? reference(text, i + length, end, low)
                                             : (i + length < end || last ? 0 : npos);
                if (next == npos && !last) {
                    return i;
                }
                if (next != npos && next > 0 && isLowSurrogate(low)) {
                    appendUtf8(0x10000 + ((value - 0xD800) << 10) + (low - 0xDC00), out);
                    length += next;
                }
            } else if (isXmlChar(value)) {
                out.append(text + i, length);
            }
            i += length;
            continue;
        }
        // c >= 0x80
        if (_mode == Mode::SingleByte) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        // The well-formed UTF-8 sequences: the lead byte gives the length and
        // the range of the second byte, later bytes are 80..BF.
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF; // ED A0..BF would be a surrogate
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        }
        std::size_t k = 1;
        bool unfinished = false;
        for (; k < length; ++k) {
            if (i + k >= end) {
                unfinished = true;
                break;
            }
            const unsigned char b = at(i + k);
            if (k == 1 ? (b < low || b > high) : (b < 0x80 || b > 0xBF)) {
                break;
            }
        }
        if (unfinished && !last) {
            return i;
        }
        if (length == 0 || k < length) {
            out.append(kReplacement);
            i += std::max<std::size_t>(k, 1);
            continue;
        }
        // U+FFFE and U+FFFF are no XML characters.
        if (c == 0xEF && at(i + 1) == 0xBF && at(i + 2) >= 0xBE) {
            out.append(kReplacement);
        } else {
            out.append(text + i, length);
        }
        i += length;
    }
    return i;
}

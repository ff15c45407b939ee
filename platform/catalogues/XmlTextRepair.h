#pragma once

#include <cstddef>
#include <string>

// Mends, on the way from a file to the XML parser, the bytes that real
// catalogue exports carry and that a strict XML 1.0 parser rejects, losing
// the whole document over one character:
// - an emoji written as a pair of UTF-16 surrogate character references
//   (&#55357;&#56846;) becomes its character;
// - lone surrogate references, &#0; and references to control characters
//   other than tab, newline and carriage return are dropped;
// - raw control characters other than those three are dropped, but a run of
//   NUL bytes, a hole in the file, is passed on so that reading stops there;
// - bytes that are not UTF-8, and UTF-8 forms of surrogates and of the
//   non-characters U+FFFE/U+FFFF, become U+FFFD, one per maximal invalid part.
// Everything else passes unchanged. Only documents in UTF-8 (or in an
// encoding declared as ASCII-compatible single bytes, for the references and
// control characters) are touched: UTF-16 and UTF-32 pass through as read.
// The text is fed in chunks of any size; a reference or a character split
// between two chunks is mended as a whole.
class XmlTextRepair {
public:
    // Appends the mended form of data to out. With last, nothing is held back.
    void feed(const char* data, std::size_t size, std::string& out, bool last);

private:
    enum class Mode { Undecided, Utf8, SingleByte, PassThrough };
    void decide(const std::string& head);
    // Mends text[0, end) into out; answers how much of it was consumed (the
    // rest is an unfinished reference or character to complete).
    std::size_t mend(const char* text, std::size_t end, std::string& out, bool last);
    // At text[i] == '&': the length of a complete numeric character reference
    // with its value, 0 when it is none, or npos when the text ends first.
    std::size_t reference(const char* text, std::size_t i, std::size_t end, unsigned long& value) const;

    Mode _mode = Mode::Undecided;
    std::string _pending; // held back from the previous chunk
};

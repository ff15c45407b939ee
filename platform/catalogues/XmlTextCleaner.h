#pragma once

#include <cstddef>
#include <string>

// Makes UTF-8 text that claims to be XML acceptable to an XML parser, chunk
// by chunk, so that one bad character costs that character rather than the
// rest of the file: bytes that are not UTF-8 become U+FFFD; control
// characters other than tab, line feed and carriage return, U+FFFE and U+FFFF
// are dropped, and so are character references to them ("&#4;", "&#x0;"),
// which some applications write for control characters in tags.
class XmlTextCleaner {
public:
    // Appends the cleaned form of the bytes to out. A character or reference
    // cut by the end of the bytes is kept back for the next call.
    void clean(const char* bytes, std::size_t length, std::string& out);
    // Appends what was kept back, at the end of the text.
    void finish(std::string& out);

private:
    void cleanComplete(const char* bytes, std::size_t length, std::string& out);
    std::string _pending;
};

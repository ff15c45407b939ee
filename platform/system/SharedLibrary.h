#pragma once

#include <QByteArray>
#include <QByteArrayList>

// A system library opened at run time with dlopen, for the heavy media
// libraries: linking them would make every start of the program load and
// relocate some two hundred libraries that only playing or reading a movie
// needs. Opened once and never closed.
class SharedLibrary {
public:
    // Opens the first of names (sonames, tried in order) that loads.
    explicit SharedLibrary(const QByteArrayList& names);

    bool isLoaded() const { return _handle != nullptr; }
    // The address of the symbol in the library or the libraries it needs;
    // null when it is not loaded or has no such symbol.
    void* symbol(const char* name) const;

private:
    void* _handle = nullptr;
};

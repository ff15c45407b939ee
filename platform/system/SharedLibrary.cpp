#include "platform/system/SharedLibrary.h"

#include <dlfcn.h>

SharedLibrary::SharedLibrary(const QByteArrayList& names) {
    for (const QByteArray& name : names) {
        // Local, so that the library's symbols stay out of the way of later loads.
        _handle = ::dlopen(name.constData(), RTLD_NOW | RTLD_LOCAL);
        if (_handle != nullptr) {
            return;
        }
    }
}

void* SharedLibrary::symbol(const char* name) const {
    return _handle == nullptr ? nullptr : ::dlsym(_handle, name);
}

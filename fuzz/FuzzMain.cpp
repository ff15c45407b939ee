// One libFuzzer program per reader: QVMB_FUZZ_TARGET names the function of
// FuzzTargets that each input is handed to.

#include "FuzzTargets.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>

namespace {
FuzzTargets::Function target = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Pictures and icons need an application object; nothing is shown. The
    // thumbnail cache of the user running the fuzzer is kept out of reach.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CACHE_HOME", "/nonexistent");
    new QGuiApplication(*argc, *argv); // lives as long as the process
    target = FuzzTargets::byName(QVMB_FUZZ_TARGET);
    if (target == nullptr) {
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    target(QByteArrayView(data, static_cast<qsizetype>(size)));
    return 0;
}

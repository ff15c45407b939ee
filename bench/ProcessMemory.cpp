#include "bench/ProcessMemory.h"

#include <fstream>
#include <malloc.h>

namespace ProcessMemory {

double statusMegabytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stod(line.substr(field.size() + 1)) / 1024.0;
        }
    }
    return 0;
}

void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void trimHeap() {
    malloc_trim(0);
}

} // namespace ProcessMemory

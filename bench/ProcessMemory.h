#pragma once

#include <string>

// The process's own memory figures, from /proc/self/status.
namespace ProcessMemory {

// A field of /proc/self/status in MiB ("VmRSS", "VmHWM").
double statusMegabytes(const std::string& field);
// The resident size now, in MiB.
inline double residentMegabytes() {
    return statusMegabytes("VmRSS");
}
// The highest resident size since the last resetPeak(), in MiB.
inline double peakMegabytes() {
    return statusMegabytes("VmHWM");
}
// Starts the peak over from the current resident size.
void resetPeak();
// Hands freed heap pages back to the system, so that what stays resident is what is held.
void trimHeap();

} // namespace ProcessMemory

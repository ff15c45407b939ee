#pragma once

// Marks the classes, functions and constants that host applications may use.
// Everything else in the shared library is hidden.
#define QVMB_EXPORT __attribute__((visibility("default")))

#pragma once

#include <type_traits>

// Reading a file through a memory map that someone else may have spoilt or
// cut short: a page past the file's end raises SIGBUS, and a spoilt page
// number can point outside the map (SIGSEGV). A guarded read that faults so
// on its own thread ends early instead of the process; a fault anywhere else
// goes on to the handler there was before.
//
// Whatever runs inside must leave nothing to unwind: no objects with
// destructors made inside it, no locks taken (a library's plain C calls and
// copies into buffers made beforehand).
namespace MappedReadGuard {

// Runs read(context); answers false when it faulted on the map.
bool run(void (*read)(void* context), void* context);

// The same for a callable.
template <typename Read> bool run(Read&& read) {
    using Callable = std::remove_reference_t<Read>;
    return run([](void* context) { (*static_cast<Callable*>(context))(); },
               const_cast<void*>(static_cast<const void*>(&read)));
}

} // namespace MappedReadGuard

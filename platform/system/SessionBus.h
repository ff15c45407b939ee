#pragma once

// The user's session bus, where running copies, the desktop portal and
// callers of the picker meet.
namespace SessionBus {

// Whether a session bus address is known (DBUS_SESSION_BUS_ADDRESS, or the
// bus socket in XDG_RUNTIME_DIR). Asking Qt for the session bus with no
// address may start a stray bus daemon: connect only when this holds.
bool addressKnown();

} // namespace SessionBus

#pragma once
// The window thread's message handling, shared by the message loop and by the long
// work that runs on the same thread and lets pending messages through between steps.

#include <windows.h>

namespace MessagePump {

// Dispatches one message, giving the top-level window's dialog navigation (Tab
// between controls) the first look at it.
void Dispatch(MSG& msg) noexcept;

// Handles every message that is waiting, then returns; it never waits for one to
// arrive. Returns false once a quit request is pending: the request is put back, so
// that every later call and the message loop see it too, and the caller should stop
// what it is doing and return.
bool ProcessPendingMessages() noexcept;

// The message loop: runs until a quit request and returns its exit code.
int Run() noexcept;

}  // namespace MessagePump

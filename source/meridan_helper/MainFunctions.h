// The helper's start-up module: the close request, the start-up routine
// that shows the status window, and the life of the process around it.
#pragma once
#include <cstdint>

// The close request: 0 at start-up, set to 1 by CloseProg, read by the host
// watch at every tick; a value above 0 closes the status window.
extern int16_t closeRequested;

// The start-up routine: shows the status window modally and returns once it
// has been unloaded. While it is open, its loop delivers every incoming
// automation call, timer callback and window message of the thread.
void Main();

// The whole life of the process for its command line: /RegServer and
// /UnregServer register or remove the server and end; otherwise the class
// objects are offered, Main runs, and the process then serves its clients
// until none holds an object. Returns the exit code.
int Helper_Run();

// A helper started for a client's object request (-Embedding) does not end
// before that request has been served, or this long after its start without one.
constexpr unsigned kActivationWaitMs = 5000;

// How long a helper whose last object was released waits for a new request
// before it withdraws its class objects.
constexpr unsigned kLateClientWaitMs = 500;

// How long a helper that has withdrawn its class objects still serves a
// client that was handed them just before, ahead of ending.
constexpr unsigned kWithdrawnDrainMs = 1000;

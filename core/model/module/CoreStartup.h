#pragma once
// The core's start-up and shut-down, each in one fixed order: every service of
// the library is started and stopped from here and nowhere else.

#include <cstdint>

// Starts the library's services; 1 on success.
int CoreStartup();
// Stops them again, in the order that lets each service still use those
// started before it; afterwards CoreStartup may run again.
void CoreShutdown();

// The number of the private clipboard format of the design window's copy and
// paste ("DoxControlClipboardForamt"); 0 before start-up.
uint32_t DoxClipboardFormat();

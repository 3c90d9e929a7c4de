#pragma once
// Pauses of the links, on the one monotonic clock.

#include <chrono>
#include <cstdint>
#include <functional>

// The links' clock; tests hand a link a fake one.
using LinkClock = std::function<std::chrono::steady_clock::time_point()>;

// Spins (never sleeps) until `micros` microseconds have passed, so that pauses of a few
// microseconds are possible; returns at once for micros <= 0.
void DelayMicroseconds(int64_t micros);
// Waits until `deadline`: sleeps until shortly before it, then spins, so that a schedule
// computed from a start time keeps its pace without drifting.
void WaitUntil(std::chrono::steady_clock::time_point deadline);

// How long a sender waits for a busy module before one byte: the timeout for downloads, a
// tenth of it for immediate commands. Measured on the clock, not in loop turns, so that a
// slow status read cannot stretch it. A negative setting counts as 0.
std::chrono::microseconds BusyWait(int timeoutSeconds, bool download);

#pragma once
// Pauses of the links, on the one monotonic clock.

#include <chrono>
#include <cstdint>

// Spins (never sleeps) until `micros` microseconds have passed, so that pauses of a few
// microseconds are possible; returns at once for micros <= 0.
void DelayMicroseconds(int64_t micros);
// Waits until `deadline`: sleeps until shortly before it, then spins, so that a schedule
// computed from a start time keeps its pace without drifting.
void WaitUntil(std::chrono::steady_clock::time_point deadline);

// How many interval pauses a sender may wait for a busy module: timeout x 1 000 000 /
// interval for downloads, a tenth of that for immediate commands; with interval 0 the
// interval counts as 1. Negative settings count as 0.
int64_t WaitLimit(int timeoutSeconds, int intervalMicros, bool download);

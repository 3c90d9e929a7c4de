#include "link/LinkTiming.h"

#include <algorithm>
#include <thread>

void DelayMicroseconds(int64_t micros) {
    if (micros <= 0) return;
    const auto end = std::chrono::steady_clock::now() + std::chrono::microseconds(micros);
    while (std::chrono::steady_clock::now() < end) {
    }
}

void WaitUntil(std::chrono::steady_clock::time_point deadline) {
    // The scheduler may wake a sleeper late by a fraction of a millisecond; the rest is spun.
    constexpr auto kSpin = std::chrono::microseconds(500);
    if (deadline - std::chrono::steady_clock::now() > kSpin)
        std::this_thread::sleep_until(deadline - kSpin);
    while (std::chrono::steady_clock::now() < deadline) {
    }
}

std::chrono::microseconds BusyWait(int timeoutSeconds, bool download) {
    const int64_t perSecond = download ? 1000000 : 100000;
    return std::chrono::microseconds(int64_t{std::max(timeoutSeconds, 0)} * perSecond);
}

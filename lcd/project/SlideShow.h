#pragma once
// The test display ("测试画面"): the open pages shown on the module one after another, in
// document order, each by the show-page command with its start page. The dialog's timer
// calls Next every period; the show ends with the last page.

#include <cstddef>

#include "base/ByteArray.h"

class Workspace;

class SlideShow {
public:
    // The period picker "1" .. "10", in half seconds; the fourth entry is chosen first.
    static constexpr int kPeriods = 10;
    static constexpr int kFirstPeriod = 4;
    static int IntervalMs(int period) { return period * 500; }

    explicit SlideShow(const Workspace& workspace) : m_ws(workspace) {}

    // The first page's command: its index, or -1 (not running) without pages.
    int Start(CByteArray& command);
    // The next page's command and its index; after the last page the show stops (-1).
    int Next(CByteArray& command);
    void Stop() { m_bRunning = false; }
    bool Running() const { return m_bRunning; }

private:
    int Show(size_t index, CByteArray& command);

    const Workspace& m_ws;
    size_t m_next = 0;
    bool m_bRunning = false;
};

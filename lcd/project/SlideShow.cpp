#include "project/SlideShow.h"

#include "link/CommandBuilder.h"
#include "project/Workspace.h"

int SlideShow::Start(CByteArray& command) {
    m_bRunning = true;
    return Show(0, command);
}

int SlideShow::Next(CByteArray& command) {
    return m_bRunning ? Show(m_next, command) : -1;
}

int SlideShow::Show(size_t index, CByteArray& command) {
    const auto& pages = m_ws.Pages();
    if (index >= pages.size()) {
        m_bRunning = false;
        return -1;
    }
    const CLedDoc& page = *pages[index];
    CommandBuilder::ShowPage(command, m_ws.Settings().instructionMode,
                             static_cast<uint8_t>(page.m_nStartPage & 0xFF));
    m_next = index + 1;
    // The last page stays on the module; nothing follows it.
    if (m_next == pages.size()) m_bRunning = false;
    return static_cast<int>(index);
}

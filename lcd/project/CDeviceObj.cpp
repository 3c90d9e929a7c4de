#include "project/CDeviceObj.h"

#include "base/Archive.h"

CDeviceObj::CDeviceObj(const ScreenParams& screen, int32_t bitmapSupport)
    : m_strName(screen.device),
      m_dPhysWidth(screen.physWidth),
      m_dPhysHeight(screen.physHeight),
      m_nLogWidth(screen.logWidth),
      m_nLogHeight(screen.logHeight),
      m_nColours(screen.colours),
      m_nBitmapSupport(bitmapSupport) {}

void CDeviceObj::Serialize(Archive& ar) {
    ar.Text(m_strName);
    ar.Int32(m_nLogWidth);
    ar.Int32(m_nLogHeight);
    ar.Double(m_dPhysWidth);
    ar.Double(m_dPhysHeight);
    ar.Int32(m_nBitmapSupport);
    ar.Int32(m_nColours);
}

ScreenParams CDeviceObj::GetScreenParams() const {
    ScreenParams screen;
    screen.device = m_strName;
    screen.colours = m_nColours;
    screen.physWidth = m_dPhysWidth;
    screen.physHeight = m_dPhysHeight;
    screen.logWidth = m_nLogWidth;
    screen.logHeight = m_nLogHeight;
    return screen;
}

#pragma once
// One display module type of the device catalogue.
//
// Record in "device.dll" (archive format of base/Archive.h, schema 1, class "CDeviceObj"):
//   #   field              encoding
//   1   m_strName          string (GBK)
//   2   m_nLogWidth        int32, pixels
//   3   m_nLogHeight       int32, pixels
//   4   m_dPhysWidth       double, mm
//   5   m_dPhysHeight      double, mm
//   6   m_nBitmapSupport   int32: 1 the module shows bitmaps, 0 not
//   7   m_nColours         int32: 8, 16, 64 or 256; 0 when none was chosen

#include <cstdint>
#include <string>

#include "base/CObject.h"
#include "project/ScreenParams.h"

class CDeviceObj : public CObject {
public:
    CDeviceObj() = default;
    CDeviceObj(const ScreenParams& screen, int32_t bitmapSupport);

    const char* ClassName() const override { return "CDeviceObj"; }
    void Serialize(Archive& ar) override;

    // The screen parameters a project or page made for this device takes.
    ScreenParams GetScreenParams() const;

    std::string m_strName;  // UTF-8; unique in the catalogue, compared exactly
    double m_dPhysWidth = 0;
    double m_dPhysHeight = 0;
    int32_t m_nLogWidth = 0;
    int32_t m_nLogHeight = 0;
    int32_t m_nColours = 0;
    int32_t m_nBitmapSupport = 0;
};

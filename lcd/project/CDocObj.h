#pragma once
// One entry of a project: a page's name (its file in the project directory), its first
// flash page and the flash pages it needed when the entry was last updated.
//
// Record (after the object's class tag, archive format of base/Archive.h):
//   name        string (GBK), the page title, normally ending in ".pg"
//   start page  int32
//   page count  int32

#include <cstdint>
#include <string>

#include "base/CObject.h"

class CDocObj : public CObject {
public:
    CDocObj() = default;
    CDocObj(std::string name, int32_t startPage, int32_t pageCount)
        : m_strName(std::move(name)), m_nStartPage(startPage), m_nPageCount(pageCount) {}

    const char* ClassName() const override { return "CDocObj"; }
    void Serialize(Archive& ar) override;

    std::string m_strName;  // UTF-8
    int32_t m_nStartPage = 0;
    int32_t m_nPageCount = 1;
};

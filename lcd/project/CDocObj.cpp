#include "project/CDocObj.h"

#include "base/Archive.h"

void CDocObj::Serialize(Archive& ar) {
    ar.Text(m_strName);
    ar.Int32(m_nStartPage);
    ar.Int32(m_nPageCount);
}

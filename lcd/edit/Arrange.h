#pragma once
// Lining up the selected items of a page by their screen boxes (CItemBase::Bounds): to a
// common edge or centre line, to the first selected item's width or height, or spread so
// that the gaps between them are equal. Callers take the undo checkpoint.

#include <vector>

#include "base/Geometry.h"

class CItemBase;
class CLedDoc;

enum class Arrangement {
    AlignLeft,
    AlignRight,
    AlignTop,
    AlignBottom,
    AlignCentreH,  // one vertical centre line
    AlignCentreV,  // one horizontal centre line
    SameWidth,
    SameHeight,
    DistributeH,
    DistributeV,
};

namespace Arrange {

// The items whose selection mark is set, in list order.
std::vector<CItemBase*> Selected(CLedDoc& page);
// How many selected items `how` needs: two, three to distribute.
int Needs(Arrangement how);
// Applies `how` to `items` (the first is the reference of the same-size operations); false
// when there are too few items or nothing would move. Only box-shaped items (rectangles,
// ellipses, texts, bitmaps, widgets) change size; the others keep theirs.
bool Apply(const std::vector<CItemBase*>& items, Arrangement how);
// The box of all `items`.
Rect Union(const std::vector<CItemBase*>& items);

}  // namespace Arrange

#pragma once
// The item that shows a local bitmap on a page. It gives the size at which the bitmap is
// downloaded (and so the flash pages it takes) and the page format it is converted to.

#include "base/Geometry.h"
#include "images/PageFormat.h"

class BmpOwner {
public:
    virtual ~BmpOwner() = default;
    // The rectangle the picture is stretched into.
    virtual Rect BmpRect() const = 0;
    // The page the item lies on.
    virtual PageFormat BmpPage() const = 0;
};

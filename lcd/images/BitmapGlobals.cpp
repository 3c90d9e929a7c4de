#include "images/BitmapGlobals.h"

#include "images/CBmpObj.h"

std::vector<std::unique_ptr<CBmpObj>> g_arrLocalBitmaps;

void BitmapGlobals::Reset() {
    g_arrLocalBitmaps.clear();
}

#include "items/ItemClasses.h"

#include "base/ClassRegistry.h"
#include "images/ImageClasses.h"
#include "items/CItemAnimationWidget.h"
#include "items/CItemArc.h"
#include "items/CItemBmp.h"
#include "items/CItemEllipse.h"
#include "items/CItemFill.h"
#include "items/CItemFont.h"
#include "items/CItemLine.h"
#include "items/CItemMultiLine.h"
#include "items/CItemNumberWidget.h"
#include "items/CItemPie.h"
#include "items/CItemPoly.h"
#include "items/CItemRectangle.h"
#include "items/CItemRound.h"

void ItemClasses::Register(ClassRegistry& registry) {
    registry.Register<CItemLine>();
    registry.Register<CItemRectangle>();
    registry.Register<CItemRound>();
    registry.Register<CItemEllipse>();
    registry.Register<CItemArc>();
    registry.Register<CItemPie>();
    registry.Register<CItemPoly>();
    registry.Register<CItemMultiLine>();
    registry.Register<CItemFill>();
    registry.Register<CItemFont>();
    registry.Register<CItemBmp>();
    registry.Register<CItemNumberWidget>();
    registry.Register<CItemAnimationWidget>();
    // Bitmap items nest their local bitmap in their record.
    ImageClasses::Register(registry);
}

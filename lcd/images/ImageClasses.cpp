#include "images/ImageClasses.h"

#include "base/ClassRegistry.h"
#include "images/CBmpObj.h"

void ImageClasses::Register(ClassRegistry& registry) {
    registry.Register<CBmpObj>(1);
}

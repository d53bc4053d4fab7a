#pragma once

#include "render/BarPattern.h"
#include "render/GdiTypes.h"
#include "render/PageOperations.h"

#include <QString>

class QImage;

namespace vorlix::render {

// What a page is drawn on, shaped after the GDI calls the surface makes: one member per page
// operation (PageOperations.h). Drawing uses the selected pen, brush and font the way GDI does:
// outlines with the pen, interiors with the brush, text anchored at the top left of its cell and
// turned by the font's escapement, transparent background. The recorder, the text dump and the
// painter are its implementations; a recorded page replays onto any of them.
class Device {
public:
    virtual ~Device() = default;

#define VORLIX_DEVICE_OPERATION(Name, member, parameters, arguments)                               \
    virtual void member parameters = 0;
    VORLIX_ENUMERATE_PAGE_OPERATIONS(VORLIX_DEVICE_OPERATION)
#undef VORLIX_DEVICE_OPERATION
};

}

// Declares every page operation in a Device implementation, to be defined in its source file.
#define VORLIX_DECLARE_DEVICE_OPERATION(Name, member, parameters, arguments)                       \
    void member parameters override;

#include "render/GdiTypes.h"

#include <algorithm>
#include <array>

namespace vorlix::render {

namespace {

    constexpr std::array<ColorRef, 16> palette = {
        rgb(0, 0, 0),
        rgb(0, 0, 128),
        rgb(0, 128, 0),
        rgb(0, 128, 128),
        rgb(128, 0, 0),
        rgb(128, 0, 128),
        rgb(128, 128, 0),
        rgb(192, 192, 192),
        rgb(128, 128, 128),
        rgb(0, 0, 255),
        rgb(0, 255, 0),
        rgb(0, 255, 255),
        rgb(255, 0, 0),
        rgb(255, 0, 255),
        rgb(255, 255, 0),
        rgb(255, 255, 255),
    };

}

DeviceRect DeviceRect::normalized() const
{
    return { std::min(left, right), std::min(top, bottom), std::max(left, right),
        std::max(top, bottom) };
}

ColorRef qbColor(int n)
{
    return palette.at(static_cast<std::size_t>(n & 15));
}

ColorRef paletteOrRgb(std::int32_t color)
{
    return color >= 0 && color <= 15 ? qbColor(color) : color;
}

}

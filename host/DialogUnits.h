#pragma once
// Dialog-template coordinates: dialog units of the 9-point "SimSun" dialog
// font, 1.5 pixels each way at 96 dpi.

#include <QRect>

namespace orvane {

inline QRect DialogUnitRect(int x, int y, int width, int height)
{
    const auto pixels = [](int units) { return units * 3 / 2; };
    return QRect(pixels(x), pixels(y), pixels(width), pixels(height));
}

}  // namespace orvane

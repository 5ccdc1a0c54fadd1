#include "core/AreaWidth.h"

#include <cmath>

namespace tw {

bool AreaWidthInRange(double width)
{
    return std::isfinite(width) && width >= kMinAreaWidth && width <= kMaxAreaWidth;
}

std::string AreaWidthRangeText()
{
    return "from " + std::to_string(static_cast<int>(kMinAreaWidth)) + " to " +
           std::to_string(static_cast<int>(kMaxAreaWidth));
}

} // namespace tw

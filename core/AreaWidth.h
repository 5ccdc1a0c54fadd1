// The side of an area of interest, in degrees: the square a request is cut
// to. The map picker, the batch properties, the batch text file and the
// transfer all take the same widths, from a square of one degree to the
// whole world; nothing beyond is stored or sent.
#pragma once

#include <string>

namespace tw {

inline constexpr double kMinAreaWidth = 1.0;
inline constexpr double kMaxAreaWidth = 360.0;

// A finite width from kMinAreaWidth to kMaxAreaWidth, both included.
bool AreaWidthInRange(double width);

// "from 1 to 360": the range as the messages name it.
std::string AreaWidthRangeText();

} // namespace tw

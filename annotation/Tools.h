#pragma once

// The canvas's tool ids, which are also the `type` of the shapes they make. Any other id, the
// toolbar's mouse item among them, draws nothing.
namespace tool {
inline constexpr int kNone = -1;
inline constexpr int kPen = 0;
inline constexpr int kLine = 1;
inline constexpr int kTriangle = 2;
inline constexpr int kRectangle = 3;
inline constexpr int kEllipse = 4;
inline constexpr int kText = 5;
inline constexpr int kArrow = 6;
inline constexpr int kEraser = 7;
} // namespace tool

#pragma once
// Positions and sizes are kept in twips, as the panel was laid out; this is
// the one place that turns them into pixels (15 twips a pixel at 96 dpi).

#include <QPoint>
#include <QRect>
#include <QSize>

namespace rt {

inline constexpr int kTwipsPerPixel = 15;

// Nearest pixel; halves go away from zero so that a layout drawn in twips
// keeps its symmetry on both sides of the origin.
constexpr int twipsToPixels(int twips)
{
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

constexpr int pixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

inline QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

inline QSize twipsSize(int width, int height) { return {twipsToPixels(width), twipsToPixels(height)}; }
inline QPoint twipsPoint(int left, int top) { return {twipsToPixels(left), twipsToPixels(top)}; }

} // namespace rt

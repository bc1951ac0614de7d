#pragma once
// The instrument's colours, shared by the picture generator and the front
// panel window, so the painted panel and its pictures match: a dark grey
// front, a cyan-green vacuum-fluorescent display behind smoked glass.

#include <QColor>

namespace display {

inline const QColor kPanelFront(50, 54, 59);    // the front around the keys
inline const QColor kDisplayFace(8, 14, 16);    // the glass of the display window
inline const QColor kDisplayLit(96, 255, 214);  // every lit segment, point and lamp
inline const QColor kDisplayGhost(17, 35, 34);  // unlit segments, faintly there

} // namespace display

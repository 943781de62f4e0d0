#pragma once
// The colours of the drawn charts, one place for all of them, so that a
// curve's kind keeps its colour from the plot to the terrain profile.
#include <QColor>

inline const QColor kRxEbNoColour(0x20, 0x9f, 0xdf);   // the received level; the line of sight
inline const QColor kMarginColour(0x99, 0xca, 0x53);   // the fade margin; 0.6 F1
inline const QColor kMinEbNoColour(0xf6, 0xa6, 0x25);  // the requirement; F1
inline const QColor kCrossingColour(0x6d, 0x5f, 0xd5); // a crossing; the critical point
inline const QColor kGridColour(0xdd, 0xdd, 0xdd);
inline const QColor kTerrainColour(0xb8, 0x95, 0x5e); // the ground, filled
inline const QColor kTerrainEdgeColour(0x7a, 0x5c, 0x32);
inline const QColor kEarthColour(0x5f, 0x86, 0xa8);    // mean sea level on the curved earth
inline const QColor kObstacleColour(0xd6, 0x3c, 0x3c); // the diffraction's edge

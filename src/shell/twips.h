#pragma once
// Window positions and sizes are designed in twips (1/1440 inch) and shown in pixels at the
// screen's logical DPI.

#include <QRect>
#include <QSize>
#include <cmath>

namespace korvane::shell {

inline constexpr double kTwipsPerInch = 1440.0;

// The screen as the window's layout sees it: its size in twips and its logical DPI.
struct ScreenMetrics {
  int widthTwips = 0;
  int heightTwips = 0;
  double dpiX = 96.0;
  double dpiY = 96.0;

  int toPixelsX(int twips) const { return static_cast<int>(std::lround(twips * dpiX / kTwipsPerInch)); }
  int toPixelsY(int twips) const { return static_cast<int>(std::lround(twips * dpiY / kTwipsPerInch)); }
  QRect toPixels(int left, int top, int width, int height) const {
    return QRect(toPixelsX(left), toPixelsY(top), toPixelsX(width), toPixelsY(height));
  }
};

// The primary screen's metrics.
ScreenMetrics primaryScreenMetrics();

}  // namespace korvane::shell

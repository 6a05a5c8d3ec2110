#pragma once
// The tool tips of the grids, views and dialogs, with one set of timings: a tip
// shows 50 ms after the pointer comes to rest on its control, stays 30 s, and a
// long text wraps at the tip's width (200 pixels in grids and dialogs, 250 over
// the drawing's tool buttons).
#include <QPoint>
#include <QString>

class QWidget;

namespace tips {

inline constexpr int kInitialDelayMs = 50;
inline constexpr int kAutoPopMs = 30000;
inline constexpr int kWidth = 200;
inline constexpr int kWideWidth = 250;

// The text as the tip shows it: wrapped at `width` pixels when it is wider.
QString Wrapped(const QString& text, int width = kWidth);
// Shows the text at a global point for kAutoPopMs.
void Show(QWidget* owner, const QPoint& global, const QString& text, int width = kWidth);
// The tips that root and the children it has now carry (setToolTip) follow the
// timings above instead of the desktop's.
void Install(QWidget* root, int width = kWidth);

}  // namespace tips

#pragma once
// The one interface scale that grids, trees, button bars and the tool bar follow.
// The main frame changes it (SetUiScale from its font-size command); every Qt part
// of the grid engine reads it when it lays out or paints.
#include <QColor>
#include <QFont>

// "宋体" at g_nFontPt points; the CJK face with half-width Latin glyphs stands in.
extern QFont g_fontUI;
extern int g_nFontPt;        // default 9
extern int g_nCharHeight;    // absolute pixel height of g_fontUI's characters
extern int g_nRowHeight;     // max(22, int(g_nCharHeight * 1.5 + 6))
extern QColor g_clrBtnFace;  // button face taken once at start-up

// Font families tried in order for the interface and the grids.
QStringList UiFontFamilies();

// A font of the interface faces with the given character height in pixels.
QFont MakeUiFont(int pixelHeight, int weight = 400);

// Rebuilds g_fontUI, g_nCharHeight and g_nRowHeight for a point size at the screen's
// logical resolution, and takes g_clrBtnFace from the application palette the first
// time. Needs a QGuiApplication.
void SetUiScale(int pointSize);

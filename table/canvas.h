#pragma once
// The drawing surface the grid paints on. One paint routine serves the screen
// widget, the printer, print preview and test images: each of those implements
// this small interface (the Qt side over QPainter). Coordinates are table pixels;
// a printer canvas applies the page transform of the print plan itself.
//
// Keep this interface small and stable: add members, never rename them.
#include <cstdint>
#include <string_view>

namespace table {

struct Point {
  int x = 0, y = 0;
};

// Left/top inclusive, right/bottom exclusive, as the grid has always measured cells.
struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Color {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Color&, const Color&) = default;
};
constexpr Color Rgb(int r, int g, int b) {
  return Color{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
}

namespace colors {
constexpr Color kBlack = Rgb(0, 0, 0);
constexpr Color kWhite = Rgb(255, 255, 255);
constexpr Color kRed = Rgb(255, 0, 0);
constexpr Color kSelection = Rgb(49, 106, 198);   // the selection blue of the grid
constexpr Color kFace = Rgb(240, 240, 240);       // stand-in for the 3D-face colour
constexpr Color kHighlight = Rgb(255, 255, 255);  // raised edge, light side
constexpr Color kDarkShadow = Rgb(105, 105, 105); // raised edge, dark side
}  // namespace colors

// Which face to draw with: the cell font, the bold title font or the desktop's GUI font.
enum class FontRole { Cell, Title, Gui };

struct Font {
  FontRole role = FontRole::Cell;
  int pixelHeight = 12;  // character height in table pixels
  int weight = 400;      // 400 normal, 900 heavy (title)
};

enum class HAlign { Left, Center, Right };

struct TextStyle {
  HAlign align = HAlign::Center;
  bool vcenter = true;      // single line, vertically centred
  bool wrap = false;        // word-wrap across the rectangle (the empty-table hint)
  Color color = colors::kBlack;
  bool opaque = false;      // fill the text's own extent with `background` first
  Color background = colors::kWhite;
};

class ICanvas {
 public:
  virtual ~ICanvas() = default;
  virtual void FillRect(const Rect& r, Color c) = 0;
  // A straight line from (x1,y1) to (x2,y2) with a pen of `width` pixels.
  virtual void Line(int x1, int y1, int x2, int y2, Color c, int width) = 0;
  virtual void FillPolygon(const Point* pts, int count, Color c) = 0;
  virtual void SetFont(const Font& f) = 0;
  // Text in UTF-8, clipped to the rectangle.
  virtual void DrawText(const Rect& r, std::string_view utf8, const TextStyle& style) = 0;
  virtual void SetClip(const Rect& r) = 0;
  virtual void ResetClip() = 0;
};

// Draws nothing; for measuring the cost of the paint walk itself.
class NullCanvas final : public ICanvas {
 public:
  void FillRect(const Rect&, Color) override { ++calls; }
  void Line(int, int, int, int, Color, int) override { ++calls; }
  void FillPolygon(const Point*, int, Color) override { ++calls; }
  void SetFont(const Font&) override { ++calls; }
  void DrawText(const Rect&, std::string_view, const TextStyle&) override { ++calls; }
  void SetClip(const Rect&) override { ++calls; }
  void ResetClip() override { ++calls; }
  long calls = 0;
};

}  // namespace table

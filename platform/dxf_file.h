#pragma once
// An R12 (AC1009) ASCII DXF file built in memory: the file any CAD program reads in
// place of drawing into a running one. Group pairs with CR LF, numbers without the
// user's locale, the text style "STANDARD" (width 0.7, txt + gbcbig) and
// $DWGCODEPAGE ANSI_936, so the text is meant to be stored as GBK (WriteDxfFile).
// Coordinates are DXF X and Y as given; callers choose the units and any axis swap.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class CDxfFile {
 public:
  struct LineType {
    std::string name, description;
    std::vector<double> pattern;  // dash lengths, negative for gaps
  };
  struct Layer {
    std::string name;
    int colour = 7;  // colour index 1..255
    bool on = true;
    std::string lineType = "CONTINUOUS";
  };
  // Horizontal (72) and vertical (73) justification of a text; 0/0 is the left
  // baseline at the insertion point.
  enum HJustify { kLeft = 0, kCenter = 1, kRight = 2, kMiddle = 4 };
  enum VJustify { kBaseline = 0, kBottom = 1, kVMiddle = 2, kTop = 3 };

  // Numbers get `decimals` digits after the point.
  explicit CDxfFile(int decimals = 6) : decimals_(decimals < 0 ? 0 : decimals > 15 ? 15 : decimals) {}

  void Pair(int code, std::string_view value);
  void Pair(int code, int value);
  void Num(int code, double value);  // a non-finite value is written as 0
  // A point: X under `code`, Y under code + 10.
  void XY(int code, double x, double y) {
    Num(code, x);
    Num(code + 10, y);
  }

  // The sections in their order: header, tables (line types, layers with "0" first,
  // the text style), then the entities, then End.
  void Header(double minX, double minY, double maxX, double maxY, double textHeight);
  void Tables(const std::vector<LineType>& lineTypes, const std::vector<Layer>& layers, double textHeight);
  void BeginEntities();
  void End();

  void Line(std::string_view layer, double x1, double y1, double x2, double y2);
  // Constant width when width > 0.
  void Polyline(std::string_view layer, const double* xs, const double* ys, std::size_t n, bool closed,
                double width = 0);
  void Circle(std::string_view layer, double x, double y, double r);
  void Point(std::string_view layer, double x, double y);
  void Text(std::string_view layer, double x, double y, double height, std::string_view text,
            double widthFactor = 0.7, int hJustify = kLeft, int vJustify = kBaseline);

  // Hands the text on in pieces of about `chunk` bytes, each ending after a group
  // pair, instead of keeping the whole file (End hands on the rest): a table of
  // ten thousand rows makes some 30 MB.
  using Sink = std::function<void(std::string_view utf8)>;
  void SetSink(Sink sink, std::size_t chunk = std::size_t(1) << 20);

  // The file so far (since the last piece handed on), as UTF-8 text.
  const std::string& Str() const { return out_; }
  std::string Take() { return std::move(out_); }

 private:
  void Flush();
  // The layer group of an entity, its name cleaned as DxfLayerName does.
  void LayerPair(std::string_view layer);

  int decimals_;
  std::string out_;
  Sink sink_;
  std::size_t chunk_ = 0;
};

// A text value on one line: each line break (CR LF, CR or LF) and every other
// control character becomes a blank, which would otherwise end the value and
// leave the rest of the file out of step.
std::string DxfText(std::string_view text);
// A layer name a CAD program accepts: control characters and < > / \ " : ; ? * |
// = ` , become "_", blanks at either end go, and an empty name is layer "0".
std::string DxfLayerName(std::string_view name);

// Encodes the UTF-8 text of a DXF file as GBK and writes it atomically. On failure
// returns false with the reason (a character GBK cannot store, a file error) in
// *error; no partial file is left and an old file stays as it was.
bool WriteDxfFile(const std::string& utf8, const std::string& path, std::string* error);

// The same for a file built piece by piece: `build` fills the file it is given,
// whose pieces are encoded as they come.
bool WriteDxfFile(const std::function<void(CDxfFile&)>& build, int decimals, const std::string& path,
                  std::string* error);

}  // namespace platform

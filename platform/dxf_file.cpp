#include "platform/dxf_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/gbk.h"
#include "platform/number.h"
#include "platform/textfile.h"

namespace platform {

namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

// Characters a CAD program refuses in a table name.
bool IsForbiddenInName(unsigned char c) {
  return IsControl(c) || std::string_view("<>/\\\":;?*|=`,").find(char(c)) != std::string_view::npos;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

}  // namespace

std::string DxfText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (!IsControl(c)) {
      out += char(c);
      continue;
    }
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;  // one break, one blank
    out += ' ';
  }
  return out;
}

std::string DxfLayerName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (char ch : name) out += IsForbiddenInName(static_cast<unsigned char>(ch)) ? '_' : ch;
  const std::size_t first = out.find_first_not_of(' ');
  if (first == std::string::npos) return "0";
  out.erase(0, first);
  out.erase(out.find_last_not_of(' ') + 1);
  return out;
}

void CDxfFile::LayerPair(std::string_view layer) {
  bool clean = !layer.empty() && layer.front() != ' ' && layer.back() != ' ';
  for (std::size_t i = 0; clean && i < layer.size(); ++i)
    clean = !IsForbiddenInName(static_cast<unsigned char>(layer[i]));
  if (clean) Pair(8, layer);
  else Pair(8, DxfLayerName(layer));
}

void CDxfFile::Pair(int code, std::string_view value) {
  char buf[16];
  char* end = std::to_chars(buf, buf + 12, code).ptr;
  *end++ = '\r';
  *end++ = '\n';
  out_.append(buf, end);
  out_.append(value);
  out_.append("\r\n", 2);
  if (sink_ && out_.size() >= chunk_) Flush();
}

void CDxfFile::SetSink(Sink sink, std::size_t chunk) {
  sink_ = std::move(sink);
  chunk_ = chunk;
  out_.reserve(chunk + 4096);
}

void CDxfFile::Flush() {
  sink_(out_);
  out_.clear();
}

void CDxfFile::Pair(int code, int value) {
  char buf[16];
  Pair(code, std::string_view(buf, std::to_chars(buf, buf + sizeof buf, value).ptr));
}

void CDxfFile::Num(int code, double value) {
  if (!std::isfinite(value)) value = 0;
  // As FormatFixed, without a string per number: a drawing has millions of them.
  char buf[400];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals_);
  Pair(code, std::string_view(buf, r.ptr));
}

void CDxfFile::Header(double minX, double minY, double maxX, double maxY, double textHeight) {
  Pair(0, "SECTION");
  Pair(2, "HEADER");
  Pair(9, "$ACADVER");
  Pair(1, "AC1009");
  Pair(9, "$DWGCODEPAGE");
  Pair(3, "ANSI_936");
  Pair(9, "$INSBASE");
  Num(10, 0);
  Num(20, 0);
  Num(30, 0);
  Pair(9, "$EXTMIN");
  XY(10, minX, minY);
  Num(30, 0);
  Pair(9, "$EXTMAX");
  XY(10, maxX, maxY);
  Num(30, 0);
  Pair(9, "$TEXTSIZE");
  Num(40, textHeight);
  Pair(9, "$LTSCALE");
  Num(40, 1);
  Pair(0, "ENDSEC");
}

void CDxfFile::Tables(const std::vector<LineType>& lineTypes, const std::vector<Layer>& layers, double textHeight) {
  Pair(0, "SECTION");
  Pair(2, "TABLES");
  Pair(0, "TABLE");
  Pair(2, "LTYPE");
  Pair(70, static_cast<int>(lineTypes.size()));
  for (const LineType& t : lineTypes) {
    Pair(0, "LTYPE");
    Pair(2, t.name);
    Pair(70, 0);
    Pair(3, t.description);
    Pair(72, 65);
    Pair(73, static_cast<int>(t.pattern.size()));
    double total = 0;
    for (double p : t.pattern) total += std::fabs(p);
    Num(40, total);
    for (double p : t.pattern) Num(49, p);
  }
  Pair(0, "ENDTAB");

  // Layer "0" always, once: a drawing layer of that name gives it its look. Names
  // the CAD program would take for one (case, cleaned characters) are one layer.
  std::vector<Layer> table{Layer{"0", 7, true, "CONTINUOUS"}};
  bool zeroGiven = false;
  for (const Layer& l : layers) {
    Layer t = l;
    t.name = DxfLayerName(l.name);
    auto same = std::find_if(table.begin(), table.end(), [&](const Layer& x) { return SameName(x.name, t.name); });
    if (same == table.end()) {
      table.push_back(std::move(t));
    } else if (same == table.begin() && !zeroGiven) {
      *same = std::move(t);
      zeroGiven = true;
    }
  }
  Pair(0, "TABLE");
  Pair(2, "LAYER");
  Pair(70, static_cast<int>(table.size()));
  for (const Layer& l : table) {
    Pair(0, "LAYER");
    Pair(2, l.name);
    Pair(70, 0);
    Pair(62, l.on ? l.colour : -l.colour);  // a negative colour switches the layer off
    Pair(6, l.lineType);
  }
  Pair(0, "ENDTAB");

  Pair(0, "TABLE");
  Pair(2, "STYLE");
  Pair(70, 1);
  Pair(0, "STYLE");
  Pair(2, "STANDARD");
  Pair(70, 0);
  Num(40, 0);
  Num(41, 0.7);
  Num(50, 0);
  Pair(71, 0);
  Num(42, textHeight);
  Pair(3, "txt");
  Pair(4, "gbcbig");
  Pair(0, "ENDTAB");
  Pair(0, "ENDSEC");
}

void CDxfFile::BeginEntities() {
  Pair(0, "SECTION");
  Pair(2, "ENTITIES");
}

void CDxfFile::End() {
  Pair(0, "ENDSEC");
  Pair(0, "EOF");
  if (sink_ && !out_.empty()) Flush();
}

void CDxfFile::Line(std::string_view layer, double x1, double y1, double x2, double y2) {
  Pair(0, "LINE");
  LayerPair(layer);
  XY(10, x1, y1);
  Num(30, 0);
  XY(11, x2, y2);
  Num(31, 0);
}

void CDxfFile::Polyline(std::string_view layer, const double* xs, const double* ys, std::size_t n, bool closed,
                        double width) {
  Pair(0, "POLYLINE");
  LayerPair(layer);
  Pair(66, 1);
  Num(10, 0);
  Num(20, 0);
  Num(30, 0);
  Pair(70, closed ? 1 : 0);
  if (width > 0) {
    Num(40, width);
    Num(41, width);
  }
  for (std::size_t i = 0; i < n; ++i) {
    Pair(0, "VERTEX");
    LayerPair(layer);
    XY(10, xs[i], ys[i]);
    Num(30, 0);
  }
  Pair(0, "SEQEND");
  LayerPair(layer);
}

void CDxfFile::Circle(std::string_view layer, double x, double y, double r) {
  Pair(0, "CIRCLE");
  LayerPair(layer);
  XY(10, x, y);
  Num(30, 0);
  Num(40, r);
}

void CDxfFile::Point(std::string_view layer, double x, double y) {
  Pair(0, "POINT");
  LayerPair(layer);
  XY(10, x, y);
  Num(30, 0);
}

void CDxfFile::Text(std::string_view layer, double x, double y, double height, std::string_view text,
                    double widthFactor, int hJustify, int vJustify) {
  if (text.empty()) return;
  Pair(0, "TEXT");
  LayerPair(layer);
  XY(10, x, y);
  Num(30, 0);
  Num(40, height);
  Pair(1, DxfText(text));
  Num(41, widthFactor);
  Pair(7, "STANDARD");
  if (hJustify != kLeft || vJustify != kBaseline) {
    // A justified text is placed by its alignment point; the insertion point is
    // given the same value, which the CAD program recomputes.
    if (hJustify != kLeft) Pair(72, hJustify);
    XY(11, x, y);
    Num(31, 0);
    if (vJustify != kBaseline) Pair(73, vJustify);
  }
}

namespace {

std::string NotGbk(std::string_view rest) { return "字符“" + FirstNonGbkChar(rest) + "”无法以GBK编码写入DXF文件"; }

}  // namespace

bool WriteDxfFile(const std::string& utf8, const std::string& path, std::string* error) {
  std::size_t bad = 0;
  auto gbk = Utf8ToGbk(utf8, &bad);
  if (!gbk) {
    if (error) *error = NotGbk(std::string_view(utf8).substr(bad));
    return false;
  }
  return WriteFileAtomic(path, *gbk, error);
}

bool WriteDxfFile(const std::function<void(CDxfFile&)>& build, int decimals, const std::string& path,
                  std::string* error) {
  CAtomicFile file;
  std::string why;
  file.Open(path);
  CDxfFile f(decimals);
  f.SetSink([&](std::string_view piece) {
    if (!why.empty() || file.Failed()) return;
    std::size_t bad = 0;
    if (auto gbk = Utf8ToGbk(piece, &bad)) file.Write(*gbk);
    else why = NotGbk(piece.substr(bad));
  });
  build(f);
  if (!why.empty()) {
    if (error) *error = why;
    return false;  // the temporary file goes with `file`
  }
  return file.Commit(error);
}

}  // namespace platform

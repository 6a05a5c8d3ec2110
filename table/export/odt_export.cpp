#include "table/export/odt_export.h"

#include <algorithm>
#include <any>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>

#include "platform/gbk.h"
#include "platform/number.h"
#include "platform/ports.h"
#include "platform/textfile.h"
#include "table/export/header_cells.h"
#include "table/export/xlsx_export.h"
#include "table/export/xml_scan.h"
#include "table/export/zip_parts.h"
#include "table/export/export_session.h"
#include "table/table_view.h"

namespace table {

namespace {

// The grid with its merges is the workbook's sheet model; here the merges become
// spans over covered cells, and the title row goes above the table.
OdtTable FromSheet(const XlsxSheet& s) {
  OdtTable t;
  t.title = s.rows.empty() || s.rows[0].empty() ? std::string() : s.rows[0][0].text;
  t.headerRows = s.headerRows;
  const std::size_t cols = static_cast<std::size_t>(std::max(s.cols, 1));
  t.rows.reserve(s.rows.size());
  for (std::size_t r = 1; r < s.rows.size(); ++r) {
    std::vector<OdtCell> row(cols);
    for (std::size_t c = 0; c < cols && c < s.rows[r].size(); ++c) {
      row[c].text = s.rows[r][c].text;
      row[c].left = s.rows[r][c].left;
    }
    t.rows.push_back(std::move(row));
  }
  for (const XlsxMerge& g : s.merges) {
    if (g.row0 == 0) continue;  // the title
    for (int r = g.row0; r <= g.row1; ++r)
      for (int c = g.col0; c <= g.col1; ++c)
        t.rows[static_cast<std::size_t>(r - 1)][static_cast<std::size_t>(c)].covered = true;
    OdtCell& o = t.rows[static_cast<std::size_t>(g.row0 - 1)][static_cast<std::size_t>(g.col0)];
    o.covered = false;
    o.colSpan = g.col1 - g.col0 + 1;
    o.rowSpan = g.row1 - g.row0 + 1;
  }
  t.widths = s.widths;
  return t;
}

std::vector<std::string> ItemLine(const CTableView& v, int first, int page, int pages) {
  std::vector<std::string> items;
  bool any = false;
  for (int k = first; k < first + 3; ++k) {
    items.push_back(ExportItemText(v, k, page, pages));
    any = any || !items.back().empty();
  }
  return any ? items : std::vector<std::string>();
}

constexpr double kPtMm = 25.4 / 72;
// A half-width character (GBK width 1) in em: 0.5 in a CJK face, up to 0.62 in a
// proportional face an office may put in its place.
constexpr double kCharEm = 0.62;
constexpr double kCellPadMm = 1.6;  // padding and rules of a cell
constexpr double kLeastFontPt = 4;

double LineMm(double pt) { return pt * kPtMm * 1.3; }
double RowMm(double pt) { return LineMm(pt) + 1.0; }

OdtPageSetup PageOf(const CTableView& v) {
  OdtPageSetup page;
  page.heightMm = v.m_nWordPaperHeight;
  page.widthMm = v.m_nWordPaperWidth;
  page.landscape = v.m_nWordOrientation == 1;
  page.marginTop = v.m_nMarginTop;
  page.marginBottom = v.m_nMarginBottom;
  page.marginLeft = v.m_nMarginLeft;
  page.marginRight = v.m_nMarginRight;
  return page;
}

double TextWidthMm(const OdtPageSetup& p) { return std::max(10, p.widthMm - p.marginLeft - p.marginRight); }
double TextHeightMm(const OdtPageSetup& p) { return std::max(10, p.heightMm - p.marginTop - p.marginBottom); }

WordPagePlan Plan(const CTableView& v, const XlsxSheet& s, bool split, bool half) {
  WordPagePlan p;
  const OdtPageSetup page = PageOf(v);
  const double width = TextWidthMm(page), height = TextHeightMm(page);
  // The widest text of each column (its GBK width; the sheet adds 2).
  std::vector<int> chars;
  int total = 0;
  for (int w : s.widths) total += chars.emplace_back(std::max(1, w - 2));
  const double pads = kCellPadMm * static_cast<double>(chars.size());
  double font = v.m_fWordFontSize > 0 ? v.m_fWordFontSize : 10.5;
  const double perPt = total * kCharEm * kPtMm;  // mm of all texts per point of font
  if (pads + perPt * font > width) {
    const double fits = std::floor((width - pads) / perPt * 2) / 2;
    font = std::max(kLeastFontPt, fits);
    p.shrunk = true;
  }
  p.fontPt = font;
  p.lineMm = LineMm(font);
  p.rowMm = RowMm(font);
  for (int c : chars) p.widthsMm.push_back(c * kCharEm * kPtMm * font + kCellPadMm);

  const int n = v.GetRowCount();
  if (!split || half || n < 1) {
    p.firstRows = {1};
    p.lastRows = {n};
    return p;
  }
  // A page: the title (two rows a line), the item lines, the header lines, the rows,
  // the signature on the last page; one row to spare.
  const double titleMm = platform::GbkWidth(v.GetTitle()) * kCharEm * kPtMm * (font + 4);
  const int titleLines = std::max(1, static_cast<int>(std::ceil(titleMm / width)));
  int itemLines = 0;
  for (int k = 0; k < std::clamp(v.m_nLinesAbove, 0, 3); ++k)
    if (!ItemLine(v, 3 * k, 1, 1).empty()) ++itemLines;
  if (v.m_nLineBelow > 0 && !ItemLine(v, 9, 1, 1).empty()) ++itemLines;
  const int fixedRows = 2 * titleLines + itemLines + HeaderLineCount(v) + 1;
  const bool stagger = v.HasStaggeredColumn();
  const int rows = std::max(stagger ? 2 : 1, static_cast<int>(std::floor(height / p.rowMm)) - fixedRows);
  const int signs = std::clamp(v.GetSignatureLines(), 0, 2);
  for (int first = 1;;) {
    int last = std::min(n, first + rows - 1);
    if (last == n) {
      if (last - first + 1 + signs <= rows || last - 1 <= first) {
        p.firstRows.push_back(first);
        p.lastRows.push_back(last);
        break;
      }
      --last;  // the signature goes to a page of its own with the last row
    }
    p.firstRows.push_back(first);
    p.lastRows.push_back(last);
    first = stagger ? last : last + 1;
  }
  return p;
}

}  // namespace

WordPagePlan PlanWordPages(const CTableView& v, bool split, bool rowOffset) {
  const bool half = rowOffset && v.HasStaggeredColumn();
  return Plan(v, BuildXlsxSheet(v, half, false), split, half);
}

std::vector<OdtTable> BuildOdtTables(const CTableView& v, bool split, bool rowOffset) {
  const bool half = rowOffset && v.HasStaggeredColumn();
  const XlsxSheet sheet = BuildXlsxSheet(v, half, false);
  const WordPagePlan plan = Plan(v, sheet, split, half);

  OdtTable whole = FromSheet(sheet);
  whole.page = PageOf(v);
  whole.fontPt = plan.fontPt;
  whole.rowMm = plan.rowMm;
  whole.lineMm = plan.lineMm;
  whole.widths.clear();
  for (double w : plan.widthsMm) whole.widths.push_back(static_cast<int>(std::lround(w * 100)));
  whole.halfRows.assign(whole.rows.size(), false);
  const int n = v.GetRowCount(), hL = whole.headerRows;
  if (half)
    for (int r = 0; r < 2 * n; ++r) whole.halfRows[static_cast<std::size_t>(hL + r)] = true;

  const int pages = plan.Pages();
  // One table running over pages has no page item: the document numbers its pages.
  const int numbered = split && !half ? pages : 0;
  auto items = [&](OdtTable& t, int p) {
    for (int k = 0; k < std::clamp(v.m_nLinesAbove, 0, 3); ++k)
      if (auto line = ItemLine(v, 3 * k, p, numbered); !line.empty()) t.above.push_back(std::move(line));
    if (v.m_nLineBelow > 0) t.below = ItemLine(v, 9, p, numbered);
  };
  if (pages == 1) {
    items(whole, 1);
    return {std::move(whole)};
  }

  // Page p holds rows firstRows[p]..lastRows[p]; a staggered page repeats the previous
  // page's last row, whose side value belongs to the next page.
  std::vector<OdtTable> out;
  out.reserve(static_cast<std::size_t>(pages));
  const bool stagger = v.HasStaggeredColumn();
  const auto signStart = static_cast<std::size_t>(hL + n);
  for (int p = 1; p <= pages; ++p) {
    OdtTable t;
    t.page = whole.page;
    t.fontPt = whole.fontPt;
    t.rowMm = whole.rowMm;
    t.lineMm = whole.lineMm;
    t.title = whole.title;
    t.headerRows = hL;
    t.widths = whole.widths;
    items(t, p);
    const int first = plan.firstRows[static_cast<std::size_t>(p - 1)];
    const int last = plan.lastRows[static_cast<std::size_t>(p - 1)];
    t.rows.assign(whole.rows.begin(), whole.rows.begin() + hL);
    for (int r = first; r <= last; ++r) t.rows.push_back(whole.rows[static_cast<std::size_t>(hL + r - 1)]);
    if (stagger && p < pages)
      for (int j = 1; j <= v.GetColCount(); ++j)
        if (v.GetColumn(j).stagger) t.rows.back()[static_cast<std::size_t>(j - 1)].text.clear();
    if (p == pages) t.rows.insert(t.rows.end(), whole.rows.begin() + static_cast<std::ptrdiff_t>(signStart), whole.rows.end());
    t.halfRows.assign(t.rows.size(), false);
    out.push_back(std::move(t));
  }
  return out;
}

namespace {

void Escape(std::string& out, const std::string& s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        // Control characters are not allowed in XML.
        if (static_cast<unsigned char>(c) >= 0x20) out += c;
    }
  }
}

// Paragraph text: runs of blanks, tabs and line breaks as ODF elements.
void Text(std::string& out, const std::string& s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (c == ' ') {
      std::size_t j = i;
      while (j < s.size() && s[j] == ' ') ++j;
      // A single blank between words is text; leading and repeated blanks are kept.
      const std::size_t runStart = (i == 0) ? i : i + 1;
      if (i > 0) out += ' ';
      if (j > runStart) out += "<text:s text:c=\"" + std::to_string(j - runStart) + "\"/>";
      i = j;
    } else if (c == '\t') {
      out += "<text:tab/>";
      ++i;
    } else if (c == '\n') {
      out += "<text:line-break/>";
      ++i;
    } else if (c == '\r') {
      ++i;
    } else {
      std::size_t j = i;
      while (j < s.size() && s[j] != ' ' && s[j] != '\t' && s[j] != '\n' && s[j] != '\r') ++j;
      Escape(out, s.substr(i, j - i));
      i = j;
    }
  }
}

std::string Mm(double v) { return platform::FormatFixed(std::max(0.0, v), 2) + "mm"; }
std::string Pt(double v) { return platform::FormatFixed(v, 1) + "pt"; }

const char kNamespaces[] =
    " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
    " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
    " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
    " xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\""
    " office:version=\"1.3\"";

const char kFontFaces[] =
    "<office:font-face-decls>"
    "<style:font-face style:name=\"宋体\" svg:font-family=\"宋体\" style:font-family-generic=\"modern\" "
    "style:font-pitch=\"fixed\"/>"
    "</office:font-face-decls>";

std::string FontProps(double pt, bool bold) {
  std::string s = "<style:text-properties style:font-name=\"宋体\" style:font-name-asian=\"宋体\" fo:font-size=\"" +
                  Pt(pt) + "\" style:font-size-asian=\"" + Pt(pt) + "\"";
  if (bold) s += " fo:font-weight=\"bold\" style:font-weight-asian=\"bold\"";
  return s + "/>";
}

// The distinct page setups in order of use; table i uses Masters()[PageOf(i)].
std::vector<OdtPageSetup> Pages(const std::vector<OdtTable>& tables) {
  std::vector<OdtPageSetup> pages;
  for (const OdtTable& t : tables)
    if (std::find(pages.begin(), pages.end(), t.page) == pages.end()) pages.push_back(t.page);
  if (pages.empty()) pages.emplace_back();
  return pages;
}

int PageIndex(const std::vector<OdtPageSetup>& pages, const OdtPageSetup& p) {
  return static_cast<int>(std::find(pages.begin(), pages.end(), p) - pages.begin()) + 1;
}

// Automatic styles named by what they hold, made once each.
class StyleSet {
 public:
  explicit StyleSet(std::string prefix) : prefix_(std::move(prefix)) {}
  const std::string& Get(const std::string& key, const std::string& prefix, const std::string& body) {
    auto it = names_.find(key);
    if (it != names_.end()) return it->second;
    const std::string name = prefix_ + prefix + std::to_string(names_.size() + 1);
    xml_ += "<style:style style:name=\"" + name + "\" " + body + "</style:style>";
    return names_[key] = name;
  }
  const std::string& Xml() const { return xml_; }

 private:
  std::string prefix_;
  std::map<std::string, std::string> names_;
  std::string xml_;
};

// Paragraphs of ours keep no spacing of a document's default style.
const char kNoSpacing[] = " fo:margin-top=\"0mm\" fo:margin-bottom=\"0mm\"";

struct OdtBody {
  std::string styles;  // automatic styles
  std::string text;    // the paragraphs and tables
};

// The tables as body content; style, table and page names begin with `prefix`, and with
// `breakFirst` the first table starts a page too (it follows other content).
OdtBody Content(const std::vector<OdtTable>& tables, const std::string& prefix, bool breakFirst);

}  // namespace

namespace {

OdtBody Content(const std::vector<OdtTable>& tables, const std::string& prefix, bool breakFirst) {
  const std::vector<OdtPageSetup> pages = Pages(tables);
  StyleSet styles(prefix);
  std::string body;
  std::size_t cells = 0;
  for (const OdtTable& t : tables)
    for (const auto& r : t.rows) cells += r.size();
  body.reserve(cells * 120 + 4096);

  for (std::size_t ti = 0; ti < tables.size(); ++ti) {
    const OdtTable& t = tables[ti];
    const int pageNo = PageIndex(pages, t.page);
    const double width = TextWidthMm(t.page);
    // Lines of fixed height, so that a page holds what the plan put on it.
    const std::string lineHeight = t.rowMm > 0 ? " fo:line-height=\"" + Mm(t.rowMm) + "\"" : "";
    const std::string cellLine = t.lineMm > 0 ? " fo:line-height=\"" + Mm(t.lineMm) + "\"" : "";
    const bool first = ti == 0 && !breakFirst;
    // Every table starts a page of its paper.
    const std::string title = styles.Get(
        "title" + std::to_string(pageNo) + (first ? "f" : "") + Pt(t.fontPt) + lineHeight, "P",
        "style:family=\"paragraph\" style:master-page-name=\"" + prefix + "MP" + std::to_string(pageNo) +
            "\"><style:paragraph-properties fo:text-align=\"center\"" + kNoSpacing +
            (t.rowMm > 0 ? " fo:line-height=\"" + Mm(2 * t.rowMm) + "\"" : std::string()) +
            (first ? "" : " fo:break-before=\"page\"") + "/>" + FontProps(t.fontPt + 4, true));
    const std::string items = styles.Get(
        "items" + Mm(width) + Pt(t.fontPt) + lineHeight, "P",
        "style:family=\"paragraph\"><style:paragraph-properties" + lineHeight + kNoSpacing +
            "><style:tab-stops><style:tab-stop style:position=\"" + Mm(width / 3) +
            "\"/><style:tab-stop style:position=\"" + Mm(2 * width / 3) + "\"/></style:tab-stops>" +
            "</style:paragraph-properties>" + FontProps(t.fontPt, false));
    const std::string center = styles.Get("center" + Pt(t.fontPt) + cellLine, "P",
                                          "style:family=\"paragraph\"><style:paragraph-properties "
                                          "fo:text-align=\"center\"" + cellLine + kNoSpacing + "/>" +
                                              FontProps(t.fontPt, false));
    // An empty half row must not grow to a line of text.
    const std::string tiny = styles.Get("tiny", "P",
                                        "style:family=\"paragraph\"><style:paragraph-properties" +
                                            std::string(kNoSpacing) +
                                            "/><style:text-properties fo:font-size=\"1pt\" "
                                        "style:font-size-asian=\"1pt\"/>");
    const std::string left = styles.Get("left" + Pt(t.fontPt) + cellLine, "P",
                                        "style:family=\"paragraph\"><style:paragraph-properties "
                                        "fo:text-align=\"start\"" + cellLine + kNoSpacing + "/>" +
                                            FontProps(t.fontPt, false));
    const std::string tableStyle =
        styles.Get("table" + Mm(width), "T",
                   "style:family=\"table\"><style:table-properties style:width=\"" + Mm(width) +
                       "\" table:align=\"margins\"/>");
    const std::string cellStyle = styles.Get(
        "cell", "C",
        "style:family=\"table-cell\"><style:table-cell-properties fo:border=\"0.5pt solid #000000\" "
        "fo:padding-top=\"0.1mm\" fo:padding-bottom=\"0.1mm\" fo:padding-left=\"0.5mm\" fo:padding-right=\"0.5mm\" "
        "style:vertical-align=\"middle\"/>");
    auto rowStyle = [&](bool halfRow) -> std::string {
      if (t.rowMm <= 0) return "";
      const double h = halfRow ? t.rowMm / 2 : t.rowMm;
      return styles.Get("row" + Mm(h), "R",
                        "style:family=\"table-row\"><style:table-row-properties style:min-row-height=\"" + Mm(h) +
                            "\"/>");
    };

    body += "<text:p text:style-name=\"" + title + "\">";
    Text(body, t.title);
    body += "</text:p>";
    for (const auto& line : t.above) {
      body += "<text:p text:style-name=\"" + items + "\">";
      for (std::size_t k = 0; k < line.size(); ++k) {
        if (k) body += "<text:tab/>";
        Text(body, line[k]);
      }
      body += "</text:p>";
    }

    const std::size_t cols = t.rows.empty() ? std::max<std::size_t>(1, t.widths.size()) : t.rows[0].size();
    int total = 0;
    for (std::size_t c = 0; c < cols; ++c) total += c < t.widths.size() ? std::max(1, t.widths[c]) : 1;
    body += "<table:table table:name=\"" + prefix + "表格" + std::to_string(ti + 1) + "\" table:style-name=\"" + tableStyle + "\">";
    for (std::size_t c = 0; c < cols; ++c) {
      const int w = c < t.widths.size() ? std::max(1, t.widths[c]) : 1;
      // Relative widths in hundredths of a millimetre: an office clamps larger ones to
      // 65535, which makes every column equally wide.
      const double mm = width * w / total;
      const std::string name = styles.Get(
          "col" + Mm(mm), "K",
          "style:family=\"table-column\"><style:table-column-properties style:column-width=\"" + Mm(mm) +
              "\" style:rel-column-width=\"" + std::to_string(std::max(1L, std::lround(mm * 100))) + "*\"/>");
      body += "<table:table-column table:style-name=\"" + name + "\"/>";
    }
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
      if (r == 0 && t.headerRows > 0) body += "<table:table-header-rows>";
      const bool halfRow = r < t.halfRows.size() && t.halfRows[r];
      const std::string rs = rowStyle(halfRow);
      body += rs.empty() ? "<table:table-row>" : "<table:table-row table:style-name=\"" + rs + "\">";
      for (const OdtCell& c : t.rows[r]) {
        if (c.covered) {
          body += "<table:covered-table-cell/>";
          continue;
        }
        body += "<table:table-cell table:style-name=\"" + cellStyle + "\" office:value-type=\"string\"";
        if (c.colSpan > 1) body += " table:number-columns-spanned=\"" + std::to_string(c.colSpan) + "\"";
        if (c.rowSpan > 1) body += " table:number-rows-spanned=\"" + std::to_string(c.rowSpan) + "\"";
        const bool empty = halfRow && c.rowSpan == 1 && c.text.empty();
        body += "><text:p text:style-name=\"" + (empty ? tiny : c.left ? left : center) + "\">";
        Text(body, c.text);
        body += "</text:p></table:table-cell>";
      }
      body += "</table:table-row>";
      if (static_cast<int>(r) + 1 == t.headerRows) body += "</table:table-header-rows>";
    }
    body += "</table:table>";
    if (!t.below.empty()) {
      body += "<text:p text:style-name=\"" + items + "\">";
      for (std::size_t k = 0; k < t.below.size(); ++k) {
        if (k) body += "<text:tab/>";
        Text(body, t.below[k]);
      }
      body += "</text:p>";
    }
  }

  return {styles.Xml(), std::move(body)};
}

// The page layouts and master pages of the tables' papers.
std::pair<std::string, std::string> PageStyles(const std::vector<OdtTable>& tables, const std::string& prefix) {
  const std::vector<OdtPageSetup> pages = Pages(tables);
  std::string layouts, masters;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const OdtPageSetup& p = pages[i];
    const std::string n = std::to_string(i + 1);
    layouts += "<style:page-layout style:name=\"" + prefix + "PL" + n +
               "\"><style:page-layout-properties fo:page-width=\"" + Mm(p.widthMm) + "\" fo:page-height=\"" +
               Mm(p.heightMm) + "\" style:print-orientation=\"" + (p.landscape ? "landscape" : "portrait") +
               "\" fo:margin-top=\"" + Mm(p.marginTop) + "\" fo:margin-bottom=\"" + Mm(p.marginBottom) +
               "\" fo:margin-left=\"" + Mm(p.marginLeft) + "\" fo:margin-right=\"" + Mm(p.marginRight) +
               "\"/></style:page-layout>";
    masters += "<style:master-page style:name=\"" + prefix + "MP" + n + "\" style:page-layout-name=\"" + prefix +
               "PL" + n + "\"/>";
  }
  return {layouts, masters};
}

}  // namespace

std::string OdtContentXml(const std::vector<OdtTable>& tables) {
  const OdtBody body = Content(tables, "", false);
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content";
  out += kNamespaces;
  out += ">";
  out += kFontFaces;
  out += "<office:automatic-styles>" + body.styles + "</office:automatic-styles>";
  out += "<office:body><office:text>";
  out += body.text;
  out += "</office:text></office:body></office:document-content>";
  return out;
}

std::string OdtStylesXml(const std::vector<OdtTable>& tables) {
  const double font = tables.empty() ? 10.5 : tables[0].fontPt;
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-styles";
  out += kNamespaces;
  out += ">";
  out += kFontFaces;
  out += "<office:styles><style:default-style style:family=\"paragraph\">"
         "<style:paragraph-properties fo:margin-top=\"0mm\" fo:margin-bottom=\"0mm\"/>" +
         FontProps(font, false) + "</style:default-style></office:styles>";
  const auto [layouts, masters] = PageStyles(tables, "");
  out += "<office:automatic-styles>" + layouts + "</office:automatic-styles><office:master-styles>";
  out += "<style:master-page style:name=\"Standard\" style:page-layout-name=\"PL1\"/>";
  out += masters;
  out += "</office:master-styles></office:document-styles>";
  return out;
}

namespace {

const char kMimeType[] = "application/vnd.oasis.opendocument.text";

const char kManifest[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" "
    "manifest:version=\"1.3\">"
    "<manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.3\" "
    "manifest:media-type=\"application/vnd.oasis.opendocument.text\"/>"
    "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
    "<manifest:file-entry manifest:full-path=\"styles.xml\" manifest:media-type=\"text/xml\"/>"
    "</manifest:manifest>";

}  // namespace

bool WriteOdt(const std::string& path, const std::vector<OdtTable>& tables, std::string* error) {
  const std::string mimetype = kMimeType, manifest = kManifest;
  const std::string content = OdtContentXml(tables), styles = OdtStylesXml(tables);
  // The mimetype comes first and uncompressed, so a reader can identify the file by
  // its first bytes.
  std::optional<std::string> bytes = MakeZip(
      {{"mimetype", mimetype, true}, {"content.xml", content}, {"styles.xml", styles}, {"META-INF/manifest.xml", manifest}},
      error);
  return bytes && platform::WriteFileAtomic(path, *bytes, error);
}

namespace {

struct NotReadable {
  std::string why;
};

xml::Element NeedIn(const std::string& doc, const std::string& local, const char* part, std::size_t from = 0) {
  std::optional<xml::Element> e = xml::Find(doc, local, from);
  if (!e) throw NotReadable{std::string("“") + part + "”中没有" + local + "。"};
  return *e;
}

// `doc` with `added` put at the end of element `e`'s content.
std::string AtEnd(const std::string& doc, const xml::Element& e, const std::string& added) {
  if (!e.empty) return doc.substr(0, e.closeBegin) + added + doc.substr(e.closeBegin);
  return doc.substr(0, e.openEnd - 2) + ">" + added + "</" + e.name + ">" + doc.substr(e.end);
}

// The namespaces our content uses must be bound to the same prefixes in the document.
void CheckNamespaces(const std::string& doc, const xml::Element& root, const char* part) {
  const std::string ours = kNamespaces;
  for (std::size_t at = 0; (at = ours.find("xmlns:", at)) != std::string::npos;) {
    const std::size_t eq = ours.find('=', at);
    const std::size_t q1 = ours.find('"', eq), q2 = ours.find('"', q1 + 1);
    const std::string name = ours.substr(at, eq - at), uri = ours.substr(q1 + 1, q2 - q1 - 1);
    if (xml::Attr(doc, root, name).value_or("") != uri)
      throw NotReadable{std::string("“") + part + "”的命名空间 " + name.substr(6) + " 与本程序不同"};
    at = q2;
  }
}

std::string Append(const std::string& bytes, const std::vector<OdtTable>& tables) {
  std::string error;
  std::optional<std::vector<ZipPart>> parts = ReadZip(bytes, &error);
  if (!parts) throw NotReadable{error};
  std::string *content = nullptr, *styles = nullptr, *mimetype = nullptr;
  for (ZipPart& p : *parts) {
    if (p.name == "content.xml") content = &p.data;
    else if (p.name == "styles.xml") styles = &p.data;
    else if (p.name == "mimetype") mimetype = &p.data;
  }
  if (!mimetype || *mimetype != kMimeType) throw NotReadable{"不是文本文档"};
  if (!content || !styles) throw NotReadable{"缺少文档内容"};
  CheckNamespaces(*content, NeedIn(*content, "document-content", "content.xml"), "content.xml");
  CheckNamespaces(*styles, NeedIn(*styles, "document-styles", "styles.xml"), "styles.xml");

  // Names of ours that the document does not use yet.
  std::string prefix;
  for (int k = 1; prefix.empty(); ++k) {
    const std::string p = "Q" + std::to_string(k) + "_";
    if (content->find("\"" + p) == std::string::npos && styles->find("\"" + p) == std::string::npos) prefix = p;
  }
  const OdtBody body = Content(tables, prefix, true);
  const auto [layouts, masters] = PageStyles(tables, prefix);

  // content.xml: the font, the automatic styles, the text at the end of the body.
  std::string c = *content;
  const xml::Element text = NeedIn(c, "text", "content.xml", NeedIn(c, "body", "content.xml").openEnd);
  c = AtEnd(c, text, body.text);
  const std::string face = "<style:font-face style:name=\"宋体\"";
  const std::string faces = std::string(kFontFaces);
  const std::string faceDecl = faces.substr(faces.find(face), faces.find("/>", faces.find(face)) + 2 - faces.find(face));
  if (std::optional<xml::Element> autos = xml::Find(c, "automatic-styles")) {
    c = AtEnd(c, *autos, body.styles);
  } else {
    const xml::Element b = NeedIn(c, "body", "content.xml");
    c.insert(b.begin, "<office:automatic-styles>" + body.styles + "</office:automatic-styles>");
  }
  if (c.find(face) == std::string::npos) {
    if (std::optional<xml::Element> decls = xml::Find(c, "font-face-decls")) {
      c = AtEnd(c, *decls, faceDecl);
    } else {
      c.insert(NeedIn(c, "automatic-styles", "content.xml").begin,
               "<office:font-face-decls>" + faceDecl + "</office:font-face-decls>");
    }
  }

  // styles.xml: our page layouts and master pages.
  std::string st = *styles;
  const xml::Element masterStyles = NeedIn(st, "master-styles", "styles.xml");
  st = AtEnd(st, masterStyles, masters);
  if (std::optional<xml::Element> autos = xml::Find(st, "automatic-styles")) {
    st = AtEnd(st, *autos, layouts);
  } else {
    st.insert(NeedIn(st, "master-styles", "styles.xml").begin,
              "<office:automatic-styles>" + layouts + "</office:automatic-styles>");
  }
  if (st.find(face) == std::string::npos)
    if (std::optional<xml::Element> decls = xml::Find(st, "font-face-decls")) st = AtEnd(st, *decls, faceDecl);

  *content = std::move(c);
  *styles = std::move(st);
  std::optional<std::string> zipped = MakeZip(*parts, &error);
  if (!zipped) throw NotReadable{error};
  return *zipped;
}

}  // namespace

bool AppendOdt(const std::string& path, const std::vector<OdtTable>& tables, std::string* error) {
  std::optional<std::string> bytes = platform::ReadFileBytes(path, std::size_t(1) << 30, error);
  if (!bytes) return false;
  std::string out;
  try {
    out = Append(*bytes, tables);
  } catch (const NotReadable& e) {
    if (error) *error = "该文件不是能读取的WORD文档（.odt）：" + e.why + "。";
    return false;
  }
  return platform::WriteFileAtomic(path, out, error);
}

}  // namespace table

bool CTableView::ExportToWord(bool keepRowOffset) {
  using namespace table;
  CExportSession& s = WordSession();
  if (s.target.empty()) return false;
  auto tables = s.Kept<std::vector<OdtTable>>();
  std::vector<OdtTable> added = BuildOdtTables(*this, m_bWordSplitPages, keepRowOffset);
  s.note.clear();
  if (!added.empty() && PlanWordPages(*this, m_bWordSplitPages, keepRowOffset).shrunk)
    s.note = "表格宽于纸张，字体已缩小为" + platform::FormatFixed(added[0].fontPt, 1) + "。";
  if (s.AddsToFile()) {
    // A document this session did not write as it is now: our tables follow its content.
    if (!s.Write([&](const std::string& path, std::string* error) { return AppendOdt(path, added, error); }))
      return false;
    s.content.reset();
    return true;
  }
  tables.insert(tables.end(), std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
  if (!s.Write([&](const std::string& path, std::string* error) { return WriteOdt(path, tables, error); }))
    return false;
  s.content = std::move(tables);
  return true;
}

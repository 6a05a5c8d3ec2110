#include "table/export/odt_export.h"

#include <zip.h>

#include <algorithm>
#include <any>
#include <charconv>
#include <cstdio>
#include <map>

#include "platform/number.h"
#include "platform/ports.h"
#include "platform/textfile.h"
#include "table/export/header_cells.h"
#include "table/export/xlsx_export.h"
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

}  // namespace

std::vector<OdtTable> BuildOdtTables(const CTableView& v, bool split, bool rowOffset) {
  const bool half = rowOffset && v.HasStaggeredColumn();
  OdtPageSetup page;
  page.heightMm = v.m_nWordPaperHeight;
  page.widthMm = v.m_nWordPaperWidth;
  page.landscape = v.m_nWordOrientation == 1;
  page.marginTop = v.m_nMarginTop;
  page.marginBottom = v.m_nMarginBottom;
  page.marginLeft = v.m_nMarginLeft;
  page.marginRight = v.m_nMarginRight;
  const PrintPlan plan = v.PaginateFor(page.heightMm, page.widthMm);

  OdtTable whole = FromSheet(BuildXlsxSheet(v, half));
  whole.page = page;
  whole.fontPt = v.m_fWordFontSize;
  // A little under the printed row, so that a page of the plan fits its paper.
  whole.rowMm = plan.rowHeightMm * 0.95;
  whole.halfRows.assign(whole.rows.size(), false);
  const int n = v.GetRowCount(), hL = whole.headerRows;
  if (half)
    for (int r = 0; r < 2 * n; ++r) whole.halfRows[static_cast<std::size_t>(hL + r)] = true;

  const int pages = split && !half && n > 0 ? std::max(1, plan.pages) : 1;
  auto items = [&](OdtTable& t, int p) {
    for (int k = 0; k < std::clamp(v.m_nLinesAbove, 0, 3); ++k)
      if (auto line = ItemLine(v, 3 * k, p, pages); !line.empty()) t.above.push_back(std::move(line));
    if (v.m_nLineBelow > 0) t.below = ItemLine(v, 9, p, pages);
  };
  if (pages == 1) {
    items(whole, 1);
    return {std::move(whole)};
  }

  // Page p holds rows first..first + rowsPerPage - 1 of the plan; a staggered page
  // repeats the previous page's last row, whose side value belongs to the next page.
  std::vector<OdtTable> out;
  out.reserve(static_cast<std::size_t>(pages));
  const bool stagger = v.HasStaggeredColumn();
  const auto signStart = static_cast<std::size_t>(hL + n);
  for (int p = 1; p <= pages; ++p) {
    OdtTable t;
    t.page = whole.page;
    t.fontPt = whole.fontPt;
    t.rowMm = whole.rowMm;
    t.title = whole.title;
    t.headerRows = hL;
    t.widths = whole.widths;
    items(t, p);
    const int first = plan.firstRows[static_cast<std::size_t>(p - 1)];
    const int last = std::min(n, first + plan.rowsPerPage - 1);
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

double TextWidthMm(const OdtPageSetup& p) { return std::max(10, p.widthMm - p.marginLeft - p.marginRight); }

// Automatic styles named by what they hold, made once each.
class StyleSet {
 public:
  const std::string& Get(const std::string& key, const std::string& prefix, const std::string& body) {
    auto it = names_.find(key);
    if (it != names_.end()) return it->second;
    const std::string name = prefix + std::to_string(names_.size() + 1);
    xml_ += "<style:style style:name=\"" + name + "\" " + body + "</style:style>";
    return names_[key] = name;
  }
  const std::string& Xml() const { return xml_; }

 private:
  std::map<std::string, std::string> names_;
  std::string xml_;
};

}  // namespace

std::string OdtContentXml(const std::vector<OdtTable>& tables) {
  const std::vector<OdtPageSetup> pages = Pages(tables);
  StyleSet styles;
  std::string body;
  std::size_t cells = 0;
  for (const OdtTable& t : tables)
    for (const auto& r : t.rows) cells += r.size();
  body.reserve(cells * 120 + 4096);

  for (std::size_t ti = 0; ti < tables.size(); ++ti) {
    const OdtTable& t = tables[ti];
    const int pageNo = PageIndex(pages, t.page);
    const double width = TextWidthMm(t.page);
    const std::string lineHeight = t.rowMm > 0 ? " style:line-height-at-least=\"" + Mm(t.rowMm) + "\"" : "";
    // Every table starts a page of its paper.
    const std::string title = styles.Get(
        "title" + std::to_string(pageNo) + (ti == 0 ? "f" : "") + Pt(t.fontPt) + lineHeight, "P",
        "style:family=\"paragraph\" style:master-page-name=\"MP" + std::to_string(pageNo) +
            "\"><style:paragraph-properties fo:text-align=\"center\"" +
            (t.rowMm > 0 ? " style:line-height-at-least=\"" + Mm(2 * t.rowMm) + "\"" : std::string()) +
            (ti == 0 ? "" : " fo:break-before=\"page\"") + "/>" + FontProps(t.fontPt + 4, true));
    const std::string items = styles.Get(
        "items" + Mm(width) + Pt(t.fontPt) + lineHeight, "P",
        "style:family=\"paragraph\"><style:paragraph-properties" + lineHeight +
            "><style:tab-stops><style:tab-stop style:position=\"" + Mm(width / 3) +
            "\"/><style:tab-stop style:position=\"" + Mm(2 * width / 3) + "\"/></style:tab-stops>" +
            "</style:paragraph-properties>" + FontProps(t.fontPt, false));
    const std::string center = styles.Get("center" + Pt(t.fontPt), "P",
                                          "style:family=\"paragraph\"><style:paragraph-properties "
                                          "fo:text-align=\"center\"/>" +
                                              FontProps(t.fontPt, false));
    // An empty half row must not grow to a line of text.
    const std::string tiny = styles.Get("tiny", "P",
                                        "style:family=\"paragraph\"><style:text-properties fo:font-size=\"1pt\" "
                                        "style:font-size-asian=\"1pt\"/>");
    const std::string left = styles.Get("left" + Pt(t.fontPt), "P",
                                        "style:family=\"paragraph\"><style:paragraph-properties "
                                        "fo:text-align=\"start\"/>" +
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
    body += "<table:table table:name=\"表格" + std::to_string(ti + 1) + "\" table:style-name=\"" + tableStyle + "\">";
    for (std::size_t c = 0; c < cols; ++c) {
      const int w = c < t.widths.size() ? std::max(1, t.widths[c]) : 1;
      const std::string name = styles.Get(
          "col" + Mm(width * w / total), "K",
          "style:family=\"table-column\"><style:table-column-properties style:column-width=\"" +
              Mm(width * w / total) + "\" style:rel-column-width=\"" + std::to_string(w * 100) + "*\"/>");
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

  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content";
  out += kNamespaces;
  out += ">";
  out += kFontFaces;
  out += "<office:automatic-styles>" + styles.Xml() + "</office:automatic-styles>";
  out += "<office:body><office:text>";
  out += body;
  out += "</office:text></office:body></office:document-content>";
  return out;
}

std::string OdtStylesXml(const std::vector<OdtTable>& tables) {
  const std::vector<OdtPageSetup> pages = Pages(tables);
  const double font = tables.empty() ? 10.5 : tables[0].fontPt;
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-styles";
  out += kNamespaces;
  out += ">";
  out += kFontFaces;
  out += "<office:styles><style:default-style style:family=\"paragraph\">"
         "<style:paragraph-properties fo:margin-top=\"0mm\" fo:margin-bottom=\"0mm\"/>" +
         FontProps(font, false) + "</style:default-style></office:styles>";
  out += "<office:automatic-styles>";
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const OdtPageSetup& p = pages[i];
    out += "<style:page-layout style:name=\"PL" + std::to_string(i + 1) +
           "\"><style:page-layout-properties fo:page-width=\"" + Mm(p.widthMm) + "\" fo:page-height=\"" +
           Mm(p.heightMm) + "\" style:print-orientation=\"" + (p.landscape ? "landscape" : "portrait") +
           "\" fo:margin-top=\"" + Mm(p.marginTop) + "\" fo:margin-bottom=\"" + Mm(p.marginBottom) +
           "\" fo:margin-left=\"" + Mm(p.marginLeft) + "\" fo:margin-right=\"" + Mm(p.marginRight) +
           "\"/></style:page-layout>";
  }
  out += "</office:automatic-styles><office:master-styles>";
  out += "<style:master-page style:name=\"Standard\" style:page-layout-name=\"PL1\"/>";
  for (std::size_t i = 0; i < pages.size(); ++i)
    out += "<style:master-page style:name=\"MP" + std::to_string(i + 1) + "\" style:page-layout-name=\"PL" +
           std::to_string(i + 1) + "\"/>";
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

// The archive in memory; nullopt with a reason when libzip refused.
std::optional<std::string> Zip(const std::vector<std::pair<std::string, const std::string*>>& parts,
                               std::string* error) {
  zip_error_t ze;
  zip_error_init(&ze);
  auto fail = [&](const char* what) -> std::optional<std::string> {
    if (error) *error = std::string("不能建立文档（") + what + "）。";
    zip_error_fini(&ze);
    return std::nullopt;
  };
  zip_source_t* src = zip_source_buffer_create(nullptr, 0, 0, &ze);
  if (!src) return fail(zip_error_strerror(&ze));
  zip_source_keep(src);
  zip_t* za = zip_open_from_source(src, ZIP_TRUNCATE, &ze);
  if (!za) {
    zip_source_free(src);
    return fail(zip_error_strerror(&ze));
  }
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::string& data = *parts[i].second;
    zip_source_t* s = zip_source_buffer(za, data.data(), data.size(), 0);
    const zip_int64_t idx = s ? zip_file_add(za, parts[i].first.c_str(), s, ZIP_FL_ENC_UTF_8) : -1;
    if (idx < 0) {
      if (s) zip_source_free(s);
      std::string why = zip_strerror(za);
      zip_discard(za);
      zip_source_free(src);
      return fail(why.c_str());
    }
    // The mimetype comes first and uncompressed, so a reader can identify the file by
    // its first bytes.
    zip_set_file_compression(za, static_cast<zip_uint64_t>(idx), i == 0 ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
  }
  if (zip_close(za) != 0) {
    std::string why = zip_strerror(za);
    zip_discard(za);
    zip_source_free(src);
    return fail(why.c_str());
  }
  std::string bytes;
  if (zip_source_open(src) == 0) {
    zip_source_seek(src, 0, SEEK_END);
    const zip_int64_t size = zip_source_tell(src);
    zip_source_seek(src, 0, SEEK_SET);
    if (size > 0) {
      bytes.resize(static_cast<std::size_t>(size));
      if (zip_source_read(src, bytes.data(), bytes.size()) != size) bytes.clear();
    }
    zip_source_close(src);
  }
  zip_source_free(src);
  if (bytes.empty()) return fail("zip");
  zip_error_fini(&ze);
  return bytes;
}

}  // namespace

bool WriteOdt(const std::string& path, const std::vector<OdtTable>& tables, std::string* error) {
  const std::string mimetype = kMimeType, manifest = kManifest;
  const std::string content = OdtContentXml(tables), styles = OdtStylesXml(tables);
  std::optional<std::string> bytes = Zip(
      {{"mimetype", &mimetype}, {"content.xml", &content}, {"styles.xml", &styles}, {"META-INF/manifest.xml", &manifest}},
      error);
  return bytes && platform::WriteFileAtomic(path, *bytes, error);
}

}  // namespace table

bool CTableView::ExportToWord(bool keepRowOffset) {
  using namespace table;
  CExportSession& s = WordSession();
  if (s.target.empty()) return false;
  auto tables = s.Kept<std::vector<OdtTable>>();
  std::vector<OdtTable> added = BuildOdtTables(*this, m_bWordSplitPages, keepRowOffset);
  tables.insert(tables.end(), std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
  if (!s.Write([&](const std::string& path, std::string* error) { return WriteOdt(path, tables, error); }))
    return false;
  s.content = std::move(tables);
  return true;
}

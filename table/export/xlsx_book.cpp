#include "table/export/xlsx_book.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>

#include "table/export/xml_scan.h"
#include "table/export/zip_parts.h"

namespace table {

namespace {

const char kRelNs[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char kWorksheetType[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
const char kStylesType[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
const char kWorksheetContent[] = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
const char kStylesContent[] = "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";

struct Unreadable {
  std::string why;
};

int ToInt(const std::optional<std::string>& s, int fallback = 0) {
  if (!s) return fallback;
  int v = fallback;
  const auto r = std::from_chars(s->data(), s->data() + s->size(), v);
  return r.ec == std::errc() ? v : fallback;
}

std::string Dir(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A relationship target as a part name: absolute ("/xl/x.xml") or relative to `base`.
std::string Resolve(const std::string& base, const std::string& target) {
  std::string path = !target.empty() && target[0] == '/' ? target.substr(1) : base + target;
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i <= path.size()) {
    const std::size_t j = std::min(path.find('/', i), path.size());
    const std::string seg = path.substr(i, j - i);
    if (seg == "..") {
      if (!out.empty()) out.pop_back();
    } else if (!seg.empty() && seg != ".") {
      out.push_back(seg);
    }
    i = j + 1;
  }
  std::string joined;
  for (const std::string& s : out) joined += (joined.empty() ? "" : "/") + s;
  return joined;
}

xml::Element Need(const std::string& doc, const std::string& local, const std::string& part) {
  std::optional<xml::Element> e = xml::Find(doc, local);
  if (!e) throw Unreadable{"“" + part + "”中没有" + local + "。"};
  return *e;
}

std::vector<xml::Element> Kids(const std::string& doc, const xml::Element& e, const std::string& part) {
  std::optional<std::vector<xml::Element>> k = xml::Children(doc, e);
  if (!k) throw Unreadable{"“" + part + "”不是有效的XML。"};
  return *k;
}

std::string LocalName(const xml::Element& e) { return e.name.substr(e.Prefix().size()); }

// `fragment` (unprefixed elements) with every element name given `prefix`.
std::string Prefixed(const std::string& fragment, const std::string& prefix) {
  if (prefix.empty()) return fragment;
  std::string out;
  for (std::size_t i = 0; i < fragment.size(); ++i) {
    out += fragment[i];
    if (fragment[i] != '<' || i + 1 >= fragment.size()) continue;
    if (fragment[i + 1] == '/') {
      out += '/';
      ++i;
      out += prefix;
    } else if (fragment[i + 1] != '!' && fragment[i + 1] != '?') {
      out += prefix;
    }
  }
  return out;
}

struct Package {
  std::vector<ZipPart> parts;
  std::map<std::string, std::size_t> index;
  std::string book, bookRels;  // part names
  std::string styles;          // "" when the workbook has none
  std::string app;             // the extended properties part; "" when none
  struct Sheet {
    std::string name, part;
    int id = 0;
    bool worksheet = false;  // not a chart sheet or another kind
  };
  std::vector<Sheet> sheets;

  std::string* Find(const std::string& name) {
    auto it = index.find(name);
    return it == index.end() ? nullptr : &parts[it->second].data;
  }
  std::string& Get(const std::string& name) {
    std::string* p = Find(name);
    if (!p) throw Unreadable{"缺少“" + name + "”。"};
    return *p;
  }
};

Package Open(const std::string& bytes) {
  Package p;
  std::string error;
  std::optional<std::vector<ZipPart>> parts = ReadZip(bytes, &error);
  if (!parts) throw Unreadable{error};
  p.parts = std::move(*parts);
  for (std::size_t i = 0; i < p.parts.size(); ++i) p.index[p.parts[i].name] = i;
  p.Get("[Content_Types].xml");
  const std::string& root = p.Get("_rels/.rels");
  for (const xml::Element& r : Kids(root, Need(root, "Relationships", "_rels/.rels"), "_rels/.rels")) {
    const std::string type = xml::Attr(root, r, "Type").value_or("");
    if (type.size() >= 15 && type.compare(type.size() - 15, 15, "/officeDocument") == 0)
      p.book = Resolve("", xml::Attr(root, r, "Target").value_or(""));
    if (type.size() >= 20 && type.compare(type.size() - 20, 20, "/extended-properties") == 0)
      p.app = Resolve("", xml::Attr(root, r, "Target").value_or(""));
  }
  if (p.book.empty()) throw Unreadable{"没有工作簿部分。"};
  const std::string& book = p.Get(p.book);
  const std::string dir = Dir(p.book);
  p.bookRels = dir + "_rels/" + p.book.substr(dir.size()) + ".rels";
  const std::string& rels = p.Get(p.bookRels);
  std::map<std::string, std::string> targets, types;
  for (const xml::Element& r : Kids(rels, Need(rels, "Relationships", p.bookRels), p.bookRels)) {
    const std::string id = xml::Attr(rels, r, "Id").value_or("");
    const std::string target = Resolve(dir, xml::Attr(rels, r, "Target").value_or(""));
    targets[id] = target;
    const std::string type = xml::Attr(rels, r, "Type").value_or("");
    types[id] = type;
    if (type.size() >= 7 && type.compare(type.size() - 7, 7, "/styles") == 0) p.styles = target;
  }
  for (const xml::Element& s : Kids(book, Need(book, "sheets", p.book), p.book)) {
    if (LocalName(s) != "sheet") continue;
    Package::Sheet sheet;
    sheet.name = xml::Attr(book, s, "name").value_or("");
    sheet.id = ToInt(xml::Attr(book, s, "sheetId"));
    const std::string id = xml::AttrLocal(book, s, "id").value_or("");
    sheet.part = targets[id];
    sheet.worksheet = types[id] == kWorksheetType;
    p.sheets.push_back(std::move(sheet));
  }
  if (p.sheets.empty()) throw Unreadable{"工作簿中没有工作表。"};
  if (!p.styles.empty() && !p.Find(p.styles)) p.styles.clear();
  if (!p.app.empty() && !p.Find(p.app)) p.app.clear();
  return p;
}

std::string Reason(const std::string& why) { return "该文件不是能读取的EXCEL工作簿（" + why + "）。"; }

// The style lists of a style part that cells refer to.
struct StyleTable {
  std::string prefix;
  std::optional<xml::Element> root, numFmts, fonts, fills, borders, xfs;
};

StyleTable Styles(const std::string& doc, const std::string& part) {
  StyleTable t;
  t.root = Need(doc, "styleSheet", part);
  t.prefix = t.root->Prefix();
  for (const xml::Element& e : Kids(doc, *t.root, part)) {
    const std::string n = LocalName(e);
    if (n == "numFmts") t.numFmts = e;
    else if (n == "fonts") t.fonts = e;
    else if (n == "fills") t.fills = e;
    else if (n == "borders") t.borders = e;
    else if (n == "cellXfs") t.xfs = e;
  }
  if (!t.fonts || !t.fills || !t.borders || !t.xfs) throw Unreadable{"“" + part + "”缺少单元格格式。"};
  return t;
}

// `list` of `doc` with `added` (already prefixed) appended and its count raised.
std::string Append(const std::string& doc, const xml::Element& list, std::size_t count, const std::string& added) {
  std::string open = doc.substr(list.begin, list.openEnd - list.begin);
  if (list.empty) {
    open.erase(open.size() - 2);
    open += ">";
  }
  xml::Element head = *xml::Find(open + "</" + list.name + ">", LocalName(list));
  open = xml::SetAttr(open + "</" + list.name + ">", head, "count", std::to_string(count));
  open.erase(open.size() - list.name.size() - 3);
  const std::string inner = list.empty ? std::string() : doc.substr(list.openEnd, list.closeBegin - list.openEnd);
  return doc.substr(0, list.begin) + open + inner + added + "</" + list.name + ">" + doc.substr(list.end);
}

std::string ElementText(const std::string& doc, const xml::Element& e) { return doc.substr(e.begin, e.end - e.begin); }

// Adds the styles of `ours` to `book`'s style part; returns the book's index of each
// of our cell formats.
std::vector<int> MergeStyles(std::string& book, const std::string& ours) {
  const StyleTable b = Styles(book, "styles.xml"), o = Styles(ours, "styles.xml");
  const auto bFonts = Kids(book, *b.fonts, "styles.xml"), bFills = Kids(book, *b.fills, "styles.xml"),
             bBorders = Kids(book, *b.borders, "styles.xml"), bXfs = Kids(book, *b.xfs, "styles.xml");
  const auto oFonts = Kids(ours, *o.fonts, "ours"), oFills = Kids(ours, *o.fills, "ours"),
             oBorders = Kids(ours, *o.borders, "ours"), oXfs = Kids(ours, *o.xfs, "ours");

  // Number formats: ours reuse a book's format of the same code, else get a free id.
  std::map<std::string, int> bookCodes;
  int nextId = 164;
  std::vector<xml::Element> bNumFmts;
  if (b.numFmts) bNumFmts = Kids(book, *b.numFmts, "styles.xml");
  for (const xml::Element& f : bNumFmts) {
    const int id = ToInt(xml::Attr(book, f, "numFmtId"), -1);
    bookCodes.emplace(xml::Attr(book, f, "formatCode").value_or(""), id);
    nextId = std::max(nextId, id + 1);
  }
  std::map<int, int> fmtMap;
  std::string newFmts;
  if (o.numFmts)
    for (const xml::Element& f : Kids(ours, *o.numFmts, "ours")) {
      const int id = ToInt(xml::Attr(ours, f, "numFmtId"), -1);
      const std::string code = xml::Attr(ours, f, "formatCode").value_or("");
      auto known = bookCodes.find(code);
      if (known != bookCodes.end()) {
        fmtMap[id] = known->second;
        continue;
      }
      fmtMap[id] = nextId;
      bookCodes.emplace(code, nextId);
      newFmts += "<numFmt numFmtId=\"" + std::to_string(nextId++) + "\" formatCode=\"" + xml::Escape(code) + "\"/>";
    }

  auto join = [&](const std::vector<xml::Element>& list) {
    std::string s;
    for (const xml::Element& e : list) s += ElementText(ours, e);
    return s;
  };
  std::string newXfs;
  std::vector<int> map;
  for (const xml::Element& x : oXfs) {
    std::string xf = ElementText(ours, x);
    auto shift = [&](const char* attr, int by) {
      xml::Element e = *xml::Find(xf, "xf");
      xf = xml::SetAttr(xf, e, attr, std::to_string(ToInt(xml::Attr(xf, e, attr)) + by));
    };
    shift("fontId", static_cast<int>(bFonts.size()));
    shift("fillId", static_cast<int>(bFills.size()));
    shift("borderId", static_cast<int>(bBorders.size()));
    xml::Element e = *xml::Find(xf, "xf");
    const int fmt = ToInt(xml::Attr(xf, e, "numFmtId"));
    if (fmtMap.count(fmt)) xf = xml::SetAttr(xf, e, "numFmtId", std::to_string(fmtMap[fmt]));
    e = *xml::Find(xf, "xf");
    xf = xml::SetAttr(xf, e, "xfId", "0");
    newXfs += xf;
    map.push_back(static_cast<int>(bXfs.size() + map.size()));
  }

  // From the last list to the first, so that the earlier positions stay valid.
  std::vector<std::pair<xml::Element, std::pair<std::size_t, std::string>>> edits = {
      {*b.xfs, {bXfs.size() + oXfs.size(), newXfs}},
      {*b.borders, {bBorders.size() + oBorders.size(), join(oBorders)}},
      {*b.fills, {bFills.size() + oFills.size(), join(oFills)}},
      {*b.fonts, {bFonts.size() + oFonts.size(), join(oFonts)}},
  };
  std::sort(edits.begin(), edits.end(), [](const auto& x, const auto& y) { return x.first.begin > y.first.begin; });
  std::string out = book;
  for (const auto& [list, add] : edits) out = Append(out, list, add.first, Prefixed(add.second, b.prefix));
  if (!newFmts.empty()) {
    if (b.numFmts) {
      out = Append(out, *b.numFmts, bNumFmts.size() + static_cast<std::size_t>(std::count(newFmts.begin(), newFmts.end(), '<')),
                   Prefixed(newFmts, b.prefix));
    } else {
      const std::size_t count = static_cast<std::size_t>(std::count(newFmts.begin(), newFmts.end(), '<'));
      out.insert(b.root->openEnd, Prefixed("<numFmts count=\"" + std::to_string(count) + "\">" + newFmts + "</numFmts>",
                                           b.prefix));
    }
  }
  book = std::move(out);
  return map;
}

// Our sheet for the book: texts inline (the book keeps its own shared strings), cell
// formats renumbered, not selected beside the book's active sheet.
std::string ConvertSheet(const std::string& sheet, const std::vector<std::string>& strings,
                         const std::vector<int>& xfMap) {
  std::string out;
  std::size_t last = 0, pos = 0;
  while (std::optional<xml::Element> c = xml::Find(sheet, "c", pos)) {
    std::string cell = ElementText(sheet, *c);
    xml::Element e = *xml::Find(cell, "c");
    const int s = ToInt(xml::Attr(cell, e, "s"), -1);
    if (s >= 0) {
      cell = xml::SetAttr(cell, e, "s", std::to_string(s < static_cast<int>(xfMap.size()) ? xfMap[static_cast<std::size_t>(s)] : 0));
      e = *xml::Find(cell, "c");
    }
    if (xml::Attr(cell, e, "t").value_or("") == "s") {
      std::optional<xml::Element> v = xml::Find(cell, "v");
      const int k = v ? ToInt(cell.substr(v->openEnd, v->closeBegin - v->openEnd), -1) : -1;
      const std::string open = xml::SetAttr(cell, e, "t", "inlineStr");
      const std::size_t openEnd = e.openEnd + (open.size() - cell.size());
      const std::string text = k >= 0 && k < static_cast<int>(strings.size()) ? strings[static_cast<std::size_t>(k)] : "<t></t>";
      cell = open.substr(0, openEnd) + "<is>" + text + "</is></c>";
    }
    out += sheet.substr(last, c->begin - last) + cell;
    last = pos = c->end;
  }
  out += sheet.substr(last);
  for (std::size_t at; (at = out.find(" tabSelected=\"1\"")) != std::string::npos;) out.erase(at, 16);
  return out;
}

std::string InsertBeforeClose(const std::string& doc, const xml::Element& e, const std::string& added) {
  if (!e.empty) return doc.substr(0, e.closeBegin) + added + doc.substr(e.closeBegin);
  const std::string open = doc.substr(e.begin, e.openEnd - e.begin - 2) + ">";
  return doc.substr(0, e.begin) + open + added + "</" + e.name + ">" + doc.substr(e.end);
}

// The extended properties name the worksheets (TitlesOfParts, counted by kind in
// HeadingPairs); ours join the run of the book's worksheets there. Both lists are
// optional: when they do not read as that, they are dropped rather than left wrong.
std::string AddTitles(const std::string& app, const std::vector<std::string>& worksheets,
                      const std::vector<std::string>& added) {
  const std::optional<xml::Element> pairs = xml::Find(app, "HeadingPairs"), titles = xml::Find(app, "TitlesOfParts");
  if (!pairs && !titles) return app;
  auto text = [&](const xml::Element& e) { return xml::Unescape(app.substr(e.openEnd, e.closeBegin - e.openEnd)); };
  auto vectorOf = [&](const std::optional<xml::Element>& e) -> std::optional<xml::Element> {
    if (!e) return std::nullopt;
    const std::optional<std::vector<xml::Element>> k = xml::Children(app, *e);
    if (!k || k->size() != 1 || LocalName(k->front()) != "vector") return std::nullopt;
    return k->front();
  };
  auto drop = [&] {
    std::vector<xml::Element> gone;
    for (const auto& e : {pairs, titles})
      if (e) gone.push_back(*e);
    std::sort(gone.begin(), gone.end(), [](const auto& a, const auto& b) { return a.begin > b.begin; });
    std::string out = app;
    for (const xml::Element& e : gone) out.erase(e.begin, e.end - e.begin);
    return out;
  };
  const std::optional<xml::Element> pv = vectorOf(pairs), tv = vectorOf(titles);
  if (!pv || !tv) return drop();
  const std::optional<std::vector<xml::Element>> variants = xml::Children(app, *pv), names = xml::Children(app, *tv);
  if (!variants || !names || variants->size() % 2 != 0) return drop();
  // Each pair: a kind's name, then how many titles of that kind follow in order.
  std::size_t first = 0, at = names->size() + 1;
  std::optional<xml::Element> count;
  for (std::size_t k = 0; k < variants->size(); k += 2) {
    const std::optional<xml::Element> n = xml::Find(app.substr(0, (*variants)[k + 1].end), "i4", (*variants)[k + 1].begin);
    const std::optional<std::string> value = n ? std::optional<std::string>(text(*n)) : std::nullopt;
    const int c = ToInt(value, -1);
    if (c < 0 || first + static_cast<std::size_t>(c) > names->size()) return drop();
    bool ours = c > 0 && at > names->size();
    for (std::size_t i = first; ours && i < first + static_cast<std::size_t>(c); ++i)
      ours = std::find(worksheets.begin(), worksheets.end(), text((*names)[i])) != worksheets.end();
    if (ours) {
      at = first + static_cast<std::size_t>(c);
      count = n;
    }
    first += static_cast<std::size_t>(c);
  }
  if (first != names->size() || !count) return drop();

  // The count first when it comes later in the document, so that positions stay valid.
  const int c = ToInt(std::optional<std::string>(text(*count)));
  auto recount = [&](std::string& doc) {
    doc = doc.substr(0, count->openEnd) + std::to_string(c + static_cast<int>(added.size())) + doc.substr(count->closeBegin);
  };
  std::string out = app;
  if (count->begin > tv->begin) recount(out);
  const std::string prefix = tv->Prefix();
  std::string more;
  for (const std::string& name : added) more += "<" + prefix + "lpstr>" + xml::Escape(name) + "</" + prefix + "lpstr>";
  out.insert(at < names->size() ? (*names)[at].begin : tv->closeBegin, more);
  out = xml::SetAttr(out, *tv, "size", std::to_string(names->size() + added.size()));
  if (count->begin < tv->begin) recount(out);
  return out;
}

std::string AddSheets(const std::string& bookBytes, const std::string& oursBytes) {
  Package book = Open(bookBytes);
  Package ours = Open(oursBytes);

  std::vector<std::string> strings;
  if (std::string* sst = ours.Find(Dir(ours.book) + "sharedStrings.xml"))
    for (const xml::Element& si : Kids(*sst, Need(*sst, "sst", "sharedStrings.xml"), "sharedStrings.xml"))
      strings.push_back(sst->substr(si.openEnd, si.closeBegin - si.openEnd));

  std::vector<int> xfMap;
  std::vector<ZipPart> added;
  std::string& ct = book.Get("[Content_Types].xml");
  std::string ctAdd, relsAdd, sheetsAdd;
  std::string& rels = book.Get(book.bookRels);
  std::set<std::string> ids;
  for (const xml::Element& r : Kids(rels, Need(rels, "Relationships", book.bookRels), book.bookRels))
    ids.insert(xml::Attr(rels, r, "Id").value_or(""));
  auto newId = [&] {
    for (int k = static_cast<int>(ids.size()) + 1;; ++k)
      if (ids.insert("rId" + std::to_string(k)).second) return "rId" + std::to_string(k);
  };
  const std::string dir = Dir(book.book);
  const std::string relsPrefix = Need(rels, "Relationships", book.bookRels).Prefix();
  const std::string ctPrefix = Need(ct, "Types", "[Content_Types].xml").Prefix();
  auto freeName = [&](const std::string& stem) {
    for (int k = 0;; ++k) {
      // Some readers look for the usual names ("styles.xml") before any relationship.
      const std::string name = dir + stem + (k == 0 && stem == "styles" ? "" : std::to_string(k)) + ".xml";
      if (k == 0 && stem != "styles") continue;
      if (!book.Find(name) && std::none_of(added.begin(), added.end(), [&](const ZipPart& p) { return p.name == name; }))
        return name;
    }
  };

  const std::string* ourStyles = ours.styles.empty() ? nullptr : ours.Find(ours.styles);
  if (ourStyles && !book.styles.empty()) {
    xfMap = MergeStyles(book.Get(book.styles), *ourStyles);
  } else if (ourStyles) {
    // A workbook without a style part takes ours as it is.
    const std::string name = freeName("styles");
    added.push_back({name, *ourStyles});
    ctAdd += "<Override PartName=\"/" + name + "\" ContentType=\"" + kStylesContent + "\"/>";
    relsAdd += "<Relationship Id=\"" + newId() + "\" Type=\"" + kStylesType + "\" Target=\"" + name.substr(dir.size()) +
               "\"/>";
    const auto xfs = Kids(*ourStyles, Need(*ourStyles, "cellXfs", "styles.xml"), "styles.xml");
    for (std::size_t i = 0; i < xfs.size(); ++i) xfMap.push_back(static_cast<int>(i));
  }

  // The namespace of the relationship id on the book's own sheets.
  const std::string& wb = book.Get(book.book);
  const xml::Element sheetsEl = Need(wb, "sheets", book.book);
  const xml::Element wbRoot = Need(wb, "workbook", book.book);
  std::string idAttr = "r:id", idDecl = std::string(" xmlns:r=\"") + kRelNs + "\"";
  for (const xml::Element& s : Kids(wb, sheetsEl, book.book)) {
    const std::string tag = wb.substr(s.begin, s.openEnd - s.begin);
    const std::size_t at = tag.find(":id=");
    if (at == std::string::npos) continue;
    std::size_t from = at;
    while (from > 0 && tag[from - 1] != ' ' && tag[from - 1] != '\t' && tag[from - 1] != '\n' && tag[from - 1] != '\r') --from;
    const std::string prefix = tag.substr(from, at - from);
    if (xml::Attr(wb, wbRoot, "xmlns:" + prefix)) {
      idAttr = prefix + ":id";
      idDecl.clear();
    }
    break;
  }
  int nextSheetId = 0;
  for (const Package::Sheet& s : book.sheets) nextSheetId = std::max(nextSheetId, s.id);
  for (const Package::Sheet& s : ours.sheets) {
    const std::string name = freeName("worksheets/sheet");
    added.push_back({name, ConvertSheet(ours.Get(s.part), strings, xfMap)});
    const std::string id = newId();
    ctAdd += "<Override PartName=\"/" + name + "\" ContentType=\"" + kWorksheetContent + "\"/>";
    relsAdd += "<Relationship Id=\"" + id + "\" Type=\"" + kWorksheetType + "\" Target=\"" + name.substr(dir.size()) + "\"/>";
    sheetsAdd += "<sheet name=\"" + xml::Escape(s.name) + "\" sheetId=\"" + std::to_string(++nextSheetId) + "\" " + idAttr +
                 "=\"" + id + "\"" + idDecl + "/>";
  }
  ct = InsertBeforeClose(ct, Need(ct, "Types", "[Content_Types].xml"), Prefixed(ctAdd, ctPrefix));
  rels = InsertBeforeClose(rels, Need(rels, "Relationships", book.bookRels), Prefixed(relsAdd, relsPrefix));
  std::string& wbw = book.Get(book.book);
  wbw = InsertBeforeClose(wbw, sheetsEl, Prefixed(sheetsAdd, sheetsEl.Prefix()));
  if (!book.app.empty()) {
    std::vector<std::string> worksheets, added;
    for (const Package::Sheet& s : book.sheets)
      if (s.worksheet) worksheets.push_back(s.name);
    for (const Package::Sheet& s : ours.sheets) added.push_back(s.name);
    std::string& app = book.Get(book.app);
    app = AddTitles(app, worksheets, added);
  }

  std::vector<ZipPart> parts = std::move(book.parts);
  for (ZipPart& p : added) parts.push_back(std::move(p));
  std::string error;
  std::optional<std::string> zipped = MakeZip(parts, &error);
  if (!zipped) throw Unreadable{error};
  return *zipped;
}

}  // namespace

std::optional<std::vector<std::string>> WorkbookSheetNames(const std::string& package, std::string* error) {
  try {
    std::vector<std::string> names;
    for (const Package::Sheet& s : Open(package).sheets) names.push_back(s.name);
    return names;
  } catch (const Unreadable& u) {
    if (error) *error = Reason(u.why);
    return std::nullopt;
  }
}

std::optional<std::string> AddSheetsToWorkbook(const std::string& book, const std::string& ours, std::string* error) {
  try {
    return AddSheets(book, ours);
  } catch (const Unreadable& u) {
    if (error) *error = Reason(u.why);
    return std::nullopt;
  }
}

}  // namespace table

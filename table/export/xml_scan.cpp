#include "table/export/xml_scan.h"

#include <cstring>

namespace table::xml {

namespace {

bool NameChar(char c) { return c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '/' && c != '>' && c != '='; }

std::string LocalOf(const std::string& name) {
  const std::size_t colon = name.find(':');
  return colon == std::string::npos ? name : name.substr(colon + 1);
}

// The end of the tag opened at `lt` (just past '>'), skipping quoted values; npos when cut off.
std::size_t TagEnd(const std::string& doc, std::size_t lt) {
  char quote = 0;
  for (std::size_t i = lt + 1; i < doc.size(); ++i) {
    const char c = doc[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      return i + 1;
    }
  }
  return std::string::npos;
}

// Skips a comment, processing instruction, CDATA or declaration at `lt`; the position
// after it, or `lt` when none is there, npos when cut off.
std::size_t SkipSpecial(const std::string& doc, std::size_t lt) {
  const char* ends[][2] = {{"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}, {"<!", ">"}};
  for (const auto& e : ends)
    if (doc.compare(lt, std::strlen(e[0]), e[0]) == 0) {
      const std::size_t at = doc.find(e[1], lt + std::strlen(e[0]));
      return at == std::string::npos ? at : at + std::strlen(e[1]);
    }
  return lt;
}

// The element opening at `lt` with its extent; nullopt when not well formed.
std::optional<Element> ElementAt(const std::string& doc, std::size_t lt) {
  Element e;
  e.begin = lt;
  std::size_t i = lt + 1;
  while (i < doc.size() && NameChar(doc[i])) ++i;
  e.name = doc.substr(lt + 1, i - lt - 1);
  e.openEnd = TagEnd(doc, lt);
  if (e.name.empty() || e.openEnd == std::string::npos) return std::nullopt;
  if (doc[e.openEnd - 2] == '/') {
    e.empty = true;
    e.closeBegin = e.end = e.openEnd;
    return e;
  }
  int depth = 1;
  std::size_t pos = e.openEnd;
  while (depth > 0) {
    const std::size_t next = doc.find('<', pos);
    if (next == std::string::npos) return std::nullopt;
    const std::size_t skipped = SkipSpecial(doc, next);
    if (skipped == std::string::npos) return std::nullopt;
    if (skipped != next) {
      pos = skipped;
      continue;
    }
    const std::size_t end = TagEnd(doc, next);
    if (end == std::string::npos) return std::nullopt;
    if (doc[next + 1] == '/') {
      if (--depth == 0) {
        e.closeBegin = next;
        e.end = end;
      }
    } else if (doc[end - 2] != '/') {
      ++depth;
    }
    pos = end;
  }
  return e;
}

}  // namespace

std::string Element::Prefix() const {
  const std::size_t colon = name.find(':');
  return colon == std::string::npos ? std::string() : name.substr(0, colon + 1);
}

std::optional<Element> Find(const std::string& doc, const std::string& local, std::size_t from) {
  std::size_t pos = from;
  while ((pos = doc.find('<', pos)) != std::string::npos) {
    const std::size_t skipped = SkipSpecial(doc, pos);
    if (skipped == std::string::npos) return std::nullopt;
    if (skipped != pos) {
      pos = skipped;
      continue;
    }
    if (doc.compare(pos, 2, "</") != 0) {
      std::size_t i = pos + 1;
      while (i < doc.size() && NameChar(doc[i])) ++i;
      if (LocalOf(doc.substr(pos + 1, i - pos - 1)) == local) return ElementAt(doc, pos);
    }
    ++pos;
  }
  return std::nullopt;
}

std::optional<std::vector<Element>> Children(const std::string& doc, const Element& parent) {
  std::vector<Element> out;
  std::size_t pos = parent.openEnd;
  while (pos < parent.closeBegin) {
    const std::size_t lt = doc.find('<', pos);
    if (lt == std::string::npos || lt >= parent.closeBegin) break;
    const std::size_t skipped = SkipSpecial(doc, lt);
    if (skipped == std::string::npos) return std::nullopt;
    if (skipped != lt) {
      pos = skipped;
      continue;
    }
    std::optional<Element> e = ElementAt(doc, lt);
    if (!e || e->end > parent.closeBegin) return std::nullopt;
    out.push_back(*e);
    pos = e->end;
  }
  return out;
}

namespace {

// Positions of the value of each attribute in the opening tag: (name, valueBegin, valueEnd).
struct AttrSpan {
  std::string name;
  std::size_t begin, end;
};

std::vector<AttrSpan> Attrs(const std::string& doc, const Element& e) {
  std::vector<AttrSpan> out;
  std::size_t i = e.begin + 1 + e.name.size();
  const std::size_t stop = e.openEnd;
  while (i < stop) {
    while (i < stop && (doc[i] == ' ' || doc[i] == '\t' || doc[i] == '\r' || doc[i] == '\n')) ++i;
    const std::size_t n0 = i;
    while (i < stop && NameChar(doc[i])) ++i;
    if (i == n0) break;
    std::string name = doc.substr(n0, i - n0);
    while (i < stop && doc[i] != '=') ++i;
    while (i < stop && doc[i] != '"' && doc[i] != '\'') ++i;
    if (i >= stop) break;
    const char q = doc[i];
    const std::size_t v0 = ++i;
    while (i < stop && doc[i] != q) ++i;
    out.push_back({std::move(name), v0, i});
    ++i;
  }
  return out;
}

}  // namespace

std::optional<std::string> Attr(const std::string& doc, const Element& e, const std::string& name) {
  for (const AttrSpan& a : Attrs(doc, e))
    if (a.name == name) return Unescape(doc.substr(a.begin, a.end - a.begin));
  return std::nullopt;
}

std::optional<std::string> AttrLocal(const std::string& doc, const Element& e, const std::string& local) {
  for (const AttrSpan& a : Attrs(doc, e))
    if (LocalOf(a.name) == local && a.name.rfind("xmlns", 0) != 0) return Unescape(doc.substr(a.begin, a.end - a.begin));
  return std::nullopt;
}

std::string SetAttr(const std::string& doc, const Element& e, const std::string& name, const std::string& value) {
  for (const AttrSpan& a : Attrs(doc, e))
    if (a.name == name) return doc.substr(0, a.begin) + Escape(value) + doc.substr(a.end);
  const std::size_t at = e.begin + 1 + e.name.size();
  return doc.substr(0, at) + " " + name + "=\"" + Escape(value) + "\"" + doc.substr(at);
}

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Unescape(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '&') {
      out += s[i];
      continue;
    }
    const std::size_t semi = s.find(';', i);
    if (semi == std::string::npos) {
      out += s[i];
      continue;
    }
    const std::string ent = s.substr(i + 1, semi - i - 1);
    if (ent == "amp") out += '&';
    else if (ent == "lt") out += '<';
    else if (ent == "gt") out += '>';
    else if (ent == "quot") out += '"';
    else if (ent == "apos") out += '\'';
    else if (!ent.empty() && ent[0] == '#') {
      unsigned long cp = 0;
      try {
        cp = ent.size() > 1 && (ent[1] == 'x' || ent[1] == 'X') ? std::stoul(ent.substr(2), nullptr, 16)
                                                               : std::stoul(ent.substr(1));
      } catch (...) {
        cp = 0;
      }
      if (cp == 0 || cp > 0x10FFFF) {
        out += s.substr(i, semi - i + 1);
      } else if (cp < 0x80) {
        out += static_cast<char>(cp);
      } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
      } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
      } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
      }
    } else {
      out += s.substr(i, semi - i + 1);
    }
    i = semi;
  }
  return out;
}

}  // namespace table::xml

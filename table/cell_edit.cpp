#include "table/cell_edit.h"

#include <cstdio>

#include "platform/number.h"

namespace table {
namespace {

bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// Decodes the UTF-8 character at s[i]; advances i. A stray byte reads as itself.
char32_t NextChar(std::string_view s, std::size_t& i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
  if (i + len > s.size()) len = 1;
  char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
  for (int k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  i += len;
  return cp;
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  return s;
}

std::string Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return std::string(s);
}

void RemoveAll(std::string& s, char c) {
  std::string out;
  for (char x : s)
    if (x != c) out += x;
  s = out;
}

void EraseLeadingBlanks(std::string& s) { s.erase(0, s.find_first_not_of(' ') == std::string::npos ? s.size() : s.find_first_not_of(' ')); }

// Rebuilt rather than edited in place: GCC 12 warns falsely on in-place
// replace/insert of literals at -O2 (-Wrestrict).
void ReplaceAll(std::string& s, std::string_view from, std::string_view to) {
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  for (std::size_t p = s.find(from); p != std::string::npos; p = s.find(from, i)) {
    out.append(s, i, p - i);
    out.append(to);
    i = p + from.size();
  }
  out.append(s, i, std::string::npos);
  s.swap(out);
}

void InsertAt(std::string& s, std::size_t pos, std::string_view piece) {
  std::string out;
  out.reserve(s.size() + piece.size());
  out.append(s, 0, pos);
  out.append(piece);
  out.append(s, pos, std::string::npos);
  s.swap(out);
}

int Mod(int v, int m) { return ((v % m) + m) % m; }

}  // namespace

bool AcceptsChar(int type, std::string_view textBefore, int caret, char32_t ch) {
  if (ch == 8) return true;
  if (ch == U',') return false;
  if (type < 1 || type > 6) return true;
  if (IsDigit(ch)) return true;
  std::string_view t = TrimLeft(textBefore);
  const bool blank = t.empty();
  const bool signedType = type == 2 || type == 4 || type == 6;
  const bool pointType = type >= 3;
  if (ch == U'-' && signedType)
    return blank || (caret == 0 && t.find('-') == std::string_view::npos);
  if (ch == U'.' && pointType) return blank || t.find('.') == std::string_view::npos;
  if (ch == U' ' && (type == 5 || type == 6)) return true;
  return false;
}

std::string FilterInsertedText(int type, std::string_view textBefore, int caret, std::string_view inserted,
                               bool* refused) {
  std::string text(textBefore);
  // caret counted in characters; find its byte offset
  std::size_t byte = 0;
  for (int k = 0; k < caret && byte < text.size(); ++k) NextChar(text, byte);
  std::string out;
  bool any = false;
  int pos = caret;
  for (std::size_t i = 0; i < inserted.size();) {
    std::size_t start = i;
    char32_t cp = NextChar(inserted, i);
    if (cp == U'\r' || cp == U'\n' || !AcceptsChar(type, text, pos, cp)) {
      any = true;
      continue;
    }
    std::string_view piece = inserted.substr(start, i - start);
    text.insert(byte, piece);
    byte += piece.size();
    ++pos;
    out.append(piece);
  }
  if (refused) *refused = any;
  return out;
}

bool StripCommas(std::string& text) {
  if (text.find(',') == std::string::npos) return false;
  RemoveAll(text, ',');
  return true;
}

namespace {

// The three fields of a typed angle, as the normaliser reads them: degrees (at most
// three digits), minutes (two) and seconds (two digits and any decimals).
struct AngleFields {
  bool minus = false;
  std::string deg, min, sec;
};

AngleFields SplitAngleText(std::string_view input) {
  std::string t(input);
  bool minus = false;
  if (!t.empty() && t[0] == '-') {
    minus = true;
    t.erase(0, 1);
    EraseLeadingBlanks(t);
  }
  std::string deg, min, sec;
  std::size_t p = t.find(' ');
  if (p != std::string::npos) {
    deg = t.substr(0, std::min<std::size_t>(p, 3));
    RemoveAll(deg, '.');
    t.erase(0, p);
    EraseLeadingBlanks(t);
    std::size_t q = t.find(' ');
    if (q == std::string::npos) q = 2;
    min = t.substr(0, std::min<std::size_t>(q, 2));
    RemoveAll(min, '.');
    t.erase(0, std::min(q, t.size()));
    EraseLeadingBlanks(t);
    sec = t;
    RemoveAll(sec, ' ');
    std::size_t dot = sec.find('.');
    if (dot != std::string::npos) {
      if (dot == 0) {
        InsertAt(sec, 0, "00");
      } else if (dot == 1) {
        InsertAt(sec, 0, "0");
      } else {
        RemoveAll(sec, '.');
        InsertAt(sec, std::min<std::size_t>(2, sec.size()), ".");
      }
    } else if (sec.size() > 2) {
      InsertAt(sec, 2, ".");
    } else {
      while (sec.size() < 2) InsertAt(sec, 0, "0");
    }
  } else {
    std::size_t d = t.find('.');
    if (d == std::string::npos) d = 3;
    deg = t.substr(0, std::min<std::size_t>(d, 3));
    t.erase(0, std::min(d + 1, t.size()));
    while (t.size() < 4) t += '0';
    min = t.substr(0, 2);
    t.erase(0, 2);
    if (t.size() > 2) InsertAt(t, 2, ".");
    sec = t;
  }
  return AngleFields{minus, deg, min, sec};
}

// True when the normaliser keeps every typed character where it was typed: it
// keeps three characters of degrees and two of minutes and moves a seconds point
// behind their second digit, so "1234 5 6" would become 123°, "12 345 6" lose its
// "5" and "1.5 30" read 15°.
bool KeepsEveryDigit(std::string_view input) {
  std::string t(input);
  if (!t.empty() && t[0] == '-') {
    t.erase(0, 1);
    EraseLeadingBlanks(t);
  }
  const std::size_t p = t.find(' ');
  if (p == std::string::npos) {
    const std::size_t dot = t.find('.');
    return dot == std::string::npos ? t.size() <= 3 : dot <= 3;
  }
  if (p > 3 || t.substr(0, p).find('.') != std::string::npos) return false;
  t.erase(0, p);
  EraseLeadingBlanks(t);
  const std::size_t q = t.find(' ');
  const std::size_t minutes = q == std::string::npos ? std::min<std::size_t>(2, t.size()) : q;
  if (minutes > 2 || t.substr(0, minutes).find('.') != std::string::npos) return false;
  std::string sec = t.substr(minutes);
  RemoveAll(sec, ' ');
  const std::size_t dot = sec.find('.');
  return dot == std::string::npos || dot <= 2;
}

}  // namespace

bool EditTextAccepted(int type, std::string_view text) {
  if (type != kInputAngle && type != kInputSignedAngle) return true;
  std::string t = Trim(text);
  StripCommas(t);
  t = Trim(t);
  if (t.empty()) return true;
  if (!KeepsEveryDigit(t)) return false;
  const AngleFields f = SplitAngleText(t);
  return platform::ParseInt(f.min) < 60 && platform::ParseInt(f.sec.substr(0, 2)) < 60;
}

std::string NormalizeAngleText(std::string_view input, bool padDegrees) {
  const AngleFields f = SplitAngleText(input);
  const bool minus = f.minus;
  const std::string& deg = f.deg;
  const std::string& min = f.min;
  const std::string& sec = f.sec;
  char buf[32];
  std::snprintf(buf, sizeof buf, padDegrees ? "%3d" : "%d", Mod(platform::ParseInt(deg), 360));
  std::string out = buf;
  std::snprintf(buf, sizeof buf, "%02d", Mod(platform::ParseInt(min), 60));
  out += ' ';
  out += buf;
  std::snprintf(buf, sizeof buf, "%02d", Mod(platform::ParseInt(sec.substr(0, 2)), 60));
  out += ' ';
  out += buf;
  if (sec.size() > 2) out += sec.substr(2);
  if (minus) InsertAt(out, 0, "-");
  return out;
}

std::string FinishEditText(int type, std::string_view text, bool padDegrees) {
  std::string t = Trim(text);
  ReplaceAll(t, "｜", "|");
  ReplaceAll(t, "；", ";");
  ReplaceAll(t, "％", "%");
  StripCommas(t);
  t = Trim(t);
  if ((type == 5 || type == 6) && !t.empty()) t = NormalizeAngleText(t, padDegrees);
  return t;
}

std::string FinishComboText(std::string_view text) {
  std::string t(text);
  StripCommas(t);
  return Trim(t);
}

}  // namespace table

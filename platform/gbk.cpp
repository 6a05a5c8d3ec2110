#include "platform/gbk.h"

#include <iconv.h>

#include <cerrno>

namespace platform {
namespace {

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Converts one run; returns false at the first unconvertible byte, with *consumed
// set to the bytes of input that were converted before it.
bool Convert(iconv_t cd, std::string_view in, std::string& out, std::size_t* consumed) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* src = const_cast<char*>(in.data());
  std::size_t left = in.size();
  // A fixed buffer: a run of bad bytes calls this once per byte, and a buffer sized
  // by the rest of the input would make a long damaged line quadratic.
  char buf[4096];
  while (left > 0) {
    char* dst = buf;
    std::size_t room = sizeof buf;
    std::size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buf, static_cast<std::size_t>(dst - buf));
    if (r == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) continue;
      *consumed = in.size() - left;
      return false;
    }
  }
  *consumed = in.size();
  return true;
}

// Length of a prefix of about limit bytes that ends after a whole GBK character:
// ASCII is one byte, a lead byte 0x81-0xFE with its trail byte 0x40-0xFE (not 0x7F)
// two; any other byte stands alone.
std::size_t GbkWindow(std::string_view s, std::size_t limit) {
  std::size_t i = 0;
  while (i < s.size() && i < limit) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    unsigned char t = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
    i += (c >= 0x81 && c <= 0xFE && t >= 0x40 && t <= 0xFE && t != 0x7F) ? 2 : 1;
  }
  return i < s.size() ? i : s.size();
}

}  // namespace

std::size_t Utf8CharLen(std::string_view s, std::size_t i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  std::size_t n = 1;
  if (c >= 0xF0) n = 4;
  else if (c >= 0xE0) n = 3;
  else if (c >= 0xC0) n = 2;
  if (i + n > s.size()) return 1;
  for (std::size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
  return n;
}

std::optional<std::string> Utf8ToGbk(std::string_view utf8, std::size_t* badOffset) {
  bool ascii = true;
  for (char c : utf8)
    if (static_cast<unsigned char>(c) >= 0x80) { ascii = false; break; }
  if (ascii) return std::string(utf8);
  static thread_local Iconv cd("GBK", "UTF-8");
  if (!cd.ok()) {
    if (badOffset) *badOffset = 0;
    return std::nullopt;
  }
  std::string out;
  out.reserve(utf8.size());  // never longer in GBK
  // ASCII is the same in GBK: only the runs of other bytes go through iconv (a
  // multi-byte character never holds an ASCII byte, so no run splits one).
  // A run like the one before (a layer name on every entity of a drawing) is not
  // converted again.
  auto high = [&](std::size_t k) { return static_cast<unsigned char>(utf8[k]) >= 0x80; };
  std::string_view lastRun;
  std::size_t lastOut = 0, lastLen = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t j = i;
    while (j < utf8.size() && !high(j)) ++j;
    out.append(utf8.data() + i, j - i);
    if (j == utf8.size()) break;
    std::size_t k = j;
    while (k < utf8.size() && high(k)) ++k;
    const std::string_view run = utf8.substr(j, k - j);
    if (run == lastRun) {
      out.append(out, lastOut, lastLen);
    } else {
      std::size_t consumed = 0;
      const std::size_t at = out.size();
      if (!Convert(cd.get(), run, out, &consumed)) {
        if (badOffset) *badOffset = j + consumed;
        return std::nullopt;
      }
      lastRun = run;
      lastOut = at;
      lastLen = out.size() - at;
    }
    i = k;
  }
  return out;
}

std::string GbkToUtf8(std::string_view gbk, bool* damaged) {
  bool ascii = true;
  for (char c : gbk)
    if (static_cast<unsigned char>(c) >= 0x80) { ascii = false; break; }
  if (ascii) return std::string(gbk);
  static thread_local Iconv cd("UTF-8", "GBK");
  std::string out;
  if (!cd.ok()) return std::string(gbk);
  // Small windows ending on a character boundary: a damaged byte costs a retry of
  // its window only, never of the whole rest (that was quadratic on a long line).
  // The window grows while the text is sound and starts small again after damage.
  std::string_view rest = gbk;
  std::size_t limit = 16;
  while (!rest.empty()) {
    std::size_t n = GbkWindow(rest, limit);
    std::size_t consumed = 0;
    if (Convert(cd.get(), rest.substr(0, n), out, &consumed)) {
      rest.remove_prefix(n);
      if (limit < 4096) limit *= 2;
      continue;
    }
    out += '?';
    if (damaged) *damaged = true;
    rest.remove_prefix(consumed + 1);
    limit = 16;
  }
  return out;
}

std::size_t Utf8ValidCharLen(std::string_view s, std::size_t i) {
  auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = at(i);
  if (c < 0x80) return 1;
  std::size_t n;
  unsigned char lo = 0x80, hi = 0xBF;  // the second byte's range
  if (c >= 0xC2 && c <= 0xDF) n = 2;
  else if (c == 0xE0) n = 3, lo = 0xA0;
  else if (c == 0xED) n = 3, hi = 0x9F;  // no surrogates
  else if (c >= 0xE1 && c <= 0xEF) n = 3;
  else if (c == 0xF0) n = 4, lo = 0x90;
  else if (c == 0xF4) n = 4, hi = 0x8F;
  else if (c >= 0xF1 && c <= 0xF3) n = 4;
  else return 0;
  if (i + n > s.size() || at(i + 1) < lo || at(i + 1) > hi) return 0;
  for (std::size_t k = 2; k < n; ++k)
    if ((at(i + k) & 0xC0) != 0x80) return 0;
  return n;
}

bool IsValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = Utf8ValidCharLen(s, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string CleanUtf8(std::string_view s, bool* damaged) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = Utf8ValidCharLen(s, i);
    if (n == 0) {
      out += '?';
      if (damaged) *damaged = true;
      ++i;
    } else {
      out.append(s, i, n);
      i += n;
    }
  }
  return out;
}

bool IsGbkEncodable(std::string_view utf8) { return Utf8ToGbk(utf8).has_value(); }

std::string FirstNonGbkChar(std::string_view utf8) {
  std::size_t bad = 0;
  if (Utf8ToGbk(utf8, &bad)) return {};
  if (bad >= utf8.size()) return {};
  return std::string(utf8.substr(bad, Utf8CharLen(utf8, bad)));
}

int GbkWidth(std::string_view utf8) {
  int w = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t n = Utf8CharLen(utf8, i);
    w += (n == 1 && static_cast<unsigned char>(utf8[i]) < 0x80) ? 1 : 2;
    i += n;
  }
  return w;
}

std::string GbkTruncate(std::string_view utf8, int maxWidth) {
  int w = 0;
  std::size_t i = 0;
  while (i < utf8.size()) {
    std::size_t n = Utf8CharLen(utf8, i);
    int cw = (n == 1 && static_cast<unsigned char>(utf8[i]) < 0x80) ? 1 : 2;
    if (w + cw > maxWidth) break;
    w += cw;
    i += n;
  }
  return std::string(utf8.substr(0, i));
}

}  // namespace platform

#pragma once
// Just enough XML for adding our parts to an office package another program wrote:
// find an element by its local name (any prefix), take its attributes, list its child
// elements and rewrite an opening tag. Packages are machine-written, well-formed XML;
// what this cannot find is reported as unreadable, never guessed.
#include <optional>
#include <string>
#include <vector>

namespace table::xml {

struct Element {
  std::size_t begin = 0;       // '<' of the opening tag
  std::size_t openEnd = 0;     // just past the opening tag's '>'
  std::size_t closeBegin = 0;  // '<' of the closing tag (== openEnd when empty)
  std::size_t end = 0;         // just past the element
  std::string name;            // as written, prefix included
  bool empty = false;          // <x/>
  std::string Prefix() const;  // "x:" for <x:sheet>, "" otherwise
};

// The first element named `local` (any prefix) starting at or after `from`, at any depth.
std::optional<Element> Find(const std::string& doc, const std::string& local, std::size_t from = 0);
// The child elements of `parent` (comments and processing instructions skipped); nullopt
// when the content is not well formed.
std::optional<std::vector<Element>> Children(const std::string& doc, const Element& parent);
// The value of attribute `name` (exact, prefix included) of the opening tag, unescaped.
std::optional<std::string> Attr(const std::string& doc, const Element& e, const std::string& name);
// The value of the first attribute whose local name is `local` (any prefix).
std::optional<std::string> AttrLocal(const std::string& doc, const Element& e, const std::string& local);
// `doc` with attribute `name` of the opening tag set to `value` (added when missing).
std::string SetAttr(const std::string& doc, const Element& e, const std::string& name, const std::string& value);

std::string Escape(const std::string& text);
std::string Unescape(const std::string& text);

}  // namespace table::xml

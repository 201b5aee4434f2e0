// libFuzzer target: the XML tokenizer on any bytes. What it accepts nests
// (every end tag closes the innermost open element, none stays open), and
// written back as XML, with its text escaped, it reads the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/text.h"
#include "config/xml_tokens.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

std::string escaped(const std::string& text) {
  return pw::replace_all(pw::replace_all(pw::replace_all(text, "&", "&amp;"), "<", "&lt;"), "\"", "&quot;");
}

std::string written(const std::vector<pw::XmlToken>& tokens) {
  std::string out;
  for (const pw::XmlToken& t : tokens) {
    if (t.kind == pw::XmlToken::Kind::kText) out += escaped(t.text);
    if (t.kind == pw::XmlToken::Kind::kEnd) out += "</" + t.name + ">";
    if (t.kind != pw::XmlToken::Kind::kStart) continue;
    out += "<" + t.name;
    for (const pw::XmlAttribute& a : t.attributes) out += " " + a.name + "=\"" + escaped(a.value) + "\"";
    out += ">";
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto tokens = pw::tokenize_xml(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!tokens) return 0;
  std::vector<std::string> open;
  for (const pw::XmlToken& t : *tokens) {
    check(t.kind != pw::XmlToken::Kind::kText || !t.text.empty());
    if (t.kind == pw::XmlToken::Kind::kStart) open.push_back(t.name);
    if (t.kind != pw::XmlToken::Kind::kEnd) continue;
    check(!open.empty() && open.back() == t.name);
    open.pop_back();
  }
  check(open.empty());
  const auto again = pw::tokenize_xml(written(*tokens));
  check(again.ok() && written(*again) == written(*tokens) && again->size() == tokens->size());
  return 0;
}

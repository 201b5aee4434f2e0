#include "config/xml_tokens.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

// The tokens in a short form: [name k=v] for a start, [/name] for an end,
// 'text' for text; or the error's code.
std::string describe(std::string_view xml) {
  const auto tokens = tokenize_xml(xml);
  if (!tokens) return tokens.error().code == ErrorCode::kRefused ? "refused" : "damaged";
  std::string out;
  for (const XmlToken& t : *tokens) {
    if (t.kind == XmlToken::Kind::kText) {
      out += "'" + t.text + "'";
      continue;
    }
    out += t.kind == XmlToken::Kind::kEnd ? "[/" + t.name : "[" + t.name;
    for (const XmlAttribute& a : t.attributes) out += " " + a.name + "=" + a.value;
    out += "]";
  }
  return out;
}

TEST(XmlTokens, Cases) {
  const struct { const char* name; std::string_view xml; std::string expected; } cases[] = {
      {"comment hides markup", "<a><!-- <b>x</b> --></a>", "[a][/a]"},
      {"CDATA as written, joined to text", "<a>x<![CDATA[<b>&amp;]]>z</a>", "[a]'x<b>&amp;z'[/a]"},
      {"attributes, both quotes, decoded", "<a k=\"1\" j = '&lt;2'/>", "[a k=1 j=<2][/a]"},
      {"five named entities", "<a>&lt;&gt;&amp;&quot;&apos;</a>", "[a]'<>&\"''[/a]"},
      {"numeric references as UTF-8", "<a>&#65;&#x42;&#xe9;&#x800;&#x1F600;</a>",
       "[a]'AB\xC3\xA9\xE0\xA0\x80\xF0\x9F\x98\x80'[/a]"},
      {"declaration and instructions skipped", "<?xml version=\"1.0\"?><a><?pi x?></a>", "[a][/a]"},
      {"nesting", "<a><b>t</b>\n</a>", "[a][b]'t'[/b]'\n'[/a]"},
      {"DTD refused", "<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>", "refused"},
      {"unknown entity", "<a>&e;</a>", "damaged"},
      {"named entity with more after it", "<a>&lt2;</a>", "damaged"},
      {"reference without its end", "<a>&amp</a>", "damaged"},
      {"reference to NUL", "<a>&#0;</a>", "damaged"},
      {"reference to a surrogate", "<a>&#xD800;</a>", "damaged"},
      {"reference past Unicode", "<a>&#x110000;</a>", "damaged"},
      {"reference with no digits", "<a>&#x;</a>", "damaged"},
      {"element open at the end", "<a><b></b>", "damaged"},
      {"comment open at the end", "<a><!-- x", "damaged"},
      {"CDATA open at the end", "<a><![CDATA[x", "damaged"},
      {"tag open at the end", "<a k=\"1\"", "damaged"},
      {"value open at the end", "<a k=\"1", "damaged"},
      {"end tag of another element", "<a></b>", "damaged"},
      {"end tag with nothing open", "</a>", "damaged"},
      {"unquoted attribute", "<a k=xax/>", "damaged"},
      {"'<' in an attribute", "<a k=\"<\"/>", "damaged"},
      {"tag without a name", "<>", "damaged"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, describe(c.xml));
  }
}

}  // namespace
}  // namespace pw

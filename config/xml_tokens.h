// A small XML tokenizer for declaration files such as Prepar3D's add-on.xml:
// elements, attributes, character data, comments, CDATA sections, the five
// named entities and numeric character references. No DTD is read and no
// other entity is expanded, so a document cannot grow or reach outside
// itself. One pass over the bytes: time and memory are linear in the size.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace pw {

struct XmlAttribute {
  std::string name;
  std::string value;  // references decoded
};

struct XmlToken {
  enum class Kind { kStart, kEnd, kText };
  Kind kind;
  std::string name;  // the element's name (kStart, kEnd)
  std::string text;  // character data with references decoded and CDATA as written (kText)
  std::vector<XmlAttribute> attributes;  // kStart only, in document order
};

// The document as start tags, end tags and text, in order. An empty-element
// tag gives a start and an end; adjacent character data and CDATA sections
// give one text token; comments, processing instructions and the XML
// declaration give nothing. References become UTF-8, as the document's own
// bytes are.
// Errors: kDamaged, with the byte offset, for a document that is not
// well-formed (a comment, CDATA section, tag or element left open at the end,
// an end tag that does not match, an unknown entity, a reference to a
// character XML does not allow); kRefused for a document type declaration.
Result<std::vector<XmlToken>> tokenize_xml(std::string_view document);

}  // namespace pw

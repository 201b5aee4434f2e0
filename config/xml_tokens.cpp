#include "config/xml_tokens.h"

#include <charconv>
#include <cstdint>
#include <optional>

namespace pw {
namespace {

constexpr std::size_t kNpos = std::string_view::npos;

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool ends_name(char c) { return is_space(c) || c == '/' || c == '>' || c == '=' || c == '<'; }

// A character XML 1.0 allows in a document.
bool is_xml_char(std::uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

void append_utf8(std::string& out, std::uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The character of one reference's body (between '&' and ';').
std::optional<std::uint32_t> referenced_char(std::string_view body) {
  static constexpr struct {
    std::string_view name;
    char c;
  } kNamed[] = {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
  for (const auto& named : kNamed) {
    if (body == named.name) return static_cast<std::uint32_t>(named.c);
  }
  if (body.size() < 2 || body[0] != '#') return std::nullopt;
  const bool hex = body[1] == 'x';
  const std::string_view digits = body.substr(hex ? 2 : 1);
  std::uint32_t value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, hex ? 16 : 10);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || !is_xml_char(value)) {
    return std::nullopt;
  }
  return value;
}

// One pass over the document; each step consumes what it reads, so no
// byte is looked at more than a bounded number of times.
class Tokenizer {
 public:
  explicit Tokenizer(std::string_view doc) : doc_(doc) {}

  Result<std::vector<XmlToken>> run() {
    while (at_ < doc_.size() && !error_) {
      if (doc_[at_] == '<') {
        markup();
      } else {
        text();
      }
    }
    if (error_) return *error_;
    if (!open_.empty()) return damaged(doc_.size(), "element <" + open_.back() + "> is not closed");
    return std::move(tokens_);
  }

 private:
  Error damaged(std::size_t at, const std::string& what) {
    return Error{ErrorCode::kDamaged, "not well-formed XML at byte " + std::to_string(at) + ": " + what};
  }
  void fail(std::size_t at, const std::string& what) {
    if (!error_) error_ = damaged(at, what);
  }

  // Decodes references in raw text into `out`; false after an error.
  bool decode(std::string_view raw, std::size_t offset, std::string& out) {
    for (std::size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] != '&') {
        out += raw[i];
        continue;
      }
      const std::size_t semicolon = raw.find(';', i);
      const std::optional<std::uint32_t> c =
          semicolon == kNpos ? std::nullopt : referenced_char(raw.substr(i + 1, semicolon - i - 1));
      if (!c) return fail(offset + i, "unknown or malformed reference"), false;
      append_utf8(out, *c);
      i = semicolon;
    }
    return true;
  }

  std::string& text_token() {
    if (tokens_.empty() || tokens_.back().kind != XmlToken::Kind::kText) tokens_.push_back({XmlToken::Kind::kText, {}, {}, {}});
    return tokens_.back().text;
  }

  void text() {
    const std::size_t end = std::min(doc_.find('<', at_), doc_.size());
    decode(doc_.substr(at_, end - at_), at_, text_token());
    at_ = end;
  }

  // Skips to just past `close`, or fails naming what was left open.
  std::optional<std::string_view> until(std::string_view close, std::size_t from, const char* what) {
    const std::size_t end = doc_.find(close, from);
    if (end == kNpos) return fail(at_, std::string(what) + " is not closed"), std::nullopt;
    const std::string_view inside = doc_.substr(from, end - from);
    at_ = end + close.size();
    return inside;
  }

  void markup() {
    const std::string_view rest = doc_.substr(at_);
    if (rest.starts_with("<!--")) {
      (void)until("-->", at_ + 4, "comment");
    } else if (rest.starts_with("<![CDATA[")) {
      const auto data = until("]]>", at_ + 9, "CDATA section");
      if (data && !data->empty()) text_token() += *data;
    } else if (rest.starts_with("<?")) {
      (void)until("?>", at_ + 2, "processing instruction");
    } else if (rest.starts_with("<!DOCTYPE")) {
      error_ = Error{ErrorCode::kRefused, "a document type declaration is not read (byte " + std::to_string(at_) + ")"};
    } else if (rest.starts_with("</")) {
      end_tag();
    } else {
      start_tag();
    }
  }

  std::string name() {
    const std::size_t from = at_;
    while (at_ < doc_.size() && !ends_name(doc_[at_])) ++at_;
    if (at_ == from) fail(from, "a name is missing");
    return std::string(doc_.substr(from, at_ - from));
  }

  void skip_spaces() {
    while (at_ < doc_.size() && is_space(doc_[at_])) ++at_;
  }

  void end_tag() {
    const std::size_t from = at_;
    at_ += 2;
    const std::string closed = name();
    skip_spaces();
    if (error_) return;
    if (at_ >= doc_.size() || doc_[at_] != '>') return fail(from, "end tag </" + closed + "> is not closed");
    ++at_;
    if (open_.empty() || open_.back() != closed) return fail(from, "end tag </" + closed + "> matches no open element");
    open_.pop_back();
    tokens_.push_back({XmlToken::Kind::kEnd, closed, {}, {}});
  }

  void start_tag() {
    const std::size_t from = at_;
    ++at_;
    XmlToken token{XmlToken::Kind::kStart, name(), {}, {}};
    for (skip_spaces(); !error_ && at_ < doc_.size() && doc_[at_] != '>' && doc_[at_] != '/'; skip_spaces()) {
      attribute(token.attributes);
    }
    if (error_) return;
    const bool empty = doc_.substr(at_).starts_with("/>");
    if (!empty && (at_ >= doc_.size() || doc_[at_] != '>')) return fail(from, "tag <" + token.name + "> is not closed");
    at_ += empty ? 2 : 1;
    tokens_.push_back(token);
    if (empty) {
      tokens_.push_back({XmlToken::Kind::kEnd, token.name, {}, {}});
    } else {
      open_.push_back(token.name);
    }
  }

  void attribute(std::vector<XmlAttribute>& out) {
    XmlAttribute a{name(), {}};
    skip_spaces();
    if (error_ || at_ >= doc_.size() || doc_[at_] != '=') return fail(at_, "attribute " + a.name + " has no value");
    ++at_;
    skip_spaces();
    const char quote = at_ < doc_.size() ? doc_[at_] : '\0';
    if (quote != '"' && quote != '\'') return fail(at_, "attribute " + a.name + " is not quoted");
    const std::size_t start = at_ + 1;
    const std::optional<std::string_view> raw = until(std::string_view(&quote, 1), start, "attribute value");
    if (!raw) return;
    if (raw->find('<') != kNpos) return fail(start, "'<' in the value of attribute " + a.name);
    if (decode(*raw, start, a.value)) out.push_back(std::move(a));
  }

  std::string_view doc_;
  std::size_t at_ = 0;
  std::vector<XmlToken> tokens_;
  std::vector<std::string> open_;  // names of the elements open at at_, innermost last
  std::optional<Error> error_;
};

}  // namespace

Result<std::vector<XmlToken>> tokenize_xml(std::string_view document) { return Tokenizer(document).run(); }

}  // namespace pw

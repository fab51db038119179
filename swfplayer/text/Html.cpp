#include "swfplayer/text/Html.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "swfplayer/text/Unicode.h"

namespace swfplayer::text {
namespace {

constexpr size_t kMaxOpenTags = 256;  // deeper nesting keeps the innermost format

struct Attribute {
  std::u16string name;  // folded
  std::u16string value;
};

struct Tag {
  std::u16string name;  // folded
  bool closing = false;
  bool selfClosing = false;
  std::vector<Attribute> attributes;

  const std::u16string* Find(std::u16string_view wanted) const {
    for (const Attribute& attribute : attributes) {
      if (attribute.name == wanted) return &attribute.value;
    }
    return nullptr;
  }
};

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// The inside of <...> (without the brackets) as a tag.
Tag ReadTag(std::u16string_view inside) {
  Tag tag;
  size_t i = 0;
  if (i < inside.size() && inside[i] == u'/') {
    tag.closing = true;
    ++i;
  }
  const size_t nameStart = i;
  while (i < inside.size() && !IsSpace(inside[i]) && inside[i] != u'/') ++i;
  tag.name = FoldCase(inside.substr(nameStart, i - nameStart));
  while (i < inside.size()) {
    while (i < inside.size() && (IsSpace(inside[i]) || inside[i] == u'/')) {
      if (inside[i] == u'/') tag.selfClosing = true;
      ++i;
    }
    const size_t start = i;
    while (i < inside.size() && !IsSpace(inside[i]) && inside[i] != u'=' && inside[i] != u'/') ++i;
    if (i == start) {
      ++i;
      continue;
    }
    Attribute attribute{FoldCase(inside.substr(start, i - start)), {}};
    while (i < inside.size() && IsSpace(inside[i])) ++i;
    if (i < inside.size() && inside[i] == u'=') {
      ++i;
      while (i < inside.size() && IsSpace(inside[i])) ++i;
      if (i < inside.size() && (inside[i] == u'"' || inside[i] == u'\'')) {
        const char16_t quote = inside[i++];
        const size_t valueStart = i;
        while (i < inside.size() && inside[i] != quote) ++i;
        attribute.value = inside.substr(valueStart, i - valueStart);
        if (i < inside.size()) ++i;
      } else {
        const size_t valueStart = i;
        while (i < inside.size() && !IsSpace(inside[i])) ++i;
        attribute.value = inside.substr(valueStart, i - valueStart);
      }
    }
    tag.attributes.push_back(std::move(attribute));
  }
  return tag;
}

// Where the tag that opens at html[at] == '<' ends (its '>'), quotes respected; npos when it
// never does.
size_t TagEnd(std::u16string_view html, size_t at) {
  char16_t quote = 0;
  for (size_t i = at + 1; i < html.size(); ++i) {
    const char16_t c = html[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u'>') {
      return i;
    }
  }
  return std::u16string_view::npos;
}

void AppendCodePoint(std::u16string& out, uint32_t c) {
  if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return;
  if (c >= 0x10000) {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(c));
  }
}

// Entities decoded; one the reader does not know stays as written.
std::u16string DecodeEntities(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'&') {
      out.push_back(text[i]);
      continue;
    }
    const size_t end = text.find(u';', i);
    if (end == std::u16string_view::npos || end - i > 10) {
      out.push_back(text[i]);
      continue;
    }
    const std::u16string name = FoldCase(text.substr(i + 1, end - i - 1));
    std::optional<uint32_t> code;
    if (name == u"lt") code = u'<';
    else if (name == u"gt") code = u'>';
    else if (name == u"amp") code = u'&';
    else if (name == u"quot") code = u'"';
    else if (name == u"apos") code = u'\'';
    else if (name == u"nbsp") code = 0xA0;
    else if (name.size() > 1 && name[0] == u'#') {
      const bool hex = name[1] == u'x';
      uint32_t value = 0;
      bool digits = name.size() > (hex ? 2u : 1u);
      for (size_t k = hex ? 2 : 1; k < name.size() && digits; ++k) {
        const char16_t c = name[k];
        int digit = -1;
        if (c >= u'0' && c <= u'9') digit = c - u'0';
        else if (hex && c >= u'a' && c <= u'f') digit = c - u'a' + 10;
        digits = digit >= 0 && value < 0x110000;
        value = value * (hex ? 16 : 10) + static_cast<uint32_t>(std::max(digit, 0));
      }
      if (digits) code = value;
    }
    if (!code) {
      out.push_back(text[i]);
      continue;
    }
    AppendCodePoint(out, *code);
    i = end;
  }
  return out;
}

std::optional<double> ParseNumber(const std::u16string& value) {
  std::string ascii;
  for (char16_t c : value) {
    if (c > 0x7F) break;
    ascii.push_back(static_cast<char>(c));
  }
  const char* start = ascii.c_str();
  while (*start == ' ') ++start;
  char* end = nullptr;
  const double number = std::strtod(start, &end);
  if (end == start) return std::nullopt;
  return number;
}

// size="12", "+2" or "-2" (relative to the size around it); digits up to the first other
// character count, clamped to 1..127; anything else leaves the size.
void ApplySize(TextFormat& format, const std::u16string& value) {
  size_t i = 0;
  int sign = 0;
  if (!value.empty() && (value[0] == u'+' || value[0] == u'-')) {
    sign = value[0] == u'+' ? 1 : -1;
    ++i;
  }
  double number = 0;
  size_t digits = 0;
  for (; i < value.size() && value[i] >= u'0' && value[i] <= u'9' && digits < 6; ++i, ++digits) {
    number = number * 10 + (value[i] - u'0');
  }
  if (digits == 0) return;
  const double base = format.size.value_or(12);
  const double size = sign == 0 ? number : base + sign * number;
  format.size = std::clamp(size, 1.0, 127.0);
}

// color="#RRGGBB"; anything else leaves the colour.
void ApplyColor(TextFormat& format, const std::u16string& value) {
  if (value.size() < 7 || value[0] != u'#') return;
  uint32_t color = 0;
  for (size_t i = 1; i < 7; ++i) {
    const char16_t c = value[i];
    uint32_t digit = 0;
    if (c >= u'0' && c <= u'9') digit = c - u'0';
    else if (c >= u'a' && c <= u'f') digit = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F') digit = c - u'A' + 10;
    else return;
    color = color * 16 + digit;
  }
  format.color = color;
}

class HtmlReader {
 public:
  HtmlReader(const TextFormat& base, const HtmlOptions& options) : options_(options) {
    stack_.push_back({u"", base});
  }

  StyledText Read(std::u16string_view html) {
    size_t i = 0;
    while (i < html.size()) {
      if (html[i] != u'<') {
        const size_t next = std::min(html.find(u'<', i), html.size());
        Text(html.substr(i, next - i));
        i = next;
        continue;
      }
      if (html.substr(i, 4) == u"<!--") {
        const size_t end = html.find(u"-->", i + 4);
        if (end == std::u16string_view::npos) break;
        i = end + 3;
        continue;
      }
      const size_t end = TagEnd(html, i);
      if (end == std::u16string_view::npos) break;  // an unclosed '<' ends the text
      const Tag tag = ReadTag(html.substr(i + 1, end - i - 1));
      i = end + 1;
      if (tag.name.empty() || tag.name[0] == u'!' || tag.name[0] == u'?') continue;
      if (tag.closing) {
        Close(tag);
      } else {
        Open(tag);
      }
    }
    // The break a last paragraph's end tag wrote stays in the text (scripts read it), as in
    // the Flash Player.
    if (text_.Runs().empty()) text_ = StyledText(u"", stack_.front().format);
    return std::move(text_);
  }

 private:
  struct Open_ {
    std::u16string name;
    TextFormat format;
  };

  const TextFormat& Current() const { return stack_.back().format; }

  void Break(const TextFormat& format) { text_.Append(u"\r", format); }

  void Text(std::u16string_view raw) {
    std::u16string text = DecodeEntities(raw);
    if (options_.swfVersion <= 7 &&
        std::all_of(text.begin(), text.end(), [](char16_t c) { return IsSpace(c); })) {
      return;
    }
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
      if (options_.condenseWhite && IsSpace(c)) {
        if (out.empty() || out.back() != u' ') out.push_back(u' ');
      } else {
        out.push_back(c == u'\n' ? u'\r' : c);
      }
    }
    text_.Append(out, Current());
  }

  void Open(const Tag& tag) {
    TextFormat format = Current();
    const std::u16string& name = tag.name;
    if (name == u"br" || name == u"sbr") {
      if (options_.multiline || name == u"sbr") Break(format);
      return;
    }
    if (name == u"p") {
      if (const auto* align = tag.Find(u"align")) {
        const std::u16string value = FoldCase(*align);
        if (value == u"left") format.align = Align::kLeft;
        else if (value == u"center") format.align = Align::kCenter;
        else if (value == u"right") format.align = Align::kRight;
        else if (value == u"justify") format.align = Align::kJustify;
      }
      paragraphOpen_ = true;
    } else if (name == u"a") {
      if (const auto* href = tag.Find(u"href")) format.url = *href;
      if (const auto* target = tag.Find(u"target")) format.target = *target;
    } else if (name == u"font") {
      if (const auto* face = tag.Find(u"face")) format.font = *face;
      if (const auto* size = tag.Find(u"size")) ApplySize(format, *size);
      if (const auto* color = tag.Find(u"color")) ApplyColor(format, *color);
      if (const auto* spacing = tag.Find(u"letterspacing")) {
        if (auto value = ParseNumber(*spacing)) format.letterSpacing = *value;
      }
      if (const auto* kerning = tag.Find(u"kerning")) format.kerning = *kerning == u"1";
    } else if (name == u"b") {
      format.bold = true;
    } else if (name == u"i") {
      format.italic = true;
    } else if (name == u"u") {
      format.underline = true;
    } else if (name == u"li") {
      if (options_.multiline && text_.Length() > 0 && text_.Text().back() != u'\r') Break(Current());
      format.bullet = true;
    } else if (name == u"textformat") {
      auto number = [&](std::u16string_view attribute, std::optional<double>& field) {
        if (const auto* value = tag.Find(attribute)) {
          if (auto parsed = ParseNumber(*value)) field = *parsed;
        }
      };
      number(u"leftmargin", format.leftMargin);
      number(u"rightmargin", format.rightMargin);
      number(u"indent", format.indent);
      number(u"blockindent", format.blockIndent);
      number(u"leading", format.leading);
      if (const auto* stops = tag.Find(u"tabstops")) {
        std::vector<double> values;
        size_t start = 0;
        while (start <= stops->size() && values.size() < 64) {
          const size_t comma = std::min(stops->find(u',', start), stops->size());
          if (auto value = ParseNumber(stops->substr(start, comma - start))) values.push_back(*value);
          start = comma + 1;
        }
        format.tabStops = std::move(values);
      }
    }
    if (tag.selfClosing) return;
    if (stack_.size() >= kMaxOpenTags) {
      stack_.back().format = format;
      return;
    }
    stack_.push_back({name, std::move(format)});
  }

  void Close(const Tag& tag) {
    if (stack_.size() <= 1 || stack_.back().name != tag.name) return;  // not the innermost
    const TextFormat closed = stack_.back().format;
    stack_.pop_back();
    if (tag.name == u"li" && options_.multiline) {
      Break(closed);
    } else if (tag.name == u"p" && options_.multiline && paragraphOpen_) {
      paragraphOpen_ = false;
      Break(closed);
    }
  }

  HtmlOptions options_;
  std::vector<Open_> stack_;
  StyledText text_;
  bool paragraphOpen_ = false;
};

}  // namespace

StyledText ParseHtml(std::u16string_view html, const TextFormat& base, const HtmlOptions& options) {
  return HtmlReader(base, options).Read(html);
}

}  // namespace swfplayer::text

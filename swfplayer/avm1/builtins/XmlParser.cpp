// The Flash Player's XML parser: lenient (no well-formedness beyond matching tags, names are
// whatever stands between '<' and a space), keeping what it read before an error, reporting
// the first error in XML.status. Comments are dropped; CDATA becomes text; the XML declaration
// and DOCTYPE are kept as text for xmlDecl and docTypeDecl.
#include <string>

#include "swfplayer/avm1/builtins/XmlTree.h"

namespace swfplayer::avm1::xml {

namespace {

constexpr std::u16string_view kSpace = u"\r\n\t ";
constexpr size_t kNone = std::u16string_view::npos;

bool IsSpace(char16_t unit) { return kSpace.find(unit) != kNone; }

char16_t Lower(char16_t unit) { return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + 32) : unit; }

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

// A numeric entity's digits ("#65", "#x41") as a character; false when they are not one.
bool NumericEntity(std::u16string_view body, std::u16string& out) {
  if (body.size() < 2 || body[0] != u'#') return false;
  const bool hex = body[1] == u'x' || body[1] == u'X';
  const std::u16string_view digits = body.substr(hex ? 2 : 1);
  if (digits.empty() || digits.size() > 8) return false;
  uint32_t code = 0;
  for (char16_t unit : digits) {
    uint32_t digit;
    if (unit >= u'0' && unit <= u'9') {
      digit = unit - u'0';
    } else if (hex && Lower(unit) >= u'a' && Lower(unit) <= u'f') {
      digit = Lower(unit) - u'a' + 10;
    } else {
      return false;
    }
    code = code * (hex ? 16 : 10) + digit;
  }
  if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
  if (code < 0x10000) {
    out.push_back(static_cast<char16_t>(code));
  } else {
    code -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
  }
  return true;
}

class Parser {
 public:
  Parser(VmImpl& vm, Document* document, std::u16string_view text, bool ignoreWhite)
      : vm_(vm), document_(document), text_(text), ignoreWhite_(ignoreWhite), current_(document) {}

  void Run() {
    while (at_ < text_.size() && status_ == kOk) {
      if (text_[at_] != u'<') {
        Text();
        continue;
      }
      ++at_;
      if (Matches(u"!DOCTYPE")) {
        DocType();
      } else if (Matches(u"?xml")) {
        Declaration();
      } else if (Matches(u"!--")) {
        Skip(u"-->", kCommentNotTerminated);
      } else if (Matches(u"![CDATA[")) {
        Cdata();
      } else {
        Tag();
      }
    }
    if (status_ == kOk && current_ != document_) status_ = kMissingCloseTag;
    document_->status = status_;
  }

 private:
  bool Matches(std::u16string_view word) const { return EqualsNoCase(text_.substr(at_, word.size()), word); }

  // Moves past white space; false at the end of the text.
  bool SkipSpace() {
    while (at_ < text_.size() && IsSpace(text_[at_])) ++at_;
    return at_ < text_.size();
  }

  void Add(Node* node) { Tree::AppendNew(vm_, current_, node); }

  void Text() {
    size_t end = text_.find(u'<', at_);
    if (end == kNone) end = text_.size();
    const std::u16string_view content = text_.substr(at_, end - at_);
    at_ = end;
    if (ignoreWhite_ && content.find_first_not_of(kSpace) == kNone) return;
    Add(Tree::NewNode(vm_, kTextNode, vm_.NewString(Unescape(content))));
  }

  void Skip(std::u16string_view terminator, Status unterminated) {
    const size_t end = text_.find(terminator, at_);
    if (end == kNone) {
      status_ = unterminated;
      return;
    }
    at_ = end + terminator.size();
  }

  void Cdata() {
    at_ += 8;
    const size_t end = text_.find(u"]]>", at_);
    if (end == kNone) {
      status_ = kCdataNotTerminated;
      return;
    }
    Add(Tree::NewNode(vm_, kTextNode, vm_.NewString(text_.substr(at_, end - at_))));
    at_ = end + 3;
  }

  // <?xml ... ?>: several declarations add up.
  void Declaration() {
    const size_t end = text_.find(u"?>", at_);
    if (end == kNone) {
      status_ = kDeclNotTerminated;
      return;
    }
    std::u16string declaration = u"<";
    declaration += text_.substr(at_, end - at_);
    declaration += u"?>";
    String* made = vm_.NewString(declaration);
    document_->xmlDecl = document_->xmlDecl != nullptr ? vm_.Concat(document_->xmlDecl, made) : made;
    at_ = end + 2;
  }

  // <!DOCTYPE ...>, with the brackets of an internal subset counted so that its '>' do not end it.
  void DocType() {
    size_t open = 1;
    size_t from = at_;
    size_t end = at_;
    while (open > 0) {
      end = text_.find(u'>', from);
      if (end == kNone) {
        status_ = kDoctypeNotTerminated;
        return;
      }
      --open;
      for (size_t i = from; i < end; ++i) open += text_[i] == u'<' ? 1 : 0;
      from = end + 1;
    }
    std::u16string declaration = u"<";
    declaration += text_.substr(at_, end - at_);
    declaration += u">";
    document_->docTypeDecl = vm_.NewString(declaration);
    at_ = end + 1;
  }

  void Tag() {
    const bool closing = at_ < text_.size() && text_[at_] == u'/';
    if (closing) ++at_;
    size_t nameEnd = text_.find_first_of(u"\r\n\t >", at_);
    if (nameEnd == kNone) {
      status_ = kElementMalformed;
      return;
    }
    if (nameEnd > 0 && text_[nameEnd - 1] == u'/' && text_[nameEnd] == u'>') --nameEnd;
    if (at_ >= nameEnd) {
      status_ = kElementMalformed;
      return;
    }
    const std::u16string_view name = text_.substr(at_, nameEnd - at_);
    if (closing) {
      CloseTag(name, nameEnd);
    } else {
      OpenTag(name, nameEnd);
    }
  }

  void OpenTag(std::u16string_view name, size_t nameEnd) {
    Node* element = Tree::NewNode(vm_, kElementNode, vm_.NewString(name));
    at_ = nameEnd;
    if (!SkipSpace()) {
      status_ = kElementMalformed;
      return;
    }
    std::vector<std::pair<std::u16string_view, std::u16string>> attributes;
    while (at_ < text_.size() && text_[at_] != u'>') {
      if (text_.substr(at_, 2) == u"/>") break;
      if (!Attribute(attributes)) return;
      if (!SkipSpace()) {
        status_ = kElementMalformed;
        return;
      }
    }
    // Defined last first: the attributes object lists the newest first, so scripts (and
    // toString) see them in the document's order.
    if (!attributes.empty()) {
      Object* object = element->Attributes(vm_);
      for (auto attribute = attributes.rbegin(); attribute != attributes.rend(); ++attribute) {
        String* value = vm_.NewString(attribute->second);
        object->DefineValue(vm_, vm_.NewString(attribute->first), Value(value));
        if (attribute->first == u"id") IdMap()->DefineValue(vm_, value, Value(element));
      }
    }
    Add(element);
    if (text_[at_] == u'/') {
      ++at_;
    } else {
      if (++depth_ > kMaxParseDepth) {
        status_ = kOutOfMemory;
        return;
      }
      current_ = element;
    }
    if (at_ < text_.size() && text_[at_] == u'>') ++at_;
  }

  // name="value" or name='value'; a quote after a backslash does not end the value. The first
  // of attributes with the same name counts.
  bool Attribute(std::vector<std::pair<std::u16string_view, std::u16string>>& attributes) {
    const size_t nameEnd = text_.find_first_of(u"\r\n\t >=", at_);
    if (nameEnd == kNone || nameEnd == at_) {
      status_ = kElementMalformed;
      return false;
    }
    const std::u16string_view name = text_.substr(at_, nameEnd - at_);
    at_ = nameEnd;
    if (!SkipSpace() || text_[at_] != u'=') {
      status_ = kElementMalformed;
      return false;
    }
    ++at_;
    if (!SkipSpace() || (text_[at_] != u'"' && text_[at_] != u'\'')) {
      status_ = kElementMalformed;
      return false;
    }
    const char16_t quote = text_[at_];
    size_t end = at_;
    do {
      end = text_.find(quote, end + 1);
    } while (end != kNone && text_[end - 1] == u'\\');
    if (end == kNone) {
      status_ = kAttributeNotTerminated;
      return false;
    }
    const std::u16string_view value = text_.substr(at_ + 1, end - at_ - 1);
    at_ = end + 1;
    for (const auto& [seen, unused] : attributes) {
      if (seen == name) return true;
    }
    attributes.emplace_back(name, Unescape(value));
    return true;
  }

  void CloseTag(std::u16string_view name, size_t nameEnd) {
    const size_t end = text_.find(u'>', nameEnd);
    if (end == kNone) {
      status_ = kElementMalformed;
      return;
    }
    at_ = end + 1;
    const auto named = [&name](Node* node) {
      return node->Name() != nullptr && EqualsNoCase(node->Name()->View(), name);
    };
    if (current_->parent != nullptr && named(current_)) {
      current_ = current_->parent;
      --depth_;
      return;
    }
    // An end tag for an element further out means this one was never closed; one for no
    // open element at all has no start.
    Node* open = current_;
    while (open != nullptr && !named(open)) open = open->parent;
    status_ = open != nullptr ? kMissingCloseTag : kMissingOpenTag;
  }

  Object* IdMap() {
    if (document_->idMap == nullptr) document_->idMap = vm_.NewObject();
    return document_->idMap;
  }

  VmImpl& vm_;
  Document* document_;
  std::u16string_view text_;
  bool ignoreWhite_;
  Node* current_;
  size_t at_ = 0;
  size_t depth_ = 0;
  Status status_ = kOk;
};

}  // namespace

std::u16string Unescape(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t at = 0;
  while (at < text.size()) {
    const size_t amp = text.find(u'&', at);
    if (amp == kNone) break;
    out.append(text.substr(at, amp - at));
    const size_t semicolon = text.find(u';', amp);
    if (semicolon == kNone) {
      at = amp;
      break;
    }
    const std::u16string_view body = text.substr(amp + 1, semicolon - amp - 1);
    if (body == u"amp") {
      out.push_back(u'&');
    } else if (body == u"lt") {
      out.push_back(u'<');
    } else if (body == u"gt") {
      out.push_back(u'>');
    } else if (body == u"quot") {
      out.push_back(u'"');
    } else if (body == u"apos") {
      out.push_back(u'\'');
    } else if (!NumericEntity(body, out)) {
      out.append(text.substr(amp, semicolon + 1 - amp));
    }
    at = semicolon + 1;
  }
  out.append(text.substr(at));
  return out;
}

void Parse(VmImpl& vm, Document* document, std::u16string_view text, bool ignoreWhite) {
  Tree::RemoveChildren(vm, document);
  document->xmlDecl = nullptr;
  document->docTypeDecl = nullptr;
  Parser(vm, document, text, ignoreWhite).Run();
}

}  // namespace swfplayer::avm1::xml

// The trees of XML and XMLNode: every node is itself the script object a movie sees (its
// properties are getters on XMLNode.prototype), an XML document is the node at its root. Trees
// can be as deep or as wide as the heap allows: nothing that walks them recurses (the
// serializer, the cloner and the parser keep their own stacks), and every node and child list
// is counted by the heap, so a script or a string that builds without end meets its bound.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "swfplayer/avm1/Native.h"

namespace swfplayer::avm1::xml {

inline constexpr uint8_t kElementNode = 1;
inline constexpr uint8_t kTextNode = 3;

class Node : public Object {
 public:
  explicit Node(Value proto, ObjectClass objectClass = ObjectClass::kXmlNode) : Object(proto, objectClass) {}
  ~Node() override = default;

  // Only nodes a constructor, a create method or the parser made are nodes for the methods
  // (the prototypes are objects of this kind too, but not nodes).
  bool isNode = false;
  uint8_t type = kTextNode;
  // An element's name or another node's text; null for none (a document's root).
  String* value = nullptr;
  Node* parent = nullptr;
  Node* previous = nullptr;
  Node* next = nullptr;
  const std::vector<Node*>& Children() const { return children_; }

  // The attributes object (plain, without a prototype), made on first use.
  Object* Attributes(VmImpl& vm);
  Object* AttributesIfAny() const { return attributes_; }

  // The element's name, null for other nodes.
  String* Name() const { return type == kElementNode ? value : nullptr; }

  void Trace(Tracer& tracer) override;

 private:
  friend class Tree;
  std::vector<Node*> children_;
  size_t accounted_ = 0;
  Object* attributes_ = nullptr;
  ArrayObject* childNodes_ = nullptr;  // the array childNodes answers, kept in step
};

// An XML object: the root node and what the parser found about the document.
class Document final : public Node {
 public:
  explicit Document(Value proto) : Node(proto, ObjectClass::kXml) { type = kElementNode; }
  String* xmlDecl = nullptr;
  String* docTypeDecl = nullptr;
  int32_t status = 0;
  Object* idMap = nullptr;
  void Trace(Tracer& tracer) override;
};

// The node `value` is (for methods that take a node), or null.
Node* AsNode(const Value& value);
Document* AsDocument(const Value& value);

// Changes to trees, kept consistent: parent, siblings, child lists and childNodes arrays.
class Tree {
 public:
  // A new node with XMLNode.prototype (as the original XMLNode class has it now).
  static Node* NewNode(VmImpl& vm, uint8_t type, String* value);
  // Puts child at index among parent's children, taking it from where it was. Nothing happens
  // when child is parent or one of its ancestors (a tree never contains itself).
  static void Insert(VmImpl& vm, Node* parent, size_t index, Node* child);
  static void Append(VmImpl& vm, Node* parent, Node* child) { Insert(vm, parent, parent->children_.size(), child); }
  // Append for a node made just now (no parent, no children): the parser and the cloner skip
  // the walk up the ancestors, which would make building a deep tree quadratic.
  static void AppendNew(VmImpl& vm, Node* parent, Node* child) { Link(vm, parent, parent->children_.size(), child); }
  static void Remove(VmImpl& vm, Node* child);
  static void RemoveChildren(VmImpl& vm, Node* parent);
  // The position of child among parent's children, or -1.
  static ptrdiff_t IndexOf(const Node* parent, const Node* child);
  // A copy of the node (attributes too), and of its whole subtree when deep.
  static Node* Clone(VmImpl& vm, Node* node, bool deep);
  // The array childNodes answers (the same one each time, following the tree).
  static ArrayObject* ChildNodes(VmImpl& vm, Node* node);

 private:
  static void Link(VmImpl& vm, Node* parent, size_t index, Node* child);
  static void Account(VmImpl& vm, Node* node);
  static void RefreshChildNodes(VmImpl& vm, Node* node);
};

// toString: the node as XML text, its text and attribute values escaped; a document starts with
// its XML declaration and DOCTYPE.
String* Serialize(VmImpl& vm, Node* node);
// & < > " ' as entities.
void AppendEscaped(std::u16string& out, std::u16string_view text);

// Namespaces from the xmlns attributes of the node and its ancestors: the URI of a prefix
// (an empty prefix matches any xmlns attribute) and the prefix of a URI; false when none.
bool NamespaceForPrefix(VmImpl& vm, Node* node, std::u16string_view prefix, Value& uri);
bool PrefixForNamespace(VmImpl& vm, Node* node, String* uri, Value& prefix);

// The parser's status codes (XML.status).
enum Status : int32_t {
  kOk = 0,
  kCdataNotTerminated = -2,
  kDeclNotTerminated = -3,
  kDoctypeNotTerminated = -4,
  kCommentNotTerminated = -5,
  kElementMalformed = -6,
  kOutOfMemory = -7,
  kAttributeNotTerminated = -8,
  kMissingCloseTag = -9,
  kMissingOpenTag = -10,
};
// Elements open inside each other past this many make the document too deep (kOutOfMemory).
inline constexpr size_t kMaxParseDepth = 4096;

// Replaces the document's children, declaration and DOCTYPE with what text holds, as the
// Flash Player's lenient parser reads it: what was read before an error stays, and the status
// says what went wrong.
void Parse(VmImpl& vm, Document* document, std::u16string_view text, bool ignoreWhite);
// The text with the parser's entities replaced (&amp; &lt; &gt; &quot; &apos; and numeric
// ones); anything else with '&' is kept as it is.
std::u16string Unescape(std::u16string_view text);

}  // namespace swfplayer::avm1::xml

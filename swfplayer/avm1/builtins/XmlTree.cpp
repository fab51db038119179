#include "swfplayer/avm1/builtins/XmlTree.h"

#include <algorithm>
#include <utility>

#include "swfplayer/avm1/builtins/XmlState.h"

namespace swfplayer::avm1::xml {

void Node::Trace(Tracer& tracer) {
  Object::Trace(tracer);
  tracer.Mark(value);
  tracer.Mark(parent);
  tracer.Mark(previous);
  tracer.Mark(next);
  for (Node* child : children_) tracer.Mark(child);
  tracer.Mark(attributes_);
  tracer.Mark(childNodes_);
}

Object* Node::Attributes(VmImpl& vm) {
  if (attributes_ == nullptr) attributes_ = vm.heap.New<Object>(Value());
  return attributes_;
}

void Document::Trace(Tracer& tracer) {
  Node::Trace(tracer);
  tracer.Mark(xmlDecl);
  tracer.Mark(docTypeDecl);
  tracer.Mark(idMap);
}

Node* AsNode(const Value& value) {
  if (!value.IsObject()) return nullptr;
  Object* object = value.AsObject();
  if (object->Class() != ObjectClass::kXmlNode && object->Class() != ObjectClass::kXml) return nullptr;
  auto* node = static_cast<Node*>(object);
  return node->isNode ? node : nullptr;
}

Document* AsDocument(const Value& value) {
  if (!value.IsObject() || value.AsObject()->Class() != ObjectClass::kXml) return nullptr;
  auto* document = static_cast<Document*>(value.AsObject());
  return document->isNode ? document : nullptr;
}

Node* Tree::NewNode(VmImpl& vm, uint8_t type, String* value) {
  Node* node = vm.heap.New<Node>(NodePrototype(vm));
  node->isNode = true;
  node->type = type;
  node->value = value;
  return node;
}

void Tree::Account(VmImpl& vm, Node* node) {
  const size_t bytes = node->children_.capacity() * sizeof(Node*);
  const auto delta = static_cast<ptrdiff_t>(bytes) - static_cast<ptrdiff_t>(node->accounted_);
  node->accounted_ = bytes;
  if (delta != 0) vm.heap.Resize(node, delta);
}

ptrdiff_t Tree::IndexOf(const Node* parent, const Node* child) {
  const auto& children = parent->children_;
  const auto found = std::find(children.begin(), children.end(), child);
  return found == children.end() ? -1 : found - children.begin();
}

void Tree::RefreshChildNodes(VmImpl& vm, Node* node) {
  ArrayObject* array = node->childNodes_;
  if (array == nullptr) return;
  array->SetLength(vm, 0);
  for (Node* child : node->children_) array->Push(vm, Value(child));
}

ArrayObject* Tree::ChildNodes(VmImpl& vm, Node* node) {
  if (node->childNodes_ == nullptr) {
    node->childNodes_ = vm.NewArray();
    RefreshChildNodes(vm, node);
  }
  return node->childNodes_;
}

void Tree::Remove(VmImpl& vm, Node* child) {
  Node* parent = child->parent;
  if (parent == nullptr) return;
  const ptrdiff_t index = IndexOf(parent, child);
  if (index >= 0) parent->children_.erase(parent->children_.begin() + index);
  if (child->previous != nullptr) child->previous->next = child->next;
  if (child->next != nullptr) child->next->previous = child->previous;
  child->previous = nullptr;
  child->next = nullptr;
  child->parent = nullptr;
  RefreshChildNodes(vm, parent);
}

void Tree::RemoveChildren(VmImpl& vm, Node* parent) {
  for (Node* child : parent->children_) {
    child->parent = nullptr;
    child->previous = nullptr;
    child->next = nullptr;
  }
  parent->children_.clear();
  RefreshChildNodes(vm, parent);
}

void Tree::Insert(VmImpl& vm, Node* parent, size_t index, Node* child) {
  for (Node* ancestor = parent; ancestor != nullptr; ancestor = ancestor->parent) {
    if (ancestor == child) return;
  }
  if (child->parent != nullptr) {
    const ptrdiff_t old = child->parent == parent ? IndexOf(parent, child) : -1;
    Remove(vm, child);
    if (old >= 0 && static_cast<size_t>(old) < index) --index;
  }
  Link(vm, parent, index, child);
}

void Tree::Link(VmImpl& vm, Node* parent, size_t index, Node* child) {
  auto& children = parent->children_;
  index = std::min(index, children.size());
  children.insert(children.begin() + static_cast<ptrdiff_t>(index), child);
  Account(vm, parent);
  child->parent = parent;
  child->previous = index > 0 ? children[index - 1] : nullptr;
  child->next = index + 1 < children.size() ? children[index + 1] : nullptr;
  if (child->previous != nullptr) child->previous->next = child;
  if (child->next != nullptr) child->next->previous = child;
  RefreshChildNodes(vm, parent);
}

Node* Tree::Clone(VmImpl& vm, Node* node, bool deep) {
  const auto copyOne = [&vm](Node* from) {
    Node* copy = NewNode(vm, from->type, from->value);
    if (Object* attributes = from->attributes_) {
      std::vector<String*> keys;
      attributes->EnumerableKeys(vm, keys);
      Object* target = copy->Attributes(vm);
      // Defined oldest first, so that the copy lists them in the original's order.
      for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        target->DefineValue(vm, *key, attributes->Get(vm, *key));
      }
    }
    return copy;
  };
  Node* root = copyOne(node);
  if (!deep) return root;
  // Breadth by breadth with an explicit list: a tree may be deeper than the C++ stack.
  std::vector<std::pair<Node*, Node*>> pending{{node, root}};
  while (!pending.empty()) {
    auto [from, to] = pending.back();
    pending.pop_back();
    const std::vector<Node*> children = from->children_;
    for (Node* child : children) {
      Node* copy = copyOne(child);
      AppendNew(vm, to, copy);
      pending.emplace_back(child, copy);
    }
  }
  return root;
}

void AppendEscaped(std::u16string& out, std::u16string_view text) {
  for (char16_t unit : text) {
    switch (unit) {
      case u'&': out += u"&amp;"; break;
      case u'<': out += u"&lt;"; break;
      case u'>': out += u"&gt;"; break;
      case u'"': out += u"&quot;"; break;
      case u'\'': out += u"&apos;"; break;
      default: out.push_back(unit);
    }
  }
}

String* Serialize(VmImpl& vm, Node* node) {
  std::u16string out;
  const auto check = [&vm, &out] {
    if (out.size() > vm.limits.maxStringUnits) vm.Abort("an XML text longer than the string bound");
  };
  if (Document* document = AsDocument(Value(node))) {
    if (document->xmlDecl != nullptr) out += document->xmlDecl->View();
    if (document->docTypeDecl != nullptr) out += document->docTypeDecl->View();
  }
  // Each entry opens a node, or (closing) writes an element's end tag.
  struct Step {
    Node* node;
    bool closing;
  };
  std::vector<Step> steps{{node, false}};
  while (!steps.empty()) {
    const Step step = steps.back();
    steps.pop_back();
    Node* current = step.node;
    if (step.closing) {
      out += u"</";
      out += current->value->View();
      out += u">";
      continue;
    }
    if (current->type != kElementNode) {
      if (current->value != nullptr) AppendEscaped(out, current->value->View());
      check();
      continue;
    }
    if (current->value != nullptr) {
      out += u"<";
      out += current->value->View();
      if (Object* attributes = current->AttributesIfAny()) {
        std::vector<String*> keys;
        attributes->EnumerableKeys(vm, keys);
        for (String* key : keys) {
          // A value's toString may run script; what it does to the tree shows in what follows.
          String* text = vm.ToString(attributes->Get(vm, key));
          out += u" ";
          out += key->View();
          out += u"=\"";
          AppendEscaped(out, text->View());
          out += u"\"";
          check();
        }
      }
      if (current->Children().empty()) {
        out += u" />";
        continue;
      }
      out += u">";
      steps.push_back({current, true});
    }
    const auto& children = current->Children();
    for (auto child = children.rbegin(); child != children.rend(); ++child) steps.push_back({*child, false});
  }
  check();
  return vm.NewString(out);
}

namespace {

// Attributes of an element in their order (for-in lists the newest first; the parser defines
// them last first, so this is the document's order).
template <class Visit>
bool ForEachAttribute(VmImpl& vm, Node* node, Visit&& visit) {
  Object* attributes = node->AttributesIfAny();
  if (attributes == nullptr) return false;
  std::vector<String*> keys;
  attributes->EnumerableKeys(vm, keys);
  for (String* key : keys) {
    if (visit(key, attributes->Get(vm, key))) return true;
  }
  return false;
}

constexpr std::u16string_view kXmlns = u"xmlns";

}  // namespace

bool NamespaceForPrefix(VmImpl& vm, Node* node, std::u16string_view prefix, Value& uri) {
  for (Node* at = node; at != nullptr; at = at->parent) {
    const bool found = ForEachAttribute(vm, at, [&](String* key, const Value& value) {
      const std::u16string_view name = key->View();
      if (name.substr(0, kXmlns.size()) != kXmlns) return false;
      const std::u16string_view rest = name.substr(kXmlns.size());
      if (prefix.empty() || (rest.size() == prefix.size() + 1 && rest[0] == u':' && rest.substr(1) == prefix)) {
        uri = value;
        return true;
      }
      return false;
    });
    if (found) return true;
  }
  return false;
}

bool PrefixForNamespace(VmImpl& vm, Node* node, String* uri, Value& prefix) {
  for (Node* at = node; at != nullptr; at = at->parent) {
    const bool found = ForEachAttribute(vm, at, [&](String* key, const Value& value) {
      const std::u16string_view name = key->View();
      if (name.substr(0, kXmlns.size()) != kXmlns || !vm.ToString(value)->Equals(*uri)) return false;
      // "xmlns:p" gives "p"; "xmlns" (or a name that merely starts so) the empty prefix.
      const std::u16string_view rest = name.substr(kXmlns.size());
      prefix = !rest.empty() && rest[0] == u':' ? Value(vm.NewString(rest.substr(1))) : Value(vm.names.empty);
      return true;
    });
    if (found) return true;
  }
  return false;
}

}  // namespace swfplayer::avm1::xml

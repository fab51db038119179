// XMLNode: new XMLNode(type, value), the tree's properties (getters on the prototype) and the
// methods that change it. A method called on anything but a node does nothing and answers
// undefined.
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"
#include "swfplayer/avm1/builtins/XmlState.h"
#include "swfplayer/avm1/builtins/XmlTree.h"

namespace swfplayer::avm1 {

namespace {

using namespace xml;

Node* ThisNode(NativeCall& call) { return AsNode(call.thisValue); }

Object* NewNodeObject(VmImpl& vm, const Value& proto) { return vm.heap.New<Node>(proto); }

// new XMLNode(type, value): both or neither (an empty text node).
Value NodeConstruct(NativeCall& call) {
  auto* self = call.This<Node>(ObjectClass::kXmlNode);
  if (self == nullptr) return Value();
  self->isNode = true;
  if (call.Count() >= 2) {
    self->type = static_cast<uint8_t>(call.IntArg(0) & 0xFF);
    self->value = call.StringArg(1);
  } else {
    self->type = kTextNode;
    self->value = call.vm.names.empty;
  }
  return Value();
}

Value NodeCall(NativeCall&) { return Value(); }

// An argument that is a node (conversions of primitives never are).
Node* NodeArg(NativeCall& call, size_t index) { return AsNode(call.Arg(index)); }

Value AppendChild(NativeCall& call) {
  Node* self = ThisNode(call);
  Node* child = NodeArg(call, 0);
  if (self != nullptr && child != nullptr && child->parent != self) Tree::Append(call.vm, self, child);
  return Value();
}

Value InsertBefore(NativeCall& call) {
  Node* self = ThisNode(call);
  Node* child = NodeArg(call, 0);
  Node* before = NodeArg(call, 1);
  if (self == nullptr || child == nullptr || before == nullptr || child->parent == self) return Value();
  const ptrdiff_t index = Tree::IndexOf(self, before);
  if (index >= 0) Tree::Insert(call.vm, self, static_cast<size_t>(index), child);
  return Value();
}

Value RemoveNode(NativeCall& call) {
  if (Node* self = ThisNode(call)) Tree::Remove(call.vm, self);
  return Value();
}

Value CloneNode(NativeCall& call) {
  Node* self = ThisNode(call);
  if (self == nullptr) return Value();
  return Value(Tree::Clone(call.vm, self, call.Has(0) && call.BoolArg(0)));
}

Value HasChildNodes(NativeCall& call) {
  Node* self = ThisNode(call);
  return self != nullptr ? Value(!self->Children().empty()) : Value();
}

Value NodeToString(NativeCall& call) {
  Node* self = ThisNode(call);
  return Value(self != nullptr ? Serialize(call.vm, self) : call.vm.names.empty);
}

Value GetNamespaceForPrefix(NativeCall& call) {
  Node* self = ThisNode(call);
  if (self == nullptr || !call.Has(0)) return Value();
  Value uri;
  return NamespaceForPrefix(call.vm, self, call.StringArg(0)->View(), uri) ? uri : Value::Null();
}

Value GetPrefixForNamespace(NativeCall& call) {
  Node* self = ThisNode(call);
  if (self == nullptr || !call.Has(0)) return Value();
  Value prefix;
  return PrefixForNamespace(call.vm, self, call.StringArg(0), prefix) ? prefix : Value::Null();
}

// --- the properties ---

Value NullOr(Object* object) { return object != nullptr ? Value(object) : Value::Null(); }
Value NullOr(String* string) { return string != nullptr ? Value(string) : Value::Null(); }

template <Value (*kRead)(VmImpl&, Node*)>
Value NodeGetter(NativeCall& call) {
  Node* self = ThisNode(call);
  return self != nullptr ? kRead(call.vm, self) : Value();
}

Value ReadAttributes(VmImpl& vm, Node* node) { return Value(node->Attributes(vm)); }
Value ReadChildNodes(VmImpl& vm, Node* node) { return Value(Tree::ChildNodes(vm, node)); }
Value ReadFirstChild(VmImpl&, Node* node) {
  return node->Children().empty() ? Value::Null() : Value(node->Children().front());
}
Value ReadLastChild(VmImpl&, Node* node) {
  return node->Children().empty() ? Value::Null() : Value(node->Children().back());
}
Value ReadParent(VmImpl&, Node* node) { return NullOr(node->parent); }
Value ReadPrevious(VmImpl&, Node* node) { return NullOr(node->previous); }
Value ReadNext(VmImpl&, Node* node) { return NullOr(node->next); }
Value ReadType(VmImpl&, Node* node) { return Value(node->type); }
Value ReadName(VmImpl&, Node* node) { return NullOr(node->Name()); }
Value ReadValue(VmImpl&, Node* node) { return node->type == kElementNode ? Value::Null() : NullOr(node->value); }

// "p:name" splits at its first colon when something follows it.
size_t PrefixEnd(const String* name) {
  const size_t colon = name->View().find(u':');
  return colon != std::u16string_view::npos && colon + 1 < name->Length() ? colon : std::u16string_view::npos;
}
Value ReadLocalName(VmImpl& vm, Node* node) {
  String* name = node->Name();
  if (name == nullptr) return Value::Null();
  const size_t colon = PrefixEnd(name);
  return Value(colon == std::u16string_view::npos ? name : vm.NewString(name->View().substr(colon + 1)));
}
Value ReadPrefix(VmImpl& vm, Node* node) {
  String* name = node->Name();
  if (name == nullptr) return Value::Null();
  const size_t colon = PrefixEnd(name);
  return Value(colon == std::u16string_view::npos ? vm.names.empty : vm.NewString(name->View().substr(0, colon)));
}
Value ReadNamespaceUri(VmImpl& vm, Node* node) {
  const Value prefix = ReadPrefix(vm, node);
  if (!prefix.IsString()) return Value::Null();
  Value uri;
  return NamespaceForPrefix(vm, node, prefix.AsString()->View(), uri) ? uri : Value(vm.names.empty);
}

// nodeName and nodeValue both set the one value a node has (an element's name is it); undefined
// changes nothing.
Value SetNodeValue(NativeCall& call) {
  Node* self = ThisNode(call);
  if (self != nullptr && call.Has(0) && !call.Arg(0).IsUndefined()) self->value = call.StringArg(0);
  return Value();
}

}  // namespace

void InstallXmlNodeClass(VmImpl& vm, Object* global) {
  Object* prototype = NewNodeObject(vm, Value(vm.protos.object));
  vm.RegisterInstanceFactory(ObjectClass::kXmlNode, NewNodeObject);
  FunctionObject* constructor = DefineClass(vm, global, "XMLNode", NodeCall, NodeConstruct, prototype);
  StateOf(vm).nodeClass = constructor;

  DefineMethod(vm, prototype, "appendChild", AppendChild);
  DefineMethod(vm, prototype, "insertBefore", InsertBefore);
  DefineMethod(vm, prototype, "removeNode", RemoveNode);
  DefineMethod(vm, prototype, "cloneNode", CloneNode);
  DefineMethod(vm, prototype, "hasChildNodes", HasChildNodes);
  DefineMethod(vm, prototype, "toString", NodeToString);
  DefineMethod(vm, prototype, "getNamespaceForPrefix", GetNamespaceForPrefix);
  DefineMethod(vm, prototype, "getPrefixForNamespace", GetPrefixForNamespace);

  DefineNativeProperty(vm, prototype, "attributes", NodeGetter<ReadAttributes>, nullptr);
  DefineNativeProperty(vm, prototype, "childNodes", NodeGetter<ReadChildNodes>, nullptr);
  DefineNativeProperty(vm, prototype, "firstChild", NodeGetter<ReadFirstChild>, nullptr);
  DefineNativeProperty(vm, prototype, "lastChild", NodeGetter<ReadLastChild>, nullptr);
  DefineNativeProperty(vm, prototype, "parentNode", NodeGetter<ReadParent>, nullptr);
  DefineNativeProperty(vm, prototype, "previousSibling", NodeGetter<ReadPrevious>, nullptr);
  DefineNativeProperty(vm, prototype, "nextSibling", NodeGetter<ReadNext>, nullptr);
  DefineNativeProperty(vm, prototype, "nodeType", NodeGetter<ReadType>, nullptr);
  DefineNativeProperty(vm, prototype, "nodeName", NodeGetter<ReadName>, SetNodeValue);
  DefineNativeProperty(vm, prototype, "nodeValue", NodeGetter<ReadValue>, SetNodeValue);
  DefineNativeProperty(vm, prototype, "localName", NodeGetter<ReadLocalName>, nullptr);
  DefineNativeProperty(vm, prototype, "prefix", NodeGetter<ReadPrefix>, nullptr);
  DefineNativeProperty(vm, prototype, "namespaceURI", NodeGetter<ReadNamespaceUri>, nullptr);
}

}  // namespace swfplayer::avm1

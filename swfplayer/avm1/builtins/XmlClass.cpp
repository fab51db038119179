// XML: a document (an XMLNode at the root of its tree) that parses text, makes nodes, and
// loads, which here always fails (Loading.h). XML.prototype inherits XMLNode.prototype.
#include <limits>

#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/DateMath.h"
#include "swfplayer/avm1/builtins/Define.h"
#include "swfplayer/avm1/builtins/Loading.h"
#include "swfplayer/avm1/builtins/XmlState.h"
#include "swfplayer/avm1/builtins/XmlTree.h"

namespace swfplayer::avm1 {

namespace {

using namespace xml;

Object* NewDocumentObject(VmImpl& vm, const Value& proto) { return vm.heap.New<Document>(proto); }

Document* ThisDocument(NativeCall& call) { return AsDocument(call.thisValue); }

void ParseInto(VmImpl& vm, Document* document, String* text) {
  const bool ignoreWhite = vm.ToBoolean(document->Get(vm, vm.Str("ignoreWhite")));
  Parse(vm, document, text->View(), ignoreWhite);
}

// new XML(text): an empty document, or what the text parses to.
Value XmlConstruct(NativeCall& call) {
  auto* self = call.This<Document>(ObjectClass::kXml);
  if (self == nullptr) return Value();
  self->isNode = true;
  if (call.Has(0)) ParseInto(call.vm, self, call.StringArg(0));
  return Value();
}

Value XmlCall(NativeCall&) { return Value(); }

Value CreateElement(NativeCall& call) {
  if (ThisDocument(call) == nullptr || !call.Has(0)) return Value();
  return Value(Tree::NewNode(call.vm, kElementNode, call.StringArg(0)));
}

Value CreateTextNode(NativeCall& call) {
  if (ThisDocument(call) == nullptr || !call.Has(0)) return Value();
  return Value(Tree::NewNode(call.vm, kTextNode, call.StringArg(0)));
}

// parseXML(text) replaces the whole document (without text, it empties it).
Value ParseXml(NativeCall& call) {
  Document* self = ThisDocument(call);
  if (self == nullptr) return Value();
  if (call.Has(0)) {
    ParseInto(call.vm, self, call.StringArg(0));
  } else {
    Tree::RemoveChildren(call.vm, self);
  }
  return Value();
}

Value Load(NativeCall& call) {
  Document* self = ThisDocument(call);
  if (self == nullptr || call.Arg(0).IsNull()) return Value(false);
  StartFailingLoad(call.vm, self);
  return Value(true);
}

Value SendAndLoad(NativeCall& call) {
  Object* target = call.ObjectArg(1);
  if (ThisDocument(call) == nullptr || call.Arg(0).IsNull() || target == nullptr) return Value();
  StartFailingLoad(call.vm, target);
  return Value();
}

// send(url, window): the request goes nowhere; the Flash Player answers whether it was made.
Value Send(NativeCall& call) { return Value(ThisDocument(call) != nullptr && call.Has(0)); }

Value Nothing(NativeCall&) { return Value(); }

// The default onData: undefined or null is a failed load; text is parsed and the load
// succeeded. `loaded` says which, before onLoad hears it.
Value OnData(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  const Value source = call.Arg(0);
  const bool loaded = !source.IsNullish();
  self->Set(vm, vm.Str("loaded"), Value(loaded));
  if (loaded) {
    const Value text[] = {source};
    vm.CallMethod(Value(self), vm.Str("parseXML"), text);
  }
  const Value result[] = {Value(loaded)};
  vm.CallMethod(Value(self), vm.Str("onLoad"), result);
  return Value();
}

// --- the document's properties ---

Value NullOrUndefined(String* text) { return text != nullptr ? Value(text) : Value(); }

Value GetXmlDecl(NativeCall& call) {
  Document* self = ThisDocument(call);
  return self != nullptr ? NullOrUndefined(self->xmlDecl) : Value();
}
Value SetXmlDecl(NativeCall& call) {
  if (Document* self = ThisDocument(call)) self->xmlDecl = call.Arg(0).IsUndefined() ? nullptr : call.StringArg(0);
  return Value();
}
Value GetDocTypeDecl(NativeCall& call) {
  Document* self = ThisDocument(call);
  return self != nullptr ? NullOrUndefined(self->docTypeDecl) : Value();
}
Value SetDocTypeDecl(NativeCall& call) {
  if (Document* self = ThisDocument(call)) {
    self->docTypeDecl = call.Arg(0).IsUndefined() ? nullptr : call.StringArg(0);
  }
  return Value();
}
Value GetStatus(NativeCall& call) {
  Document* self = ThisDocument(call);
  return self != nullptr ? Value(self->status) : Value();
}
// A status that is no number is stored as INT32_MIN, as the Flash Player stores it.
Value SetStatus(NativeCall& call) {
  if (Document* self = ThisDocument(call)) {
    const Value value = call.Arg(0);
    self->status = value.IsNumber() ? date::ClampToInt32(value.AsNumber()) : std::numeric_limits<int32_t>::min();
  }
  return Value();
}
Value GetIdMap(NativeCall& call) {
  Document* self = ThisDocument(call);
  if (self == nullptr) return Value();
  if (self->idMap == nullptr) self->idMap = call.vm.NewObject();
  return Value(self->idMap);
}

}  // namespace

void InstallXmlClass(VmImpl& vm, Object* global) {
  const Value nodePrototype = NodePrototype(vm);
  Object* prototype = NewDocumentObject(vm, nodePrototype);
  vm.RegisterInstanceFactory(ObjectClass::kXml, NewDocumentObject);
  DefineClass(vm, global, "XML", XmlCall, XmlConstruct, prototype);

  DefineMethod(vm, prototype, "createElement", CreateElement);
  DefineMethod(vm, prototype, "createTextNode", CreateTextNode);
  DefineMethod(vm, prototype, "parseXML", ParseXml);
  DefineMethod(vm, prototype, "load", Load);
  DefineMethod(vm, prototype, "send", Send);
  DefineMethod(vm, prototype, "sendAndLoad", SendAndLoad);
  DefineMethod(vm, prototype, "onData", OnData);
  DefineMethod(vm, prototype, "onLoad", Nothing);
  DefineMethod(vm, prototype, "getBytesLoaded", BytesLoaded);
  DefineMethod(vm, prototype, "getBytesTotal", BytesTotal);
  DefineMethod(vm, prototype, "addRequestHeader", Nothing);
  DefineConstant(vm, prototype, "ignoreWhite", Value(false), property_flags::kHidden);
  DefineConstant(vm, prototype, "contentType", Value(vm.Str("application/x-www-form-urlencoded")),
                 property_flags::kHidden);
  DefineNativeProperty(vm, prototype, "xmlDecl", GetXmlDecl, SetXmlDecl);
  DefineNativeProperty(vm, prototype, "docTypeDecl", GetDocTypeDecl, SetDocTypeDecl);
  DefineNativeProperty(vm, prototype, "status", GetStatus, SetStatus);
  DefineNativeProperty(vm, prototype, "idMap", GetIdMap, nullptr, property_flags::kHidden | property_flags::kSwf8Up);
}

}  // namespace swfplayer::avm1

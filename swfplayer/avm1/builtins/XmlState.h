// What the XML built-ins keep per Vm: the original XMLNode class, whose prototype the nodes the
// parser and the create methods make get.
#pragma once

#include "swfplayer/avm1/Native.h"

namespace swfplayer::avm1::xml {

struct XmlState final : VmImpl::ExtensionState {
  FunctionObject* nodeClass = nullptr;
  void Trace(Tracer& tracer) override { tracer.Mark(nodeClass); }
};

inline XmlState& StateOf(VmImpl& vm) { return vm.State<XmlState>("xml"); }

// XMLNode.prototype as the original class has it now (a script may have replaced it).
inline Value NodePrototype(VmImpl& vm) {
  XmlState& state = StateOf(vm);
  return state.nodeClass != nullptr ? state.nodeClass->Get(vm, vm.names.prototype) : Value();
}

}  // namespace swfplayer::avm1::xml

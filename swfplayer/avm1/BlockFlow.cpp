// The flow through `with` and try/catch/finally blocks: jumps that leave them, returns that
// run finally bodies first, exceptions caught by the nearest try, and block ends.
#include "swfplayer/avm1/BlockFlow.h"

#include "swfplayer/avm1/ActionHandlers.h"

namespace swfplayer::avm1 {

namespace {

// Leaves the blocks a jump to target leaves (a `break` out of `with` or `try`).
void LeaveBlocksOutside(Activation& activation, uint32_t target) {
  while (!activation.blocks.empty()) {
    const Block& block = activation.blocks.back();
    if (target >= block.begin && target < block.fullEnd) break;
    if (block.kind == Block::Kind::kWith) activation.scope = block.outerScope;
    activation.blocks.pop_back();
  }
  activation.UpdateBoundary();
}

}  // namespace

void Jump(Activation& activation, uint32_t target) {
  const bool backward = target < activation.pc;
  activation.pc = target;
  if (!activation.blocks.empty()) LeaveBlocksOutside(activation, target);
  if (backward) activation.vm.SafePoint();
}

// A Return inside try statements runs their finally bodies first; true when one now runs.
bool ReturnThroughFinally(Activation& activation, const Value& value) {
  const auto& tries = activation.program->tries;
  while (!activation.blocks.empty()) {
    Block& block = activation.blocks.back();
    if (block.kind == Block::Kind::kTry && block.phase != Block::Phase::kFinally &&
        tries[block.tryIndex].hasFinally) {
      const format::TryInfo& info = tries[block.tryIndex];
      block.phase = Block::Phase::kFinally;
      block.pending = Block::Pending::kReturn;
      block.pendingValue = value;
      block.end = info.finallyEnd;
      activation.stack.resize(std::min(activation.stack.size(), block.stackDepth));
      activation.pc = info.catchEnd;
      activation.UpdateBoundary();
      return true;
    }
    if (block.kind == Block::Kind::kWith) activation.scope = block.outerScope;
    activation.blocks.pop_back();
  }
  activation.UpdateBoundary();
  return false;
}

// The thrown value reaches the activation's try statements; true when one takes it.
bool CatchThrow(Activation& activation) {
  const Value thrown = activation.vm.PendingThrow();
  const auto& tries = activation.program->tries;
  while (!activation.blocks.empty()) {
    Block& block = activation.blocks.back();
    if (block.kind == Block::Kind::kWith) {
      activation.scope = block.outerScope;
      activation.blocks.pop_back();
      continue;
    }
    const format::TryInfo& info = tries[block.tryIndex];
    if (block.phase == Block::Phase::kTry && info.hasCatch) {
      activation.stack.resize(std::min(activation.stack.size(), block.stackDepth));
      block.phase = Block::Phase::kCatch;
      block.end = info.catchEnd;
      activation.pc = info.tryEnd;
      activation.UpdateBoundary();
      if (info.catchInRegister) {
        SetRegister(activation, info.catchRegister, thrown);
      } else {
        SetVariable(activation, activation.state->strings[info.catchName], thrown);
      }
      return true;
    }
    if (block.phase != Block::Phase::kFinally && info.hasFinally) {
      activation.stack.resize(std::min(activation.stack.size(), block.stackDepth));
      block.phase = Block::Phase::kFinally;
      block.pending = Block::Pending::kThrow;
      block.pendingValue = thrown;
      block.end = info.finallyEnd;
      activation.pc = info.catchEnd;
      activation.UpdateBoundary();
      return true;
    }
    activation.blocks.pop_back();
  }
  activation.UpdateBoundary();
  return false;
}

// The pc reached the end of the range or of the innermost block's current part.
BoundaryResult ReachBoundary(Activation& activation, Value& returned) {
  if (activation.blocks.empty() || activation.pc < activation.blocks.back().end) {
    return BoundaryResult::kEnd;
  }
  Block& block = activation.blocks.back();
  if (block.kind == Block::Kind::kWith) {
    activation.scope = block.outerScope;
    activation.blocks.pop_back();
    activation.UpdateBoundary();
    return BoundaryResult::kContinue;
  }
  const format::TryInfo& info = activation.program->tries[block.tryIndex];
  switch (block.phase) {
    case Block::Phase::kTry:
    case Block::Phase::kCatch:
      if (info.hasFinally) {
        block.phase = Block::Phase::kFinally;
        block.end = info.finallyEnd;
        activation.pc = info.catchEnd;
      } else {
        activation.pc = info.finallyEnd;
        activation.blocks.pop_back();
      }
      activation.UpdateBoundary();
      return BoundaryResult::kContinue;
    case Block::Phase::kFinally: {
      const Block::Pending pending = block.pending;
      const Value value = block.pendingValue;
      activation.blocks.pop_back();
      activation.UpdateBoundary();
      if (pending == Block::Pending::kThrow) activation.vm.Throw(value);
      if (pending == Block::Pending::kReturn) {
        if (ReturnThroughFinally(activation, value)) return BoundaryResult::kContinue;
        returned = value;
        return BoundaryResult::kReturn;
      }
      return BoundaryResult::kContinue;
    }
  }
  return BoundaryResult::kContinue;
}

}  // namespace swfplayer::avm1

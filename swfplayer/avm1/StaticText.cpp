#include "swfplayer/avm1/StaticText.h"

#include <algorithm>

namespace swfplayer::avm1 {

void StaticText::Select(size_t begin, size_t end, bool on) {
  end = std::min(end, Size());
  if (begin >= end) return;
  if (selected_.empty()) {
    if (!on) return;
    selected_.assign(Size(), false);
  }
  for (size_t i = begin; i < end; ++i) {
    if (selected_[i] == on) continue;
    selected_[i] = on;
    if (on) {
      ++selectedCount_;
    } else {
      --selectedCount_;
    }
  }
}

}  // namespace swfplayer::avm1

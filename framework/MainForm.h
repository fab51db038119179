// The one window of configure or saver mode, as the start-up sees it: created before the
// message loop runs, destroyed after it ends.
#pragma once

namespace swfsaver {

class MainForm {
 public:
  virtual ~MainForm() = default;
};

}  // namespace swfsaver

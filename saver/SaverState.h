// The saver's process-wide exit counters and the playing flag. Plain variables: everything
// that touches them runs on the user-interface thread.
#pragma once

#include <cstdint>

namespace swfsaver {

// Mouse-move events the window's own mouse-move handlers still ignore.
inline constexpr int32_t kMouseMoveGrace = 5;
// Mouse-move messages the message hook still swallows while a movie plays.
inline constexpr int32_t kMouseMessageBudget = 10;

// False until the first movie has been started, then true for good.
extern bool MoviePlaying;
extern int32_t MouseMoveGrace;
extern int32_t MouseMessageBudget;

}  // namespace swfsaver

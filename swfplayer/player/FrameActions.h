// Runs the frame actions that are due once a tick's display lists are built, as the Flash
// Player orders them: every timeline whose frame changed (or that was just placed) runs its
// frame's DoAction blocks in the order they stand, the root first, then each timeline's
// sprites in depth order, depth first. A goto inside a block takes effect at once (the display
// list is rebuilt as the jump of the timeline would), and the frame it lands on runs its own
// actions in a later pass over the movie, as the Flash Player queues them after the current
// ones; passes are bounded (kMaxActionPasses), as are actions per tick (kMaxActionsPerTick).
// A block is run whole or, when it does not fit the tick's remaining budget, not at all.
#pragma once

#include "swfplayer/player/Timeline.h"

namespace swfplayer::player {

// caseSensitiveNames: SetTarget compares instance names exactly from SWF 7 on, as ActionScript
// 2 does, and without case before.
void RunDueActions(Timeline& root, PlayContext& context, bool caseSensitiveNames);

}  // namespace swfplayer::player

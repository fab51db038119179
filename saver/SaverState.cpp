#include "saver/SaverState.h"

namespace swfsaver {

bool MoviePlaying = false;
int32_t MouseMoveGrace = kMouseMoveGrace;
int32_t MouseMessageBudget = kMouseMessageBudget;

}  // namespace swfsaver

// Everything the logic may ask of the system. The program entry fills it with the Win32
// implementations; a test fills it with fakes.
#pragma once

#include "platform/Application.h"
#include "platform/CodePage.h"
#include "platform/Kernel.h"
#include "platform/Registry.h"
#include "platform/SystemState.h"

namespace swfsaver::platform {

struct Platform {
  Registry& registry;
  Kernel& kernel;
  CodePage& codePage;
  SystemState& system;
  Application& application;
};

}  // namespace swfsaver::platform

// The whole in-memory platform, for tests: each fake is a public member to steer and inspect.
#pragma once

#include "platform/Platform.h"
#include "tests/fakes/FakeApplication.h"
#include "tests/fakes/FakeCodePage.h"
#include "tests/fakes/FakeKernel.h"
#include "tests/fakes/FakeRegistry.h"
#include "tests/fakes/FakeSystemState.h"

namespace swfsaver::fakes {

struct FakePlatform {
  FakeRegistry registry;
  FakeKernel kernel;
  FakeCodePage codePage;
  FakeSystemState system;
  FakeApplication application;
  platform::Platform platform{registry, kernel, codePage, system, application};
};

}  // namespace swfsaver::fakes

// The idle step runs after every burst of messages, so while the movie is not on its last
// frame it must cost one property read and one method call: no allocation, no file access.
// Allocations are counted by replacing the global operator new for this test program; the
// replacement only counts and otherwise behaves like the standard one.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "tests/saver_test_fixture.h"

namespace {
std::atomic<long> allocations{0};

void* CountedAllocate(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size == 0 ? 1 : size);
}
}  // namespace

void* operator new(std::size_t size) {
  if (void* p = CountedAllocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return CountedAllocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return CountedAllocate(size);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace swfsaver::saver_test {
namespace {

class SaverIdleCost : public SaverFixture {};

TEST_F(SaverIdleCost, BeforeTheLastFrameTheIdleStepPollsTwiceAndAllocatesAndOpensNothing) {
  AddMovie("C:\\m\\a.swf", 550, 400, 100);
  AddMovie("C:\\m\\b.swf");
  StoreSettings({"C:\\m\\a.swf", "C:\\m\\b.swf"});
  Start();
  window->flash.calls.clear();
  const int opens = fake.kernel.fileOpens;
  const int reads = fake.kernel.fileReads;
  const long before = allocations.load();
  for (int frame = 0; frame < 98; ++frame) {
    window->flash.Advance(1);
    bool done = true;
    application->OnIdle(done);  // the loop's route into ApplicationEvents1Idle
    EXPECT_TRUE(done);          // the thread may sleep until the next message
  }
  const long during = allocations.load() - before;
  EXPECT_EQ(during, 0);
  EXPECT_EQ(fake.kernel.fileOpens, opens);
  EXPECT_EQ(fake.kernel.fileReads, reads);
  EXPECT_TRUE(fake.kernel.sleeps.empty());
  ASSERT_EQ(window->flash.calls.size(), 2u * 98);
  EXPECT_EQ(std::vector<std::string>(window->flash.calls.begin(), window->flash.calls.begin() + 4),
            (Strings{"TotalFrames", "CurrentFrame", "TotalFrames", "CurrentFrame"}));
  EXPECT_EQ(form->CurrentIndex, 0);
}

}  // namespace
}  // namespace swfsaver::saver_test

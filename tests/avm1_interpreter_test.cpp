// The interpreter's operators and conversions across SWF versions, run as action blocks.
#include "tests/avm1_fixture.h"

namespace swfplayer::avm1 {
namespace {

using testing::ScriptTest;

class Avm1Operators : public ScriptTest {};

TEST_F(Avm1Operators, TraceAndArithmetic) {
  Make(8);
  EXPECT_EQ(Run(R"(
    push "hello"
    trace
    push 1 2
    add2
    trace
    push "a" 1
    add2
    trace
    push 7 2
    modulo
    trace
    push 1 3
    divide
    trace
    push undefined
    trace
  )"), "hello\n3\na1\n1\n0.333333333333333\nundefined\n");
}

}  // namespace
}  // namespace swfplayer::avm1

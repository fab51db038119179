// The action assembler: what it writes runs as written (branches both ways, functions of both
// kinds with their registers, constants, every kind of pushed value and the string escapes),
// and a fault in the text is reported with its line instead of written as a broken block.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "flash_player_support.h"
#include "tools/ActionAssembler.h"

namespace swfplayer::player {
namespace {

std::vector<std::string> Traces(const char* source) {
  tools::SwfMovieBuilder movie;
  movie.DoAction(tools::SwfActions().Assemble(source));
  movie.ShowFrame();
  std::shared_ptr<tools::FixedHost> host;
  auto player = testing::LoadBytes(movie.Finish({.version = 8}), &host);
  return player ? host->traces : std::vector<std::string>{"not loaded"};
}

TEST(ActionAssembler, WritesWhatRunsAsWritten) {
  // A counting loop (a backward branch) that skips 2 (a forward one), a DefineFunction called
  // with an argument, and a DefineFunction2 whose parameter and `_root` sit in registers.
  EXPECT_EQ(Traces(R"(
    constants "i", "twice"
    push c0, 0          ; i = 0
    setVariable
  again:
    push c0
    getVariable
    push 2
    equals2
    if skip
    push c0
    getVariable
    trace
  skip:
    push c0, c0
    getVariable
    increment
    setVariable
    push c0
    getVariable
    push 4
    less2
    if again
    function "twice", "n"
      push "n"
      getVariable
      pushDuplicate
      add2
      return
    end
    push 21, 1, c1
    callFunction
    trace
    push "add"
    function2 "", 3, preloadRoot, suppressThis, suppressArguments, "a"=r2, "b"
      push r2, "b"
      getVariable
      add2
      push r1
      typeOf
      add2
      return
    end
    defineLocal
    push 0.5, 1, 2, "add"
    callFunction
    trace
  )"), (std::vector<std::string>{"0", "1", "3", "42", "1.5movieclip"}));
}

TEST(ActionAssembler, PushesEveryKindOfValueAndResolvesEscapes) {
  EXPECT_EQ(Traces(R"(
    push -2147483648, 2147483647, 1.25e5, -0.25, true, false, null, undefined
    storeRegister 3
    pop
    trace
    trace
    trace
    trace
    trace
    trace
    trace
    push r3
    typeOf
    trace
    push "tab\there, \"quoted\"; \\ and \x41, not a comment" ; this is one
    trace
  )"), (std::vector<std::string>{"null", "false", "true", "-0.25", "125000",
                                 "2147483647", "-2147483648", "undefined",
                                 "tab\there, \"quoted\"; \\ and A, not a comment"}));
}

TEST(ActionAssembler, NamesTheLineOfEachFault) {
  const std::pair<const char*, const char*> faults[] = {
      {"push 1\njump nowhere", "line 2: no label nowhere"},
      {"here:\nhere:", "line 2: label here twice"},
      {"function \"f\"\n  push 1", "a function has no end"},
      {"push 1\nend", "line 2: end without a function"},
      {"push 1,, 2", "line 1: an empty operand"},
      {"push 1,", "line 1: an empty operand"},
      {"push", "push needs a value"},
      {"push 1x", "not a value: 1x"},
      {"push \"open", "no closing quote"},
      {"push \"\\q\"", "bad escape"},
      {"push \"\\x0\"", "bad escape"},
      {"push \"\\xZZ\"", "bad \\x escape"},
      {"push \"\\x00\"", "cannot hold a NUL"},
      {"add2 1", "add2 takes no operand"},
      {"storeRegister 256", "not a number from 0 to 255"},
      {"gotoFrame2 now", "gotoFrame2 play|stop"},
      {"function2 \"f\", 1, preloadEverything\nend", "unknown function2 flag"},
      {"fly", "unknown action fly"},
  };
  for (const auto& [source, message] : faults) {
    try {
      tools::AssembleActions(source);
      ADD_FAILURE() << "no fault in: " << source;
    } catch (const std::invalid_argument& fault) {
      EXPECT_NE(std::string(fault.what()).find(message), std::string::npos)
          << source << " gave " << fault.what();
    }
  }
  // A branch must reach its label within a signed 16-bit offset.
  std::string far = "jump end\n";
  for (int i = 0; i < 6600; ++i) far += "push 1.5\n";
  far += "end:\n";
  EXPECT_THROW(tools::AssembleActions(far), std::invalid_argument);
}

}  // namespace
}  // namespace swfplayer::player

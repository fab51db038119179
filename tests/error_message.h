// The message of the error a call raises, for tests that check the text an error report shows.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace swfsaver {

// The message of the error of class E that call raises; the test fails when it raises none.
template <typename E, typename F>
std::string MessageOf(F&& call) {
  try {
    call();
  } catch (const E& error) {
    return error.Message();
  }
  ADD_FAILURE() << "no error raised";
  return {};
}

}  // namespace swfsaver

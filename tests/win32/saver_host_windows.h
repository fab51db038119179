// The windows a hosted control lives in, for the host's Wine tests: OLE for the test thread, a
// hidden frame and a visible panel filling it, all torn down after each test.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

namespace swfsaver::testing {

class HostWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    frame_ = CreateWindowExW(0, L"STATIC", L"frame", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 640, 480,
                             nullptr, nullptr, nullptr, nullptr);
    panel_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                             640, 480, frame_, nullptr, nullptr, nullptr);
    ASSERT_NE(panel_, nullptr);
  }
  void TearDown() override {
    DestroyWindow(frame_);
    OleUninitialize();
  }

  HWND frame_ = nullptr;
  HWND panel_ = nullptr;
};

}  // namespace swfsaver::testing

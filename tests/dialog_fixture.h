// The settings dialog over the in-memory platform: the store under the test program's key,
// the dialog opened the way configure mode opens it, and helpers to read back what was saved.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dialog/Unit2.h"
#include "framework/Application.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/fakes/FakeSettingsDialog.h"

namespace swfsaver {

inline constexpr const char* kOptionKey = "Software\\Ostrevanlab\\SwfSaver\\OPTION";

class DialogTest : public ::testing::Test {
 protected:
  DialogTest() { fakes::ProvideFakeSettingsDialogs(fake.application, dialog); }

  // What an earlier OK left in the store.
  void Store(const std::vector<std::string>& list, bool expansion = false) {
    fake.registry.PutText(kOptionKey, "Expansion", expansion ? "1" : "0");
    fake.registry.PutText(kOptionKey, "ListCount", std::to_string(list.size()));
    for (size_t i = 0; i < list.size(); ++i) {
      fake.registry.PutText(kOptionKey, "List" + std::to_string(i), list[i]);
    }
  }

  // Configure mode: the application object, then the dialog, which shows itself.
  void Open() {
    application = std::make_unique<TApplication>(fake.platform);
    form = std::make_unique<TForm2>(fake.platform, *application);
  }

  // The list as a later load reads it: ListCount entries.
  std::vector<std::string> StoredList() const {
    std::vector<std::string> list;
    int count = std::stoi(fake.registry.Text(kOptionKey, "ListCount").value_or("0"));
    for (int i = 0; i < count; ++i) {
      list.push_back(fake.registry.Text(kOptionKey, "List" + std::to_string(i)).value_or(""));
    }
    return list;
  }

  const std::vector<std::string>& Items() const { return dialog->list.Items(); }
  bool Closed() const { return dialog->closeCount > 0; }

  fakes::FakePlatform fake;
  fakes::FakeSettingsDialog* dialog = nullptr;
  std::unique_ptr<TApplication> application;
  std::unique_ptr<TForm2> form;
};

}  // namespace swfsaver

// A loaded plug-in on a fresh machine for the layer and plan commands: the test user acts on each
// modal form from a queue, and the host's layers, files and references are at hand.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "core/state.h"
#include "host/host.h"
#include "machine_test.h"
#include "platform/files.h"

namespace qxt::testing {

class LoadedLibrary : public testsupport::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    StartLibrary();
    user.messages.clear();  // the new configuration file's notice
  }

  void TearDown() override {
    EndLibrary();
    MachineTest::TearDown();
  }

  // Queues what the user does on the next modal form.
  void OnForm(std::function<void(platform::Form&)> action) {
    user.formActions.push_back(std::move(action));
  }

  // Writes a file, making its folder first.
  void WriteFileIn(const std::string& folder, const std::string& name, const std::string& text) {
    platform::ForceDirectories(folder);
    WriteFile(folder + "\\" + name, text);
  }
};

}  // namespace qxt::testing

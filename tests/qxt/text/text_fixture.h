// A loaded plug-in on a fresh machine; the test user answers from queues: point replies for the
// host, actions for each modal form, answers for font dialogs.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "core/state.h"
#include "host/host.h"
#include "machine_test.h"

namespace qxt::testing {

using testsupport::PointAt;
using testsupport::Reply;

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

  // The final objects of the drawing, in creation order.
  std::vector<host::Object> FinalObjects() const {
    std::vector<host::Object> objects;
    for (const host::Object* o : host_->FinalObjects()) objects.push_back(*o);
    return objects;
  }
};

}  // namespace qxt::testing

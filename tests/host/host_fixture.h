// The host tests' machine: the shared fresh machine with the host's own folders, and symbol texts
// the tests place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>

#include "host/host.h"
#include "hsi/hsi.h"
#include "machine_test.h"
#include "platform/memory.h"

namespace hosttest {

using testsupport::TestUser;

class HostTest : public testsupport::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    for (const char* folder : {"SYMBOLS", "MACROS", "DRAWINGS"})
      std::filesystem::create_directories(Root() / "C" / "TRACELON" / folder);
  }
  size_t CountKind(host::ObjectKind kind) const {
    size_t n = 0;
    for (const auto* o : host_->FinalObjects()) n += o->Kind() == kind;
    return n;
  }

  // Places a TrueType text of the RTF `document` at (100000, 500000) on layer 2 in colour 1,
  // through the interface as the plug-in does; its id (0 when refused).
  int32_t AddTrueType(const char* document) {
    platform::MemHandle block = platform::GlobalAlloc(3072, true);
    std::strcpy(static_cast<char*>(platform::GlobalLock(block)), document);
    platform::GlobalUnlock(block);
    HsiTrueTypeText r{};
    r.x = 100000;
    r.y = 500000;
    r.layer = 2;
    r.colour = 1;
    r.scaleX = r.scaleY = 1;
    r.orientation = 10;
    r.vcode = 4;
    r.content = HSI_TT_CONTENT_RTF;
    std::strcpy(r.face, "Arial");
    r.size = 12;
    r.document = block;
    int32_t id = HsiObjCreate(HSI_RECORD_TRUETYPE, &r, HSI_FINAL);
    platform::GlobalFree(block);
    return id;
  }

  // The one test user answers the host's requests and hears its events.
  TestUser& input_ = user;
  TestUser& events_ = user;
};

// A door symbol: 36 units wide with its node at the hinge, leaf and swing arc into +y.
inline const char* kDoorSymbol =
    "TRACELON SYMBOL 1\n"
    "# a 36 inch swing door\n"
    "UNIT 8000\n"
    "NODE 0 0 36\n"
    "LINE 0 0 0 36\n"
    "ARC 0 0 36 0 90\n";

inline const char* kArrowSymbol =
    "TRACELON SYMBOL 1\n"
    "LINE 0 0 -4 1.5\n"
    "LINE 0 0 -4 -1.5\n"
    "TEXT 0 2 2 \"A\" JUST 2 3\n";

}  // namespace hosttest

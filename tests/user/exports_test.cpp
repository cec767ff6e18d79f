#include "user/exports.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace user {
namespace {

int32_t savedSettings = 0;
bool commandRan = false;

extern "C" void FakeGetBaseDir(char* buffer) { std::strcpy(buffer, "C:\\QXTOOLS"); }
extern "C" void FakeGetUnitSettings(int32_t* ppu, double* scale) {
  *ppu = 768000;
  *scale = 96.0;
}
extern "C" void FakeGetQXProjSettings(int32_t* settings, int32_t* ppu) {
  *settings = savedSettings;
  *ppu = 768000;
}
extern "C" void FakeSaveQXProjSettings(int32_t* settings) { savedSettings = *settings; }
extern "C" double FakeGetScale() { return 48.0; }
extern "C" void FakeGetLyrFile(char* buffer) {
  if (std::strcmp(buffer, "keep") != 0) std::strcpy(buffer, "C:\\QXTOOLS\\layers\\plan3.lyr");
}
extern "C" void FakeCommand() { commandRan = true; }
extern "C" void FakeUnterminated(char* buffer) { std::memset(buffer, 'x', 1024); }

void* Lookup(const std::string& name) {
  if (name == "GetBaseDir") return reinterpret_cast<void*>(&FakeGetBaseDir);
  if (name == "GetUnitSettings") return reinterpret_cast<void*>(&FakeGetUnitSettings);
  if (name == "GetQXProjSettings") return reinterpret_cast<void*>(&FakeGetQXProjSettings);
  if (name == "SaveQXProjSettings") return reinterpret_cast<void*>(&FakeSaveQXProjSettings);
  if (name == "GetScale") return reinterpret_cast<void*>(&FakeGetScale);
  if (name == "GetLyrFile") return reinterpret_cast<void*>(&FakeGetLyrFile);
  if (name == "QXText") return reinterpret_cast<void*>(&FakeCommand);
  return nullptr;
}

TEST(Exports, EachShapeIsCalledAndReported) {
  SymbolExports exports(Lookup);
  EXPECT_EQ(exports.Call("GetBaseDir", {}), "\"C:\\\\QXTOOLS\"");
  EXPECT_EQ(exports.Call("GetUnitSettings", {}), "768000 96");
  EXPECT_EQ(exports.Call("SaveQXProjSettings", {"7"}), "");
  EXPECT_EQ(exports.Call("GetQXProjSettings", {}), "7 768000");
  EXPECT_EQ(exports.Call("GetScale", {}), "48");
  EXPECT_EQ(exports.Call("GetLyrFile", {}), "\"C:\\\\QXTOOLS\\\\layers\\\\plan3.lyr\"");
  EXPECT_EQ(exports.Call("GetLyrFile", {"keep"}), "\"keep\"") << "the caller's text goes in";
  commandRan = false;
  EXPECT_EQ(exports.Call("QXText", {}), "");
  EXPECT_TRUE(commandRan);
}

TEST(Exports, WrongCallsAreRefusedBeforeCalling) {
  SymbolExports exports(Lookup);
  EXPECT_THROW(exports.Call("QXNothing", {}), ExportError);
  commandRan = false;
  EXPECT_THROW(exports.Call("QXText", {"1"}), ExportError);
  EXPECT_FALSE(commandRan);
  EXPECT_THROW(exports.Call("SaveQXProjSettings", {}), ExportError);
  EXPECT_THROW(exports.Call("SaveQXProjSettings", {"x"}), ExportError);
  EXPECT_THROW(exports.Call("SaveQXProjSettings", {"99999999999"}), ExportError);
  EXPECT_THROW(exports.Call("GetBaseDir", {"x"}), ExportError);
  EXPECT_THROW(exports.Call("GetLyrFile", {std::string(2000, 'a')}), ExportError);
}

TEST(Exports, AnUnterminatedBufferIsReportedNotRead) {
  try {
    CallExport(reinterpret_cast<void*>(&FakeUnterminated), "GetBaseDir", {});
    FAIL();
  } catch (const ExportError& e) {
    EXPECT_NE(std::string(e.what()).find("terminating zero"), std::string::npos);
  }
}

}  // namespace
}  // namespace user

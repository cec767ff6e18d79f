// Symbol files: read, placed with scale and rotation, and refused when malformed.
#include "host/symbols.h"
#include "host_fixture.h"

namespace {

using hosttest::HostTest;

TEST(SymbolFile, StatementsAreRead) {
  std::string error;
  auto def = host::ParseSymbol(
      "tracelon symbol 1\n# comment\n\nUNIT 100\nNODE 1 2 30\nLINE 0 0 10 0 10 10 WEIGHT 3\n"
      "ARC 0 0 5 0 90\nTEXT 1 1 2 \"A \\\"B\\\"\" ANGLE 45 JUST 2 4\nEND\nnot read\n",
      "X.SYM", &error);
  ASSERT_TRUE(def) << error;
  EXPECT_EQ(def->unit, 100);
  EXPECT_TRUE(def->hasNode);
  EXPECT_EQ(def->nodeWidth, 30);
  ASSERT_EQ(def->elements.size(), 3u);
  EXPECT_EQ(def->elements[0].points.size(), 3u);
  EXPECT_EQ(def->elements[0].weight, 3);
  EXPECT_EQ(def->elements[2].text, "A \"B\"");
  EXPECT_EQ(def->elements[2].vcode, 4);
  // Written out and read again, it is the same symbol.
  auto again = host::ParseSymbol(host::WriteSymbol(*def), "X.SYM", &error);
  ASSERT_TRUE(again) << error;
  EXPECT_EQ(host::WriteSymbol(*again), host::WriteSymbol(*def));
}

TEST(SymbolFile, MalformedFilesAreRefusedWithTheLine) {
  const char* bad[] = {"",
                       "LINE 0 0 1 1\n",
                       "TRACELON SYMBOL 2\n",
                       "TRACELON SYMBOL 1\nLINE 0 0 1\n",
                       "TRACELON SYMBOL 1\nLINE 0 0\n",
                       "TRACELON SYMBOL 1\nLINE 0 0 1 1 WEIGHT 900\n",
                       "TRACELON SYMBOL 1\nARC 0 0 -5 0 90\n",
                       "TRACELON SYMBOL 1\nNODE 0 0 0\n",
                       "TRACELON SYMBOL 1\nUNIT 0\n",
                       "TRACELON SYMBOL 1\nTEXT 0 0 2 unquoted\n",
                       "TRACELON SYMBOL 1\nTEXT 0 0 2 \"open\n",
                       "TRACELON SYMBOL 1\nCIRCLE 0 0 5\n",
                       "TRACELON SYMBOL 1\nLINE 0 0 1 nan\n",
                       "TRACELON SYMBOL 1\nTEXT 0 0 2 \"A\" JUST 1e10 3\n"};
  for (const char* text : bad) {
    std::string error;
    EXPECT_FALSE(host::ParseSymbol(text, "BAD.SYM", &error)) << text;
    EXPECT_FALSE(error.empty());
  }
  std::string error;
  host::ParseSymbol("TRACELON SYMBOL 1\nLINE 0 0 1 1\nARC x\n", "BAD.SYM", &error);
  EXPECT_EQ(error.rfind("line 3:", 0), 0u) << error;
  EXPECT_FALSE(host::ParseSymbol(std::string(2 << 20, 'x'), "BIG.SYM", &error));
}

TEST_F(HostTest, DrawingsCarryTheirSymbolsEvenWhenWritingLengthensThem) {
  // A line just within the limit of symbol files, whose numbers are written out longer.
  std::string text = "TRACELON SYMBOL 1\nLINE";
  for (int i = 0; i < 1000; ++i) text += " 1e9";
  WriteFile("C:\\TRACELON\\SYMBOLS\\LONG.SYM", text + "\n");
  ASSERT_GT(host_->AddSymbol("LONG.SYM", {0, 0}), 0);
  std::string error;
  ASSERT_TRUE(host_->SaveDrawing("C:\\TRACELON\\DRAWINGS\\LONG.VWF", &error)) << error;
  EXPECT_GT(ReadFile("C:\\TRACELON\\DRAWINGS\\LONG.VWF").size(), 10000u);
  host_ = &host::Host::Start();
  ASSERT_TRUE(host_->OpenDrawing("C:\\TRACELON\\DRAWINGS\\LONG.VWF", &error)) << error;
  const host::SymbolDef* def = host_->Symbol(host_->FindSymbol("LONG.SYM"));
  ASSERT_NE(def, nullptr);
  ASSERT_EQ(def->elements.size(), 1u);
  EXPECT_EQ(def->elements[0].points.size(), 500u);
}

TEST_F(HostTest, SymbolFilesLoadOnlyInTheirOwnMode) {
  // A placing command in the wrong program mode must learn of it, to say "Check Program Mode".
  WriteFile("C:\\TRACELON\\SYMBOLS\\CHAIR.S3D", hosttest::kArrowSymbol);
  WriteFile("C:\\TRACELON\\SYMBOLS\\CHAIR.SYM", hosttest::kArrowSymbol);
  const char* folder = "C:\\TRACELON\\SYMBOLS";
  EXPECT_EQ(HsiLoadSymFile(4, folder, "CHAIR.S3D", HSI_TRUE), static_cast<int32_t>(HSI_FAILURE));
  EXPECT_EQ(HsiGetCvErrno(), HSI_ERR_FILE);
  EXPECT_EQ(HsiLoadSymFile(5, folder, "chair.sym", HSI_TRUE), static_cast<int32_t>(HSI_FAILURE));
  EXPECT_EQ(HsiSymbolFind(10, "CHAIR.S3D"), static_cast<int32_t>(HSI_FAILURE));
  int32_t threeD = HsiLoadSymFile(5, folder, "chair.s3d", HSI_TRUE);
  int32_t twoD = HsiLoadSymFile(4, folder, "CHAIR.SYM", HSI_TRUE);
  EXPECT_GT(threeD, 0);
  EXPECT_GT(twoD, 0);
  EXPECT_NE(threeD, twoD);
  EXPECT_TRUE(host_->Symbol(threeD)->is3D);
  // The host's own tool places either kind, whatever the mode.
  host_->SetProgMode3D(true);
  EXPECT_GT(host_->AddSymbol("CHAIR.SYM", {0, 0}), 0);
  EXPECT_GT(host_->AddSymbol("CHAIR.S3D", {0, 0}), 0);
}

TEST_F(HostTest, ASymbolFileNotLoadedIsExplainedOnTheMessageLine) {
  // The caller only learns that the load failed; the person learns why.
  const char* folder = "C:\\TRACELON\\SYMBOLS";
  WriteFile("C:\\TRACELON\\SYMBOLS\\EMPTY.SYM", "");
  WriteFile("C:\\TRACELON\\SYMBOLS\\CUT.SYM", "TRACELON SYMBOL 1\nUNIT 1000\nLINE 0 0 10");
  WriteFile("C:\\TRACELON\\SYMBOLS\\NOTES.SYM", "Meeting notes, not a symbol\n");
  WriteFile("C:\\TRACELON\\SYMBOLS\\CHAIR.S3D", hosttest::kArrowSymbol);
  for (const char* name : {"EMPTY.SYM", "CUT.SYM", "NOTES.SYM", "CHAIR.S3D", "GONE.SYM"}) {
    host_->PutMessage("");
    EXPECT_EQ(HsiLoadSymFile(4, folder, name, HSI_TRUE), static_cast<int32_t>(HSI_FAILURE));
    const std::string line = host_->MessageLine();
    EXPECT_EQ(line.rfind("Cannot load the symbol: ", 0), 0u) << name << ": " << line;
    EXPECT_NE(line.find(std::string("C:\\TRACELON\\SYMBOLS\\") + name), std::string::npos) << line;
  }
  EXPECT_NE(host_->MessageLine().find("file not found"), std::string::npos);
}

TEST_F(HostTest, ASymbolFileNotInTheFolderAskedForComesFromTheHostsOwnSymbolFolder) {
  // A project's folder made the symbol path: its own symbols come first, the host's own
  // symbols are still found, and a file in neither place is still refused.
  std::filesystem::create_directories(Root() / "C" / "JOBS" / "MAPLE");
  WriteFile("C:\\TRACELON\\SYMBOLS\\DESK.SYM", hosttest::kArrowSymbol);
  WriteFile("C:\\TRACELON\\SYMBOLS\\TITLE.SYM", hosttest::kArrowSymbol);
  WriteFile("C:\\JOBS\\MAPLE\\TITLE.SYM", hosttest::kDoorSymbol);
  WriteFile("C:\\TRACELON\\SYMBOLS\\DOOR.S3D", hosttest::kDoorSymbol);
  ASSERT_EQ(HsiSetPaths("C:\\JOBS\\MAPLE", HSI_PATH_SYMBOLS, 0), HSI_SUCCESS);
  ASSERT_EQ(HsiSetPaths("C:\\JOBS\\MAPLE", HSI_PATH_SYMBOLS_3D, 0), HSI_SUCCESS);
  char folder[HSI_PATH_SIZE] = {};
  HsiGetPaths(folder, HSI_PATH_SYMBOLS, 0);
  EXPECT_STREQ(folder, "C:\\JOBS\\MAPLE\\");

  const int32_t title = HsiLoadSymFile(4, folder, "TITLE.SYM", HSI_TRUE);
  ASSERT_NE(title, static_cast<int32_t>(HSI_FAILURE));
  EXPECT_TRUE(host_->Symbol(title)->hasNode);  // the project's door-shaped title, not the arrow
  const int32_t desk = HsiLoadSymFile(4, folder, "desk.sym", HSI_TRUE);
  ASSERT_NE(desk, static_cast<int32_t>(HSI_FAILURE));
  EXPECT_EQ(host_->Symbol(desk)->elements.size(), 3u);
  EXPECT_NE(HsiLoadSymFile(5, folder, "DOOR.S3D", HSI_TRUE), static_cast<int32_t>(HSI_FAILURE));
  EXPECT_EQ(HsiLoadSymFile(4, folder, "NONE.SYM", HSI_TRUE), static_cast<int32_t>(HSI_FAILURE));
  EXPECT_EQ(HsiGetCvErrno(), HSI_ERR_FILE);
}

TEST_F(HostTest, InstancesAreScaledTurnedAndMirrored) {
  WriteFile("C:\\TRACELON\\SYMBOLS\\TICK.SYM", "TRACELON SYMBOL 1\nUNIT 1000\nLINE 0 0 10 0\n");
  WriteFile("C:\\TRACELON\\SYMBOLS\\BROKEN.SYM", "TRACELON SYMBOL 1\nLINE 0 0\n");
  EXPECT_EQ(HsiLoadSymFile(4, "C:\\TRACELON\\SYMBOLS\\", "BROKEN.SYM", HSI_TRUE),
            static_cast<int32_t>(HSI_FAILURE));
  EXPECT_EQ(HsiGetCvErrno(), HSI_ERR_FILE);
  EXPECT_EQ(HsiLoadSymFile(4, "C:\\TRACELON\\SYMBOLS\\", "NONE.SYM", HSI_TRUE),
            static_cast<int32_t>(HSI_FAILURE));
  int32_t tick = HsiLoadSymFile(4, "C:\\TRACELON\\SYMBOLS\\", "TICK.SYM", HSI_TRUE);
  ASSERT_GT(tick, 0);
  HsiPoint at{1000, 1000};
  int32_t id = HsiPutInstance(tick, &at, 2, 1, 1, 90, 90, 90, HSI_FINAL);
  ASSERT_GT(id, 0);
  HsiObjectInfo info;
  ASSERT_EQ(HsiObjInfo(id, &info), HSI_SUCCESS);
  EXPECT_EQ(info.head.type, HSI_OBJ_SYMBOL);
  EXPECT_STREQ(info.symbol.name, "TICK.SYM");
  EXPECT_EQ(info.head.x, 1000);
  // 10 units x 1000 DBU x scale 2, turned a quarter: from (1000,1000) up to (1000,21000).
  EXPECT_EQ(info.head.x1, 1000);
  EXPECT_EQ(info.head.y2, 21000);
  int32_t mirrored = HsiPutInstance(tick, &at, -1, 1, 1, 0, 0, 0, HSI_FINAL);
  ASSERT_EQ(HsiObjInfo(mirrored, &info), HSI_SUCCESS);
  EXPECT_EQ(info.head.x1, -9000);
  EXPECT_EQ(info.head.x2, 1000);
  EXPECT_EQ(HsiPutInstance(tick, &at, 0, 1, 1, 0, 0, 0, HSI_FINAL),
            static_cast<int32_t>(HSI_FAILURE));
  // However large the symbol's unit, its extent stays within the drawing's coordinates.
  WriteFile("C:\\TRACELON\\SYMBOLS\\HUGE.SYM", "TRACELON SYMBOL 1\nUNIT 1e300\nLINE 0 0 1 -1\n");
  int32_t huge = host_->AddSymbol("HUGE.SYM", {0, 0});
  ASSERT_GT(huge, 0);
  ASSERT_EQ(HsiObjInfo(huge, &info), HSI_SUCCESS);
  EXPECT_EQ(info.head.x1, 0);
  EXPECT_EQ(info.head.x2, INT32_MAX);
  EXPECT_EQ(info.head.y1, INT32_MIN);
  EXPECT_EQ(info.head.y2, 0);
  // Set-up placement loads the symbol from the symbol folder by name.
  EXPECT_GT(host_->AddSymbol("tick.sym", {0, 0}), 0);
  std::string error;
  EXPECT_EQ(host_->AddSymbol("MISSING.SYM", {0, 0}, 0, &error), 0);
  EXPECT_NE(error.find("MISSING.SYM"), std::string::npos);
}

}  // namespace

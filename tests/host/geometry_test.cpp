// Geometry services and the host's answers to bad arguments.
#include "host_fixture.h"

namespace {

using hosttest::HostTest;

TEST_F(HostTest, GeometryServices) {
  HsiPoint o{0, 0}, east{100, 0}, north{0, 100}, sw{-100, -100};
  EXPECT_DOUBLE_EQ(HsiPang(&o, &east), 0.0);
  EXPECT_DOUBLE_EQ(HsiPang(&o, &north), 90.0);
  EXPECT_DOUBLE_EQ(HsiPang(&o, &sw), 225.0);
  EXPECT_DOUBLE_EQ(HsiPang(&o, &o), 0.0);

  HsiPoint p{200, 100}, c{100, 100};
  ASSERT_EQ(HsiRotatePoint(&p, &c, 90.0), HSI_SUCCESS);
  EXPECT_EQ(p.x, 100);
  EXPECT_EQ(p.y, 200);

  HsiPoint a{0, 0}, b{1000, 1000}, x{1000, 0}, foot{};
  ASSERT_EQ(HsiNormal(&a, &b, &x, &foot), HSI_SUCCESS);
  EXPECT_EQ(foot.x, 500);
  EXPECT_EQ(foot.y, 500);
  // The foot on the line's extension, beyond its end.
  HsiPoint far{3000, 1000};
  ASSERT_EQ(HsiNormal(&a, &b, &far, &foot), HSI_SUCCESS);
  EXPECT_EQ(foot.x, 2000);
  EXPECT_EQ(foot.y, 2000);

  HsiPoint m{}, q{3, 5};
  ASSERT_EQ(HsiLineCenter(&o, &q, &m), HSI_SUCCESS);
  EXPECT_EQ(m.x, 2);  // 1.5 and 2.5 go to the even neighbour
  EXPECT_EQ(m.y, 2);

  HsiPoint t{3, 4};
  EXPECT_DOUBLE_EQ(HsiDoubleDist(&o, &t), 5.0);
  HsiPoint u{1, 1};
  EXPECT_EQ(HsiWorldDist(&o, &u), 1);
  EXPECT_NEAR(HsiDoubleDist(&o, &u), 1.41421356, 1e-6);

  HsiPoint inside{2000000000, -2000000000}, outside{2100000000, 0};
  EXPECT_EQ(HsiPtCheck(&inside), HSI_INSIDE_WORLD);
  EXPECT_EQ(HsiPtCheck(&outside), HSI_OUTSIDE_WORLD);
}

TEST_F(HostTest, BadArgumentsFailWithoutHarm) {
  EXPECT_EQ(HsiPtCheck(nullptr), HSI_FAILURE);
  EXPECT_EQ(HsiPang(nullptr, nullptr), 0.0);
  EXPECT_EQ(HsiRotatePoint(nullptr, nullptr, 1), HSI_FAILURE);
  EXPECT_EQ(HsiNormal(nullptr, nullptr, nullptr, nullptr), HSI_FAILURE);
  EXPECT_EQ(HsiGetPaths(nullptr, 6, 0), HSI_FAILURE);
  char path[HSI_PATH_SIZE];
  EXPECT_EQ(HsiGetPaths(path, 15, 0), HSI_FAILURE);
  EXPECT_EQ(HsiGetPaths(path, -1, 0), HSI_FAILURE);
  EXPECT_EQ(HsiSetPaths("", 2, 0), HSI_FAILURE);
  EXPECT_EQ(HsiGetLayer(nullptr, 1), HSI_FAILURE);
  HsiLayerRecord layer{};
  EXPECT_EQ(HsiGetLayer(&layer, 0), HSI_FAILURE);
  EXPECT_EQ(HsiGetLayer(&layer, 256), HSI_FAILURE);
  EXPECT_EQ(HsiSetActLayer(0), HSI_FAILURE);
  EXPECT_EQ(HsiObjGetLayer(424242), 0);
  EXPECT_EQ(HsiGetCvErrno(), HSI_ERR_NO_OBJECT);
  EXPECT_EQ(HsiObjType(424242), 0);
  HsiObjectInfo info;
  EXPECT_EQ(HsiObjInfo(424242, &info), HSI_FAILURE);
  EXPECT_EQ(HsiObjInfo(1, nullptr), HSI_FAILURE);
  EXPECT_EQ(HsiObjCreate(46, nullptr, HSI_FINAL), static_cast<int32_t>(HSI_FAILURE));
  EXPECT_EQ(HsiObjCreate(47, &info, HSI_FINAL), static_cast<int32_t>(HSI_FAILURE));
  HsiCadText text{};
  text.layer = 300;
  EXPECT_EQ(HsiObjCreate(HSI_RECORD_CAD_TEXT, &text, HSI_FINAL), static_cast<int32_t>(HSI_FAILURE));
  EXPECT_EQ(HsiObjAddtoline(nullptr, 2), HSI_FAILURE);
  EXPECT_EQ(HsiObjEndline(HSI_FINAL, HSI_TRUE, -3), static_cast<int32_t>(HSI_FAILURE));
  EXPECT_EQ(HsiOslCount(77), -1);
  EXPECT_EQ(HsiOslClear(77), HSI_FAILURE);
  EXPECT_EQ(HsiFreeLocalOsl(0), HSI_FAILURE);  // the user's list cannot be freed
  HsiOslEntry entry{424242, 0, 0};
  EXPECT_EQ(HsiOslAdd(0, &entry, HSI_TRUE), HSI_FAILURE);
  EXPECT_EQ(HsiSymbolFind(10, ""), static_cast<int32_t>(HSI_FAILURE));
  EXPECT_EQ(HsiSymbolFind(10, nullptr), static_cast<int32_t>(HSI_FAILURE));
  EXPECT_EQ(HsiPutInstance(99, nullptr, 1, 1, 1, 0, 0, 0, HSI_FINAL),
            static_cast<int32_t>(HSI_FAILURE));
  EXPECT_EQ(HsiLoadFile(nullptr, 0, nullptr), HSI_FAILURE);
  EXPECT_EQ(HsiRunMacro(""), HSI_FAILURE);
  EXPECT_EQ(HsiPutMsg(nullptr), HSI_FAILURE);
  EXPECT_EQ(HsiCustomCallback(nullptr, 0), HSI_FAILURE);
  EXPECT_EQ(HsiGetPoint("p", nullptr, nullptr, nullptr), HSI_FAILURE);
  EXPECT_EQ(HsiSetSymInfo(0xFC47, nullptr), HSI_FAILURE);
  EXPECT_EQ(HsiGetReferenceBuffer(nullptr, 0), HSI_FAILURE);
  HsiReferenceRecord ref{};
  EXPECT_EQ(HsiGetReferenceBuffer(&ref, 0), HSI_FAILURE);
  EXPECT_TRUE(host_->FinalObjects().empty());
  // Every call, the failed ones too, is in the call log.
  auto calls = host_->CallsTo("HsiGetLayer");
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[1].args, "ptr, 0");
}

TEST_F(HostTest, WithoutAHostEveryCallFails) {
  host::Host::Stop();
  HsiPoint p{0, 0};
  int16_t status = 7;
  EXPECT_EQ(HsiGetPoint("x", &p, &status, nullptr), HSI_FAILURE);
  EXPECT_EQ(HsiPutMsg("x"), HSI_FAILURE);
  EXPECT_EQ(HsiOslCount(0), -1);
  host_ = &host::Host::Start();
}

TEST_F(HostTest, FoldersByPathNumber) {
  char path[HSI_PATH_SIZE];
  ASSERT_EQ(HsiGetPaths(path, HSI_PATH_WORK_FILES, 0), HSI_SUCCESS);
  EXPECT_STREQ(path, "C:\\TRACELON\\WORK\\");
  ASSERT_EQ(HsiGetPaths(path, HSI_PATH_WORK_FILES, 1), HSI_SUCCESS);
  EXPECT_STREQ(path, "C:\\TRACELON\\WORK");
  ASSERT_EQ(HsiGetPaths(path, HSI_PATH_ROOT, 1), HSI_SUCCESS);
  EXPECT_STREQ(path, "C:\\");
  ASSERT_EQ(HsiSetPaths("D:\\JOBS\\A1", HSI_PATH_DRAWINGS, 0), HSI_SUCCESS);
  ASSERT_EQ(HsiGetPaths(path, HSI_PATH_DRAWINGS, 0), HSI_SUCCESS);
  EXPECT_STREQ(path, "D:\\JOBS\\A1\\");
}

TEST_F(HostTest, FoldersComeFromTheIniFileWhenItNamesThem) {
  WriteFile("C:\\TRACELON\\tracelon.ini",
            "[Colors]\r\n0=255 255 255\r\n[Paths]\r\n2=C:\\MYSYMS\r\n");
  host_ = &host::Host::Start();
  EXPECT_EQ(host_->Path(HSI_PATH_SYMBOLS), "C:\\MYSYMS\\");
  EXPECT_EQ(host_->Path(HSI_PATH_MACROS), "C:\\TRACELON\\MACROS\\");
}

}  // namespace

TEST_F(HostTest, AnExtentPastTheCoordinateRangeIsClampedNotWrapped) {
  // A full circle whose right and top edges reach past the int32 range.
  const int32_t id = Host().AddArc({1990000000, 1990000000}, 200000000, 0, 360);
  ASSERT_GT(id, 0);
  HsiObjectInfo info;
  ASSERT_EQ(HsiObjInfo(id, &info), HSI_SUCCESS);
  // Copies of the packed fields: no reference may bind to them.
  EXPECT_EQ(+info.head.x1, 1790000000);
  EXPECT_EQ(+info.head.y1, 1790000000);
  EXPECT_EQ(+info.head.x2, INT32_MAX);
  EXPECT_EQ(+info.head.y2, INT32_MAX);
}

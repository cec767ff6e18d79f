// Object calls later commands rely on: the clipboard picture of a list, moving objects, their
// vertices, and the TrueType settings that plain-text TrueType records take.
#include <cmath>
#include <cstring>

#include "host_fixture.h"
#include "platform/picture.h"
#include "platform/system.h"

namespace {

using hosttest::HostTest;

int16_t ListOf(std::initializer_list<int32_t> ids) {
  int16_t list = HsiCreateLocalOsl(0, 0, 512);
  for (int32_t id : ids) {
    HsiOslEntry e{id, 0, 0};
    HsiOslAdd(list, &e, HSI_FALSE);
  }
  return list;
}

TEST_F(HostTest, EditCopyLeavesAPictureOfTheListOnTheClipboard) {
  // A reference object's preview: its lines, an arc and a text, fitted into 200 units.
  int32_t line = host_->AddLine({{0, 0}, {100000, 0}, {100000, 50000}});
  int32_t arc = host_->AddArc({50000, 25000}, 10000, 0, 180);
  int32_t text = host_->AddText({10000, 40000}, "A1", 5000);
  int32_t far = host_->AddLine({{900000, 900000}, {950000, 900000}});
  int16_t list = ListOf({line, arc, text});
  platform::ClearClipboard();
  ASSERT_EQ(HsiEditCopy(list), HSI_SUCCESS);
  ASSERT_TRUE(platform::ClipboardHasPicture());
  platform::Picture picture = platform::ClipboardPicture();
  ASSERT_TRUE(picture.IsMetafile());
  const platform::Metafile& m = *picture.AsMetafile();
  EXPECT_EQ(m.width, 200);  // 100000 wide: 190 units and a margin of 5 each side
  EXPECT_EQ(m.height, 105);
  ASSERT_EQ(m.records.size(), 3u);
  using K = platform::MetafileRecord::Kind;
  EXPECT_EQ(m.records[0].kind, K::Polyline);
  // y runs down: the drawing's top right corner is the picture's top right.
  EXPECT_EQ(m.records[0].points, (std::vector<platform::Point>{{5, 100}, {195, 100}, {195, 5}}));
  EXPECT_EQ(m.records[1].kind, K::Arc);
  EXPECT_EQ(m.records[2].kind, K::Text);
  EXPECT_EQ(m.records[2].text, "A1");
  // Nothing listed or no such list: refused, and the clipboard keeps its picture.
  int16_t empty = HsiCreateLocalOsl(0, 0, 512);
  EXPECT_EQ(HsiEditCopy(empty), HSI_FAILURE);
  EXPECT_EQ(HsiEditCopy(999), HSI_FAILURE);
  EXPECT_EQ(platform::ClipboardPicture(), picture);
  (void)far;
}

TEST_F(HostTest, EditMoveMovesEveryPointAndThePickFollows) {
  int32_t line = host_->AddLine({{0, 0}, {100000, 0}});
  int32_t arc = host_->AddArc({0, 0}, 10000, 0, 90);
  int32_t text = host_->AddText({5000, 5000}, "T", 5000);
  for (int32_t id : {line, arc, text})
    ASSERT_EQ(HsiEditMove(id, 1000000, -2000, HSI_DRAW_NORMAL), HSI_SUCCESS);
  EXPECT_EQ(host::get<host::LinesetData>(host_->Find(line)->data).points,
            (std::vector<host::Point>{{1000000, -2000}, {1100000, -2000}}));
  const host::Object* a = host_->Find(arc);
  EXPECT_EQ(a->at, (host::Point{1000000, -2000}));
  EXPECT_EQ(host::get<host::ArcData>(a->data).start, (host::Point{1010000, -2000}));
  EXPECT_EQ(host::get<host::ArcData>(a->data).end, (host::Point{1000000, 8000}));
  EXPECT_EQ(host_->Find(text)->at, (host::Point{1005000, 3000}));
  // The moved line is picked where it is now, not where it was.
  int16_t list = HsiCreateLocalOsl(-1, 0, 512);
  HsiPoint old{50000, 0}, now{1050000, -2000};
  EXPECT_EQ(HsiSelectbyPoint(list, "", 1, HSI_TRUE, HSI_TRUE, &old, HSI_FILTER_LINESET),
            HSI_NOTHING_FOUND);
  EXPECT_EQ(HsiSelectbyPoint(list, "", 1, HSI_TRUE, HSI_TRUE, &now, HSI_FILTER_LINESET),
            HSI_SUCCESS);
  EXPECT_EQ(HsiEditMove(987654, 1, 1, HSI_DRAW_NORMAL), HSI_FAILURE);
  EXPECT_EQ(HsiGetCvErrno(), HSI_ERR_NO_OBJECT);
}

TEST_F(HostTest, ObjectVerticesByNumber) {
  int32_t line = host_->AddLine({{0, 0}, {100, 0}, {100, 200}, {0, 0}});
  int32_t arc = host_->AddArc({0, 0}, 1000, 0, 90);
  int32_t text = host_->AddText({7, 8}, "T", 5000);
  HsiPoint p{};
  ASSERT_EQ(HsiObjInfoxy(line, 2, &p), HSI_SUCCESS);
  EXPECT_EQ(p.x, 100);
  EXPECT_EQ(p.y, 200);
  EXPECT_EQ(HsiObjInfoxy(line, 4, &p), HSI_FAILURE);
  EXPECT_EQ(HsiObjInfoxy(line, -1, &p), HSI_FAILURE);
  ASSERT_EQ(HsiObjInfoxy(arc, 1, &p), HSI_SUCCESS);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 1000);
  EXPECT_EQ(HsiObjInfoxy(arc, 2, &p), HSI_FAILURE);
  ASSERT_EQ(HsiObjInfoxy(text, 0, &p), HSI_SUCCESS);
  EXPECT_EQ(p.x, 7);
  EXPECT_EQ(HsiObjInfoxy(text, 1, &p), HSI_FAILURE);
  EXPECT_EQ(HsiObjInfoxy(987654, 0, &p), HSI_FAILURE);
  EXPECT_EQ(HsiObjInfoxy(line, 0, nullptr), HSI_FAILURE);
  // The record agrees: the last vertex's index, first and last vertex, closed.
  HsiObjectInfo info;
  ASSERT_EQ(HsiObjInfo(line, &info), HSI_SUCCESS);
  EXPECT_EQ(info.lineset.lastVertex, 3);
  EXPECT_EQ(info.lineset.last.x, 0);
  EXPECT_EQ(info.lineset.closed, 1);
}

TEST_F(HostTest, TrueTypeSettingsSetApplyToPlainTextMadeAfterwards) {
  HsiTrueTypeSettings s{};
  ASSERT_EQ(HsiGetTrueTypeInfo(&s), HSI_SUCCESS);
  EXPECT_STREQ(s.face, "Arial");
  EXPECT_DOUBLE_EQ(s.plainWidth, 6.0);
  std::memset(s.face, 'X', sizeof s.face);  // no NUL: cut to the field
  s.size = 14;
  s.plainWidth = 2.5;
  s.plainWrap = 1;
  s.plainAlign = 2;
  ASSERT_EQ(HsiSetTrueTypeInfo(&s), HSI_SUCCESS);
  HsiTrueTypeSettings back{};
  ASSERT_EQ(HsiGetTrueTypeInfo(&back), HSI_SUCCESS);
  EXPECT_EQ(std::string(back.face), std::string(31, 'X'));
  EXPECT_EQ(back.size, 14);
  EXPECT_DOUBLE_EQ(back.plainWidth, 2.5);

  HsiTrueTypeText r{};
  r.layer = 1;
  r.colour = 7;
  r.scaleX = r.scaleY = 1.0;
  r.vcode = 3;
  r.content = HSI_TT_CONTENT_PLAIN;
  std::strcpy(r.face, "Arial");
  r.size = 10;
  std::strcpy(r.text, "A PLAIN NOTE");
  int32_t id = HsiObjCreate(HSI_RECORD_TRUETYPE, &r, HSI_FINAL);
  ASSERT_GT(id, 0);
  const auto& made = host::get<host::TrueTypeData>(host_->Find(id)->data);
  EXPECT_DOUBLE_EQ(made.plainWidth, 2.5);
  EXPECT_EQ(made.plainWrap, 1);
  EXPECT_EQ(made.plainAlign, 2);

  // Settings the layout cannot use are refused and change nothing.
  HsiTrueTypeSettings bad = back;
  bad.plainAlign = 3;
  EXPECT_EQ(HsiSetTrueTypeInfo(&bad), HSI_FAILURE);
  bad = back;
  bad.plainWidth = std::nan("");
  EXPECT_EQ(HsiSetTrueTypeInfo(&bad), HSI_FAILURE);
  bad.plainWidth = -1;
  EXPECT_EQ(HsiSetTrueTypeInfo(&bad), HSI_FAILURE);
  EXPECT_EQ(HsiSetTrueTypeInfo(nullptr), HSI_FAILURE);
  ASSERT_EQ(HsiGetTrueTypeInfo(&s), HSI_SUCCESS);
  EXPECT_DOUBLE_EQ(s.plainWidth, 2.5);
  EXPECT_EQ(s.plainAlign, 2);
}

}  // namespace

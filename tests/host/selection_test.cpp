// Selection lists, selection by point, window and line segment, and interactive picks.
#include <random>
#include <vector>

#include "host_fixture.h"

namespace {

using hosttest::HostTest;
using Kind = host::PointReply::Kind;

class Selection : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    // A wall: two parallel faces 6000 apart, a text and an arc nearby.
    face1_ = host_->AddLine({{0, 0}, {200000, 0}});
    face2_ = host_->AddLine({{0, 6000}, {200000, 6000}});
    text_ = host_->AddText({100000, 40000}, "NOTE", 10000);
    arc_ = host_->AddArc({300000, 0}, 50000, 0, 180);
    list_ = HsiCreateLocalOsl(-3, 0, 512);
  }
  int32_t face1_ = 0, face2_ = 0, text_ = 0, arc_ = 0;
  int16_t list_ = 0;
};

TEST_F(Selection, ByPointTakesTheNearestObjectNotYetListed) {
  ASSERT_GT(list_, 0);
  HsiPoint p{50000, 2000};
  EXPECT_EQ(HsiSelectbyPoint(list_, " ", 2, HSI_TRUE, HSI_TRUE, &p, HSI_FILTER_LINESET),
            HSI_SUCCESS);
  EXPECT_EQ(HsiSelectbyPoint(list_, " ", 2, HSI_TRUE, HSI_TRUE, &p, HSI_FILTER_LINESET),
            HSI_SUCCESS);
  // Only two lines are near: the third call finds nothing.
  EXPECT_EQ(HsiSelectbyPoint(list_, " ", 2, HSI_TRUE, HSI_TRUE, &p, HSI_FILTER_LINESET),
            HSI_NOTHING_FOUND);
  ASSERT_EQ(HsiOslCount(list_), 2);
  HsiOslEntry e{};
  ASSERT_EQ(HsiOslItem(list_, 0, &e), HSI_SUCCESS);
  EXPECT_EQ(e.id, face1_);  // 2000 away, nearer than the face 4000 away
  ASSERT_EQ(HsiOslItem(list_, 1, &e), HSI_SUCCESS);
  EXPECT_EQ(e.id, face2_);
  EXPECT_EQ(HsiOslItem(list_, 2, &e), HSI_FAILURE);

  // The filter: text only.
  HsiOslClear(list_);
  HsiPoint nearText{101000, 41000};
  EXPECT_EQ(HsiSelectbyPoint(list_, "", 2, HSI_TRUE, HSI_TRUE, &nearText, HSI_FILTER_TEXT),
            HSI_SUCCESS);
  ASSERT_EQ(HsiOslItem(list_, 0, &e), HSI_SUCCESS);
  EXPECT_EQ(e.id, text_);
  EXPECT_EQ(HsiObjType(e.id), HSI_OBJ_TEXT);
  // Beyond the aperture (2 x 0.05 inch of paper: 76800 at full scale) nothing is there.
  HsiPoint empty{100000, 160000};
  EXPECT_EQ(HsiSelectbyPoint(list_, "", 2, HSI_TRUE, HSI_TRUE, &empty, 0), HSI_NOTHING_FOUND);
  // An arc is found on its curve, not at its centre (aperture 1: 38400).
  HsiPoint top{300000, 49000}, centre{300000, 0};
  EXPECT_EQ(HsiSelectbyPoint(list_, "", 1, HSI_TRUE, HSI_TRUE, &centre, HSI_FILTER_ARC),
            HSI_NOTHING_FOUND);
  EXPECT_EQ(HsiSelectbyPoint(list_, "", 1, HSI_TRUE, HSI_TRUE, &top, HSI_FILTER_ARC), HSI_SUCCESS);
}

TEST_F(Selection, HiddenLayersAndTemporaryObjectsAreNotSelected) {
  host_->SetLayerOn(1, true);
  int32_t onTwo = host_->AddLine({{0, -3000}, {200000, -3000}}, 2);
  ASSERT_TRUE(host_->SetLayerOn(2, false));
  HsiPoint p{50000, -3000};
  EXPECT_EQ(HsiSelectbyPoint(list_, "", 1, HSI_TRUE, HSI_TRUE, &p, 0), HSI_SUCCESS);
  HsiOslEntry e{};
  HsiOslItem(list_, 0, &e);
  EXPECT_NE(e.id, onTwo);

  HsiOslClear(list_);
  HsiPoint a{500000, 500000};
  ASSERT_EQ(HsiObjStartline(&a, 1, 0, 0, 7), HSI_SUCCESS);
  HsiPoint b{600000, 500000};
  ASSERT_EQ(HsiObjAddtoline(&b, 2), HSI_SUCCESS);
  int32_t preview = HsiObjEndline(HSI_TEMPORARY, HSI_TRUE, -3);
  ASSERT_GT(preview, 0);
  EXPECT_EQ(HsiSelectbyPoint(list_, "", 2, HSI_TRUE, HSI_TRUE, &a, 0), HSI_NOTHING_FOUND);
}

// The ids a pick at `y` on a wall takes with two selections (the door's way of finding both faces).
std::vector<int32_t> PickTwice(int16_t list, int32_t x, int32_t y) {
  HsiOslClear(list);
  HsiPoint p{x, y};
  HsiSelectbyPoint(list, " ", 2, HSI_TRUE, HSI_TRUE, &p, HSI_FILTER_LINESET);
  HsiSelectbyPoint(list, " ", 2, HSI_TRUE, HSI_TRUE, &p, HSI_FILTER_LINESET);
  std::vector<int32_t> ids;
  HsiOslEntry e{};
  for (int32_t i = 0; HsiOslItem(list, i, &e) == HSI_SUCCESS; ++i) ids.push_back(e.id);
  return ids;
}

TEST_F(Selection, ApertureIsAPaperDistanceAtTheDrawingsScale) {
  using Ids = std::vector<int32_t>;
  // 1/4" = 1'-0": 16000 DBU per inch, 48 inches to the paper inch; a 6" wall has its faces
  // 96000 apart, and the aperture of 2 reaches 0.1 inch of paper, 76800.
  ASSERT_TRUE(host_->SetPointsPerUnit(16000));
  ASSERT_TRUE(host_->SetScale(48));
  int32_t a = host_->AddLine({{0, 1000000}, {2000000, 1000000}});
  int32_t b = host_->AddLine({{0, 1096000}, {2000000, 1096000}});
  EXPECT_EQ(PickTwice(list_, 500000, 1048000), (Ids{b, a}));  // the middle: both, newer first
  EXPECT_EQ(PickTwice(list_, 500000, 1020000), (Ids{a, b}));  // nearer face first
  EXPECT_EQ(PickTwice(list_, 500000, 1076000), (Ids{b, a}));
  EXPECT_EQ(PickTwice(list_, 500000, 950000), (Ids{a}));  // outside, in reach of one face only
  EXPECT_EQ(PickTwice(list_, 500000, 1150000), (Ids{b}));
  EXPECT_EQ(PickTwice(list_, 500000, 900000), (Ids{}));  // 100000 from the nearer face
  // The host's own selection uses the same aperture.
  EXPECT_TRUE(host_->SelectNearest({500000, 940000}));

  // Full scale in millimetres, 100 DBU to the millimetre, paper measured in millimetres: 0.1
  // inch of paper is 2.54 mm. A 150 mm wall's faces are 15000 apart: each is picked alone.
  ASSERT_EQ(HsiSetUnitType(HSI_UNIT_MILLIMETRES), HSI_SUCCESS);
  ASSERT_EQ(HsiSetPaperUnit(HSI_UNIT_MILLIMETRES), HSI_SUCCESS);
  ASSERT_TRUE(host_->SetPointsPerUnit(100));
  ASSERT_TRUE(host_->SetScale(1));
  int32_t c = host_->AddLine({{0, -500000}, {200000, -500000}});
  int32_t d = host_->AddLine({{0, -485000}, {200000, -485000}});
  EXPECT_EQ(PickTwice(list_, 100000, -500200), (Ids{c}));
  EXPECT_EQ(PickTwice(list_, 100000, -499800), (Ids{c}));
  EXPECT_EQ(PickTwice(list_, 100000, -485250), (Ids{d}));
  EXPECT_EQ(PickTwice(list_, 100000, -492500), (Ids{}));
  EXPECT_EQ(PickTwice(list_, 100000, -500300), (Ids{}));

  // A larger aperture (the host's setting) reaches further; a bad one is refused.
  ASSERT_TRUE(host_->SetAperture(3.0));
  EXPECT_EQ(PickTwice(list_, 100000, -492500), (Ids{d, c}));  // a tie takes the newer first
  EXPECT_FALSE(host_->SetAperture(0));
  EXPECT_FALSE(host_->SetAperture(-1));
  EXPECT_DOUBLE_EQ(host_->Aperture(), 3.0);
}

TEST_F(Selection, InteractivePickStatuses) {
  HsiPoint p{};
  input_.Point(100000, 1000);
  EXPECT_EQ(HsiSelectbyPoint(list_, "Pick a line", 2, HSI_FALSE, HSI_TRUE, &p, 5), HSI_SUCCESS);
  EXPECT_EQ(p.x, 100000);
  EXPECT_EQ(input_.prompts.back(), "Pick a line");
  input_.Point(100000, 100000);
  EXPECT_EQ(HsiSelectbyPoint(list_, "", 2, HSI_FALSE, HSI_TRUE, &p, 5), HSI_NOTHING_FOUND);
  input_.Reply(Kind::Button2);
  EXPECT_EQ(HsiSelectbyPoint(list_, "", 2, HSI_FALSE, HSI_TRUE, &p, 5), HSI_SELECTION_ENDED);
  input_.Reply(Kind::Fail);
  EXPECT_EQ(HsiSelectbyPoint(list_, "", 2, HSI_FALSE, HSI_TRUE, &p, 5), HSI_FAILURE);
  EXPECT_EQ(HsiOslCount(list_), 1);
}

TEST_F(Selection, ByWindowCrossingOrInside) {
  HsiPoint c1{-10000, -10000}, c2{150000, 10000};
  // Crossing: both faces cross the window.
  EXPECT_EQ(HsiSelectbyWindow(list_, "", "", HSI_WINDOW_CROSSING, HSI_TRUE, HSI_TRUE, &c1, &c2, 0),
            HSI_SUCCESS);
  EXPECT_EQ(HsiOslCount(list_), 2);
  HsiOslClear(list_);
  // Inside: the faces reach beyond the window, so nothing.
  EXPECT_EQ(HsiSelectbyWindow(list_, "", "", HSI_WINDOW_INSIDE, HSI_TRUE, HSI_TRUE, &c1, &c2, 0),
            HSI_NOTHING_FOUND);
  HsiPoint w1{-1, -1}, w2{400000, 60000};
  EXPECT_EQ(HsiSelectbyWindow(list_, "", "", HSI_WINDOW_INSIDE, HSI_TRUE, HSI_TRUE, &w1, &w2, 0),
            HSI_SUCCESS);
  EXPECT_EQ(HsiOslCount(list_), 4);
}

TEST_F(Selection, LineSegmentScanAndRemoval) {
  int32_t zigzag = host_->AddLine({{0, 100000}, {10000, 100000}, {10000, 110000}, {0, 110000}});
  HsiPoint p{10500, 105000};
  int16_t a = 0, b = 0;
  ASSERT_EQ(HsiSelectLinesegment(zigzag, &p, &a, &b), HSI_SUCCESS);
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 3);
  EXPECT_EQ(HsiSelectLinesegment(text_, &p, &a, &b), HSI_FAILURE);

  for (int32_t id : {face1_, face2_, zigzag}) {
    HsiOslEntry e{id, 0, 0};
    ASSERT_EQ(HsiOslAdd(0, &e, HSI_FALSE), HSI_SUCCESS);
  }
  HsiOslEntry dup{face1_, 0, 0};
  EXPECT_EQ(HsiOslAdd(0, &dup, HSI_FALSE), HSI_FAILURE);
  ASSERT_EQ(HsiOslScanInit(0), HSI_SUCCESS);
  HsiOslEntry e{};
  std::vector<int32_t> seen;
  while (HsiOslScan(0, &e) == HSI_SUCCESS) seen.push_back(e.id);
  EXPECT_EQ(seen, (std::vector<int32_t>{face1_, face2_, zigzag}));
  ASSERT_EQ(HsiOslRm(0, &dup), HSI_SUCCESS);
  EXPECT_EQ(HsiOslCount(0), 2);
  // A deleted object leaves every list.
  HsiOslEntry z{zigzag, 0, 0};
  HsiOslAdd(list_, &z, HSI_FALSE);
  ASSERT_EQ(HsiEditDelete(zigzag), HSI_SUCCESS);
  EXPECT_EQ(HsiOslCount(0), 1);
  EXPECT_EQ(HsiOslCount(list_), 0);
  ASSERT_EQ(HsiFreeLocalOsl(list_), HSI_SUCCESS);
  EXPECT_EQ(HsiOslCount(list_), -1);
}

TEST_F(Selection, AnOwnersListIsHandedBackEmptiedSoListsDoNotRunOut) {
  // The fixture holds owner -3's list. Another owner's list stays apart.
  int16_t other = HsiCreateLocalOsl(-2, 0, 512);
  ASSERT_GT(other, 0);
  ASSERT_NE(other, list_);
  HsiOslEntry e{face1_, 0, 0};
  ASSERT_EQ(HsiOslAdd(other, &e, HSI_FALSE), HSI_SUCCESS);
  // A thousand leaders snapping to text, each asking for its list and never freeing it.
  HsiPoint nearText{101000, 41000};
  for (int i = 0; i < 1000; ++i) {
    int16_t list = HsiCreateLocalOsl(-3, 0, 0);
    ASSERT_EQ(list, list_) << "leader " << i;
    ASSERT_EQ(HsiOslCount(list), 0) << "leader " << i;
    ASSERT_EQ(HsiSelectbyPoint(list, "", 2, HSI_TRUE, HSI_TRUE, &nearText, HSI_FILTER_TEXT),
              HSI_SUCCESS)
        << "leader " << i;
  }
  EXPECT_EQ(HsiOslCount(other), 1);
  // The capacity asked for last applies.
  int16_t small = HsiCreateLocalOsl(-3, 0, 1);
  HsiOslEntry f1{face1_, 0, 0}, f2{face2_, 0, 0};
  EXPECT_EQ(HsiOslAdd(small, &f1, HSI_FALSE), HSI_SUCCESS);
  EXPECT_EQ(HsiOslAdd(small, &f2, HSI_FALSE), HSI_FAILURE);
  // A freed owner's list is made anew; owner 0 gets a new list every time.
  ASSERT_EQ(HsiFreeLocalOsl(list_), HSI_SUCCESS);
  int16_t again = HsiCreateLocalOsl(-3, 0, 512);
  EXPECT_GT(again, 0);
  EXPECT_EQ(HsiOslCount(again), 0);
  int16_t a = HsiCreateLocalOsl(0, 0, 512), b = HsiCreateLocalOsl(0, 0, 512);
  EXPECT_GT(a, 0);
  EXPECT_GT(b, 0);
  EXPECT_NE(a, b);
}

TEST_F(Selection, DeletingDuringAScanGoesOnWithTheNextEntry) {
  // A command that walks a list and deletes what it is given must see every entry.
  for (int32_t id : {face1_, face2_, text_, arc_}) {
    HsiOslEntry e{id, 0, 0};
    ASSERT_EQ(HsiOslAdd(list_, &e, HSI_FALSE), HSI_SUCCESS);
  }
  ASSERT_EQ(HsiOslScanInit(list_), HSI_SUCCESS);
  std::vector<int32_t> seen;
  HsiOslEntry e{};
  while (HsiOslScan(list_, &e) == HSI_SUCCESS) {
    seen.push_back(e.id);
    if (e.id != text_) {
      ASSERT_EQ(HsiEditDelete(e.id), HSI_SUCCESS);
    }
  }
  EXPECT_EQ(seen, (std::vector<int32_t>{face1_, face2_, text_, arc_}));
  EXPECT_EQ(HsiOslCount(list_), 1);
  // Deleting an entry not yet reached leaves the position alone.
  int32_t a = host_->AddLine({{0, 900000}, {1, 900000}});
  int32_t b = host_->AddLine({{0, 910000}, {1, 910000}});
  HsiOslEntry ea{a, 0, 0}, eb{b, 0, 0};
  HsiOslAdd(list_, &ea, HSI_FALSE);
  HsiOslAdd(list_, &eb, HSI_FALSE);
  HsiOslScanInit(list_);
  ASSERT_EQ(HsiOslScan(list_, &e), HSI_SUCCESS);  // the text
  HsiEditDelete(b);
  ASSERT_EQ(HsiOslScan(list_, &e), HSI_SUCCESS);
  EXPECT_EQ(e.id, a);
  EXPECT_EQ(HsiOslScan(list_, &e), HSI_FAILURE);
}

TEST_F(Selection, SetUpSelectionAddsTheNearestObjectToTheUsersList) {
  EXPECT_TRUE(host_->SelectNearest({100000, 39000}));
  EXPECT_EQ(HsiOslCount(0), 1);
  EXPECT_FALSE(host_->SelectNearest({900000, 900000}));
  host_->SelectNone();
  EXPECT_EQ(HsiOslCount(0), 0);
}

}  // namespace

namespace {

// A pick measures only the segments of a lineset near it: the distance it finds is the distance
// to the nearest segment whenever that lies within the pick's reach, and beyond the reach
// otherwise, for linesets of many segments running back and forth past the point.
TEST_F(HostTest, APickMeasuresTheNearestSegmentOfALongLineset) {
  std::mt19937 random(5);
  std::uniform_int_distribution<int32_t> coordinate(-50000, 50000), step(-3000, 3000);
  for (int trial = 0; trial < 40; ++trial) {
    std::vector<host::Point> points{{coordinate(random), coordinate(random)}};
    for (int i = 0; i < 2000; ++i) {
      // Mostly short steps, now and then a long jump across the whole drawing.
      const bool jump = i % 97 == 0;
      points.push_back(
          jump ? host::Point{coordinate(random), coordinate(random)}
               : host::Point{points.back().x + step(random), points.back().y + step(random)});
    }
    const int32_t id = host_->AddLine(points);
    const host::Object& lineset = *host_->Find(id);
    for (int pick = 0; pick < 50; ++pick) {
      // Half the picks fall near a vertex, half anywhere.
      const host::Point near = points[static_cast<size_t>(pick * 37 % 2001)];
      const host::PointD p =
          pick % 2 == 0 ? host::PointD{near.x + step(random) / 10.0, near.y + 0.5}
                        : host::PointD{double(coordinate(random)), double(coordinate(random))};
      const double limit = pick % 5 == 0 ? 0.0 : 50.0 * (pick % 7) + 0.5;
      const double nearest = host_->ObjectDistance(lineset, p);
      const double found = host_->DistanceWithin(lineset, p, limit);
      if (nearest <= limit) {
        EXPECT_EQ(found, nearest) << trial << " " << pick;
      } else {
        EXPECT_GT(found, limit) << trial << " " << pick;
      }
    }
    // A pick on a vertex finds the lineset at no distance.
    EXPECT_EQ(host_->DistanceWithin(lineset, host::ToD(points[1000]), 0.0), 0.0);
  }
}

}  // namespace

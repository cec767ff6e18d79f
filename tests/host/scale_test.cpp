// The host at drawing scale: the spatial index answers as testing every box would, the call log
// records exactly while it is on, and objects are found by id through creation, deletion, undo
// and reopening.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>

#include "host/object_store.h"
#include "host/spatial_index.h"
#include "host_fixture.h"

namespace hosttest {
namespace {

std::vector<int32_t> Sorted(std::vector<int32_t> ids) {
  std::sort(ids.begin(), ids.end());
  return ids;
}

host::Box MakeBox(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  host::Box b;
  b.Add(x1, y1);
  b.Add(x2, y2);
  return b;
}

// Boxes of every size from a point to the whole range, at the edges of the range too, with ids
// the host hands out and ids far beyond them; removed, moved and queried against a plain scan.
TEST(SpatialIndexTest, AnswersAsTestingEveryBox) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int32_t> where(INT32_MIN, INT32_MAX);
  std::uniform_int_distribution<int> sizeBits(0, 32);
  auto randomBox = [&] {
    int64_t x = where(random), y = where(random);
    int64_t w = (int64_t{1} << sizeBits(random)) - 1, h = (int64_t{1} << sizeBits(random)) - 1;
    return MakeBox(x, y, std::min<int64_t>(x + w, INT32_MAX), std::min<int64_t>(y + h, INT32_MAX));
  };
  host::SpatialIndex index;
  std::map<int32_t, host::Box> truth;
  auto put = [&](int32_t id, const host::Box& box) {
    index.Insert(id, box);
    truth[id] = box;
  };
  for (int32_t id = 1; id <= 3000; ++id) put(id, randomBox());
  // Ids beyond what the index holds (a file's, say), and boxes on the range's corners.
  put(2000000000, MakeBox(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX));
  put(1500000000, MakeBox(INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX));
  put(3001, MakeBox(INT32_MIN, INT32_MIN, INT32_MIN + 5, INT32_MIN + 5));
  // Removals, a second insertion of the same id (the box moved), a removal of an unknown id.
  for (int32_t id = 2; id <= 3000; id += 3) {
    index.Remove(id);
    truth.erase(id);
  }
  for (int32_t id = 1; id <= 3000; id += 7) put(id, randomBox());
  index.Remove(1500000000);
  truth.erase(1500000000);
  index.Remove(987654);
  index.Insert(3002, host::Box{});  // an empty box is not indexed
  ASSERT_EQ(index.Size(), truth.size());

  auto check = [&](const host::Box& q) {
    std::vector<int32_t> expected;
    for (const auto& [id, box] : truth)
      if (box.Intersects(q)) expected.push_back(id);
    EXPECT_EQ(Sorted(index.Query(q)), expected)
        << "query " << q.x1 << "," << q.y1 << " " << q.x2 << "," << q.y2;
  };
  for (int i = 0; i < 300; ++i) {
    check(randomBox());
    const int64_t px = where(random), py = where(random);
    check(MakeBox(px, py, px, py));
  }
  check(MakeBox(INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN));
  check(MakeBox(int64_t{INT32_MAX} + 10, 0, int64_t{INT32_MAX} + 20, 10));  // beyond the range
  check(MakeBox(INT64_MIN / 2, INT64_MIN / 2, INT64_MAX / 2, INT64_MAX / 2));

  index.Clear();
  EXPECT_EQ(index.Size(), 0u);
  EXPECT_TRUE(index.Query(MakeBox(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX)).empty());
}

class ScaleTest : public HostTest {};

TEST_F(ScaleTest, CallLogRecordsOnlyWhileOn) {
  EXPECT_TRUE(Host().RecordsCalls()) << "a host started for a test keeps its log";
  Host().ClearCalls();
  HsiPoint a{0, 0}, b{100, 0};
  Host().RecordCalls(false);
  HsiObjStartline(&a, 1, 0, 0, 7);
  HsiObjAddtoline(&b, 2);
  const int32_t id = HsiObjEndline(HSI_FINAL, HSI_TRUE, -3);
  EXPECT_TRUE(Host().Calls().empty());
  ASSERT_NE(Host().Find(id), nullptr) << "the calls did their work all the same";

  Host().RecordCalls(true);
  HsiPoint p{0, 0};
  HsiObjInfoxy(id, 1, &p);
  HsiObjInfoxy(id, 9, &p);  // a failing call is logged too
  auto calls = Host().CallsTo("HsiObjInfoxy");
  ASSERT_EQ(calls.size(), 2u);
  // Logged before the call runs: the second sees the point the first filled in.
  EXPECT_EQ(calls[0].args, std::to_string(id) + ", 1, (0,0)");
  EXPECT_EQ(calls[1].args, std::to_string(id) + ", 9, (100,0)");

  host::Host::Options options;
  options.readIni = false;
  options.recordCalls = false;
  host::Host& quiet = host::Host::Start(options);
  HsiGetProgMode();
  EXPECT_FALSE(quiet.RecordsCalls());
  EXPECT_TRUE(quiet.Calls().empty());
  host_ = nullptr;  // the fixture's host is gone; it stops the current one
}

// Finding by id follows every way an object comes and goes, and picks and windows find what
// is there.
TEST_F(ScaleTest, ObjectsFoundByIdThroughUndoAndReopen) {
  std::vector<int32_t> ids;
  for (int i = 0; i < 200; ++i) ids.push_back(Host().AddLine({{i * 1000, 0}, {i * 1000, 500}}));
  ASSERT_TRUE(Host().DeleteObject(ids[10]));
  EXPECT_EQ(Host().Find(ids[10]), nullptr);
  ASSERT_TRUE(Host().UndoLast());
  ASSERT_NE(Host().Find(ids[10]), nullptr);
  EXPECT_EQ(Host().Find(ids[10])->at, (host::Point{10000, 0}));
  ASSERT_TRUE(Host().MoveObject(ids[20], 0, 100000));
  ASSERT_TRUE(Host().UndoLast());
  EXPECT_EQ(Host().Find(ids[20])->at, (host::Point{20000, 0}));
  ASSERT_TRUE(Host().UndoLast());  // the last line's creation
  EXPECT_EQ(Host().Find(ids.back()), nullptr);
  EXPECT_EQ(Host().Find(-5), nullptr);
  EXPECT_EQ(Host().Find(2000000000), nullptr);

  int16_t list = HsiCreateLocalOsl(-3, 0, 512);
  HsiPoint at{20000, 250};
  ASSERT_EQ(HsiSelectbyPoint(list, "", 2, HSI_TRUE, HSI_FALSE, &at, 0), HSI_SUCCESS);
  HsiOslEntry entry{};
  ASSERT_EQ(HsiOslItem(list, 0, &entry), HSI_SUCCESS);
  EXPECT_EQ(entry.id, ids[20]) << "picked where undo put it back";
  HsiOslClear(list);
  HsiPoint c1{-100, -100}, c2{199500, 600};
  ASSERT_EQ(HsiSelectbyWindow(list, "", "", HSI_WINDOW_INSIDE, HSI_TRUE, HSI_FALSE, &c1, &c2, 0),
            HSI_SUCCESS);
  EXPECT_EQ(HsiOslCount(list), 199) << "every line but the one undone";

  std::string error;
  ASSERT_TRUE(Host().SaveDrawing("C:\\TRACELON\\DRAWINGS\\SCALE.VWF", &error)) << error;
  ASSERT_TRUE(Host().OpenDrawing("C:\\TRACELON\\DRAWINGS\\SCALE.VWF", &error)) << error;
  size_t found = 0;
  for (const auto& [id, o] : Host().Objects()) found += Host().Find(id) == &o;
  EXPECT_EQ(found, 199u);
}

// The drawing written piece by piece is the document dumped whole: the same members in the same
// order, indented and separated alike, for an empty drawing and a full one.
TEST_F(ScaleTest, StreamedJsonIsTheWholeDocument) {
  auto whole = [](const std::string& text) {
    return nlohmann::ordered_json::parse(text).dump(2) + "\n";
  };
  std::ostringstream empty;
  Host().WriteJson(empty);
  EXPECT_EQ(empty.str(), whole(empty.str()));
  EXPECT_NE(empty.str().find("\"objects\": []"), std::string::npos);

  Host().AddLine({{0, 0}, {1000, 0}, {1000, 800}}, 2);
  Host().AddText({100, 100}, "ROOM \"A\"");
  Host().AddArc({500, 500}, 300, 0, 270, 3);
  Host().SetLayerName(4, "EMPTY");
  std::ostringstream full;
  Host().WriteJson(full);
  EXPECT_EQ(full.str(), whole(full.str()));
  EXPECT_EQ(full.str(), Host().ToJson());
  const auto parsed = nlohmann::ordered_json::parse(full.str());
  EXPECT_EQ(parsed["objects"].size(), 3u);
  EXPECT_EQ(parsed["objects"][1]["text"], "ROOM \"A\"");
  std::ostringstream svg;
  Host().WriteSvg(svg);
  EXPECT_EQ(svg.str().rfind("</svg>\n"), svg.str().size() - 7);
}

// A lineset's vertices behave as a vector's whether they are held in place (two) or on the heap:
// growing past two and back, inserting a range of the list into itself, erasing, copying and
// moving either way.
TEST(PointListTest, BehavesAsAVectorInPlaceAndOnTheHeap) {
  using host::Point;
  host::PointList list{{1, 1}, {2, 2}};
  std::vector<Point> truth{{1, 1}, {2, 2}};
  EXPECT_EQ(list, truth);
  auto same = [&](const char* step) {
    EXPECT_EQ(std::vector<Point>(list), truth) << step;
    EXPECT_EQ(list.size(), truth.size()) << step;
  };
  list.push_back({3, 3});
  truth.push_back({3, 3});
  same("past two");
  list.insert(list.begin() + 1, list.begin(), list.end());  // the list into itself
  truth = {{1, 1}, {1, 1}, {2, 2}, {3, 3}, {2, 2}, {3, 3}};
  same("inserted into itself");
  list.erase(list.begin(), list.begin() + 4);
  truth.erase(truth.begin(), truth.begin() + 4);
  same("erased");
  host::PointList copy = list;
  host::PointList moved = std::move(copy);
  EXPECT_EQ(moved, list);
  EXPECT_TRUE(copy.empty());
  list.resize(1);
  truth.resize(1);
  same("cut to one");
  host::PointList small{{9, 9}};
  small = moved;  // in place, taking a list on the heap
  EXPECT_EQ(small, moved);
  moved = host::PointList{{7, 7}, {8, 8}};  // on the heap, taking a list in place
  EXPECT_EQ(moved, (std::vector<Point>{{7, 7}, {8, 8}}));
  moved.insert(moved.begin(), Point{6, 6});
  EXPECT_EQ(moved.front(), (Point{6, 6}));
  EXPECT_EQ(moved.back(), (Point{8, 8}));
  EXPECT_THROW(moved.at(3), std::out_of_range);
}

// Objects live in the slot of their id: walked in the order of ids, found where they were put
// however many follow, gone when erased, and a block of slots emptied (previews made and
// deleted) is given back without losing the objects of other blocks.
TEST(ObjectStoreTest, FindsWalksAndGivesBackEmptyBlocks) {
  host::ObjectStore store;
  auto make = [](int32_t id) {
    host::Object o;
    o.id = id;
    o.at = {id, -id};
    return o;
  };
  const host::Object* first = &store.Put(make(1));
  for (int32_t id = 2; id <= 5000; ++id) store.Put(make(id));
  EXPECT_EQ(store.Find(1), first) << "an object stays where it was put";
  for (int32_t id = 1000; id <= 3000; ++id) ASSERT_TRUE(store.Erase(id));
  EXPECT_FALSE(store.Erase(2000));
  EXPECT_EQ(store.Find(2000), nullptr);
  EXPECT_EQ(store.Find(0), nullptr);
  EXPECT_EQ(store.Find(-1), nullptr);
  EXPECT_EQ(store.Find(9999999), nullptr);
  EXPECT_EQ(store.size(), 5000u - 2001u);
  int32_t last = 0;
  size_t walked = 0;
  for (const auto& [id, o] : store) {
    EXPECT_GT(id, last);
    EXPECT_EQ(o.at.x, id);
    EXPECT_EQ(store.Find(id), &o);
    last = id;
    ++walked;
  }
  EXPECT_EQ(walked, store.size());
  // The slots of an emptied block are found empty and can be filled again.
  store.Put(make(2048));
  ASSERT_NE(store.Find(2048), nullptr);
  EXPECT_EQ(store.Find(2047), nullptr);
  EXPECT_EQ(store.Find(2048)->at.y, -2048);
  store.Clear();
  EXPECT_TRUE(store.empty());
  EXPECT_EQ(store.begin(), store.end());
}

}  // namespace
}  // namespace hosttest

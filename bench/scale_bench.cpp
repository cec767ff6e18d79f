// The host at drawing scale, each figure beside its bare floor measured in the same run, with
// the ratio between them as a counter:
//   - creating objects through the interface, against appending the same records to a vector;
//   - the heap a two-point lineset costs, against its raw coordinates;
//   - a vertex read and a highlight, against a plain function call doing the read;
//   - picking by point and by window among many objects, against scanning their boxes.
// The host runs as the host program runs it: without the call log, which nothing reads there.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <random>
#include <vector>

#include "host/host.h"
#include "hsi/hsi.h"

namespace {

constexpr int32_t kArea = 400000000;  // a square of about 43 feet at full scale
using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

host::Host& FreshHost() {
  host::Host::Options options;
  options.readIni = false;
  options.recordCalls = false;
  return host::Host::Start(options);
}

// Short lines, with every tenth object a text, scattered over the area: the records a plug-in
// hands over, made up front so that making them is timed in neither loop.
struct Records {
  std::vector<HsiPoint> a, b;
  std::vector<bool> text;
};

Records MakeRecords(int count, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int32_t> where(0, kArea), length(-200000, 200000);
  Records r;
  for (int i = 0; i < count; ++i) {
    HsiPoint a{where(random), where(random)};
    r.a.push_back(a);
    r.b.push_back({a.x + length(random), a.y + length(random)});
    r.text.push_back(i % 10 == 9);
  }
  return r;
}

HsiCadText NoteRecord() {
  HsiCadText text{};
  text.layer = 1;
  text.colour = 7;
  text.size = 72000;
  text.widthFactor = 1;
  text.vcode = 3;
  std::snprintf(text.text, sizeof text.text, "NOTE");
  text.length = 4;
  return text;
}

void CreateThroughInterface(const Records& r) {
  HsiCadText text = NoteRecord();
  for (size_t i = 0; i < r.a.size(); ++i) {
    if (r.text[i]) {
      text.x = r.a[i].x;
      text.y = r.a[i].y;
      HsiObjCreate(HSI_RECORD_CAD_TEXT, &text, HSI_FINAL);
      continue;
    }
    HsiObjStartline(&r.a[i], 1, 0, 0, 7);
    HsiObjAddtoline(&r.b[i], 2);
    HsiObjEndline(HSI_FINAL, HSI_TRUE, -3);
  }
}

// The floor: the same objects built and appended to a plain vector.
size_t AppendToVector(const Records& r, std::vector<host::Object>& out) {
  for (size_t i = 0; i < r.a.size(); ++i) {
    host::Object o;
    o.id = static_cast<int32_t>(i + 1);
    o.at = {r.a[i].x, r.a[i].y};
    if (r.text[i]) {
      host::TextData d;
      d.size = 72000;
      d.text = "NOTE";
      o.data = std::move(d);
    } else {
      host::LinesetData d;
      d.points = {{r.a[i].x, r.a[i].y}, {r.b[i].x, r.b[i].y}};
      o.data = std::move(d);
    }
    out.push_back(std::move(o));
  }
  return out.size();
}

void BM_CreateVsVector(benchmark::State& state) {
  const Records records = MakeRecords(static_cast<int>(state.range(0)), 1);
  double host = 0, floor = 0;
  for (auto _ : state) {
    state.PauseTiming();
    FreshHost();
    state.ResumeTiming();
    auto t0 = Clock::now();
    CreateThroughInterface(records);
    auto t1 = Clock::now();
    std::vector<host::Object> plain;
    benchmark::DoNotOptimize(AppendToVector(records, plain));
    auto t2 = Clock::now();
    host += Seconds(t1 - t0);
    floor += Seconds(t2 - t1);
    state.PauseTiming();
    host::Host::Stop();
    plain = {};
    state.ResumeTiming();
  }
  const double n = static_cast<double>(state.iterations() * state.range(0));
  state.counters["host_ns"] = host / n * 1e9;
  state.counters["vector_ns"] = floor / n * 1e9;
  state.counters["ratio"] = host / floor;
}
BENCHMARK(BM_CreateVsVector)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

size_t HeapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

// The heap the host holds per two-point lineset (the object, its place in the index and its
// undo record), against the 16 bytes of its two points.
void BM_LinesetMemory(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const Records records = MakeRecords(count, 4);
  double perLine = 0;
  for (auto _ : state) {
    FreshHost();
    const size_t before = HeapInUse();
    for (int i = 0; i < count; ++i) {
      HsiObjStartline(&records.a[i], 1, 0, 0, 7);
      HsiObjAddtoline(&records.b[i], 2);
      HsiObjEndline(HSI_FINAL, HSI_TRUE, -3);
    }
    perLine = static_cast<double>(HeapInUse() - before) / count;
    host::Host::Stop();
  }
  constexpr double kRaw = 2 * sizeof(HsiPoint);
  state.counters["bytes_per_line"] = perLine;
  state.counters["raw_bytes"] = kRaw;
  state.counters["ratio"] = perLine / kRaw;
  state.counters["bound_bytes"] = 3 * kRaw + 100;
}
BENCHMARK(BM_LinesetMemory)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The floor of a vertex read: a call the compiler may not inline, reading the same vertex.
__attribute__((noinline)) int ReadVertex(const std::vector<host::Point>& points, int i,
                                         HsiPoint* out) {
  benchmark::ClobberMemory();
  if (i < 0 || static_cast<size_t>(i) >= points.size()) return 0;
  out->x = points[static_cast<size_t>(i)].x;
  out->y = points[static_cast<size_t>(i)].y;
  return 1;
}

// A vertex read and a highlight of the segment to it, per vertex of a long lineset, against the
// plain call that only reads the vertex.
void BM_HostCallCost(benchmark::State& state) {
  constexpr int kVertices = 32768;
  std::vector<host::Point> points;
  for (int i = 0; i < kVertices; ++i) points.push_back({i * 100, (i % 7) * 100});
  const int32_t id = FreshHost().AddLine(points, 1);
  std::vector<HsiPoint> readPoints(kVertices);
  double read = 0, highlight = 0, plain = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    for (int i = 0; i < kVertices; ++i)
      HsiObjInfoxy(id, static_cast<int16_t>(i & 0x7FFF), &readPoints[static_cast<size_t>(i)]);
    auto t1 = Clock::now();
    // Each segment from the vertex before, as a command highlights the lineset it walks.
    for (int i = 1; i < kVertices; ++i)
      HsiDrawLine(&readPoints[static_cast<size_t>(i) - 1], &readPoints[static_cast<size_t>(i)],
                  HSI_DRAW_HIGHLIGHT, 0, 0);
    auto t2 = Clock::now();
    for (int i = 0; i < kVertices; ++i)
      benchmark::DoNotOptimize(ReadVertex(points, i, &readPoints[static_cast<size_t>(i)]));
    auto t3 = Clock::now();
    read += Seconds(t1 - t0);
    highlight += Seconds(t2 - t1);
    plain += Seconds(t3 - t2);
    state.PauseTiming();
    // The highlights pile up as they would in one long command; start each round afresh.
    FreshHost().AddLine(points, 1);
    state.ResumeTiming();
  }
  const double n = static_cast<double>(state.iterations()) * kVertices;
  state.counters["read_ns"] = read / n * 1e9;
  state.counters["highlight_ns"] = highlight / n * 1e9;
  state.counters["plain_ns"] = plain / n * 1e9;
  state.counters["read_ratio"] = read / plain;
  state.counters["highlight_ratio"] = highlight / plain;
  host::Host::Stop();
}
BENCHMARK(BM_HostCallCost)->Unit(benchmark::kMillisecond)->Iterations(20);

// Picks by point and by window among `count` objects, against testing every object's box.
void BM_PickVsScan(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const Records records = MakeRecords(count, 2);
  FreshHost();
  CreateThroughInterface(records);
  std::vector<host::Box> boxes;
  for (const auto* o : host::Host::Current()->FinalObjects())
    boxes.push_back(host::Host::Current()->ObjectBox(*o));
  const int16_t list = HsiCreateLocalOsl(-3, 0, 512);
  std::mt19937 random(3);
  std::uniform_int_distribution<int32_t> where(0, kArea);
  std::vector<HsiPoint> points(2000);
  for (auto& p : points) p = {where(random), where(random)};
  double pick = 0, window = 0, scan = 0;
  int64_t found = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    for (auto& p : points) {
      HsiOslClear(list);
      if (HsiSelectbyPoint(list, "", 2, HSI_TRUE, HSI_FALSE, &p, 0) == HSI_SUCCESS) ++found;
    }
    auto t1 = Clock::now();
    for (auto& p : points) {
      HsiOslClear(list);
      HsiPoint c2{p.x + 2000000, p.y + 2000000};
      HsiSelectbyWindow(list, "", "", HSI_WINDOW_CROSSING, HSI_TRUE, HSI_FALSE, &p, &c2, 0);
    }
    auto t2 = Clock::now();
    // The floor without an index: every box tested against the aperture around the point.
    for (size_t k = 0; k < points.size() / 20; ++k) {
      host::Box q;
      q.Add(points[k].x, points[k].y);
      q.Inflate(4000);
      size_t hits = 0;
      for (const auto& b : boxes) hits += b.Intersects(q);
      benchmark::DoNotOptimize(hits);
    }
    auto t3 = Clock::now();
    pick += Seconds(t1 - t0);
    window += Seconds(t2 - t1);
    scan += Seconds(t3 - t2) * 20;
  }
  const double n = static_cast<double>(state.iterations() * static_cast<int64_t>(points.size()));
  state.counters["pick_us"] = pick / n * 1e6;
  state.counters["window_us"] = window / n * 1e6;
  state.counters["scan_us"] = scan / n * 1e6;
  state.counters["pick_ratio"] = pick / scan;
  state.counters["found"] = static_cast<double>(found) / static_cast<double>(state.iterations());
  host::Host::Stop();
}
BENCHMARK(BM_PickVsScan)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

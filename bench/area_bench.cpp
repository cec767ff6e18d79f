// The area command's measurement against a bare shoelace loop over the same points, in the same
// run:
//   - a closed chain of 31 linesets of 32,767 segments each (1,015,777 segments, a polygon close
//     to a circle), picked one after another;
//   - one arc of 359.9 degrees (35,990 chords), closed with the second button and Yes.
// A third benchmark makes only the host calls the measurement makes (the picks, the vertex reads
// and the highlights, no arithmetic), which shows how much of the time is the host's. The host
// runs without its call log, as the host program runs a session.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <deque>
#include <numbers>
#include <vector>

#include "host/host.h"
#include "hsi/hsi.h"
#include "organise/area_command.h"
#include "platform/system.h"

namespace {

constexpr int kLinesets = 31;
constexpr int kSegmentsPerLineset = 32767;  // the most a lineset holds
constexpr int kSegments = kLinesets * kSegmentsPerLineset;
constexpr double kChainRadius = 500000000.0;
constexpr int32_t kArcRadius = 100000000;
constexpr double kArcSweep = 359.9;

// Answers the host's picks from a queue and every question with Yes.
class BenchUser : public host::InputSource, public platform::UiDriver {
 public:
  std::deque<host::PointReply> replies;

  host::PointReply Ask(host::RequestKind, const std::string&) override {
    if (replies.empty()) return {};
    host::PointReply reply = replies.front();
    replies.pop_front();
    return reply;
  }
  void RunModal(platform::Form&) override {}
  platform::MsgResult AskMessage(const platform::MessageBoxRequest&) override {
    return platform::MsgResult::Yes;
  }
  std::optional<std::string> AskOpenFile(const platform::OpenFileRequest&) override { return {}; }
  std::optional<platform::FontChoice> AskFont(const platform::FontRequest&) override { return {}; }
  std::optional<std::string> AskFolder(const platform::FolderRequest&) override { return {}; }
  std::optional<std::string> AskInput(const platform::InputRequest&) override { return {}; }
};

host::PointReply PickAt(host::Point p) {
  host::PointReply reply;
  reply.kind = host::PointReply::Kind::Point;
  reply.x = p.x;
  reply.y = p.y;
  return reply;
}

host::PointReply SecondButton() {
  host::PointReply reply;
  reply.kind = host::PointReply::Kind::Button2;
  return reply;
}

// The chain's vertices in boundary order; the last one is the first again.
std::vector<host::Point> ChainPoints() {
  std::vector<host::Point> points;
  points.reserve(kSegments + 1);
  for (int k = 0; k < kSegments; ++k) {
    const double a = 2 * std::numbers::pi * k / kSegments;
    points.push_back({static_cast<int32_t>(std::lround(kChainRadius * std::cos(a))),
                      static_cast<int32_t>(std::lround(kChainRadius * std::sin(a)))});
  }
  points.push_back(points.front());
  return points;
}

// A fresh host with the chain drawn, and the user's picks: the middle vertex of each lineset.
class ChainDrawing {
 public:
  explicit ChainDrawing(const std::vector<host::Point>& points) : points_(points) {}

  void Start() {
    platform::Reset();
    platform::SetUiDriver(&user);
    host::Host::Options options;
    options.readIni = false;
    options.recordCalls = false;  // as the host program runs a session
    host::Host& h = host::Host::Start(options);
    h.SetInputSource(&user);
    h.SetUnitType(HSI_UNIT_INCHES);
    h.SetPointsPerUnit(768000);
    for (int j = 0; j < kLinesets; ++j) {
      const auto first = points_.begin() + j * kSegmentsPerLineset;
      h.AddLine(std::vector<host::Point>(first, first + kSegmentsPerLineset + 1), 1);
    }
    user.replies.clear();
    for (int j = 0; j < kLinesets; ++j)
      user.replies.push_back(PickAt(points_[j * kSegmentsPerLineset + kSegmentsPerLineset / 2]));
  }

  BenchUser user;

 private:
  const std::vector<host::Point>& points_;
};

double Shoelace(const std::vector<host::Point>& points, double pointsPerUnit) {
  double sum = 0;
  for (std::size_t i = 1; i < points.size(); ++i) {
    const host::Point& p = points[i - 1];
    const host::Point& q = points[i];
    sum += static_cast<double>(int64_t{q.x} - p.x) * static_cast<double>(int64_t{p.y} + q.y) / 2.0;
  }
  return std::fabs(sum) / (pointsPerUnit * pointsPerUnit);
}

void BM_ChainShoelace(benchmark::State& state) {
  const std::vector<host::Point> points = ChainPoints();
  for (auto _ : state) benchmark::DoNotOptimize(Shoelace(points, 768000.0));
  state.SetItemsProcessed(state.iterations() * kSegments);
}
BENCHMARK(BM_ChainShoelace)->Unit(benchmark::kMillisecond);

void BM_ChainMeasureBoundary(benchmark::State& state) {
  const std::vector<host::Point> points = ChainPoints();
  ChainDrawing drawing(points);
  const double expected = Shoelace(points, 768000.0);
  double area = 0, measure = 0, bare = 0;
  for (auto _ : state) {
    state.PauseTiming();
    drawing.Start();
    state.ResumeTiming();
    area = 0;
    auto t0 = std::chrono::steady_clock::now();
    if (!qxt::MeasureBoundary(area)) state.SkipWithError("no area");
    auto t1 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(Shoelace(points, 768000.0));
    auto t2 = std::chrono::steady_clock::now();
    measure += std::chrono::duration<double>(t1 - t0).count();
    bare += std::chrono::duration<double>(t2 - t1).count();
  }
  // The measurement beside the bare shoelace over the same points, timed in the same rounds.
  state.counters["measure_ms"] = measure / static_cast<double>(state.iterations()) * 1e3;
  state.counters["shoelace_ms"] = bare / static_cast<double>(state.iterations()) * 1e3;
  state.counters["ratio"] = measure / bare;
  state.counters["area_error"] = std::fabs(area - expected) / expected;
  state.SetItemsProcessed(state.iterations() * kSegments);
  host::Host::Stop();
  platform::Reset();
}
BENCHMARK(BM_ChainMeasureBoundary)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same host calls as the measurement, without its arithmetic.
void BM_ChainHostCallsOnly(benchmark::State& state) {
  const std::vector<host::Point> points = ChainPoints();
  ChainDrawing drawing(points);
  for (auto _ : state) {
    state.PauseTiming();
    drawing.Start();
    state.ResumeTiming();
    const int16_t list = HsiCreateLocalOsl(-3, 0, 512);
    for (int j = 0; j < kLinesets; ++j) {
      HsiPoint pick{0, 0};
      HsiSelectbyPoint(list, "", 2, HSI_FALSE, HSI_TRUE, &pick, 5);
      HsiOslEntry entry{0, 0, 0};
      HsiOslItem(list, j, &entry);
      HsiObjType(entry.id);
      HsiObjectInfo info;
      HsiObjInfo(entry.id, &info);
      HsiPoint p{0, 0}, q{0, 0};
      HsiObjInfoxy(entry.id, 0, &p);
      HsiObjInfoxy(entry.id, info.lineset.lastVertex, &q);
      for (int i = 1; i <= info.lineset.lastVertex; ++i) {
        HsiObjInfoxy(entry.id, static_cast<int16_t>(i), &q);
        HsiDrawLine(&p, &q, HSI_DRAW_HIGHLIGHT, 0, 0);
        p = q;
      }
    }
    HsiFreeLocalOsl(list);
  }
  state.SetItemsProcessed(state.iterations() * kSegments);
  host::Host::Stop();
  platform::Reset();
}
BENCHMARK(BM_ChainHostCallsOnly)->Unit(benchmark::kMillisecond)->Iterations(5);

// ---- One arc of 359.9 degrees ----

// The chord ends the measurement walks along the arc from 0 degrees.
std::vector<host::Point> ArcChordEnds() {
  const auto chords = static_cast<int>(std::nearbyint(kArcSweep * qxt::kChordsPerDegree));
  std::vector<host::Point> points;
  for (int k = 0; k <= chords; ++k) {
    const double radians = kArcSweep * k / chords / qxt::kDegreesPerRadianArea;
    points.push_back({static_cast<int32_t>(std::nearbyint(kArcRadius * std::cos(radians))),
                      static_cast<int32_t>(std::nearbyint(kArcRadius * std::sin(radians)))});
  }
  return points;
}

void BM_ArcShoelace(benchmark::State& state) {
  std::vector<host::Point> points = ArcChordEnds();
  points.push_back(points.front());  // the closing edge
  for (auto _ : state) benchmark::DoNotOptimize(Shoelace(points, 768000.0));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(points.size() - 1));
}
BENCHMARK(BM_ArcShoelace)->Unit(benchmark::kMicrosecond);

// The arc's chord walk alone (no host calls), turning the ends and computing each on its own.
void BM_ArcChordWalk(benchmark::State& state) {
  const auto chords = static_cast<int64_t>(std::nearbyint(kArcSweep * qxt::kChordsPerDegree));
  const bool direct = state.range(0) == 1;
  for (auto _ : state) {
    double sum = 0;
    if (direct) {
      qxt::AddChordWalkDirect(sum, {0, 0}, kArcRadius, 0, kArcSweep, chords);
    } else {
      qxt::AddChordWalk(sum, {0, 0}, kArcRadius, 0, kArcSweep, chords);
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * chords);
}
BENCHMARK(BM_ArcChordWalk)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_ArcMeasureBoundary(benchmark::State& state) {
  BenchUser user;
  platform::Reset();
  platform::SetUiDriver(&user);
  host::Host::Options options;
  options.readIni = false;
  options.recordCalls = false;
  host::Host& h = host::Host::Start(options);
  h.SetInputSource(&user);
  h.SetPointsPerUnit(768000);
  h.AddArc({0, 0}, kArcRadius, 0, kArcSweep, 1);
  std::vector<host::Point> closed = ArcChordEnds();
  closed.push_back(closed.front());
  const double expected = Shoelace(closed, 768000.0);
  double area = 0;
  for (auto _ : state) {
    user.replies = {PickAt({0, kArcRadius}), SecondButton()};
    area = 0;
    if (!qxt::MeasureBoundary(area)) state.SkipWithError("no area");
    state.PauseTiming();
    h.ClearCalls();
    state.ResumeTiming();
  }
  state.counters["area_error"] = std::fabs(area - expected) / expected;
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(closed.size() - 1));
  host::Host::Stop();
  platform::Reset();
}
BENCHMARK(BM_ArcMeasureBoundary)->Unit(benchmark::kMicrosecond);

}  // namespace

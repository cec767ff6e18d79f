// The stand-in host at drawing sizes: creating objects through the interface, and selections by
// point, which go through the spatial index rather than over every object.
#include <benchmark/benchmark.h>

#include <random>

#include "host/host.h"
#include "hsi/hsi.h"

namespace {

constexpr int32_t kArea = 400000000;  // a square of about 43 feet at full scale

host::Host& FreshHost() {
  host::Host::Options options;
  options.readIni = false;
  options.recordCalls = false;  // as the host program runs a session
  return host::Host::Start(options);
}

// Short lines, arcs and texts scattered over the area.
void Populate(int count, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int32_t> where(0, kArea), length(-200000, 200000);
  HsiCadText text{};
  text.layer = 1;
  text.colour = 7;
  text.size = 72000;
  text.widthFactor = 1;
  text.vcode = 3;
  std::snprintf(text.text, sizeof text.text, "NOTE");
  text.length = 4;
  for (int i = 0; i < count; ++i) {
    HsiPoint a{where(random), where(random)};
    if (i % 10 == 9) {
      text.x = a.x;
      text.y = a.y;
      HsiObjCreate(HSI_RECORD_CAD_TEXT, &text, HSI_FINAL);
      continue;
    }
    HsiPoint b{a.x + length(random), a.y + length(random)};
    HsiObjStartline(&a, 1, 0, 0, 7);
    HsiObjAddtoline(&b, 2);
    HsiObjEndline(HSI_FINAL, HSI_TRUE, -3);
  }
}

void BM_CreateObjects(benchmark::State& state) {
  for (auto _ : state) {
    FreshHost();
    Populate(static_cast<int>(state.range(0)), 1);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  host::Host::Stop();
}
BENCHMARK(BM_CreateObjects)->Arg(100000)->Unit(benchmark::kMillisecond);

// 10,000 selections by point per iteration, on drawings of different sizes: with the index the
// time per selection barely grows with the drawing.
void BM_SelectByPoint(benchmark::State& state) {
  FreshHost();
  Populate(static_cast<int>(state.range(0)), 2);
  int16_t list = HsiCreateLocalOsl(-3, 0, 512);
  std::mt19937 random(3);
  std::uniform_int_distribution<int32_t> where(0, kArea);
  std::vector<HsiPoint> points(10000);
  for (auto& p : points) p = {where(random), where(random)};
  int64_t found = 0;
  for (auto _ : state) {
    for (auto& p : points) {
      HsiOslClear(list);
      if (HsiSelectbyPoint(list, "", 2, HSI_TRUE, HSI_FALSE, &p, 0) == HSI_SUCCESS) ++found;
    }
    host::Host::Current()->ClearCalls();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(points.size()));
  state.counters["found"] = static_cast<double>(found) / static_cast<double>(state.iterations());
  host::Host::Stop();
}
BENCHMARK(BM_SelectByPoint)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

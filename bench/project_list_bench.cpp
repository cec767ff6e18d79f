// The project list at 100,000 projects: loading it into a sorted list and saving it, each beside
// a raw read or write of the same bytes in one block, so the cost of the list handling shows as a
// ratio.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "organise/project_manager.h"
#include "platform/file_io.h"
#include "platform/files.h"
#include "platform/forms.h"
#include "platform/system.h"

namespace {

constexpr int kProjects = 100000;
constexpr const char* kPath = "C:\\PROJECT\\projects.dat";
constexpr const char* kRawPath = "C:\\PROJECT\\raw.dat";

// A scratch machine holding a project list of kProjects records with names in no order.
class Machine {
 public:
  Machine() {
    root_ = std::filesystem::temp_directory_path() /
            ("qxt-bench-projects-" + std::to_string(::getpid()));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "C" / "PROJECT");
    platform::Reset();
    platform::SetRoot(root_);
    for (int i = 0; i < kProjects; ++i) {
      const int key = static_cast<int>((static_cast<long long>(i) * 7919) % kProjects);
      list.Add("Project " + std::to_string(key),
               std::make_unique<qxt::TProjectObject>("P" + std::to_string(i),
                                                     "C:\\JOBS\\" + std::to_string(i), "C:\\REFS",
                                                     "A project of the office"));
    }
    std::string error;
    qxt::WriteProjectList(kPath, list, error);
    bytes = platform::ReadWholeFile(kPath, 1u << 30);
  }
  ~Machine() {
    platform::Reset();
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }

  platform::StringList list;
  std::string bytes;

 private:
  std::filesystem::path root_;
};

Machine& TheMachine() {
  static Machine machine;
  return machine;
}

void BM_LoadProjectList(benchmark::State& state) {
  Machine& machine = TheMachine();
  platform::StringList list;
  list.sorted = true;
  std::string error;
  for (auto _ : state) {
    qxt::ReadProjectList(kPath, list, error);
    benchmark::DoNotOptimize(list.Count());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(machine.bytes.size()));
}
BENCHMARK(BM_LoadProjectList)->Unit(benchmark::kMillisecond);

void BM_RawRead(benchmark::State& state) {
  Machine& machine = TheMachine();
  std::string buffer(machine.bytes.size(), '\0');
  for (auto _ : state) {
    platform::RecordFile file(kPath, 1, platform::RecordFile::Mode::Read);
    benchmark::DoNotOptimize(file.ReadBlock(buffer.data(), buffer.size()));
    file.Close();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(machine.bytes.size()));
}
BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond);

void BM_SaveProjectList(benchmark::State& state) {
  Machine& machine = TheMachine();
  std::string error;
  for (auto _ : state) {
    benchmark::DoNotOptimize(qxt::WriteProjectList(kPath, machine.list, error));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(machine.bytes.size()));
}
BENCHMARK(BM_SaveProjectList)->Unit(benchmark::kMillisecond);

void BM_RawWrite(benchmark::State& state) {
  Machine& machine = TheMachine();
  for (auto _ : state) {
    platform::RecordFile file(kRawPath, 1, platform::RecordFile::Mode::Create);
    benchmark::DoNotOptimize(file.WriteBlock(machine.bytes.data(), machine.bytes.size()));
    file.Close();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(machine.bytes.size()));
}
BENCHMARK(BM_RawWrite)->Unit(benchmark::kMillisecond);

}  // namespace

// The names the built plug-in exports, against the full list of the toolset's exports: nothing
// else may be visible in the shared library. The ones whose commands are not built yet are listed
// here, so the gap stays visible: when a command is built, move its name from `kToCome` to
// `kBuilt`.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

namespace {

const std::set<std::string> kAll = {
    "QXText",
    "QXLeader",
    "QXSymbol",
    "QXDoor",
    "QXDimension",
    "QXQText",
    "QXQEdit",
    "QXFlexText",
    "QXSnap",
    "QXMacro",
    "QXProject",
    "QXLayer",
    "QXArea",
    "QXReference",
    "QXPlan",
    "GetLyrFile",
    "QXScale",
    "GetScale",
    "QXCircle",
    "QXArc",
    "QXFix",
    "QXTrim",
    "QXActiveLayer",
    "QXSetup",
    "ShowAboutBox",
    "QXTHelp",
    "ToolHelp",
    "LayerHelp",
    "GetBaseDir",
    "GetUnitSettings",
    "GetQXProjSettings",
    "SaveQXProjSettings",
};

const std::set<std::string> kBuilt = {
    "QXText",
    "QXLeader",
    "QXSymbol",
    "QXDoor",
    "QXDimension",
    "QXQText",
    "QXQEdit",
    "QXFlexText",
    "QXSnap",
    "QXMacro",
    "QXProject",
    "QXLayer",
    "QXArea",
    "QXReference",
    "QXPlan",
    "GetLyrFile",
    "QXScale",
    "GetScale",
    "QXCircle",
    "QXArc",
    "QXFix",
    "QXTrim",
    "QXActiveLayer",
    "QXSetup",
    "ShowAboutBox",
    "QXTHelp",
    "ToolHelp",
    "LayerHelp",
    "GetBaseDir",
    "GetUnitSettings",
    "GetQXProjSettings",
    "SaveQXProjSettings",
};

const std::set<std::string> kToCome = {};

// The loader entries, exported besides the toolset's functions.
const std::set<std::string> kLoaderEntries = {"DllProcessAttach", "DllProcessDetach"};

// Every defined symbol in the shared library's dynamic table, whatever its kind and name
// (C++-mangled names and the standard library's unique objects included): all of them are
// visible to whatever loads the library.
std::set<std::string> DynamicExports(const std::filesystem::path& library) {
  const std::string command = "nm -D --defined-only --format=posix '" + library.string() + "'";
  std::set<std::string> names;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return names;
  char line[4096];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    const std::string text(line);
    const std::string name = text.substr(0, text.find(' '));
    if (!name.empty()) names.insert(name);
  }
  ::pclose(pipe);
  return names;
}

TEST(Exports, TheListsCoverTheToolsetExactlyOnce) {
  std::set<std::string> both;
  for (const auto& name : kBuilt) {
    EXPECT_TRUE(kAll.count(name)) << name;
    EXPECT_FALSE(kToCome.count(name)) << name << " is listed as built and as to come";
    both.insert(name);
  }
  both.insert(kToCome.begin(), kToCome.end());
  EXPECT_EQ(both, kAll);
  EXPECT_EQ(kAll.size(), 32u);
}

TEST(Exports, TheSharedLibraryExportsExactlyTheBuiltNames) {
  // The plug-in is built into the same folder as the test programs.
  const std::filesystem::path library =
      std::filesystem::read_symlink("/proc/self/exe").parent_path() / "libqxt.so";
  if (!std::filesystem::exists(library)) GTEST_SKIP() << "libqxt.so is not built: " << library;

  std::set<std::string> expected = kBuilt;
  expected.insert(kLoaderEntries.begin(), kLoaderEntries.end());
  const std::set<std::string> exported = DynamicExports(library);
  ASSERT_FALSE(exported.empty()) << "nm found no symbol in " << library;
  EXPECT_EQ(exported, expected);

  std::string toCome;
  for (const auto& name : kToCome) toCome += " " + name;
  std::printf("Exports still to come (%zu of 32):%s\n", kToCome.size(), toCome.c_str());
}

}  // namespace

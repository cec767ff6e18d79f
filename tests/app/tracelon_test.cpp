// The host program as a person runs it: options, messages, the machine folder, the plug-in.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Result {
  int status = -1;
  std::string out, err;
};

// The test program is built into the same folder as tracelon and the test plug-in.
fs::path Bin() { return fs::read_symlink("/proc/self/exe").parent_path(); }

std::string Read(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class TracelonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    work = fs::path(::testing::TempDir()) /
           ("tracelon_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(work);
    fs::create_directories(work);
  }

  fs::path Script(const std::string& name, const std::string& text) {
    fs::path path = work / name;
    std::ofstream(path) << text;
    return path;
  }

  // Runs tracelon with `args` (already quoted where needed), with the test plug-in.
  Result Run(const std::string& args, bool withPlugin = true) {
    std::string command = (Bin() / "tracelon").string() + " " + args;
    if (withPlugin) command += " --plugin " + (Bin() / "libqxt_testplugin.so").string();
    command += " >" + (work / "out.txt").string() + " 2>" + (work / "err.txt").string();
    Result r;
    int raw = std::system(command.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = Read(work / "out.txt");
    r.err = Read(work / "err.txt");
    return r;
  }

  fs::path work;
};

TEST_F(TracelonTest, HelpAndUsageErrors) {
  Result help = Run("--help", false);
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("tracelon run SESSION [--root DIR]"), std::string::npos);

  EXPECT_EQ(Run("", false).status, 2);
  EXPECT_EQ(Run("run", false).status, 2);
  Result unknown = Run("run x.session --colour", false);
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("unknown option --colour"), std::string::npos);
  EXPECT_EQ(Run("run a.session b.session", false).status, 2);
  EXPECT_EQ(Run("run a.session --root", false).status, 2);
}

TEST_F(TracelonTest, MissingFilesAndBadLinesAreReportedClearly) {
  Result missing = Run("run " + (work / "nothing.session").string());
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("nothing.session: cannot open the session script"), std::string::npos)
      << missing.err;

  fs::path bad = Script("bad.session", "run TPBox\npoint 1\n");
  Result badLine = Run("run " + bad.string() + " --root " + (work / "root").string());
  EXPECT_EQ(badLine.status, 1);
  EXPECT_NE(badLine.err.find("bad.session:2: expected: point X Y [Z]"), std::string::npos)
      << badLine.err;
  EXPECT_FALSE(fs::exists(work / "root")) << "nothing runs for a malformed script";

  fs::path noExport = Script("noexport.session", "# comment\nrun QXNothing\n");
  Result missingExport = Run("run " + noExport.string() + " --root " + (work / "root").string());
  EXPECT_EQ(missingExport.status, 1);
  EXPECT_NE(missingExport.err.find("noexport.session:2: the plug-in has no export named QXNothing"),
            std::string::npos)
      << missingExport.err;

  fs::path ok = Script("ok.session", "run GetScale\n");
  Result noPlugin = Run("run " + ok.string() + " --root " + (work / "root").string() +
                            " --plugin " + (work / "libnone.so").string(),
                        false);
  EXPECT_EQ(noPlugin.status, 1);
  EXPECT_NE(noPlugin.err.find("cannot load the plug-in"), std::string::npos) << noPlugin.err;
}

TEST_F(TracelonTest, ARootIsCreatedOnceAndThenReused) {
  fs::path root = work / "machine";
  fs::path save = Script("save.session", "run SaveQXProjSettings 5\nrun GetQXProjSettings\n");
  Result first = Run("run " + save.string() + " --root " + root.string());
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_NE(first.out.find("# machine: " + root.string() + " (a new copy of the sample machine)"),
            std::string::npos)
      << first.out;
  EXPECT_NE(first.out.find("= 5 768000"), std::string::npos) << first.out;
  EXPECT_TRUE(fs::exists(root / "C" / "QXTOOLS" / "QXSYMBOL" / "QXSYMBOL.BMP"));

  fs::path read = Script("read.session", "run GetQXProjSettings\n");
  Result second = Run("run " + read.string() + " --root " + root.string());
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(second.out.find("# machine:"), std::string::npos) << "an existing root is reused";
  EXPECT_NE(second.out.find("= 5 768000"), std::string::npos) << "saved by the first run";

  Result fresh = Run("run " + read.string());
  ASSERT_EQ(fresh.status, 0) << fresh.err;
  EXPECT_EQ(fresh.out.rfind("# machine: ", 0), 0u) << fresh.out;
  EXPECT_NE(fresh.out.find("(a fresh copy of the sample machine)"), std::string::npos);
  EXPECT_NE(fresh.out.find("= -1 768000"), std::string::npos) << fresh.out;
}

TEST_F(TracelonTest, TheDrawingIsWrittenAndQuietKeepsTheTranscriptOut) {
  fs::path box = Script("box.session", "run TPBox\npoint 0 0\npoint 1000 500\nb2\n");
  Result r = Run("run " + box.string() + " --root " + (work / "root").string() + " --quiet" +
                 " --svg " + (work / "d.svg").string() + " --json " + (work / "d.json").string() +
                 " --transcript " + (work / "t.txt").string());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.find("> run TPBox"), std::string::npos);
  EXPECT_NE(Read(work / "t.txt").find("> run TPBox\n"), std::string::npos);
  EXPECT_NE(Read(work / "d.json").find("\"kind\": \"lineset\""), std::string::npos)
      << Read(work / "d.json");
  EXPECT_NE(Read(work / "d.svg").find("<svg"), std::string::npos);
}

TEST_F(TracelonTest, ACrashKeepsTheTranscriptUpToIt) {
  // Output to a file is block-buffered: without a flush per line a crash would lose all of it.
  fs::path crash =
      Script("crash.session", "run TPBox\npoint 0 0\npoint 1000 500\nb2\nrun TPCrash\n");
  Result r = Run("run " + crash.string() + " --root " + (work / "root").string() +
                 " --transcript " + (work / "t.txt").string());
  EXPECT_NE(r.status, 0);
  for (const std::string& text : {r.out, Read(work / "t.txt")}) {
    EXPECT_NE(text.find("> point 1000 500"), std::string::npos) << text;
    EXPECT_NE(text.find("> run TPCrash"), std::string::npos) << text;
  }
}

}  // namespace

namespace {

TEST_F(TracelonTest, ServeRefusesBadOptionsAndAPluginItCannotLoad) {
  EXPECT_NE(Run("--help", false).out.find("tracelon serve [--root DIR] [--port N]"),
            std::string::npos);
  Result port = Run("serve --port 70000", false);
  EXPECT_EQ(port.status, 2);
  EXPECT_NE(port.err.find("--port needs a number from 0 to 65535"), std::string::npos) << port.err;
  EXPECT_EQ(Run("serve --colour", false).status, 2);
  EXPECT_EQ(Run("serve --root", false).status, 2);
  // A plug-in that cannot be loaded ends the program with the reason, after the page was served.
  Result missing = Run("serve --port 0 --quiet --root " + (work / "root").string() + " --plugin " +
                           (work / "none.so").string(),
                       false);
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("the page is at http://127.0.0.1:"), std::string::npos) << missing.out;
  EXPECT_NE(missing.err.find("cannot load the plug-in"), std::string::npos) << missing.err;
}

}  // namespace

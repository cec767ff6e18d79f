// `tracelon forms`: a picture of every form of the plug-in, each a well-formed SVG document.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path Bin() { return fs::read_symlink("/proc/self/exe").parent_path(); }

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Checks that `xml` is one well-formed element (after an optional declaration): tags nested
// and closed in order, attribute values quoted, every '&' an entity, no stray '<' or '>' in
// text. Returns what is wrong, or "" when nothing is.
std::string XmlFault(const std::string& xml) {
  std::size_t i = 0;
  auto entityAt = [&](std::size_t at) {
    const std::size_t end = xml.find(';', at);
    if (end == std::string::npos || end - at > 8) return false;
    const std::string name = xml.substr(at + 1, end - at - 1);
    static const std::set<std::string> known{"amp", "lt", "gt", "quot", "apos"};
    return known.count(name) > 0 || (name.size() > 1 && name[0] == '#');
  };
  if (xml.compare(0, 5, "<?xml") == 0) {
    i = xml.find("?>");
    if (i == std::string::npos) return "unclosed declaration";
    i += 2;
  }
  std::vector<std::string> open;
  int roots = 0;
  while (i < xml.size()) {
    if (xml[i] != '<') {
      if (xml[i] == '>') return "stray '>' at " + std::to_string(i);
      if (xml[i] == '&' && !entityAt(i)) return "bad entity at " + std::to_string(i);
      if (open.empty() && !std::isspace(static_cast<unsigned char>(xml[i])))
        return "text outside the root at " + std::to_string(i);
      ++i;
      continue;
    }
    const bool closing = i + 1 < xml.size() && xml[i + 1] == '/';
    std::size_t j = i + (closing ? 2 : 1);
    std::size_t nameStart = j;
    while (j < xml.size() && (std::isalnum(static_cast<unsigned char>(xml[j])) || xml[j] == ':' ||
                              xml[j] == '-' || xml[j] == '_'))
      ++j;
    const std::string name = xml.substr(nameStart, j - nameStart);
    if (name.empty()) return "a tag without a name at " + std::to_string(i);
    if (closing) {
      if (open.empty() || open.back() != name) return "</" + name + "> closes nothing open";
      open.pop_back();
      if (j >= xml.size() || xml[j] != '>') return "unfinished </" + name + ">";
      i = j + 1;
      continue;
    }
    // Attributes.
    while (true) {
      while (j < xml.size() && std::isspace(static_cast<unsigned char>(xml[j]))) ++j;
      if (j >= xml.size()) return "unfinished <" + name + ">";
      if (xml[j] == '>' || (xml[j] == '/' && j + 1 < xml.size() && xml[j + 1] == '>')) break;
      const std::size_t attrStart = j;
      while (j < xml.size() && xml[j] != '=' && !std::isspace(static_cast<unsigned char>(xml[j])))
        ++j;
      if (j == attrStart || j + 1 >= xml.size() || xml[j] != '=' || xml[j + 1] != '"')
        return "an unquoted attribute in <" + name + ">";
      j += 2;
      while (j < xml.size() && xml[j] != '"') {
        if (xml[j] == '<') return "'<' in an attribute of <" + name + ">";
        if (xml[j] == '&' && !entityAt(j)) return "bad entity in an attribute of <" + name + ">";
        ++j;
      }
      if (j >= xml.size()) return "unfinished attribute in <" + name + ">";
      ++j;
    }
    if (open.empty()) ++roots;
    if (xml[j] == '/') {
      i = j + 2;
    } else {
      open.push_back(name);
      i = j + 1;
    }
  }
  if (!open.empty()) return "<" + open.back() + "> is never closed";
  if (roots != 1) return std::to_string(roots) + " root elements";
  return "";
}

TEST(FormsCommandTest, TheCheckerFindsFaults) {
  EXPECT_EQ(XmlFault("<?xml version=\"1.0\"?>\n<svg a=\"1\"><g><text>a &amp; b</text></g></svg>\n"),
            "");
  EXPECT_NE(XmlFault("<svg><g></svg>"), "");
  EXPECT_NE(XmlFault("<svg><text>a & b</text></svg>"), "");
  EXPECT_NE(XmlFault("<svg><text>a > b</text></svg>"), "");
  EXPECT_NE(XmlFault("<svg a=1></svg>"), "");
  EXPECT_NE(XmlFault("<svg></svg><svg></svg>"), "");
}

TEST(FormsCommandTest, EveryFormOfThePlugInIsDrawnAsAWellFormedSvg) {
  const fs::path work = fs::path(::testing::TempDir()) / "tracelon_forms";
  fs::remove_all(work);
  const std::string command =
      (Bin() / "tracelon").string() + " forms --out " + (work / "pictures").string() +
      " --plugin " + (Bin() / "libqxt.so").string() + " >" + (work / "out.txt").string() + " 2>&1";
  fs::create_directories(work);
  const int raw = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << Read(work / "out.txt");
  EXPECT_NE(Read(work / "out.txt").find("27 forms"), std::string::npos) << Read(work / "out.txt");

  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(work / "pictures")) {
    const std::string name = entry.path().filename().string();
    names.insert(name);
    const std::string svg = Read(entry.path());
    EXPECT_EQ(XmlFault(svg), "") << name;
    EXPECT_NE(svg.find("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\""), std::string::npos)
        << name;
    EXPECT_EQ(svg.find("width=\"0\" height=\"0\" viewBox"), std::string::npos) << name;
  }
  EXPECT_EQ(names.size(), 27u);
  EXPECT_EQ(names.count("TfrmAboutBox.svg"), 1u);
  EXPECT_EQ(names.count("TdlgQXDimension.svg"), 1u);
  EXPECT_EQ(names.count("TdlgDefineHierarchy.svg"), 1u);

  // Without a folder to write to, the command says how it is used.
  const int usage = std::system(((Bin() / "tracelon").string() + " forms >/dev/null 2>&1").c_str());
  EXPECT_TRUE(WIFEXITED(usage) && WEXITSTATUS(usage) == 2);
}

}  // namespace

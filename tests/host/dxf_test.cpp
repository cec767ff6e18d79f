// Drawings saved as DXF and opened from DXF: what each kind of object becomes and comes back
// as, what is converted, and files that are refused.
#include "host/dxf.h"

#include <cstring>
#include <nlohmann/json.hpp>

#include "host_fixture.h"
#include "platform/memory.h"

namespace {

using hosttest::HostTest;
using Json = nlohmann::ordered_json;

// A DXF of group code / value pairs given as one "code value" pair a line.
std::string Dxf(const std::vector<std::string>& pairs) {
  std::string out;
  for (const auto& p : pairs) {
    size_t space = p.find(' ');
    out +=
        p.substr(0, space) + "\n" + (space == std::string::npos ? "" : p.substr(space + 1)) + "\n";
  }
  return out;
}

using DxfFiles = HostTest;

TEST_F(DxfFiles, EveryKindOfObjectIsSavedAndOpensAgain) {
  WriteFile("C:\\TRACELON\\SYMBOLS\\ARROW.SYM", hosttest::kArrowSymbol);
  host_->SetLayerName(1, "WALLS");
  host_->SetLayerColour(2, 1);
  host_->SetLayerName(9, "HIDDEN");  // after a gap in the numbers: it keeps its number
  host_->SetLayerOn(9, false);
  host_->SetCurrentColour(0);
  ASSERT_GT(host_->AddLine({{0, 0}, {1000000, 0}, {1000000, 600000}}, 1), 0);
  ASSERT_GT(host_->AddArc({500000, 300000}, 200000, 30, 120, 1), 0);
  ASSERT_GT(host_->AddArc({-500000, 300000}, 100000, 0, 360, 9), 0);
  host_->SetCurrentColour(5);
  int32_t text = host_->AddText({100000, 200000}, "NOTE 1", 72000, 2);
  ASSERT_GT(text, 0);
  host::Object slanted = *host_->Find(text);
  auto& t = host::get<host::TextData>(slanted.data);
  t.orientation = 30;
  t.slant = 15;
  t.widthFactor = 0.8;
  t.hcode = 2;
  t.vcode = 4;
  ASSERT_TRUE(host_->ReplaceObject(slanted));
  int32_t symbol = host_->AddSymbol("ARROW.SYM", {800000, 100000}, 2);
  ASSERT_GT(symbol, 0);
  host::Object mirrored = *host_->Find(symbol);
  auto& s = host::get<host::SymbolData>(mirrored.data);
  s.scaleX = -2;
  s.scaleY = 2;
  s.rotation = 45;
  ASSERT_TRUE(host_->ReplaceObject(mirrored));
  ASSERT_GT(AddTrueType("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}{\\f0\\fs24\\qc\\b Bold "
                        "\\b0\\i It\\i0 plain\r\n\\par \\ul Under\\ul0}}"),
            0);
  host_->SetActiveLayer(2);

  std::string error;
  ASSERT_TRUE(host_->SaveDrawing("C:\\TRACELON\\DRAWINGS\\PLAN.DXF", &error)) << error;
  std::string dxf = ReadFile("C:\\TRACELON\\DRAWINGS\\PLAN.DXF");
  for (const char* part :
       {"$INSUNITS", "$EXTMIN", "$EXTMAX", "LWPOLYLINE", "CIRCLE", "ARC", "TEXT", "MTEXT", "INSERT",
        "ARROW", "WALLS", "HIDDEN", "|b1|i0;", "|b0|i1;", "\\LUnder\\l", "\\pxqc;"})
    EXPECT_NE(dxf.find(part), std::string::npos) << part;
  Json before = Json::parse(host_->ToJson());

  host_ = &host::Host::Start();
  std::filesystem::remove(platform::ResolvePath("C:\\TRACELON\\SYMBOLS\\ARROW.SYM"));
  ASSERT_TRUE(host_->OpenDrawing("C:\\TRACELON\\DRAWINGS\\PLAN.DXF", &error)) << error;
  Json after = Json::parse(host_->ToJson());
  EXPECT_EQ(after["units"], before["units"]);
  EXPECT_EQ(after["layers"], before["layers"]);
  EXPECT_EQ(after["activeLayer"], 2);
  ASSERT_EQ(after["objects"].size(), before["objects"].size());
  for (size_t i = 0; i < before["objects"].size(); ++i) {
    Json a = before["objects"][i], b = after["objects"][i];
    if (a["kind"] == "truetype") {
      // The document is written anew; what it says and how it looks stays.
      EXPECT_EQ(b["at"], a["at"]);
      EXPECT_EQ(b["face"], a["face"]);
      EXPECT_EQ(b["vcode"], a["vcode"]);
      EXPECT_DOUBLE_EQ(b["orientation"].get<double>(), a["orientation"].get<double>());
      const std::string doc = b["document"];
      for (const char* part : {"\\pard\\qc {\\fs24\\b Bold", "\\i It", "\\ul Under", "\\par"})
        EXPECT_NE(doc.find(part), std::string::npos) << part << " in " << doc;
      continue;
    }
    b["id"] = a["id"];
    EXPECT_EQ(b, a) << i;
  }
  // The symbol came as a block: drawn again from it.
  EXPECT_NE(host_->ToSvg().find(">A</text>"), std::string::npos);
  EXPECT_EQ(host_->MessageLine(), "");  // nothing converted or skipped
}

const std::vector<std::string> kHeader = {"0 SECTION", "2 HEADER", "9 $INSUNITS", "70 1",
                                          "0 ENDSEC"};

std::vector<std::string> Concat(std::vector<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST_F(DxfFiles, EntitiesWithoutAHostObjectAreConvertedAndCounted) {
  const std::vector<std::string> blocks = {
      "0 SECTION", "2 BLOCKS",
      // A dimension's picture, and a block that holds another block.
      "0 BLOCK", "8 0", "2 *D1", "70 1", "10 0", "20 0", "30 0", "3 *D1", "1 ", "0 LINE", "8 0",
      "10 0", "20 -1", "30 0", "11 10", "21 -1", "31 0", "0 TEXT", "8 0", "10 5", "20 -0.5", "30 0",
      "40 0.25", "1 10\"", "0 ENDBLK", "8 0", "0 BLOCK", "8 0", "2 LEG", "70 0", "10 0", "20 0",
      "30 0", "3 LEG", "1 ", "0 CIRCLE", "8 0", "10 0", "20 0", "30 0", "40 1", "0 ENDBLK", "8 0",
      "0 BLOCK", "8 0", "2 TABLE", "70 0", "10 0", "20 0", "30 0", "3 TABLE", "1 ", "0 LINE", "8 0",
      "10 0", "20 0", "30 0", "11 20", "21 0", "31 0", "0 INSERT", "8 0", "2 LEG", "10 20", "20 0",
      "30 0", "0 ENDBLK", "8 0", "0 ENDSEC"};
  const std::vector<std::string> entities = {"0 SECTION", "2 ENTITIES",  "0 LINE",
                                             "8 PLAN",    "10 0",        "20 0",
                                             "30 0",      "11 100",      "21 0",
                                             "31 0",      "0 ELLIPSE",   "8 PLAN",
                                             "10 0",      "20 0",        "30 0",
                                             "11 10",     "21 0",        "31 0",
                                             "40 0.5",    "41 0",        "42 6.283185307179586",
                                             "0 SPLINE",  "8 PLAN",      "70 8",
                                             "71 3",      "72 8",        "73 4",
                                             "74 0",      "40 0",        "40 0",
                                             "40 0",      "40 0",        "40 1",
                                             "40 1",      "40 1",        "40 1",
                                             "10 0",      "20 0",        "30 0",
                                             "10 10",     "20 10",       "30 0",
                                             "10 20",     "20 -10",      "30 0",
                                             "10 30",     "20 0",        "30 0",
                                             "0 HATCH",   "8 PLAN",      "10 0",
                                             "20 0",      "30 0",        "210 0",
                                             "220 0",     "230 1",       "2 SOLID",
                                             "70 1",      "71 0",        "91 1",
                                             "92 1",      "93 3",        "72 1",
                                             "10 0",      "20 0",        "11 10",
                                             "21 0",      "72 1",        "10 10",
                                             "20 0",      "11 10",       "21 10",
                                             "72 1",      "10 10",       "20 10",
                                             "11 0",      "21 0",        "97 0",
                                             "75 0",      "76 1",        "98 0",
                                             "0 LEADER",  "8 PLAN",      "3 Standard",
                                             "71 1",      "72 0",        "76 3",
                                             "10 0",      "20 0",        "30 0",
                                             "10 5",      "20 5",        "30 0",
                                             "10 10",     "20 5",        "30 0",
                                             "0 POINT",   "8 PLAN",      "10 1",
                                             "20 1",      "30 0",        "0 SOLID",
                                             "8 PLAN",    "10 0",        "20 0",
                                             "30 0",      "11 1",        "21 0",
                                             "31 0",      "12 0",        "22 1",
                                             "32 0",      "13 1",        "23 1",
                                             "33 0",      "0 DIMENSION", "8 PLAN",
                                             "2 *D1",     "10 10",       "20 -1",
                                             "30 0",      "11 5",        "21 -0.5",
                                             "31 0",      "70 0",        "1 ",
                                             "13 0",      "23 0",        "33 0",
                                             "14 10",     "24 0",        "34 0",
                                             "0 INSERT",  "8 FURNITURE", "2 TABLE",
                                             "10 50",     "20 50",       "30 0",
                                             "41 1",      "42 1",        "50 90",
                                             "0 ENDSEC",  "0 EOF"};
  WriteFile("C:\\TRACELON\\DRAWINGS\\SITE.DXF", Dxf(Concat({kHeader, blocks, entities})));
  std::string error;
  ASSERT_TRUE(host_->OpenDrawing("C:\\TRACELON\\DRAWINGS\\SITE.DXF", &error)) << error;
  EXPECT_EQ(host_->MessageLine(),
            "DXF: converted 1 dimension, 1 ellipse, 1 hatch, 1 leader, 1 solid, 1 spline; "
            "skipped 1 point");
  // Line, ellipse, spline, the hatch's boundary, leader, solid and the dimension's line as
  // linesets; the dimension's text; the table as a symbol holding its leg.
  EXPECT_EQ(CountKind(host::ObjectKind::Lineset), 7u);
  EXPECT_EQ(CountKind(host::ObjectKind::Text), 1u);
  ASSERT_EQ(CountKind(host::ObjectKind::Symbol), 1u);
  const host::Object* table = nullptr;
  for (const auto* o : host_->FinalObjects())
    if (o->Kind() == host::ObjectKind::Symbol) table = o;
  const host::SymbolDef* def = host_->Symbol(host::get<host::SymbolData>(table->data).symbol);
  ASSERT_NE(def, nullptr);
  EXPECT_EQ(def->name, "TABLE.SYM");
  ASSERT_EQ(def->elements.size(), 2u);
  EXPECT_EQ(def->elements[1].kind, host::SymbolElement::Kind::Arc);
  EXPECT_DOUBLE_EQ(def->elements[1].centre.x, 20);
  EXPECT_EQ(host::get<host::SymbolData>(table->data).rotation, 90);
  // Inches at 8000 drawing units: the table stands at 50,50.
  EXPECT_EQ(table->at, (host::Point{400000, 400000}));
  EXPECT_EQ(host_->Layer(1).name, "PLAN");
  EXPECT_EQ(host_->Layer(2).name, "FURNITURE");
  // The spline runs through its end control points; the ellipse is 20 by 10.
  Json j = Json::parse(host_->ToJson());
  std::vector<Json> linesets;
  for (const auto& o : j["objects"])
    if (o["kind"] == "lineset") linesets.push_back(o);
  EXPECT_EQ(linesets[2]["points"].front(), Json::array({0, 0}));
  EXPECT_EQ(linesets[2]["points"].back(), Json::array({240000, 0}));
  int64_t top = 0;
  for (const auto& p : linesets[1]["points"]) top = std::max<int64_t>(top, p[1]);
  EXPECT_NEAR(static_cast<double>(top), 40000, 100);
}

TEST_F(DxfFiles, DamagedOrTruncatedFilesAreRefusedNamingTheLine) {
  host_->AddLine({{0, 0}, {100, 100}});
  host_->SetLayerName(1, "KEEP");
  const std::string good = Dxf(Concat({kHeader,
                                       {"0 SECTION", "2 ENTITIES", "0 LINE", "8 A", "10 0", "20 0",
                                        "30 0", "11 1", "21 1", "31 0", "0 ENDSEC", "0 EOF"}}));
  const std::vector<std::pair<std::string, std::string>> broken = {
      {"", "line 1: the file is empty"},
      {good.substr(0, good.find("11\n1\n")), "line 25: the file ends before its end (no EOF)"},
      {good.substr(0, good.find("0\nEOF")), "line 33: the file ends before its end (no EOF)"},
      {std::string(good).replace(good.find("20\n0\n"), 5, "20\nx\n"),
       "line 22: a number was expected for group code 20"},
      {std::string(good).replace(good.find("30\n0\n"), 2, "3O"),
       "line 23: a group code was expected, not \"3O\""},
      {std::string(good).replace(good.find("0\nEOF"), 5, "0\nSECTION\n0\nEOF"),
       "line 36: the file ends inside a section"},
      {std::string(good).replace(good.find("70\n1"), 4, "70\n1e99"),
       "line 8: a whole number was expected for group code 70"},
      {"999\ncomment", "line 3: the file ends before its end (no EOF)"}};
  for (const auto& [text, why] : broken) {
    WriteFile("C:\\TRACELON\\DRAWINGS\\BAD.DXF", text);
    std::string error;
    EXPECT_FALSE(host_->OpenDrawing("C:\\TRACELON\\DRAWINGS\\BAD.DXF", &error));
    EXPECT_EQ(error, "C:\\TRACELON\\DRAWINGS\\BAD.DXF: " + why);
  }
  // Nothing of the open drawing is lost.
  EXPECT_EQ(host_->FinalObjects().size(), 1u);
  EXPECT_EQ(host_->Layer(1).name, "KEEP");
  WriteFile("C:\\TRACELON\\DRAWINGS\\GOOD.DXF", good);
  std::string error;
  EXPECT_TRUE(host_->OpenDrawing("C:\\TRACELON\\DRAWINGS\\GOOD.DXF", &error)) << error;
  EXPECT_EQ(host_->Layer(1).name, "A");
}

// A justified TEXT without its alignment point (group codes 11 and 21 are optional to some
// writers) stands at its insertion point, in a drawing and in a symbol read from the same file;
// the symbol reads back.
TEST_F(DxfFiles, AJustifiedTextWithoutItsAlignmentPointStandsAtItsInsertionPoint) {
  const std::string dxf = Dxf(Concat({kHeader,
                                      {"0 SECTION", "2 ENTITIES", "0 TEXT", "8 0", "10 5", "20 7",
                                       "30 0", "40 0.25", "1 ROOM", "72 1", "0 ENDSEC", "0 EOF"}}));
  WriteFile("C:\\TRACELON\\DRAWINGS\\NOTE.DXF", dxf);
  std::string error;
  ASSERT_TRUE(host_->OpenDrawing("C:\\TRACELON\\DRAWINGS\\NOTE.DXF", &error)) << error;
  ASSERT_EQ(CountKind(host::ObjectKind::Text), 1u);
  // Inches at 8000 drawing units.
  EXPECT_EQ(host_->FinalObjects().front()->at, (host::Point{40000, 56000}));

  std::string note;
  auto symbol = host::DxfToSymbol(dxf, "NOTE.SYM", 8000, &note, &error);
  ASSERT_TRUE(symbol) << error;
  ASSERT_EQ(symbol->elements.size(), 1u);
  EXPECT_DOUBLE_EQ(symbol->elements[0].centre.x, 5);
  EXPECT_DOUBLE_EQ(symbol->elements[0].centre.y, 7);
  EXPECT_TRUE(host::ParseSymbol(host::WriteSymbol(*symbol), "NOTE.SYM", &error)) << error;
}

}  // namespace

// The drawing exported as JSON and SVG, and kept in drawing files, layer files and references.
#include <cstring>
#include <nlohmann/json.hpp>

#include "host_fixture.h"
#include "platform/memory.h"

namespace {

using hosttest::HostTest;
using Json = nlohmann::ordered_json;

std::vector<std::string> Keys(const Json& j) {
  std::vector<std::string> keys;
  for (auto it = j.begin(); it != j.end(); ++it) keys.push_back(it.key());
  return keys;
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// A drawing with every kind of object, on two layers.
class Drawing : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    WriteFile("C:\\TRACELON\\SYMBOLS\\ARROW.SYM", hosttest::kArrowSymbol);
    host_->SetLayerName(1, "WALLS");
    host_->SetLayerColour(1, 7);
    line_ = host_->AddLine({{0, 0}, {1000000, 0}, {1000000, 600000}}, 1, 3);
    arc_ = host_->AddArc({500000, 300000}, 200000, 0, 90, 1);
    text_ = host_->AddText({100000, 200000}, "NOTE & <CO>", 72000, 2);
    symbol_ = host_->AddSymbol("ARROW.SYM", {800000, 100000}, 2);
    EXPECT_GT(symbol_, 0);
    const char* doc =
        "{\\rtf1\\ansi\\paperw8640\\deff0{\\fonttbl{\\f0\\fnil Arial;}}{\\f0\\fs24\\b Bold "
        "\\i0\\b0 plain @\r\n\\par \\ul Under\\ul0}\\par}";
    truetype_ = AddTrueType(doc);
    EXPECT_GT(truetype_, 0);
    int16_t x, y;
    HsiMenuEntry(1811, &x, &y);
    HsiLoadFile("C:\\QXTOOLS\\layers\\plan3.lyr", HSI_LOAD_LAYERS, nullptr);
    HsiPutMsg("Done");
    HsiCustomCallback("QX Text", 0);
  }
  int32_t line_ = 0, arc_ = 0, text_ = 0, symbol_ = 0, truetype_ = 0;
};

TEST_F(Drawing, JsonHasTheSessionKeysInAStableOrder) {
  Json j = Json::parse(host_->ToJson());
  EXPECT_EQ(Keys(j), (std::vector<std::string>{
                         "activeLayer", "currentColour", "progMode", "snapMode", "units", "layers",
                         "objects", "hostCommands", "loadedFiles", "messageLine", "callback"}));
  EXPECT_EQ(Keys(j["units"]), (std::vector<std::string>{"unitType", "paperUnit", "pointsPerUnit",
                                                        "scaledUnits", "denominator", "precision",
                                                        "drawingScale", "plotScale", "space"}));
  EXPECT_EQ(j["units"]["unitType"], 64557);
  EXPECT_EQ(j["progMode"], "2d");
  ASSERT_EQ(j["layers"].size(), 2u);  // the named layer and the one holding objects
  EXPECT_EQ(Keys(j["layers"][0]),
            (std::vector<std::string>{"number", "name", "colour", "on", "state"}));
  EXPECT_EQ(j["layers"][0]["name"], "WALLS");
  EXPECT_EQ(j["layers"][0]["state"], 64541);
  const auto& o = j["objects"];
  ASSERT_EQ(o.size(), 5u);
  EXPECT_EQ(Keys(o[0]),
            (std::vector<std::string>{"id", "kind", "layer", "colour", "weight", "points"}));
  EXPECT_EQ(o[0]["points"], Json::parse("[[0,0],[1000000,0],[1000000,600000]]"));
  EXPECT_EQ(Keys(o[1]), (std::vector<std::string>{"id", "kind", "layer", "colour", "centre",
                                                  "radius", "start", "end"}));
  EXPECT_EQ(o[1]["end"], Json::parse("[500000,500000]"));
  EXPECT_EQ(Keys(o[2]), (std::vector<std::string>{"id", "kind", "layer", "colour", "at", "size",
                                                  "charSpacing", "orientation", "widthFactor",
                                                  "hcode", "vcode", "font", "slant", "text"}));
  EXPECT_EQ(Keys(o[3]), (std::vector<std::string>{"id", "kind", "layer", "colour", "name", "at",
                                                  "scale", "rotation"}));
  EXPECT_EQ(Keys(o[4]),
            (std::vector<std::string>{"id", "kind", "layer", "colour", "at", "orientation", "hcode",
                                      "vcode", "face", "size", "style", "document"}));
  EXPECT_EQ(o[4]["document"].get<std::string>().rfind("{\\rtf1", 0), 0u);
  EXPECT_EQ(j["hostCommands"], Json::parse("[1811]"));
  EXPECT_EQ(j["loadedFiles"], Json::parse(R"([["C:\\QXTOOLS\\layers\\plan3.lyr", 6]])"));
  EXPECT_EQ(j["messageLine"], "Done");
  EXPECT_EQ(j["callback"], "QX Text");
  // The same drawing gives the same text.
  EXPECT_EQ(host_->ToJson(), host_->ToJson());
}

TEST_F(Drawing, SvgShowsWhatIsOnAndExpandsSymbols) {
  std::string svg = host_->ToSvg();
  EXPECT_EQ(svg.rfind("<svg", 0), 0u);
  EXPECT_EQ(Count(svg, "<path"), 1u);      // the arc
  EXPECT_EQ(Count(svg, "<polyline"), 3u);  // the lineset and the arrow's two strokes
  EXPECT_NE(svg.find("NOTE &amp; &lt;CO&gt;"), std::string::npos);
  EXPECT_NE(svg.find(">A</text>"), std::string::npos);  // the symbol's own text
  EXPECT_NE(svg.find("font-weight=\"bold\""), std::string::npos);
  EXPECT_NE(svg.find("text-decoration=\"underline\""), std::string::npos);
  EXPECT_NE(svg.find(">Bold </tspan>"), std::string::npos);
  EXPECT_NE(svg.find("rotate(-10.00)"), std::string::npos);
  EXPECT_NE(svg.find("stroke-width=\"3.25\""), std::string::npos);  // weight 3
  EXPECT_NE(svg.find("#e00000"), std::string::npos);                // colour 1
  ASSERT_TRUE(host_->SetLayerOn(2, false));
  std::string hidden = host_->ToSvg();
  EXPECT_EQ(hidden.find("NOTE"), std::string::npos);
  EXPECT_EQ(hidden.find("Bold"), std::string::npos);
  EXPECT_EQ(Count(hidden, "<polyline"), 1u);
}

TEST_F(Drawing, DrawingFileRoundTripAndRefusals) {
  host_->SetDrawingDescription("Ground floor");
  std::string error;
  ASSERT_TRUE(host_->SaveDrawing("C:\\TRACELON\\DRAWINGS\\A1.VWF", &error)) << error;
  std::string saved = host_->ToJson();
  host_ = &host::Host::Start();
  // The symbol travels inside the drawing file: no symbol folder is needed.
  std::filesystem::remove(platform::ResolvePath("C:\\TRACELON\\SYMBOLS\\ARROW.SYM"));
  ASSERT_EQ(HsiLoadFile("C:\\TRACELON\\DRAWINGS\\A1.VWF", HSI_LOAD_DRAWING, nullptr), HSI_SUCCESS);
  Json a = Json::parse(saved), b = Json::parse(host_->ToJson());
  EXPECT_EQ(a["objects"], b["objects"]);
  EXPECT_EQ(a["layers"], b["layers"]);
  EXPECT_EQ(a["units"], b["units"]);
  HsiDrawingInfo info;
  ASSERT_EQ(HsiGetDwgInfo(&info), HSI_SUCCESS);
  EXPECT_STREQ(info.name, "A1");
  EXPECT_STREQ(info.description, "Ground floor");
  EXPECT_EQ(info.objectCount, 5);
  EXPECT_NE(host_->ToSvg().find(">A</text>"), std::string::npos);

  // Broken files are refused and the drawing stays.
  std::string text = ReadFile("C:\\TRACELON\\DRAWINGS\\A1.VWF");
  const std::vector<std::string> broken = {
      "",
      "{",
      "[]",
      "{\"format\":\"TRACELON DRAWING\",\"version\":1}",
      text.substr(0, text.size() / 2),
      std::string(text).replace(text.find("\"radius\": 200000"), 16, "\"radius\": \"x\""),
      std::string(text).replace(text.find("\"activeLayer\": 1"), 16, "\"activeLayer\": 900"),
      std::string(text).replace(text.find("\"currentColour\": 7"), 18, "\"currentColour\": []")};
  for (size_t i = 0; i < broken.size(); ++i) {
    WriteFile("C:\\TRACELON\\DRAWINGS\\BAD.VWF", broken[i]);
    EXPECT_EQ(HsiLoadFile("C:\\TRACELON\\DRAWINGS\\BAD.VWF", HSI_LOAD_DRAWING, nullptr),
              HSI_FAILURE)
        << "broken file " << i;
    EXPECT_EQ(HsiGetCvErrno(), HSI_ERR_FILE);
  }
  EXPECT_EQ(host_->FinalObjects().size(), 5u);
  EXPECT_EQ(HsiLoadFile("C:\\NOWHERE\\X.VWF", HSI_LOAD_DRAWING, nullptr), HSI_FAILURE);
  // The host says what it could not load, as it would to a person.
  EXPECT_EQ(host_->MessageLine(), "Cannot open the drawing: file not found: C:\\NOWHERE\\X.VWF");
  EXPECT_EQ(HsiLoadFile("C:\\NOWHERE\\X.LYR", HSI_LOAD_LAYERS, nullptr), HSI_FAILURE);
  EXPECT_EQ(host_->MessageLine(), "Cannot load the layer file: file not found: C:\\NOWHERE\\X.LYR");
}

TEST_F(HostTest, TextsInTheWindowsCharacterSetAreExportedAndSaved) {
  // A degree sign and an en dash as single bytes of the 8-bit Windows character set, beside a
  // UTF-8 text that stays as it is.
  host_->AddText({0, 0}, "45\xB0 \x96 1/2");
  host_->AddText({0, 100000}, "90\xC2\xB0");
  Json exported = Json::parse(host_->ToJson());
  EXPECT_EQ(exported["objects"][0]["text"], "45\u00B0 \u2013 1/2");
  EXPECT_EQ(exported["objects"][1]["text"], "90\u00B0");
  // The picture reads them the same way: neither is written twice over as Latin-1.
  const std::string svg = host_->ToSvg();
  EXPECT_NE(svg.find("45\u00B0 \u2013 1/2"), std::string::npos);
  EXPECT_NE(svg.find("90\u00B0<"), std::string::npos);
  EXPECT_EQ(svg.find("\u00C2"), std::string::npos);
  std::string error;
  ASSERT_TRUE(host_->SaveDrawing("C:\\TRACELON\\DRAWINGS\\DEG.VWF", &error)) << error;
  ASSERT_TRUE(host_->OpenDrawing("C:\\TRACELON\\DRAWINGS\\DEG.VWF", &error)) << error;
  Json reopened = Json::parse(host_->ToJson());
  EXPECT_EQ(reopened["objects"][0]["text"], exported["objects"][0]["text"]);
  EXPECT_EQ(reopened["objects"][1]["text"], exported["objects"][1]["text"]);

  // A text as long as its record holds, all in single bytes of the code page: written out it is
  // twice as many bytes of UTF-8, and the drawing must still open again.
  host_->AddText({0, 200000}, std::string(HSI_CAD_TEXT_CHARS - 1, '\xB0'));
  ASSERT_TRUE(host_->SaveDrawing("C:\\TRACELON\\DRAWINGS\\LONG.VWF", &error)) << error;
  ASSERT_TRUE(host_->OpenDrawing("C:\\TRACELON\\DRAWINGS\\LONG.VWF", &error)) << error;
  Json longText = Json::parse(host_->ToJson());
  ASSERT_EQ(longText["objects"].size(), 3u);
  EXPECT_EQ(longText["objects"][2]["text"].get<std::string>().size(),
            2u * (HSI_CAD_TEXT_CHARS - 1));
}

TEST_F(HostTest, LayerFilesAndReferences) {
  std::filesystem::create_directories(platform::ResolvePath("C:\\TRACELON\\REFS"));
  std::filesystem::create_directories(platform::ResolvePath("C:\\QXTOOLS"));
  WriteFile("C:\\QXTOOLS\\plan3.lyr",
            "TRACELON LAYERS 1\n# plan\nLAYER 1 OFF 7 \"WALLS\"\nLAYER 3 ON 2 \"DOORS\"\n"
            "LAYER 4 OFF 0 \"FURN\"\n");
  ASSERT_EQ(HsiLoadFile("C:\\QXTOOLS\\plan3.lyr", HSI_LOAD_LAYERS, nullptr), HSI_SUCCESS);
  EXPECT_TRUE(host_->Layer(1).On());  // the active layer stays shown
  EXPECT_EQ(host_->Layer(1).name, "WALLS");
  EXPECT_EQ(host_->Layer(3).colour, 2);
  EXPECT_FALSE(host_->Layer(4).On());
  WriteFile("C:\\QXTOOLS\\bad.lyr",
            "TRACELON LAYERS 1\nLAYER 5 ON 2 \"X\"\nLAYER 999 ON 1 \"Y\"\n");
  EXPECT_EQ(HsiLoadFile("C:\\QXTOOLS\\bad.lyr", HSI_LOAD_LAYERS, nullptr), HSI_FAILURE);
  EXPECT_EQ(host_->Layer(5).name, "");  // nothing of a refused file is applied
  // A version 2 file carries its count at its end, so one cut at a line end is refused.
  const std::string whole =
      "TRACELON LAYERS 2\nLAYER 5 ON 2 \"X\"\nLAYER 6 OFF 3 \"Y\"\nACTIVE 1\nEND 2\n# done\n";
  for (const std::string& damaged :
       {whole.substr(0, whole.find("LAYER 6")), whole.substr(0, whole.find("END")),
        std::string(whole).replace(whole.find("END 2"), 5, "END 3"),
        whole + "LAYER 7 ON 1 \"Z\"\n"}) {
    WriteFile("C:\\QXTOOLS\\cut.lyr", damaged);
    EXPECT_EQ(HsiLoadFile("C:\\QXTOOLS\\cut.lyr", HSI_LOAD_LAYERS, nullptr), HSI_FAILURE)
        << damaged;
    EXPECT_EQ(host_->Layer(5).name, "") << damaged;
  }
  WriteFile("C:\\QXTOOLS\\cut.lyr", whole);
  ASSERT_EQ(HsiLoadFile("C:\\QXTOOLS\\cut.lyr", HSI_LOAD_LAYERS, nullptr), HSI_SUCCESS);
  EXPECT_EQ(host_->Layer(6).name, "Y");
  EXPECT_EQ(host_->Layer(5).name, "X");

  // A referenced drawing, shown through its own layer file.
  ASSERT_TRUE(host_->SetLayerOn(4, true));
  host_->AddLine({{0, 0}, {100, 0}}, 4);
  host_->AddLine({{0, 50}, {100, 50}}, 5);
  ASSERT_TRUE(host_->SaveDrawing("C:\\TRACELON\\REFS\\SITE.VWF"));
  host_ = &host::Host::Start();
  host::Reference ref;
  ref.path = "C:\\TRACELON\\REFS\\SITE.VWF";
  host_->AddReference(ref);
  HsiReferenceInfo info;
  ASSERT_EQ(HsiGetReferenceInformation(&info), HSI_SUCCESS);
  EXPECT_EQ(info.count, 1);
  HsiReferenceRecord r;
  ASSERT_EQ(HsiGetReferenceBuffer(&r, 0), HSI_SUCCESS);
  EXPECT_STREQ(r.path, "C:\\TRACELON\\REFS\\SITE.VWF");
  std::strcpy(r.layerFile, "C:\\QXTOOLS\\ref.lyr");
  ASSERT_EQ(HsiSetReferenceInformation(&r, 0), HSI_SUCCESS);
  EXPECT_EQ(HsiRefRegen(HSI_FALSE), HSI_FAILURE);  // the layer file does not exist yet
  WriteFile("C:\\QXTOOLS\\ref.lyr", "TRACELON LAYERS 1\nLAYER 5 OFF 0 \"\"\n");
  ASSERT_EQ(HsiRefRegen(HSI_FALSE), HSI_SUCCESS);
  ASSERT_EQ(host_->References()[0].objects.size(), 2u);
  std::string svg = host_->ToSvg();
  EXPECT_EQ(Count(svg, "<polyline"), 1u);  // layer 5 of the reference is off
  EXPECT_NE(svg.find("id=\"references\""), std::string::npos);
  // The export lists the references after the session keys (a drawing without has no key).
  Json j = Json::parse(host_->ToJson());
  EXPECT_EQ(Keys(j).back(), "references");
  EXPECT_EQ(j["references"], Json::parse(R"([{"path": "C:\\TRACELON\\REFS\\SITE.VWF",
      "layerFile": "C:\\QXTOOLS\\ref.lyr", "layer": 0, "loaded": true, "visible": true}])"));
}

}  // namespace

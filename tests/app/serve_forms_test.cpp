// The form model the page draws dialogs from: every control with what a person sees of it.
#include "serve_forms.h"

#include <gtest/gtest.h>

#include "platform/forms.h"
#include "platform/picture.h"
#include "platform/system.h"

namespace {

using nlohmann::json;

const json& Control(const json& form, const std::string& name) {
  for (const json& c : form["controls"]) {
    if (c["name"] == name) return c;
  }
  static const json none;
  ADD_FAILURE() << "no control " << name;
  return none;
}

class ServeFormsTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::Reset(); }
  void TearDown() override { platform::Reset(); }
  PictureStore pictures;
};

TEST_F(ServeFormsTest, TextsInTheWindowsCodePageReachThePageAsUtf8) {
  // A list read from a file written on Windows: single bytes of the code page beside UTF-8.
  platform::Form form("TdlgTest", "Drawings 90\xB0");
  auto& list = form.Add<platform::ListBox>("lbxNames");
  list.items.Add("M\xFCller \x96 Haus");
  list.items.Add("Caf\xC3\xA9");
  const std::string text = PageJson(FormModel(form, pictures));
  const json model = json::parse(text);
  EXPECT_EQ(model["caption"], "Drawings 90\u00B0");
  EXPECT_NE(text.find("M\u00FCller \u2013 Haus"), std::string::npos);
  EXPECT_NE(text.find("Caf\u00E9"), std::string::npos);
  // Written as it was, the model is refused by the JSON writer.
  EXPECT_THROW(FormModel(form, pictures).dump(), json::type_error);
}

TEST_F(ServeFormsTest, ControlsCarryTheirStatesItemsAndParents) {
  platform::Form form("TdlgTest", "&Test");
  form.SetBounds(10, 20, 300, 200);
  auto& group = form.Add<platform::RadioGroup>("rgrpUnits");
  group.items = {"Feet", "&Meters"};
  group.SetItemIndex(1);
  auto& check = form.Add<platform::CheckBox>("chkFrame");
  check.SetChecked(true);
  check.SetEnabled(false);
  auto& book = form.Add<platform::PageControl>("pgcText");
  platform::Page& cad = book.AddPage("CAD");
  platform::Page& tt = book.AddPage("True Type");
  auto& size = form.Add<platform::Edit>("txtSize", &tt);
  size.SetText("12");
  size.hint = "The text's size";
  auto& list = form.Add<platform::ListBox>("lstNames", &cad);
  list.items.Add("ONE");
  list.items.Add("TWO");
  list.SetItemIndex(1);
  auto& memo = form.Add<platform::Memo>("mmText");
  memo.SetLines({"A", "B"});

  json model = FormModel(form, pictures);
  EXPECT_EQ(model["class"], "TdlgTest");
  EXPECT_EQ(model["caption"], "&Test");
  EXPECT_EQ(model["bounds"], json({10, 20, 300, 200}));
  EXPECT_EQ(model["client"][0], form.ClientWidth());

  const json& radio = Control(model, "rgrpUnits");
  EXPECT_EQ(radio["type"], "RadioGroup");
  EXPECT_EQ(radio["items"], json({"Feet", "&Meters"}));
  EXPECT_EQ(radio["itemIndex"], 1);
  EXPECT_EQ(Control(model, "chkFrame")["checked"], true);
  EXPECT_EQ(Control(model, "chkFrame")["enabled"], false);
  EXPECT_EQ(Control(model, "pgcText")["pages"], json({"CAD", "True Type"}));
  EXPECT_EQ(Control(model, "pgcText")["pageIndex"], 0);
  // A control on a page not shown is not visible; its parent is named so the page nests it.
  const json& edit = Control(model, "txtSize");
  EXPECT_EQ(edit["parent"], tt.Name());
  EXPECT_EQ(edit["visible"], false);
  EXPECT_EQ(edit["text"], "12");
  EXPECT_EQ(edit["hint"], "The text's size");
  EXPECT_EQ(Control(model, "lstNames")["visible"], true);
  EXPECT_EQ(Control(model, "lstNames")["selected"], json({false, true}));
  EXPECT_EQ(Control(model, "mmText")["lines"], json({"A", "B"}));

  book.SetPageIndex(1);
  json after = FormModel(form, pictures);
  EXPECT_EQ(Control(after, "txtSize")["visible"], true);
  EXPECT_EQ(Control(after, "lstNames")["visible"], false);
}

TEST_F(ServeFormsTest, AGridGivesItsCellsAndWhatItsPaintHandlerDrew) {
  platform::Form form("TdlgGrid", "Grid");
  auto& grid = form.Add<platform::StringGrid>("sgrdLayer");
  grid.SetColCount(3);
  grid.SetRowCount(2);
  grid.SetColWidth(1, 40);
  grid.SetCell(2, 1, "X");
  grid.OnDrawCell = [&](platform::Control&, int col, int row, const platform::Rect& rect,
                        platform::GridDrawState) {
    if (col == 1 && row == 0) {
      grid.GetCanvas().brushColor = platform::colors::Red;
      grid.GetCanvas().FillRect(rect);
    }
  };
  grid.Paint();
  grid.OnMouseUp = [](platform::Control&, platform::MouseButton, platform::ShiftState, int, int) {};

  json c = Control(FormModel(form, pictures), "sgrdLayer");
  EXPECT_EQ(c["cols"], 3);
  EXPECT_EQ(c["rows"], 2);
  EXPECT_EQ(c["colWidths"][1], 40);
  EXPECT_EQ(c["cells"][1][2]["text"], "X");
  EXPECT_EQ(c["mouse"], true);
  EXPECT_EQ(c["mouseMove"], false);
  bool red = false;
  for (const json& op : c["cells"][0][1]["ops"])
    red |= op["kind"] == "fill" && op["brush"] == "#ff0000";
  EXPECT_TRUE(red) << c["cells"][0][1].dump();
}

TEST_F(ServeFormsTest, PicturesAreStoredOnceByContent) {
  platform::Bitmap bitmap(2, 2, platform::colors::Blue);
  std::string name = pictures.Add(platform::Picture(bitmap));
  EXPECT_FALSE(name.empty());
  EXPECT_EQ(pictures.Add(platform::Picture(bitmap)), name);
  auto entry = pictures.Get(name);
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->type, "image/bmp");
  EXPECT_EQ(platform::DecodeBmp(entry->bytes), bitmap);
  EXPECT_EQ(pictures.Add(platform::Picture()), "");
  EXPECT_FALSE(pictures.Get("0123"));

  platform::Metafile metafile;
  metafile.width = 100;
  metafile.height = 50;
  metafile.AddLine({0, 0}, {100, 50});
  metafile.AddText({5, 5}, "A<B", "Arial", 12);
  std::string svg = MetafileSvg(platform::Picture(metafile));
  EXPECT_NE(svg.find("points=\"0,0 100,50 \""), std::string::npos) << svg;
  EXPECT_NE(svg.find(">A&lt;B</text>"), std::string::npos) << svg;
}

}  // namespace

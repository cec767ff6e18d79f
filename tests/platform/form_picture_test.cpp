#include "platform/form_picture.h"

#include <algorithm>
#include <cstdio>
#include <regex>

#include "platform/forms.h"
#include "platform/metrics.h"
#include "platform_test_support.h"

namespace platform {
namespace {

using testing::PlatformTest;

class FormPictureTest : public PlatformTest {};

// The part of the picture that draws the control of that name: its group, nested groups and all.
std::string Part(const std::string& svg, const std::string& name) {
  const std::size_t start = svg.find("<g id=\"" + name + "\">");
  if (start == std::string::npos) return "";
  std::size_t pos = start + 1;
  int depth = 1;
  while (depth > 0) {
    const std::size_t open = svg.find("<g", pos), close = svg.find("</g>", pos);
    if (close == std::string::npos) return "";
    if (open != std::string::npos && open < close) {
      ++depth;
      pos = open + 2;
    } else {
      --depth;
      pos = close + 4;
    }
  }
  return svg.substr(start, pos - start);
}

// The texts drawn (in one colour, when one is given), in order: each text element's characters
// with the markup taken out.
std::vector<std::string> Texts(const std::string& svg, const std::string& color = "") {
  std::vector<std::string> texts;
  for (std::size_t pos = svg.find("<text "); pos != std::string::npos;
       pos = svg.find("<text ", pos + 1)) {
    const std::size_t start = svg.find('>', pos) + 1, end = svg.find("</text>", pos);
    if (!color.empty() &&
        svg.substr(pos, start - pos).find("fill=\"" + color + "\"") == std::string::npos)
      continue;
    std::string text;
    bool inTag = false;
    for (std::size_t i = start; i < end; ++i) {
      if (svg[i] == '<') inTag = true;
      if (!inTag) text += svg[i];
      if (svg[i] == '>') inTag = false;
    }
    texts.push_back(text);
  }
  return texts;
}

int Drawn(const std::string& svg, const std::string& text, const std::string& color = "") {
  const std::vector<std::string> texts = Texts(svg, color);
  return static_cast<int>(std::count(texts.begin(), texts.end(), text));
}

// A coordinate as the picture writes it.
std::string Num2(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, v == static_cast<int>(v) ? "%.0f" : "%.1f", v);
  return buffer;
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1))
    ++n;
  return n;
}

// The one-pixel-high rectangles (underlines and edges) at a height, as "x,width" pairs.
std::vector<std::string> ThinRects(const std::string& svg, const std::string& color) {
  std::vector<std::string> found;
  const std::regex rect("<rect x=\"(-?\\d+)\" y=\"-?\\d+\" width=\"(\\d+)\" height=\"1\" fill=\"" +
                        color + "\"/>");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), rect); it != std::sregex_iterator();
       ++it)
    found.push_back((*it)[1].str() + "," + (*it)[2].str());
  return found;
}

TEST_F(FormPictureTest, AcceleratorMarksAreTakenOutAndTheFirstOneKept) {
  EXPECT_EQ(SplitAccelerator("&File").text, "File");
  EXPECT_EQ(SplitAccelerator("&File").accelerator, 0);
  AcceleratedCaption both = SplitAccelerator("Save && &Quit");
  EXPECT_EQ(both.text, "Save & Quit");
  EXPECT_EQ(both.accelerator, 7);  // the Q, counted in the text as shown
  EXPECT_EQ(SplitAccelerator("Fish && Chips").accelerator, -1);
  EXPECT_EQ(SplitAccelerator("Mark&").text, "Mark");  // a trailing mark marks nothing
  EXPECT_EQ(SplitAccelerator("Mark&").accelerator, -1);
  EXPECT_EQ(SplitAccelerator("&One &Two").accelerator, 0);
}

TEST_F(FormPictureTest, TheAcceleratorIsUnderlinedUnderItsOwnCharacter) {
  Form form("TdlgTest", "Test");
  form.borderStyle = BorderStyle::None;
  Label& label = form.Add<Label>("lblName");
  label.SetBounds(10, 10, 0, 16);
  label.SetCaption("Na&me:");
  const std::string svg = Part(FormPictureSvg(form), "lblName");
  ASSERT_FALSE(svg.empty());
  const int x = metrics::TextWidth(label.font, "Na");
  const int w = metrics::CharWidth(label.font, 'm');
  EXPECT_EQ(ThinRects(svg, "#000000"),
            std::vector<std::string>{std::to_string(x) + "," + std::to_string(w)});
  // The text is drawn as shown, each character centred in the advance the text measure gives.
  EXPECT_EQ(Texts(svg), std::vector<std::string>{"Name:"});
  const int n = metrics::CharWidth(label.font, 'N'), a = metrics::CharWidth(label.font, 'a');
  EXPECT_NE(svg.find("<tspan x=\"" + Num2(n / 2.0) + "\">N</tspan><tspan x=\"" + Num2(n + a / 2.0) +
                     "\">a</tspan>"),
            std::string::npos)
      << svg;
}

TEST_F(FormPictureTest, CaptionsAreEscapedAndWrittenAsUtf8) {
  Form form("TdlgTest", "A <b> & \"c\"");
  Button& button = form.Add<Button>("btnOdd");
  button.SetCaption(std::string("<&&> 90\xB0 \x80 x\x01y"));
  const std::string svg = FormPictureSvg(form);
  EXPECT_EQ(Drawn(svg, "&lt;&amp;&gt; 90\xC2\xB0 \xE2\x82\xAC xy"), 1) << svg;
  EXPECT_NE(svg.find("A &lt;b&gt; &amp; &quot;c&quot;"), std::string::npos);
  // No raw markup character is left in any text.
  const std::regex rawAmpersand("&(?!(amp|lt|gt|quot|apos);)");
  EXPECT_FALSE(std::regex_search(svg, rawAmpersand));
  EXPECT_EQ(svg.find("<b>"), std::string::npos);
}

TEST_F(FormPictureTest, ADisabledCaptionIsGreyWithAWhiteRelief) {
  Form form("TdlgTest", "Test");
  Button& on = form.Add<Button>("btnOn");
  on.SetCaption("&Apply");
  Button& off = form.Add<Button>("btnOff");
  off.SetCaption("&Apply");
  off.SetEnabled(false);
  const std::string svgOn = Part(FormPictureSvg(form), "btnOn");
  const std::string svgOff = Part(FormPictureSvg(form), "btnOff");
  EXPECT_EQ(Drawn(svgOn, "Apply"), 1);
  EXPECT_EQ(Drawn(svgOn, "Apply", "#000000"), 1);
  EXPECT_EQ(Drawn(svgOff, "Apply"), 2);
  EXPECT_EQ(Drawn(svgOff, "Apply", "#808080"), 1);
  EXPECT_EQ(Drawn(svgOff, "Apply", "#ffffff"), 1);
  // The relief's underline sits one pixel right of and below the grey one.
  Font font;
  const int left = (75 - metrics::TextWidth(font, "Apply")) / 2;
  const std::string underline = std::to_string(metrics::CharWidth(font, 'A'));
  const std::vector<std::string> grey = ThinRects(svgOff, "#808080");
  const std::vector<std::string> white = ThinRects(svgOff, "#ffffff");
  EXPECT_NE(std::find(grey.begin(), grey.end(), std::to_string(left) + "," + underline),
            grey.end());
  EXPECT_NE(std::find(white.begin(), white.end(), std::to_string(left + 1) + "," + underline),
            white.end());

  // A disabled edit box loses its white face.
  Edit& edit = form.Add<Edit>("txtOff");
  edit.SetEnabled(false);
  Edit& live = form.Add<Edit>("txtOn");
  const std::string svg = FormPictureSvg(form);
  EXPECT_NE(Part(svg, "txtOff").find("width=\"121\" height=\"21\" fill=\"#c0c0c0\""),
            std::string::npos);
  EXPECT_NE(Part(svg, "txtOn").find("width=\"121\" height=\"21\" fill=\"#ffffff\""),
            std::string::npos);
  (void)live;
}

TEST_F(FormPictureTest, AGridShowsWhatWasPaintedOnItsCellsAndOnlyTheCellsThatFit) {
  Form form("TdlgTest", "Test");
  StringGrid& grid = form.Add<StringGrid>("sgrd");
  grid.SetColCount(10);
  grid.SetRowCount(3);
  grid.fixedCols = grid.fixedRows = 0;
  grid.defaultColWidth = 30;
  grid.defaultRowHeight = 20;
  grid.scrollBars = ScrollBars::None;
  grid.SetBounds(0, 0, 100, 70);  // three cells and a part of a fourth across
  for (int c = 0; c < 10; ++c) grid.SetCell(c, 0, "c" + std::to_string(c));
  // Before any painting the cells show their texts.
  std::string svg = Part(FormPictureSvg(form), "sgrd");
  EXPECT_EQ(Drawn(svg, "c0"), 1);
  EXPECT_EQ(Drawn(svg, "c3"), 1);  // partly shown
  EXPECT_EQ(Drawn(svg, "c4"), 0);  // past the grid's right edge

  grid.defaultDrawing = false;
  grid.OnDrawCell = [&](Control&, int col, int row, const Rect& rect, GridDrawState) {
    if (col == 1 && row == 2) {
      grid.GetCanvas().brushColor = colors::Yellow;
      grid.GetCanvas().FillRect(rect);
    }
  };
  grid.Paint();
  svg = Part(FormPictureSvg(form), "sgrd");
  const Rect cell = grid.CellRect(1, 2);
  EXPECT_NE(svg.find("<rect x=\"" + std::to_string(cell.left) + "\" y=\"" +
                     std::to_string(cell.top) + "\" width=\"30\" height=\"20\" fill=\"#ffff00\"/>"),
            std::string::npos);
  EXPECT_EQ(Count(svg, "#ffff00"), 1);
  EXPECT_EQ(Drawn(svg, "c0"), 0);  // painting drew no texts
}

TEST_F(FormPictureTest, OnlyTheActivePageOfANotebookIsDrawn) {
  Form form("TdlgTest", "Test");
  PageControl& pages = form.Add<PageControl>("pgc");
  pages.SetBounds(4, 4, 300, 200);
  Page& first = pages.AddPage("&General");
  Page& second = pages.AddPage("&Text");
  form.Add<Edit>("txtFirst", &first);
  form.Add<Edit>("txtSecond", &second);
  std::string svg = FormPictureSvg(form);
  EXPECT_NE(svg.find("id=\"txtFirst\""), std::string::npos);
  EXPECT_EQ(svg.find("id=\"txtSecond\""), std::string::npos);
  EXPECT_EQ(Drawn(svg, "General"), 1);  // both tabs show
  EXPECT_EQ(Drawn(svg, "Text"), 1);
  pages.SetPageIndex(1);
  svg = FormPictureSvg(form);
  EXPECT_EQ(svg.find("id=\"txtFirst\""), std::string::npos);
  EXPECT_NE(svg.find("id=\"txtSecond\""), std::string::npos);
}

TEST_F(FormPictureTest, TheFocusShowsOnTheFocusedControlAndTheDefaultButtonWhileAFieldHasIt) {
  struct Dialog : Form {
    Edit& txt = Add<Edit>("txt");
    Button& ok = Add<Button>("btnOK");
    Button& cancel = Add<Button>("btnCancel");
    Dialog() : Form("TdlgTest", "Test") {
      txt.SetText("12.5");
      ok.isDefault = true;
    }
  } dlg;
  const std::string kBlackTop = "x=\"0\" y=\"0\" width=\"74\" height=\"1\" fill=\"#000000\"";
  driver.onModal = [&](Form& form) {
    // The edit has the focus and its whole text is selected.
    std::string svg = FormPictureSvg(form);
    EXPECT_NE(Part(svg, "txt").find("fill=\"#000080\""), std::string::npos);
    EXPECT_EQ(Drawn(Part(svg, "txt"), "12.5", "#ffffff"), 1);
    EXPECT_EQ(Part(svg, "btnOK").find("stroke-dasharray"), std::string::npos);
    // The default button has its heavy black frame: its top edge is black, not white.
    EXPECT_EQ(Count(Part(svg, "btnOK"), kBlackTop), 1);
    EXPECT_EQ(Count(Part(svg, "btnCancel"), kBlackTop), 0);

    dlg.cancel.SetFocus();
    svg = FormPictureSvg(form);
    EXPECT_NE(Part(svg, "btnCancel").find("stroke-dasharray"), std::string::npos);
    EXPECT_EQ(Count(Part(svg, "btnCancel"), kBlackTop), 1);
    EXPECT_EQ(Count(Part(svg, "btnOK"), kBlackTop), 0);
    EXPECT_EQ(Part(svg, "txt").find("fill=\"#000080\""), std::string::npos);
    form.SetModalResult(ModalResult::Cancel);
  };
  dlg.ShowModal();
}

TEST_F(FormPictureTest, EveryControlIsClippedToItsBoundsInsideItsParent) {
  Form form("TdlgTest", "Test");
  form.SetClientWidth(200);
  form.SetClientHeight(100);
  GroupBox& group = form.Add<GroupBox>("grp");
  group.SetBounds(8, 8, 100, 50);
  group.SetCaption("&Options");
  CheckBox& check = form.Add<CheckBox>("chk", &group);
  check.SetBounds(12, 20, 60, 17);
  check.SetCaption("A caption far too long for its box");
  const std::string svg = FormPictureSvg(form);
  // The check box is a viewport of its own size, inside the group's.
  const std::string part = Part(svg, "grp");
  const std::size_t groupBox = part.find("<svg x=\"8\" y=\"8\" width=\"100\" height=\"50\"");
  const std::size_t checkBox = part.find("<svg x=\"12\" y=\"20\" width=\"60\" height=\"17\"");
  EXPECT_NE(groupBox, std::string::npos);
  EXPECT_NE(checkBox, std::string::npos);
  EXPECT_LT(groupBox, checkBox);
  // The document is the form's outer size, and its client area sits inside the frame.
  const Rect frame = form.FrameSize();
  EXPECT_NE(svg.find("width=\"" + std::to_string(form.Width()) + "\" height=\"" +
                     std::to_string(form.Height()) + "\" viewBox"),
            std::string::npos);
  EXPECT_NE(svg.find("<svg x=\"" + std::to_string(frame.left) + "\" y=\"" +
                     std::to_string(frame.top) + "\" width=\"200\" height=\"100\""),
            std::string::npos);
}

TEST_F(FormPictureTest, ARadioGroupLaysItsItemsOutInColumnsAndMarksTheChosenOne) {
  Form form("TdlgTest", "Test");
  RadioGroup& group = form.Add<RadioGroup>("rgrp");
  group.SetBounds(0, 0, 210, 80);
  group.items = {"One", "Two", "Three"};
  group.columns = 2;
  group.SetItemIndex(2);
  const std::string svg = Part(FormPictureSvg(form), "rgrp");
  // Two rows in the first column, one in the second, each column half the inner width.
  const int line = metrics::TextHeight(group.font);
  const int space = 80 - line - 5, rowHeight = space / 2, top = line + 1 + (space % 2) / 2;
  EXPECT_NE(svg.find("<svg x=\"8\" y=\"" + std::to_string(top) + "\""), std::string::npos);
  EXPECT_NE(svg.find("<svg x=\"8\" y=\"" + std::to_string(top + rowHeight) + "\""),
            std::string::npos);
  EXPECT_NE(
      svg.find("<svg x=\"" + std::to_string(8 + 100) + "\" y=\"" + std::to_string(top) + "\""),
      std::string::npos);
  EXPECT_EQ(Count(svg, "r=\"2\""), 1);  // one dot, in the third item's circle
  EXPECT_EQ(Texts(svg), (std::vector<std::string>{"One", "Two", "Three"}));
  EXPECT_LT(svg.find(">w</tspan>"), svg.find("r=\"2\""));  // after "Two" is drawn
  EXPECT_GT(svg.find(">h</tspan>"), svg.find("r=\"2\""));  // before "Three" is
}

}  // namespace
}  // namespace platform

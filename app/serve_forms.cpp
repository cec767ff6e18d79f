#include "serve_forms.h"

#include <algorithm>
#include <cstdio>
#include <functional>

#include "platform/forms.h"
#include "platform/metrics.h"
#include "platform/picture.h"
#include "platform/text.h"

using nlohmann::json;

namespace {

std::string Hex(platform::Color c) {
  char b[8];
  std::snprintf(b, sizeof b, "#%02x%02x%02x", platform::RedOf(c), platform::GreenOf(c),
                platform::BlueOf(c));
  return b;
}

json FontJson(const platform::Font& font) {
  return {{"name", font.name},     {"size", font.size},           {"bold", font.bold},
          {"italic", font.italic}, {"underline", font.underline}, {"color", Hex(font.color)}};
}

json RectJson(const platform::Rect& r) { return {r.left, r.top, r.Width(), r.Height()}; }

const char* OpKind(platform::DrawOp::Kind kind) {
  using K = platform::DrawOp::Kind;
  switch (kind) {
    case K::FillRect:
      return "fill";
    case K::FrameRect:
      return "frame";
    case K::Line:
      return "line";
    case K::Ellipse:
      return "ellipse";
    case K::Rectangle:
      return "rectangle";
    case K::Text:
      return "text";
    case K::Edge:
      return "edge";
    case K::Picture:
      return "picture";
  }
  return "?";
}

json OpsJson(const std::vector<platform::DrawOp>& ops) {
  json out = json::array();
  for (const auto& op : ops) {
    json o = {{"kind", OpKind(op.kind)},
              {"rect", {op.rect.left, op.rect.top, op.rect.right, op.rect.bottom}},
              {"pen", Hex(op.penColor)},
              {"brush", Hex(op.brushColor)}};
    if (op.kind == platform::DrawOp::Kind::Text) {
      o["text"] = op.text;
      o["font"] = FontJson(op.font);
    }
    if (op.kind == platform::DrawOp::Kind::Edge) o["raised"] = op.raised;
    out.push_back(std::move(o));
  }
  return out;
}

std::vector<std::string> Strings(const platform::StringList& list) { return list.Strings(); }

// The toolkit class a control is drawn as: its own class, or the nearest one it derives from
// (a field class of the plug-in is drawn as the memo or edit it is made of). "Control" when it
// is none of them: the page shows such a control as one it cannot draw.
const char* KindOf(const platform::Control& c) {
  using namespace platform;
  if (dynamic_cast<const SpinEdit*>(&c)) return "SpinEdit";
  if (dynamic_cast<const Memo*>(&c)) return "Memo";
  if (dynamic_cast<const Edit*>(&c)) return "Edit";
  if (dynamic_cast<const Label*>(&c)) return "Label";
  if (dynamic_cast<const GroupBox*>(&c)) return "GroupBox";
  if (dynamic_cast<const Panel*>(&c)) return "Panel";
  if (dynamic_cast<const Button*>(&c)) return "Button";
  if (dynamic_cast<const CheckBox*>(&c)) return "CheckBox";
  if (dynamic_cast<const RadioButton*>(&c)) return "RadioButton";
  if (dynamic_cast<const RadioGroup*>(&c)) return "RadioGroup";
  if (dynamic_cast<const ListBox*>(&c)) return "ListBox";
  if (dynamic_cast<const ComboBox*>(&c)) return "ComboBox";
  if (dynamic_cast<const StringGrid*>(&c)) return "StringGrid";
  if (dynamic_cast<const TabSet*>(&c)) return "TabSet";
  if (dynamic_cast<const Page*>(&c)) return "Page";
  if (dynamic_cast<const PageControl*>(&c)) return "PageControl";
  if (dynamic_cast<const Notebook*>(&c)) return "Notebook";
  if (dynamic_cast<const Image*>(&c)) return "Image";
  if (dynamic_cast<const SpeedButton*>(&c)) return "SpeedButton";
  if (dynamic_cast<const ToolBar*>(&c)) return "ToolBar";
  if (dynamic_cast<const ToolButton*>(&c)) return "ToolButton";
  return "Control";
}

void Describe(const platform::Control& c, json& j, PictureStore& pictures) {
  using namespace platform;
  if (auto* memo = dynamic_cast<const Memo*>(&c)) {
    j["lines"] = memo->Paragraphs();
    j["readOnly"] = memo->readOnly;
    j["wordWrap"] = memo->wordWrap;
    j["maxLength"] = memo->maxLength;
    // A memo no taller than a line and its borders is a one-line field (the plug-in's number
    // and length fields are memos so that their text can be aligned right).
    const int line = (std::max(c.font.size, 1) * 96 / 72) * 6 / 5 + 1;
    j["oneLine"] = c.Height() < 2 * line + 8;
  } else if (auto* spin = dynamic_cast<const SpinEdit*>(&c)) {
    j["readOnly"] = spin->readOnly;
    j["min"] = spin->minValue;
    j["max"] = spin->maxValue;
  } else if (auto* edit = dynamic_cast<const Edit*>(&c)) {
    j["readOnly"] = edit->readOnly;
    j["maxLength"] = edit->maxLength;
    j["password"] = edit->passwordChar != 0;
  } else if (auto* label = dynamic_cast<const Label*>(&c)) {
    j["wordWrap"] = label->wordWrap;
    j["autoSize"] = label->autoSize;
    j["transparent"] = label->transparent;
    // The control its accelerator moves to (else the next one in the tab order).
    j["focusControl"] = label->focusControl ? label->focusControl->Name() : "";
  } else if (auto* button = dynamic_cast<const Button*>(&c)) {
    j["default"] = button->isDefault;
    j["cancel"] = button->isCancel;
    j["glyph"] = pictures.Add(button->glyph);
  } else if (auto* check = dynamic_cast<const CheckBox*>(&c)) {
    j["checked"] = check->Checked();
  } else if (auto* radio = dynamic_cast<const RadioButton*>(&c)) {
    j["checked"] = radio->Checked();
  } else if (auto* group = dynamic_cast<const RadioGroup*>(&c)) {
    j["items"] = group->items;
    j["itemIndex"] = group->ItemIndex();
    j["columns"] = group->columns;
    j["lineHeight"] = metrics::TextHeight(c.font);
  } else if (auto* list = dynamic_cast<const ListBox*>(&c)) {
    j["items"] = Strings(list->items);
    j["itemIndex"] = list->ItemIndex();
    j["multiSelect"] = list->multiSelect;
    json selected = json::array();
    for (int i = 0; i < list->items.Count(); ++i) selected.push_back(list->Selected(i));
    j["selected"] = selected;
  } else if (auto* combo = dynamic_cast<const ComboBox*>(&c)) {
    j["items"] = Strings(combo->items);
    j["itemIndex"] = combo->ItemIndex();
    j["list"] = combo->style == ComboBox::Style::DropDownList;
  } else if (auto* grid = dynamic_cast<const StringGrid*>(&c)) {
    j["cols"] = grid->ColCount();
    j["rows"] = grid->RowCount();
    j["fixedCols"] = grid->fixedCols;
    j["fixedRows"] = grid->fixedRows;
    j["lineWidth"] = grid->gridLineWidth;
    j["editing"] = grid->editing;
    j["col"] = grid->Col();
    j["row"] = grid->Row();
    json widths = json::array(), heights = json::array(), cells = json::array();
    for (int col = 0; col < grid->ColCount(); ++col) widths.push_back(grid->ColWidth(col));
    for (int row = 0; row < grid->RowCount(); ++row) {
      heights.push_back(grid->RowHeight(row));
      json line = json::array();
      for (int col = 0; col < grid->ColCount(); ++col) {
        const auto& drawn = grid->CellDrawing(col, row);
        // What the grid's paint handler drew, or else the cell's text.
        line.push_back({{"text", grid->Cell(col, row)},
                        {"ops", drawn.empty() ? json::array() : OpsJson(drawn)}});
      }
      cells.push_back(std::move(line));
    }
    j["colWidths"] = widths;
    j["rowHeights"] = heights;
    j["cells"] = cells;
  } else if (auto* tabs = dynamic_cast<const TabSet*>(&c)) {
    j["tabs"] = tabs->tabs;
    j["tabIndex"] = tabs->TabIndex();
  } else if (auto* book = dynamic_cast<const Notebook*>(&c)) {
    json pages = json::array();
    for (int i = 0; i < book->PageCount(); ++i) pages.push_back(book->PageAt(i).Caption());
    j["pages"] = pages;
    j["pageIndex"] = book->PageIndex();
    j["showTabs"] = book->showTabs || dynamic_cast<const PageControl*>(&c) != nullptr;
    // The tabs' row; the shown page lies 4 pixels inside the frame below it.
    j["tabHeight"] = metrics::TextHeight(c.font) + 6;
  } else if (auto* image = dynamic_cast<const Image*>(&c)) {
    j["picture"] = pictures.Add(image->GetPicture());
    j["stretch"] = image->stretch;
    j["center"] = image->center;
    j["pictureWidth"] = image->GetPicture().Width();
    j["pictureHeight"] = image->GetPicture().Height();
  } else if (auto* speed = dynamic_cast<const SpeedButton*>(&c)) {
    j["down"] = speed->Down();
    j["glyph"] = pictures.Add(speed->glyph);
    j["flat"] = speed->flat;
  } else if (auto* tool = dynamic_cast<const ToolButton*>(&c)) {
    j["down"] = tool->Down();
    j["separator"] = tool->style == ToolButton::Style::Separator;
    j["imageIndex"] = tool->imageIndex;
  } else if (auto* panel = dynamic_cast<const Panel*>(&c)) {
    j["bevel"] = panel->bevelOuter == Panel::Bevel::Raised    ? "raised"
                 : panel->bevelOuter == Panel::Bevel::Lowered ? "lowered"
                                                              : "none";
  }
}

}  // namespace

std::string MetafileSvg(const platform::Picture& picture) {
  const platform::Metafile* m = picture.AsMetafile();
  if (!m) return "";
  std::string s = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(m->width) +
                  "\" height=\"" + std::to_string(m->height) + "\" viewBox=\"0 0 " +
                  std::to_string(m->width) + " " + std::to_string(m->height) + "\">";
  for (const auto& r : m->records) {
    std::string colour = Hex(r.color);
    switch (r.kind) {
      case platform::MetafileRecord::Kind::Polyline: {
        s += "<polyline fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"" +
             std::to_string(std::max(r.penWidth, 1)) + "\" points=\"";
        for (const auto& p : r.points) s += std::to_string(p.x) + "," + std::to_string(p.y) + " ";
        s += "\"/>";
        break;
      }
      case platform::MetafileRecord::Kind::Arc: {
        if (r.points.size() < 2) break;
        double rx = r.box.Width() / 2.0, ry = r.box.Height() / 2.0;
        // Counter-clockwise on the screen (y down) is the SVG's negative sweep.
        s += "<path fill=\"none\" stroke=\"" + colour + "\" d=\"M " +
             std::to_string(r.points[0].x) + " " + std::to_string(r.points[0].y) + " A " +
             std::to_string(rx) + " " + std::to_string(ry) + " 0 0 0 " +
             std::to_string(r.points[1].x) + " " + std::to_string(r.points[1].y) + "\"/>";
        break;
      }
      case platform::MetafileRecord::Kind::Text:
        if (r.points.empty()) break;
        s += "<text x=\"" + std::to_string(r.points[0].x) + "\" y=\"" +
             std::to_string(r.points[0].y + r.font.size) + "\" font-size=\"" +
             std::to_string(r.font.size) + "\" font-family=\"" + platform::XmlText(r.font.name) +
             ", sans-serif\" fill=\"" + colour + "\">" + platform::XmlText(r.text) + "</text>";
        break;
    }
  }
  return s + "</svg>";
}

std::string PictureStore::Add(const platform::Picture& picture) {
  if (picture.Empty()) return "";
  Entry entry;
  if (const platform::Bitmap* bitmap = picture.AsBitmap()) {
    entry = {"image/bmp", platform::EncodeBmp(*bitmap)};
  } else {
    entry = {"image/svg+xml", MetafileSvg(picture)};
  }
  char name[32];
  std::snprintf(name, sizeof name, "%016zx", std::hash<std::string>{}(entry.bytes));
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.emplace(name, std::move(entry));
  return name;
}

std::optional<PictureStore::Entry> PictureStore::Get(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = entries_.find(name);
  if (it == entries_.end()) return std::nullopt;
  return it->second;
}

json FormModel(platform::Form& form, PictureStore& pictures) {
  json controls = json::array();
  for (platform::Control* c : form.Controls()) {
    json j = {{"name", c->Name()},
              {"type", c->TypeName()},
              {"kind", KindOf(*c)},
              {"parent", c->Parent() ? c->Parent()->Name() : ""},
              {"bounds", RectJson(c->BoundsRect())},
              {"text", c->Text()},
              {"visible", c->VisibleOnForm()},
              {"enabled", c->EnabledOnForm()},
              {"focused", c->Focused()},
              {"focusable", c->Focusable()},
              {"hint", c->showHint ? c->hint : ""},
              {"font", FontJson(c->font)},
              {"color", Hex(c->color)},
              {"align", c->alignment == platform::Alignment::Right    ? "right"
                        : c->alignment == platform::Alignment::Center ? "center"
                                                                      : "left"},
              {"mouse", static_cast<bool>(c->OnMouseDown) || static_cast<bool>(c->OnMouseUp)},
              {"mouseMove", static_cast<bool>(c->OnMouseMove)},
              {"dblclick", static_cast<bool>(c->OnDblClick)},
              {"change", static_cast<bool>(c->OnChange)}};
    Describe(*c, j, pictures);
    controls.push_back(std::move(j));
  }
  platform::Rect frame = form.FrameSize();
  return {{"handle", form.Handle()},
          {"class", form.ClassName()},
          {"caption", form.Caption()},
          {"modal", form.Modal()},
          {"visible", form.Visible()},
          {"bounds", {form.Left(), form.Top(), form.Width(), form.Height()}},
          {"client", {form.ClientWidth(), form.ClientHeight()}},
          {"frame", {frame.left, frame.top, frame.right, frame.bottom}},
          {"toolWindow", form.borderStyle == platform::BorderStyle::ToolWindow ||
                             form.borderStyle == platform::BorderStyle::SizeToolWin},
          {"color", Hex(form.color)},
          {"font", FontJson(form.font)},
          {"showHint", form.showHint},
          {"helpContext", form.helpContext},
          {"active", form.ActiveControl() ? form.ActiveControl()->Name() : ""},
          {"canvas", OpsJson(form.GetCanvas().Ops())},
          {"controls", controls}};
}

namespace {

void MakeStringsUtf8(nlohmann::json& value) {
  if (value.is_string()) {
    value = platform::Utf8Text(value.get_ref<const std::string&>());
  } else if (value.is_structured()) {
    for (auto& item : value) MakeStringsUtf8(item);
  }
}

}  // namespace

std::string PageJson(nlohmann::json value) {
  MakeStringsUtf8(value);
  return value.dump();
}

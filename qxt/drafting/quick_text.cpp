#include "drafting/quick_text.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "core/command.h"
#include "core/forms.h"
#include "core/local_list.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/state.h"
#include "core/two_point.h"
#include "core/units.h"
#include "text/cad_text_settings.h"
#include "text/place_text.h"
#include "text/rtf_builder.h"

namespace qxt {

namespace {

constexpr int kStripHeight = 76;
constexpr int kButtonPanelWidth = 88;
constexpr int kMaxQuickText = 2048;

constexpr const char* kPointPrompt = "Select the point to place text (B2 to quit)...";
constexpr const char* kNextPointPrompt = "Select the next point to place text (B2 to quit)...";

// Where line `index` of a block lies relative to its pick point under `config`'s settings.
HsiPoint LineAt(const HsiPoint& origin, const QXConfig& config, int index) {
  const HsiPoint offset =
      CadLineOffset(config.CTOrientation, config.CTLineSpacing, config.CTSize, index);
  return OffsetInWorld(origin, offset.x, offset.y);
}

// Draws (mode -2) or removes (mode -1) the preview of `lines`, placed by `config`.
void DrawPreview(const std::vector<std::string>& lines, const HsiPoint& origin,
                 const QXConfig& config, const HsiTextAttributes& look, int16_t mode) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const HsiPoint at = LineAt(origin, config, static_cast<int>(i));
    const std::string text = lines[i].substr(0, std::min(lines[i].size(), kCadTextMaxChars));
    HsiDrawText(&at, text.c_str(), &look, mode);
  }
}

// One type-46 object per line at the block's line offsets; the last id becomes the last created
// object.
void CreateLines(const std::vector<std::string>& lines, const HsiPoint& origin, int16_t layer,
                 int16_t colour) {
  const QXConfig& config = Config();
  HsiCadText record = CadTextRecord(config, layer, colour);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const HsiPoint at = LineAt(origin, config, static_cast<int>(i));
    record.x = at.x;
    record.y = at.y;
    SetCadTextLine(record, lines[i]);
    State().LastCreatedObject = HsiObjCreate(HSI_RECORD_CAD_TEXT, &record, HSI_FINAL);
  }
}

TfrmQXQText& Strip() { return *State().forms->frmQXQText; }

// The host's owner code of the local list of one quick edit.
constexpr int16_t kQuickEditOwner = -2;

// Runs at every way out of a quick text command.
struct StatusLineAtEnd {
  ~StatusLineAtEnd() { HsiStatusLineUpdate(); }
};

}  // namespace

HsiTextAttributes PreviewAttributesFrom(const QXConfig& config) {
  HsiTextAttributes look{};
  look.size = config.CTSize;
  look.charSpacing = config.CTCharSpacing;
  look.orientation = config.CTOrientation;
  look.widthFactor = config.CTWidthFactor;
  look.hcode = HorizontalCode(config.CTHJust);
  look.vcode = VerticalCode(config.CTVJust);
  look.font = static_cast<int16_t>(std::clamp<std::int32_t>(+config.CTFont, INT16_MIN, INT16_MAX));
  look.slant =
      static_cast<int16_t>(std::clamp<std::int32_t>(+config.CTSlant, INT16_MIN, INT16_MAX));
  look.charSpacingReal = static_cast<double>(config.CTCharSpacing);
  return look;
}

bool HorizontalItemOf(int16_t code, std::int32_t& item) {
  switch (code) {
    case 0:
      item = 0;
      return true;  // left
    case 2:
      item = 1;
      return true;  // centre
    case 1:
      item = 2;
      return true;  // right
    default:
      return false;
  }
}

bool VerticalItemOf(int16_t code, std::int32_t& item) {
  switch (code) {
    case 4:
      item = 0;
      return true;  // top
    case 2:
      item = 1;
      return true;  // centre
    case 3:
      item = 2;
      return true;  // bottom
    default:
      return false;
  }
}

TfrmQXQText::TfrmQXQText()
    : platform::Form("TfrmQXQText", ""),
      mmText(Add<platform::Memo>("mmText")),
      mmPrevious(Add<platform::Memo>("mmPrevious")),
      pnlButtons(Add<platform::Panel>("pnlButtons")),
      btnOK(Add<platform::Button>("btnOK", &pnlButtons)),
      btnClose(Add<platform::Button>("btnClose", &pnlButtons)),
      btnSettings(Add<platform::Button>("btnSettings", &pnlButtons)) {
  helpContext = 119;
  borderStyle = platform::BorderStyle::None;
  stayOnTop = true;
  SetBounds(0, 0, 640, kStripHeight);

  mmText.maxLength = kMaxQuickText;
  mmText.wordWrap = false;
  mmText.scrollBars = platform::ScrollBars::Both;
  mmText.tabStop = true;
  mmPrevious.wordWrap = false;
  mmPrevious.Hide();

  btnOK.SetCaption("OK");
  btnOK.isDefault = true;
  btnOK.modalResult = platform::ModalResult::OK;
  btnClose.SetCaption("Close");
  btnClose.isCancel = true;
  btnClose.modalResult = platform::ModalResult::Cancel;
  btnSettings.SetCaption("&Settings");
  btnOK.SetBounds(6, 2, 75, 22);
  btnClose.SetBounds(6, 27, 75, 22);
  btnSettings.SetBounds(6, 52, 75, 22);

  OnActivate = [this](platform::Form& sender) { FormActivate(sender); };
  mmText.OnChange = [this](platform::Control& sender) { mmTextChange(sender); };
  btnSettings.OnClick = [this](platform::Control& sender) { btnSettingsClick(sender); };
  FormCreate();
}

void TfrmQXQText::FormCreate() {
  const platform::Point origin = HostClientOrigin();
  const platform::Rect client = HostClientRect();
  SetBounds(origin.x, origin.y, client.Width(), kStripHeight);
  pnlButtons.SetBounds(ClientWidth() - kButtonPanelWidth, 0, kButtonPanelWidth, ClientHeight());
  const int memoWidth = std::max(0, ClientWidth() - kButtonPanelWidth - 4);
  mmText.SetBounds(0, 0, memoWidth, ClientHeight());
  mmPrevious.SetBounds(0, 0, memoWidth, ClientHeight());
}

void TfrmQXQText::FormActivate(platform::Form&) {
  mmText.SetFocus();
  mmText.SelectAll();
}

void TfrmQXQText::mmTextChange(platform::Control&) {
  const QXConfig& config = Config();
  DrawPreview(mmPrevious.Lines(), quickPoint, config, previewAttributes, HSI_DRAW_ERASE);
  const std::vector<std::string> lines = mmText.Lines();
  DrawPreview(lines, quickPoint, config, previewAttributes, HSI_DRAW_HIGHLIGHT);
  mmPrevious.SetText(mmText.Text());
}

void TfrmQXQText::btnSettingsClick(platform::Control&) {
  spareConfig = Config();
  TdlgCADTextSettings& settings = *State().forms->dlgCADTextSettings;
  const std::vector<std::string> lines = mmText.Lines();
  // Cancelled, the preview already shows the lines as they are: drawing them again would leave
  // a second image that nothing removes.
  if (settings.ShowModal() == platform::ModalResult::OK) {
    // The lines were drawn where the old settings put them, in the old look.
    DrawPreview(lines, quickPoint, spareConfig, previewAttributes, HSI_DRAW_ERASE);
    previewAttributes = PreviewAttributesFrom(Config());
    DrawPreview(lines, quickPoint, Config(), previewAttributes, HSI_DRAW_HIGHLIGHT);
    mmPrevious.SetText(mmText.Text());
  }
  mmText.SetFocus();
}

void TfrmQXQText::ClearTexts() {
  // The preview memo first, so that emptying the text removes nothing it never drew.
  mmPrevious.Clear();
  mmText.Clear();
  mmPrevious.Clear();
}

void TfrmQXQText::ErasePreview() {
  DrawPreview(mmPrevious.Lines(), quickPoint, Config(), previewAttributes, HSI_DRAW_ERASE);
  mmPrevious.Clear();
}

}  // namespace qxt

QXT_EXPORT void QXQText() {
  using namespace qxt;
  if (!ToolsReady()) return;
  StatusLineAtEnd statusLine;
  TfrmQXQText& strip = Strip();
  strip.ClearTexts();
  AnnounceCommand("QX Quick Text");

  HsiPoint point{0, 0};
  int16_t status = HSI_POINT_CANCELLED;
  HsiGetPoint(kPointPrompt, &point, &status, &State().MenuArgY);
  while (status == HSI_POINT_GIVEN) {
    strip.quickPoint = point;
    strip.previewAttributes = PreviewAttributesFrom(Config());
    HsiPutMsg("Enter text to draw...");
    const int result = strip.ShowModal();
    // The preview goes; the text stays in the strip for the next point.
    strip.ErasePreview();
    if (result != platform::ModalResult::OK) break;
    CreateLines(strip.mmText.Lines(), strip.quickPoint, HsiGetActLayer(), HsiGetCurColor());
    status = HSI_POINT_CANCELLED;
    HsiGetPoint(kNextPointPrompt, &point, &status, &State().MenuArgY);
  }
}

QXT_EXPORT void QXQEdit() {
  using namespace qxt;
  if (!ToolsReady()) return;
  StatusLineAtEnd statusLine;
  AnnounceCommand("QX Quick Edit");
  TfrmQXQText& strip = Strip();
  strip.ClearTexts();
  LocalList texts(kQuickEditOwner);

  const int32_t count = HsiOslCount(0);
  if (count <= 0) return;
  for (int32_t j = 0; j < count; ++j) {
    HsiOslEntry entry{};
    if (HsiOslItem(0, j, &entry) != HSI_SUCCESS) {
      ShowError(
          "Tracelon encountered an error while scanning the selected objects.\r\nObject number: " +
          std::to_string(j));
      return;
    }
    // Listed and selected again without a fresh highlight: the user's selection shows them.
    if (HsiObjType(entry.id) == HSI_OBJ_TEXT) HsiOslAdd(texts.number(), &entry, HSI_FALSE);
  }
  const int32_t textCount = HsiOslCount(texts.number());
  if (textCount <= 0) return;

  // The first text starts the block; it alone stays selected until its lines are found.
  HsiOslClear(0);
  HsiOslEntry first{};
  HsiOslItem(texts.number(), 0, &first);
  HsiOslAdd(0, &first, HSI_FALSE);
  HsiObjectInfo info{};
  HsiObjInfo(first.id, &info);
  const HsiTextInfo head = info.text;
  strip.quickPoint = HsiPoint{head.head.x, head.head.y};

  QXConfig& config = Config();
  HsiTextAttributes& look = strip.previewAttributes;
  look.size = head.size;
  look.charSpacing = head.charSpacing;
  look.orientation = head.orientation;
  look.widthFactor = head.widthFactor;
  look.hcode = head.hcode;
  look.vcode = head.vcode;
  look.font = head.font;
  look.slant = head.slant;
  look.charSpacingReal = static_cast<double>(head.charSpacing);
  config.CTSize = head.size;
  config.CTCharSpacing = head.charSpacing;
  config.CTOrientation = head.orientation;
  config.CTWidthFactor = head.widthFactor;
  std::int32_t item = 0;
  if (HorizontalItemOf(head.hcode, item)) config.CTHJust = item;
  if (VerticalItemOf(head.vcode, item)) config.CTVJust = item;
  config.CTFont = head.font;
  config.CTSlant = head.slant;

  auto textOf = [](const HsiTextInfo& text) {
    const std::size_t length = std::min<std::size_t>(
        static_cast<std::size_t>(std::max<int16_t>(text.length, 0)), kCadTextMaxChars);
    return std::string(text.text, strnlen(text.text, length));
  };
  std::vector<std::string> lines{textOf(head)};
  // The rebuilt block keeps the layer and colour of its first line: a text read later may be
  // another note caught by the selection.
  const int16_t layer = head.head.layer;
  const int16_t colour = head.head.colour;

  // The block's further lines lie exactly below each other, each where placement puts line i
  // (rounded per line, as placement rounds), in selection order.
  const QXConfig blockConfig = config;
  for (int32_t j = 1; j < textCount; ++j) {
    HsiOslEntry entry{};
    HsiOslItem(texts.number(), j, &entry);
    HsiObjectInfo other{};
    HsiObjInfo(entry.id, &other);
    const HsiPoint step =
        CadLineOffset(0.0, blockConfig.CTLineSpacing, head.size, static_cast<int>(lines.size()));
    const HsiPoint expected = OffsetInWorld(strip.quickPoint, step.x, step.y);
    if (other.head.x == expected.x && other.head.y == expected.y) {
      lines.push_back(textOf(other.text));
      HsiOslAdd(0, &entry, HSI_FALSE);
    } else {
      HsiEditDraw(entry.id, HSI_DRAW_NORMAL);
    }
  }
  texts.Free();

  strip.mmPrevious.Clear();
  strip.mmText.SetLines(lines);
  HsiPutMsg("Edit the selected text...");
  const int result = strip.ShowModal();
  strip.ErasePreview();
  if (result == platform::ModalResult::OK) {
    HsiObjDelete(0);
    CreateLines(strip.mmText.Lines(), strip.quickPoint, layer, colour);
  } else {
    HsiOslEntry entry{};
    HsiOslScanInit(0);
    while (HsiOslScan(0, &entry) == HSI_SUCCESS) HsiEditDraw(entry.id, HSI_DRAW_NORMAL);
    HsiOslClear(0);
  }
}

QXT_EXPORT void QXFlexText() {
  using namespace qxt;
  if (!ToolsReady()) return;
  HsiOslEntry entry{};
  if (HsiOslCount(0) > 0 && HsiOslItem(0, 0, &entry) == HSI_SUCCESS &&
      HsiObjType(entry.id) == HSI_OBJ_TEXT) {
    QXQEdit();
  } else {
    QXQText();
  }
}

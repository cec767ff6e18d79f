#include "organise/reference_manager.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <vector>

#include "core/command.h"
#include "core/form_layout.h"
#include "core/forms.h"
#include "core/local_list.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/paths.h"
#include "core/state.h"
#include "core/symbols.h"
#include "core/two_point.h"
#include "hsi/hsi.h"
#include "organise/reference_edit.h"
#include "organise/reference_settings.h"
#include "platform/files.h"
#include "platform/system.h"

namespace qxt {

namespace {

constexpr const char* kIniFile = "tracelon.ini";
constexpr const char* kIniSection = "Colors";
constexpr const char* kIniKey = "0";
constexpr const char* kIniDefault = "0 0 0";

// Selection lists: the owner hints of the definition and placement lists.
constexpr std::int16_t kDefineListOwner = -2;
constexpr std::int16_t kPlaceListOwner = 0;
// Select-by-point: pick distance 2.
constexpr std::int16_t kPickAperture = 2;

static_assert(sizeof(HsiCadText) == sizeof(AnnotationItem),
              "an annotation item is a CAD text record with a relative vertex");

platform::Button& MakeButton(platform::Form& form, const char* name, int top, const char* caption,
                             int modalResult) {
  platform::Button& button = Make<platform::Button>(form, name, nullptr, 376, top, 84, 25, caption);
  button.modalResult = modalResult;
  return button;
}

std::string Cut(std::string text, std::size_t chars) {
  if (text.size() > chars) text.resize(chars);
  return text;
}

// The CAD text record of an item with `answer` as its text, its vertex at `vertex`.
HsiCadText TextRecord(const AnnotationItem& item, const std::string& answer, HsiPoint vertex) {
  AnnotationItem copy = item;
  SetItemText(copy, answer);
  HsiCadText record{};
  std::memcpy(&record, &copy, sizeof record);
  record.x = vertex.x;
  record.y = vertex.y;
  return record;
}

// `origin` plus the item's offsets (held inside the world), turned about `origin` by `rotation`.
HsiPoint ItemVertex(const AnnotationItem& item, HsiPoint origin, double rotation) {
  HsiPoint vertex = OffsetInWorld(origin, item.dx, item.dy);
  HsiRotatePoint(&vertex, &origin, rotation);
  return vertex;
}

void AddToList(std::int16_t list, std::int32_t id) {
  HsiOslEntry entry{};
  entry.id = id;
  HsiOslAdd(list, &entry, HSI_FALSE);
}

// What a placement uses of the settings dialog.
struct PlaceSettings {
  double rotation = 0;
  double scaleX = 1.0;
  double scaleY = 1.0;
  bool storedLayers = false;
};

PlaceSettings ReadSettings(TdlgRefSettings& settings) {
  PlaceSettings s;
  s.rotation = settings.Rotation();
  s.scaleX = settings.chkMirrorX.Checked() ? -1.0 : 1.0;
  s.scaleY = settings.chkMirrorY.Checked() ? -1.0 : 1.0;
  s.storedLayers = settings.StoredLayers();
  return s;
}

// The image that follows the cursor while the placement point is asked for: the symbol and the
// texts made as temporary objects about the origin, turned into the cursor and deleted again.
// The first form (before the settings were changed) shows the symbol unmirrored and texts that
// do not turn with the symbol horizontal; the second shows the mirroring, the texts on their own
// layers and at their own orientation.
void BuildDragImage(std::int16_t list, std::int32_t symbol, const TRefObject& object,
                    const std::array<std::string, kMaxAnnotations>& answers, const PlaceSettings& s,
                    bool secondForm) {
  const HsiPoint origin{0, 0};
  const double rho = s.rotation;
  const double scaleX = secondForm ? s.scaleX : 1.0;
  const double scaleY = secondForm ? s.scaleY : 1.0;
  const std::int16_t activeLayer = HsiGetActLayer();
  AddToList(list,
            HsiPutInstance(symbol, &origin, scaleX, scaleY, 1.0, rho, rho, rho, HSI_TEMPORARY));
  for (int k = 0; k < object.Count; ++k) {
    const AnnotationItem& item = object.Items[k];
    HsiCadText record = TextRecord(item, answers[k], ItemVertex(item, origin, rho));
    record.layer = (secondForm || s.storedLayers) ? item.layer : activeLayer;
    if (object.RotateFlag) {
      record.orientation = NormalisedAngle(rho + item.orientation);
    } else {
      record.orientation = secondForm ? NormalisedAngle(item.orientation) : 0.0;
    }
    AddToList(list, HsiObjCreate(HSI_RECORD_CAD_TEXT, &record, HSI_TEMPORARY));
  }
  HsiMakeCursor(list, HSI_CURSOR_DRAG, &origin, 0, &origin, 0);
  HsiObjDelete(list);
  HsiOslClear(list);
}

// Asks for each item's text in turn. False (and nothing more asked) at the first Cancel; the
// answers given before it are kept.
bool AskAnswers(const TRefObject& object, std::array<std::string, kMaxAnnotations>& answers) {
  for (int k = 0; k < object.Count; ++k) {
    std::string value = answers[k];
    if (!platform::InputQuery(kAnnotationCaption, object.Prompts[k], value)) return false;
    answers[k] = Cut(value, kAnnotationTextChars);
  }
  return true;
}

// Creates the symbol instance and its texts at `point`. The texts are turned with the symbol
// about the point but never mirrored, and always read upright.
void PlaceAt(HsiPoint point, std::int32_t symbol, const TRefObject& object,
             const std::array<std::string, kMaxAnnotations>& answers, const PlaceSettings& s) {
  const std::int16_t activeLayer = HsiGetActLayer();
  const double rho = s.rotation;
  if (s.storedLayers) HsiSetActLayer(object.SymbolLayer);
  HsiPutInstance(symbol, &point, s.scaleX, s.scaleY, 1.0, rho, rho, rho, HSI_FINAL);
  for (int k = 0; k < object.Count; ++k) {
    const AnnotationItem& item = object.Items[k];
    HsiCadText record = TextRecord(item, answers[k], ItemVertex(item, point, rho));
    record.layer = s.storedLayers ? item.layer : activeLayer;
    record.orientation = UprightOrientation(rho, item.orientation, object.RotateFlag);
    HsiObjCreate(HSI_RECORD_CAD_TEXT, &record, HSI_FINAL);
  }
  HsiSetActLayer(activeLayer);
}

std::string SymbolNameOf(const HsiObjectInfo& info) {
  return std::string(info.symbol.name, strnlen(info.symbol.name, sizeof info.symbol.name));
}

// Whether the name of the symbol picked first in `list` fits the record; a longer name, cut,
// would name another file and could never be placed, so it is refused with a warning.
bool SymbolNameFits(std::int16_t list) {
  HsiOslEntry entry{};
  HsiOslItem(list, 0, &entry);
  HsiObjectInfo symbol{};
  HsiObjInfo(entry.id, &symbol);
  const std::string name = SymbolNameOf(symbol);
  if (name.size() <= kRefSymbolChars) return true;
  ShowWarning(SymbolNameTooLong(name));
  return false;
}

std::string TextOf(const HsiObjectInfo& info) {
  return std::string(info.text.text, strnlen(info.text.text, sizeof info.text.text));
}

// The item of a picked text: its record with the vertex made relative to the symbol's insertion
// point and `text` as its content.
AnnotationItem ItemFromText(const HsiObjectInfo& text, HsiPoint insertion,
                            const std::string& content) {
  AnnotationItem item{};
  // Two points of the world can lie further apart than 32 bits reach; the record keeps what fits.
  auto difference = [](std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(std::int64_t{a} - b, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()));
  };
  item.dx = difference(text.head.x, insertion.x);
  item.dy = difference(text.head.y, insertion.y);
  item.layer = text.head.layer;
  item.colour = text.head.colour;
  item.size = text.text.size;
  item.charSpacing = text.text.charSpacing;
  item.orientation = text.text.orientation;
  item.widthFactor = text.text.widthFactor;
  item.hcode = text.text.hcode;
  item.vcode = text.text.vcode;
  item.font = text.text.font;
  item.slant = text.text.slant;
  SetItemText(item, content);
  return item;
}

}  // namespace

std::string SymbolNameTooLong(const std::string& name) {
  return "The symbol name " + name + " is too long (at most " + std::to_string(kRefSymbolChars) +
         " characters).";
}

std::string AnnotationPickPrompt(int n) {
  return "Select annotation item " + std::to_string(n) + ", B2 when done";
}

bool ParseIniColour(const std::string& value, platform::Color& colour) {
  int parts[3] = {};
  for (int n = 1; n <= 3; ++n) {
    const std::string field = GetField(n, value, ' ');
    if (field.empty() || field.size() > 3) return false;
    for (char c : field) {
      if (c < '0' || c > '9') return false;
    }
    parts[n - 1] = std::stoi(field);
    if (parts[n - 1] > 255) return false;
  }
  colour = static_cast<platform::Color>(parts[0] + parts[1] * 256 + parts[2] * 65536);
  return true;
}

TdlgQXReference::TdlgQXReference()
    : platform::Form("TdlgQXReference", "QX Reference"),
      lblNames(
          Make<platform::Label>(*this, "lblNames", nullptr, 8, 8, 180, 16, "&Reference Objects:")),
      lbxNames(Make<platform::ListBox>(*this, "lbxNames", nullptr, 8, 26, 180, 200)),
      lblPreview(Make<platform::Label>(*this, "lblPreview", nullptr, 196, 8, 60, 16, "Preview")),
      pnlPreview(Make<platform::Panel>(*this, "pnlPreview", nullptr, 196, 26, 172, 200,
                                       kPreviewNotAvailable)),
      imgPreview(Make<platform::Image>(*this, "imgPreview", &pnlPreview, 2, 2, 168, 196)),
      btnNew(MakeButton(*this, "btnNew", 26, "&New", kRefManagerNew)),
      btnEdit(MakeButton(*this, "btnEdit", 56, "&Edit", platform::ModalResult::None)),
      btnDelete(MakeButton(*this, "btnDelete", 86, "&Delete", platform::ModalResult::None)),
      btnPlace(MakeButton(*this, "btnPlace", 116, "&Place", platform::ModalResult::OK)),
      btnCancel(MakeButton(*this, "btnCancel", 146, "Close", platform::ModalResult::Cancel)),
      btnHelp(MakeButton(*this, "btnHelp", 176, "&Help", platform::ModalResult::None)) {
  helpContext = 107;
  showHint = true;
  borderStyle = platform::BorderStyle::Dialog;
  position = platform::FormPosition::ScreenCenter;
  SetClientWidth(468);
  SetClientHeight(236);

  lblNames.focusControl = &lbxNames;
  lbxNames.items.sorted = true;
  imgPreview.center = true;
  btnPlace.isDefault = true;
  btnCancel.isCancel = true;
  btnHelp.kind = platform::Button::Kind::Help;

  lbxNames.OnClick = [this](platform::Control&) { UpdateRefObject(); };
  lbxNames.OnDblClick = [this](platform::Control& sender) { lbxNamesDblClick(sender); };
  btnEdit.OnClick = [this](platform::Control& sender) { btnEditClick(sender); };
  btnDelete.OnClick = [this](platform::Control& sender) { btnDeleteClick(sender); };

  ReadPreviewColour();
}

void TdlgQXReference::ReadPreviewColour() {
  const std::string iniPath = State().HostDirectory + kIniFile;
  const std::string value =
      platform::GetPrivateProfileString(kIniSection, kIniKey, kIniDefault, iniPath);
  platform::Color colour = platform::colors::Black;
  if (!ParseIniColour(value, colour)) {
    colour = platform::colors::Black;
    colourProblem_ = "The drawing background colour \"" + value + "\" in " + iniPath +
                     " (section [" + kIniSection + "], key " + kIniKey +
                     ") is not three whole numbers from 0 to 255 separated by single "
                     "spaces.\r\nReference previews are shown on black.";
  }
  pnlPreview.color = colour;
  // White text on a black background.
  if (colour == 0) pnlPreview.font.color = platform::colors::White;
  pnlPreview.SetCaption("");
}

void TdlgQXReference::ReportColourProblem() {
  if (colourProblem_.empty()) return;
  const std::string problem = colourProblem_;
  colourProblem_.clear();
  ShowWarning(problem);
}

std::string TdlgQXReference::RefDir() {
  return JoinPath(Config().BaseDirectory.Get(), kRefFolderName);
}

TRefObject* TdlgQXReference::Selected() const {
  const int index = lbxNames.ItemIndex();
  if (index < 0 || index >= lbxNames.items.Count()) return nullptr;
  return lbxNames.items.ObjectAs<TRefObject>(index);
}

void TdlgQXReference::SelectObject(const TRefObject* object) {
  for (int i = 0; i < lbxNames.items.Count(); ++i) {
    if (lbxNames.items.Object(i) == object) {
      lbxNames.SetItemIndex(i);
      return;
    }
  }
  lbxNames.SetItemIndex(-1);
}

bool TdlgQXReference::LoadRefObjects() {
  lbxNames.ClearItems();
  deletedPreviews_.clear();
  const std::string path = JoinPath(RefDir(), kRefFileName);
  std::vector<NamedRefObject> objects;
  int refused = 0;
  std::string error;
  if (!ReadRefFile(path, objects, refused, error)) {
    ShowError("The following error occurred opening/reading " + path + ":" + "\r\n" + error);
    return false;
  }
  for (NamedRefObject& named : objects) {
    lbxNames.items.Add(named.name, std::make_unique<TRefObject>(std::move(named.object)));
  }
  keepReadFile_ = refused > 0;
  if (refused > 0) {
    ShowWarning(
        std::to_string(refused) + " reference object(s) in " + path +
        " could not be read (their annotation item count is not 0 to 3) and were left out.\r\n"
        "The file as it is now is kept as " +
        JoinPath(RefDir(), kRefBackupName) + " when the list is next saved.");
  }
  return true;
}

bool TdlgQXReference::SaveRefObjects() {
  const std::string path = JoinPath(RefDir(), kRefFileName);
  if (lbxNames.items.Count() == 0) {
    // A file with unreadable records was promised to be kept as the backup.
    const bool removed =
        keepReadFile_ ? platform::RenameFileReplacing(path, JoinPath(RefDir(), kRefBackupName))
                      : platform::DeleteFile(path);
    if (!removed) ShowWarning("Unable to delete the file: " + path);
    // With no file left the library is as the list says (there may have been none to delete).
    if (platform::FileExists(path)) return false;
  } else {
    std::vector<RefRecord> records;
    for (int i = 0; i < lbxNames.items.Count(); ++i) {
      const TRefObject* object = lbxNames.items.ObjectAs<TRefObject>(i);
      if (object != nullptr) records.push_back(MakeRefRecord(lbxNames.items[i], *object));
    }
    if (const std::optional<std::string> error = WriteRefFile(RefDir(), records)) {
      ShowError("The following error occurred attempting to save the reference items list to \r\n" +
                path + ":" + "\r\n" + *error);
      return false;
    }
  }
  RefsChanged = false;
  keepReadFile_ = false;
  // The saved list no longer names these pictures (a failure to delete one is ignored).
  for (const std::string& preview : deletedPreviews_)
    platform::DeleteFile(JoinPath(RefDir(), preview));
  deletedPreviews_.clear();
  return true;
}

void TdlgQXReference::UpdateRefObject() {
  const TRefObject* object = Selected();
  if (object == nullptr) {
    pnlPreview.SetCaption("");
    imgPreview.Hide();
    btnEdit.SetEnabled(false);
    btnDelete.SetEnabled(false);
    return;
  }
  btnEdit.SetEnabled(true);
  btnDelete.SetEnabled(true);
  if (object->Preview == kNoPreview) {
    pnlPreview.SetCaption(kPreviewNotAvailable);
    imgPreview.Hide();
    return;
  }
  imgPreview.Show();
  try {
    imgPreview.LoadFromFile(JoinPath(RefDir(), object->Preview));
    pnlPreview.SetCaption("");
  } catch (const std::exception&) {
    pnlPreview.SetCaption(kPreviewNotAvailable);
    imgPreview.Hide();
  }
}

void TdlgQXReference::DefineRefObject() {
  LocalList local(kDefineListOwner);
  const std::int16_t list = local.number();
  HsiPoint point{};
  if (HsiSelectbyPoint(list, kSelectSymbolPrompt, kPickAperture, HSI_FALSE, HSI_TRUE, &point,
                       HSI_FILTER_SYMBOL) == HSI_SUCCESS &&
      SymbolNameFits(list)) {
    HsiObjDraw(list, HSI_DRAW_HIGHLIGHT);
    std::array<HsiObjectInfo, kMaxAnnotations> texts{};
    int count = 0;
    while (count < kMaxAnnotations) {
      if (HsiSelectbyPoint(list, AnnotationPickPrompt(count + 1).c_str(), kPickAperture, HSI_FALSE,
                           HSI_TRUE, &point, HSI_FILTER_TEXT) != HSI_SUCCESS) {
        break;
      }
      HsiOslEntry entry{};
      HsiOslItem(list, count + 1, &entry);
      HsiObjDraw(list, HSI_DRAW_HIGHLIGHT);
      HsiObjInfo(entry.id, &texts[count]);
      ++count;
    }

    TdlgRefEdit& edit = *State().forms->dlgRefEdit;
    HsiEditCopy(list);
    edit.pnlPreview.color = pnlPreview.color;
    edit.imgPreview.SetPicture(platform::ClipboardPicture());
    edit.txtObjectName.SetText(kNewObjectName);
    edit.ShowItems(count);
    for (int k = 0; k < count; ++k) {
      edit.Prompt(k).SetText("Text " + std::to_string(k + 1));
      edit.Default(k).SetText(Cut(TextOf(texts[k]), kAnnotationTextChars));
    }

    if (edit.ShowModal() == platform::ModalResult::OK) {
      HsiOslEntry entry{};
      HsiOslItem(list, 0, &entry);
      HsiObjectInfo symbol{};
      HsiObjInfo(entry.id, &symbol);
      const HsiPoint insertion{symbol.head.x, symbol.head.y};

      auto object = std::make_unique<TRefObject>();
      object->Symbol = Cut(SymbolNameOf(symbol), kRefSymbolChars);
      object->SymbolLayer = symbol.head.layer;
      object->Preview = Cut(MakePreviewName(RefDir(), object->Symbol), kRefSymbolChars);
      try {
        edit.imgPreview.SaveToFile(JoinPath(RefDir(), object->Preview));
      } catch (const std::exception&) {
        ShowError(kPreviewSaveError);
        object->Preview = kNoPreview;
      }
      object->RotateFlag = !edit.chkAlwaysHorizontal.Checked();
      object->Count = count;
      for (int k = 0; k < count; ++k) {
        object->Prompts[k] = Cut(edit.Prompt(k).Text(), kRefPromptChars);
        // The default is what the field shows when OK is pressed: the picked text, unless the
        // user changed it there.
        object->Items[k] = ItemFromText(texts[k], insertion, edit.Default(k).Text());
      }
      const TRefObject* added = object.get();
      lbxNames.items.Add(Cut(edit.txtObjectName.Text(), kRefNameChars), std::move(object));
      SelectObject(added);
      RefsChanged = true;
      UpdateRefObject();
    }
  }
  local.Free();
  HsiPutMsg(kRefDefinedMessage);
}

void TdlgQXReference::lbxNamesDblClick(platform::Control&) {
  SetModalResult(platform::ModalResult::OK);
}

void TdlgQXReference::btnEditClick(platform::Control&) {
  TRefObject* object = Selected();
  if (object == nullptr) {
    ShowWarning(kSelectFirstWarning);
    return;
  }
  TdlgRefEdit& edit = *State().forms->dlgRefEdit;
  edit.pnlPreview.color = pnlPreview.color;
  edit.imgPreview.SetPicture({});
  try {
    edit.imgPreview.LoadFromFile(JoinPath(RefDir(), object->Preview));
  } catch (const std::exception&) {
    ShowWarning(kPreviewLoadWarning);
  }
  edit.txtObjectName.SetText(lbxNames.items[lbxNames.ItemIndex()]);
  edit.ShowItems(object->Count);
  for (int k = 0; k < object->Count; ++k) {
    edit.Prompt(k).SetText(object->Prompts[k]);
    edit.Default(k).SetText(ItemText(object->Items[k]));
  }
  edit.chkAlwaysHorizontal.SetChecked(!object->RotateFlag);
  if (edit.ShowModal() != platform::ModalResult::OK) return;

  lbxNames.items.Set(lbxNames.ItemIndex(), Cut(edit.txtObjectName.Text(), kRefNameChars));
  SelectObject(object);  // a new name may move the item in the sorted list
  for (int k = 0; k < object->Count; ++k) {
    object->Prompts[k] = Cut(edit.Prompt(k).Text(), kRefPromptChars);
    SetItemText(object->Items[k], edit.Default(k).Text());
  }
  object->RotateFlag = !edit.chkAlwaysHorizontal.Checked();
  RefsChanged = true;
}

void TdlgQXReference::btnDeleteClick(platform::Control&) {
  const int index = lbxNames.ItemIndex();
  const TRefObject* object = Selected();
  if (object == nullptr) return;
  // Owned by the host's window, the application window of the library's forms.
  if (platform::MessageBox(kDeleteQuestion, "QX Reference", platform::MsgIcon::None,
                           platform::MsgButtons::YesNo) != platform::MsgResult::Yes) {
    return;
  }
  // The picture goes when the list without the object is saved: until then the file on disk
  // still names it.
  if (object->Preview != kNoPreview) deletedPreviews_.push_back(object->Preview);
  lbxNames.SetItemIndex(-1);
  lbxNames.DeleteItem(index);
  UpdateRefObject();
  RefsChanged = true;
}

bool TdlgQXReference::PlaceRefObject() {
  const TRefObject* selected = Selected();
  if (selected == nullptr) {
    ShowWarning(kSelectToPlaceWarning);
    return true;
  }
  const TRefObject& object = *selected;
  const std::int32_t symbol = FindOrLoadSymbol(object.Symbol);
  if (symbol == HSI_FAILURE) {
    ShowWarning("Could not find symbol " + object.Symbol + "\r\n" +
                "Please check your symbol path settings under Options/Path");
    return true;
  }
  TdlgRefSettings& settings = *State().forms->dlgRefSettings;
  settings.Reset(Config().RefLayersOption);

  const LocalList local(kPlaceListOwner);
  const std::int16_t list = local.number();
  std::array<std::string, kMaxAnnotations> answers;
  for (int k = 0; k < object.Count; ++k) answers[k] = ItemText(object.Items[k]);
  BuildDragImage(list, symbol, object, answers, ReadSettings(settings), false);

  bool showManager = false;
  for (;;) {
    HsiPoint point{};
    std::int16_t status = HSI_POINT_CANCELLED;
    std::int16_t keys = 0;
    // A request the host fails ends the placement like a cancel, so it cannot repeat forever.
    if (HsiGetPoint(kPlacePrompt, &point, &status, &keys) == HSI_FAILURE) {
      status = HSI_POINT_CANCELLED;
    }
    if (status == HSI_POINT_CANCELLED) {
      HsiDeleteCursor();
      showManager = false;
      break;
    }
    if (status == HSI_POINT_GIVEN) {
      if (AskAnswers(object, answers)) {
        PlaceAt(point, symbol, object, answers, ReadSettings(settings));
      }
      continue;
    }
    if (status != HSI_POINT_BUTTON2) continue;

    const int result = settings.ShowModal();
    if (result == platform::ModalResult::OK) {
      HsiDeleteCursor();
      Config().RefLayersOption = settings.StoredLayers() ? 1 : 0;
      BuildDragImage(list, symbol, object, answers, ReadSettings(settings), true);
    } else if (result == platform::ModalResult::Cancel || result == kRefSettingsNew) {
      HsiDeleteCursor();
      showManager = result == kRefSettingsNew;
      break;
    }
  }
  return showManager;
}

}  // namespace qxt

QXT_EXPORT void QXReference() {
  using namespace qxt;
  // Entry check, interlock (code 15) and the announcement; every way out updates the status line
  // and releases the interlock.
  ToolRun run(kReferenceTool);
  if (!run.Started()) return;
  SwitchHintsOn();

  TdlgQXReference& dialog = *State().forms->dlgQXReference;
  dialog.ReportColourProblem();
  const std::string refDir = TdlgQXReference::RefDir();
  if (!platform::DirectoryExists(refDir)) platform::ForceDirectories(refDir);
  // Changes that could not be saved at the last close are newer than the file: not read over.
  if (!dialog.RefsChanged && platform::FileExists(JoinPath(refDir, kRefFileName)) &&
      !dialog.LoadRefObjects())
    return;

  dialog.lbxNames.SetItemIndex(-1);
  dialog.UpdateRefObject();
  for (;;) {
    HsiPutMsg(kRefManagerMessage);
    const int result = dialog.ShowModal();
    if (result == platform::ModalResult::OK && dialog.PlaceRefObject()) continue;
    if (result == kRefManagerNew) {
      dialog.DefineRefObject();
      continue;
    }
    if (!dialog.RefsChanged || dialog.SaveRefObjects()) break;
    // The save failed: the manager comes back with the list as edited, and its next close saves
    // again, unless the drafter chooses to leave now.
    if (platform::MessageBox(kCloseUnsavedQuestion, "QX Reference", platform::MsgIcon::Question,
                             platform::MsgButtons::YesNo) == platform::MsgResult::Yes)
      break;
  }
}

#include "organise/plan_dialog.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/command.h"
#include "core/form_layout.h"
#include "core/forms.h"
#include "core/messages.h"
#include "core/paths.h"
#include "core/state.h"
#include "hsi/hsi.h"
#include "platform/files.h"

namespace qxt {

namespace {

constexpr int kHelpContext = 106;
constexpr int kMargin = 8;
constexpr int kGap = 3;  // above the plan types, and between the three parts
constexpr int kColumnWidth = 190;
constexpr int kItemHeight = 20;
constexpr int kGroupCaptionHeight = 20;
constexpr int kOptionsHeight = 44;
constexpr int kPanelHeight = 41;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kMinClientWidth = 3 * (kButtonWidth + kMargin) + kMargin;

TdlgQXPlan& Dialog() { return *State().forms->dlgQXPlan; }

// Shows the plan dialog rebuilt from the configuration; the choice when it ends with OK.
std::optional<TdlgQXPlan::Choice> AskPlanType() {
  TdlgQXPlan& dialog = Dialog();
  dialog.FormCreate();
  if (dialog.ShowModal() != platform::ModalResult::OK) return std::nullopt;
  dialog.PlanDialogUsed = true;
  return dialog.Chosen();
}

// Writes the reference layer file into every reference of the drawing and regenerates them.
void ApplyToReferences(const std::string& path) {
  HsiReferenceRecord record;
  if (path.size() >= sizeof record.layerFile) {
    // Cut short, the path would name another file; the references are left as they are.
    ShowError(std::string(plan_messages::kMissingStart) + path + "\r\n" +
              plan_messages::kRefTooLongEnd);
    return;
  }
  HsiReferenceInfo info;
  std::memset(&info, 0, sizeof info);
  HsiGetReferenceInformation(&info);
  const int count = info.count;
  for (int index = 0; index < count; ++index) {
    std::memset(&record, 0, sizeof record);
    // A record the host could not give is not written back: an empty one would wipe the
    // reference's settings.
    if (HsiGetReferenceBuffer(&record, static_cast<int16_t>(index)) != HSI_SUCCESS) continue;
    std::memset(record.layerFile, 0, sizeof record.layerFile);
    std::memcpy(record.layerFile, path.data(), path.size());
    HsiSetReferenceInformation(&record, static_cast<int16_t>(index));
  }
  HsiRefRegen(HSI_FALSE);
}

}  // namespace

TdlgQXPlan::TdlgQXPlan()
    : platform::Form("TdlgQXPlan", "QX Plan"),
      rgrpPlanTypes(Add<platform::RadioGroup>("rgrpPlanTypes")),
      rgrpOptions(Add<platform::RadioGroup>("rgrpOptions")),
      pnlButtons(Add<platform::Panel>("pnlButtons")),
      btnOK(MakeButton(*this, "btnOK", "OK", platform::ModalResult::OK, &pnlButtons)),
      btnCancel(
          MakeButton(*this, "btnCancel", "Cancel", platform::ModalResult::Cancel, &pnlButtons)),
      btnHelp(MakeButton(*this, "btnHelp", "&Help", platform::ModalResult::None, &pnlButtons)) {
  helpContext = kHelpContext;
  borderStyle = platform::BorderStyle::Dialog;
  position = platform::FormPosition::ScreenCenter;
  rgrpPlanTypes.SetCaption("&Plan Type");
  rgrpOptions.SetCaption("&Group Options");
  rgrpOptions.columns = 3;
  pnlButtons.bevelOuter = platform::Panel::Bevel::None;
  btnOK.isDefault = true;
  btnCancel.isCancel = true;
  btnHelp.kind = platform::Button::Kind::Help;
  btnHelp.helpContext = kHelpContext;
  FormCreate();
}

void TdlgQXPlan::FormCreate() {
  const int lastPlanType = rgrpPlanTypes.ItemIndex();
  const int lastOption = rgrpOptions.ItemIndex();
  const QXConfig& config = Config();

  // The plan types up to the first one without a description, at most 48.
  rgrpPlanTypes.items.clear();
  for (std::size_t slot = 0; slot < kPlanTypesUsed; ++slot) {
    const PlanType planType = config.PlanTypes[slot];
    if (planType.Description.Empty()) break;
    rgrpPlanTypes.items.push_back(planType.Description.Get());
  }
  const int count = static_cast<int>(rgrpPlanTypes.items.size());
  // No column holds more than 12 plan types.
  rgrpPlanTypes.columns =
      std::max(1, count / kPlanTypesPerColumn + (count % kPlanTypesPerColumn != 0 ? 1 : 0));

  rgrpOptions.items.clear();
  for (const auto& label : config.PlanGroupLabels) rgrpOptions.items.push_back(label.Get());

  if (PlanDialogUsed) {
    // A plan type that is no longer in the list gives way to the first one.
    rgrpPlanTypes.SetItemIndex(lastPlanType >= 0 && lastPlanType < count ? lastPlanType : 0);
    rgrpOptions.SetItemIndex(lastOption);
  } else {
    rgrpOptions.SetItemIndex(2);
    rgrpPlanTypes.SetItemIndex(0);
  }
  // With no plan type to choose, OK has nothing to confirm.
  btnOK.SetEnabled(count > 0);

  // The plan types, the group options and the buttons, one below the other.
  const int rows = std::clamp(count, 1, kPlanTypesPerColumn);
  const int groupWidth =
      std::max(rgrpPlanTypes.columns * kColumnWidth + 2 * kMargin, kMinClientWidth - 2 * kMargin);
  rgrpPlanTypes.SetBounds(kMargin, kGap, groupWidth, kGroupCaptionHeight + rows * kItemHeight);
  rgrpOptions.SetBounds(kMargin, rgrpPlanTypes.Top() + rgrpPlanTypes.Height() + kGap, groupWidth,
                        kOptionsHeight);
  pnlButtons.SetBounds(0, rgrpOptions.Top() + rgrpOptions.Height() + kGap, groupWidth + 2 * kMargin,
                       kPanelHeight);
  int left = pnlButtons.Width() - 3 * (kButtonWidth + kMargin);
  for (platform::Button* button : {&btnOK, &btnCancel, &btnHelp}) {
    button->SetBounds(left, kMargin, kButtonWidth, kButtonHeight);
    left += kButtonWidth + kMargin;
  }
  SetClientWidth(pnlButtons.Width());
  SetClientHeight(rgrpPlanTypes.Height() + rgrpOptions.Height() + pnlButtons.Height() + 3 * kGap);
}

std::optional<TdlgQXPlan::Choice> TdlgQXPlan::Chosen() const {
  const int planType = rgrpPlanTypes.ItemIndex();
  const int option = rgrpOptions.ItemIndex();
  if (planType < 0 || option < 0) return std::nullopt;
  return Choice{planType, option};
}

std::string LayerFolder() { return JoinPath(Config().BaseDirectory.Get(), "layers") + "\\"; }

std::string LayerFilePath(const PlanType& planType, int option, bool reference) {
  std::string name = reference ? planType.RefLayerFile.Get() : planType.LayerFile.Get();
  if (planType.GroupOption != 0) name += std::to_string(option + 1);
  return LayerFolder() + name + ".lyr";
}

}  // namespace qxt

QXT_EXPORT void QXPlan() {
  using namespace qxt;
  if (!ToolsReady()) return;
  SwitchHintsOn();
  const std::optional<TdlgQXPlan::Choice> choice = AskPlanType();
  if (!choice) return;
  const PlanType planType = Config().PlanTypes[choice->planType];

  // The host checks the layer file itself: a missing or bad one is its to report.
  HsiSetActLayer(3);
  const std::string path = LayerFilePath(planType, choice->option, false);
  const HsiLoadOptions options{0, 0};
  HsiLoadFile(path.c_str(), HSI_LOAD_LAYERS, &options);

  if (!planType.RefLayerFile.Empty()) {
    const std::string refPath = LayerFilePath(planType, choice->option, true);
    if (platform::FileExists(refPath)) {
      ApplyToReferences(refPath);
    } else {
      ShowError(std::string(plan_messages::kMissingStart) + refPath + "\r\n" +
                plan_messages::kMissingEnd);
    }
  }
  HsiRedraw();
}

QXT_EXPORT void GetLyrFile(char* buffer) {
  using namespace qxt;
  if (!ToolsReady()) return;
  const std::optional<TdlgQXPlan::Choice> choice = AskPlanType();
  if (!choice || buffer == nullptr) return;
  const PlanType planType = Config().PlanTypes[choice->planType];
  const std::string path = LayerFilePath(planType, choice->option, false);
  // The caller's buffer holds 64 characters: a longer path, cut short, would name another file.
  if (path.size() > kLayerFileBufferChars) {
    ShowError(std::string(plan_messages::kTooLongStart) + path + "\r\n" +
              plan_messages::kTooLongEnd);
    return;
  }
  std::memcpy(buffer, path.c_str(), path.size() + 1);
}

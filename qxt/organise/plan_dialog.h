// The plan command: a plan type names a prepared layer set-up (a layer file, and optionally a
// second layer file for the drawing's references); the user picks one and a group option. QXPlan
// loads the layer file into the host and points every reference at the reference layer file;
// GetLyrFile only hands the chosen layer file's path to its caller (the drawing editor).
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "core/config.h"
#include "core/export.h"
#include "platform/forms.h"

namespace qxt {

namespace plan_messages {
// The reference layer file is missing: the text runs "...file:" + path + "\r\n" + kMissingEnd.
inline constexpr const char* kMissingStart = "The Reference Layer file:";
inline constexpr const char* kMissingEnd =
    "could not be found, reference files will not be processed.";
// A reference layer file path too long for the host's reference record: same form.
inline constexpr const char* kRefTooLongEnd =
    "is too long for the reference records, reference files will not be processed.";
// A layer file path too long for GetLyrFile's exchange buffer: "The Layer file:" + path + ...
inline constexpr const char* kTooLongStart = "The Layer file:";
inline constexpr const char* kTooLongEnd =
    "is longer than 64 characters and cannot be returned; the layer file was not changed.";
}  // namespace plan_messages

// The characters GetLyrFile's caller buffer holds, besides its terminating zero.
inline constexpr std::size_t kLayerFileBufferChars = 64;
// Plan types shown per column of the plan type group.
inline constexpr int kPlanTypesPerColumn = 12;

class TdlgQXPlan : public platform::Form {
 public:
  TdlgQXPlan();

  platform::RadioGroup& rgrpPlanTypes;
  platform::RadioGroup& rgrpOptions;
  platform::Panel& pnlButtons;
  platform::Button& btnOK;
  platform::Button& btnCancel;
  platform::Button& btnHelp;

  // False while the library has not seen this dialog end with OK: the dialog then opens on the
  // first plan type and the third group option. Once set, the last choices are kept.
  bool PlanDialogUsed = false;

  // Rebuilds the dialog from the configuration; run once at creation and before every showing.
  void FormCreate();

  // The chosen plan type slot and group option (0..2), when the dialog has both.
  struct Choice {
    int planType;
    int option;
  };
  std::optional<Choice> Chosen() const;
};

// The folder of the layer files: the base directory's "layers" folder, with a trailing backslash.
std::string LayerFolder();
// A plan type's layer file (or reference layer file) for a group option counted from 0: the file
// name, then the group number (1..3) when the plan type has group options, then ".lyr".
std::string LayerFilePath(const PlanType& planType, int option, bool reference);

}  // namespace qxt

// The plan command: loads the chosen plan type's layer file and applies its reference layer file
// to the drawing's references.
QXT_EXPORT void QXPlan();

// Shows the plan dialog; on OK the caller's buffer (64 characters and the terminating zero)
// receives the chosen layer file's full path. Otherwise, and when the path would not fit, the
// buffer is left as it was.
QXT_EXPORT void GetLyrFile(char* buffer);

// Quick text: CAD text typed straight into the drawing through a thin strip laid over the top of
// the host window. The strip previews every line at the pick point while the user types.
// QXQText places new text, QXQEdit rebuilds a selected block of text lines in place, and
// QXFlexText chooses between them by the first selected object.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/config.h"
#include "core/export.h"
#include "hsi/hsi.h"
#include "platform/forms.h"

namespace qxt {

class TfrmQXQText : public platform::Form {
 public:
  TfrmQXQText();

  platform::Memo& mmText;
  platform::Memo& mmPrevious;  // hidden: the lines now drawn as preview
  platform::Panel& pnlButtons;
  platform::Button& btnOK;
  platform::Button& btnClose;
  platform::Button& btnSettings;

  // The pick point of the block (line 0) and the look of the preview.
  HsiPoint quickPoint{0, 0};
  HsiTextAttributes previewAttributes{};
  // The configuration as it was before the settings dialog last opened.
  QXConfig spareConfig{};

  // Places the strip over the host window's client area (run once at library start).
  void FormCreate();
  void FormActivate(platform::Form& sender);
  void mmTextChange(platform::Control& sender);
  void btnSettingsClick(platform::Control& sender);

  // Empties both memos without touching the drawing.
  void ClearTexts();
  // Removes the preview of the lines now drawn (mmPrevious) and forgets them.
  void ErasePreview();
};

// The preview look from the configuration's CAD text settings (justification as host codes).
HsiTextAttributes PreviewAttributesFrom(const QXConfig& config);
// Host justification codes back to the configuration's items; false for an unknown code.
bool HorizontalItemOf(int16_t code, std::int32_t& item);
bool VerticalItemOf(int16_t code, std::int32_t& item);

}  // namespace qxt

// Types new CAD text at picked points.
QXT_EXPORT void QXQText();
// Edits the selected block of CAD text in place.
QXT_EXPORT void QXQEdit();
// Edits when the first selected object is a text, else types new text.
QXT_EXPORT void QXFlexText();

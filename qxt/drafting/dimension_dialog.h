// The dimension command's settings dialog, on three tabs: "General" (the marker style with its
// distances, the marker symbol, the options and the text type), "Text" (CAD and TrueType text
// settings) and "Layers" (the layers of the lines and markers and of the texts). It is filled
// from the configuration record each time it is shown and stores every field back on OK; Cancel
// stores nothing.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/numedit.h"
#include "platform/forms.h"

namespace qxt {

namespace dimension_dialog_messages {
inline constexpr const char* kWidthRange = "The value for Width Factor must be between 0.5 and 3.0";
inline constexpr const char* kCharSpacingRange =
    "The value for Character Spacing must be between 0 and 3.0";
inline constexpr const char* kSlantRange = "The value for slant must be between -45 and 45";
inline constexpr const char* kRangeCaption = "QX Tools (Warning!)";
}  // namespace dimension_dialog_messages

// A whole-number field that, unlike the plain one, tells the user when it had to bring an entry
// back into its range: the entry becomes the nearer bound, the field's message is shown and the
// focus stays in the field, as the real-number fields do.
class TWarningLongEdit : public TLongEdit {
 public:
  using TLongEdit::TLongEdit;
  void DoExit() override;
};

// The layer number a person typed into a layer list: the number the text starts with (an
// optional sign and digits; 0 when it starts with neither), limited to 0..255.
int LayerNumberFromText(std::string_view text);

class TdlgQXDimension : public platform::Form {
 public:
  TdlgQXDimension();

  // The pages of the marker-style notebook.
  static constexpr int kArrowPage = 0;
  static constexpr int kTickPage = 1;
  // The host layers the lists offer after "0 - Default Layer".
  static constexpr int kLayerCount = 255;
  static constexpr std::size_t kLayerEntryChars = 22;

  platform::PageControl& pgcDimension;
  platform::Page& tabGeneral;
  platform::Page& tabText;
  platform::Page& tabLayers;

  // "General": the distances of the marker style shown.
  platform::Notebook& ntbkMarkerStyle;
  platform::Page& pageArrow;
  platform::Page& pageTick;
  platform::Label& lblArrowExtLineExt;
  TUnitEdit& txtArrowExtLineExt;
  platform::Label& lblArrowExtLineOffset;
  TUnitEdit& txtArrowExtLineOffset;
  platform::Image& imgArrow;
  platform::Label& lblTickDimLineExt;
  TUnitEdit& txtTickDimLineExt;
  platform::Label& lblTickExtLineExt;
  TUnitEdit& txtTickExtLineExt;
  platform::Label& lblTickExtLineOffset;
  TUnitEdit& txtTickExtLineOffset;
  platform::Image& imgTick;
  // "General": the marker.
  platform::GroupBox& grpMarker;
  platform::RadioButton& rbtnTicks;
  platform::RadioButton& rbtnArrows;
  platform::Label& lblMarkerSymbol;
  platform::Edit& txtMarkerSymbol;
  platform::Button& btnBrowse;
  // "General": options and text type.
  platform::GroupBox& grpOptions;
  platform::CheckBox& chkEditText;
  platform::CheckBox& chkAutoSnap;
  platform::RadioGroup& rgrpTextType;

  // "Text": CAD text.
  platform::GroupBox& grpCADText;
  platform::Label& lblCTSize;
  TUnitEdit& txtCTSize;
  platform::Label& lblCTWidth;
  TDblEdit& txtCTWidth;
  platform::Label& lblCTChar_sp;
  TDblEdit& txtCTChar_sp;
  platform::Label& lblCTSlant;
  TWarningLongEdit& txtCTSlant;
  platform::RadioGroup& rgrpCTFont;
  // "Text": TrueType text.
  platform::GroupBox& grpTrueType;
  platform::Label& lblTTFont;
  platform::Edit& txtTTFont;
  platform::Label& lblTTSizeCaption;
  platform::Label& lblTTsize;
  platform::Label& lblTTPoints;
  platform::Button& btnFontChange;

  // "Layers".
  platform::Label& lblDimLayer;
  platform::ComboBox& cbxDimLayer;
  platform::Label& lblTextLayer;
  platform::ComboBox& cbxTextLayer;

  platform::Button& OKBtn;
  platform::Button& CancelBtn;
  platform::Button& HelpBtn;

  void FormCreate();
  void FormShow(platform::Form& sender);
  void ChangeMarkerStyle(platform::Control& sender);
  void btnBrowseClick(platform::Control& sender);
  // The check of the five distances (not negative) and the text size (above 0) when left.
  void txtLengthExit(platform::Control& sender);
  void cbxDimLayerExit(platform::Control& sender);
  void cbxTextLayerExit(platform::Control& sender);
  void btnFontChangeClick(platform::Control& sender);
  void OKBtnClick(platform::Control& sender);

 private:
  // Checks a length field; after a refusal it has the focus again.
  bool LengthAccepted(TUnitEdit& field);
  void FillLayerList(platform::ComboBox& list, int32_t selected);
  // A typed layer list selects the entry of the number typed.
  static void SelectTypedLayer(platform::ComboBox& list);
};

}  // namespace qxt

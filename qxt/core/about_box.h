// The About box: the product's name, version and date, and an OK button.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TfrmAboutBox : public platform::Form {
 public:
  TfrmAboutBox();

  platform::Label& lblProductName;
  platform::Label& lblVersion;
  platform::Label& lblDate;
  platform::Button& btnOK;
};

}  // namespace qxt

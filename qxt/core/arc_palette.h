// The arc palette: the host's arc construction methods.
#pragma once

#include "platform/forms.h"

namespace qxt {

class TfrmQXArc : public platform::Form {
 public:
  TfrmQXArc();
};

}  // namespace qxt

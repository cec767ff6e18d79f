#include "organise/project_dialog.h"

namespace qxt {

TdlgEditProject::TdlgEditProject() : platform::Form("TdlgEditProject", "Edit Project") {
  helpContext = 125;
}

}  // namespace qxt

#include "organise/project_manager.h"

namespace qxt {

TdlgQXProject::TdlgQXProject() : platform::Form("TdlgQXProject", "QX Project") {
  helpContext = 123;
}

}  // namespace qxt

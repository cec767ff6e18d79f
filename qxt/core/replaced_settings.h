// Settings a damaged configuration file holds outside what the dialogs accept are taken as absent:
// the command uses the defaults instead and says so once on the host's message line.
#pragma once

#include <string>

#include "hsi/hsi.h"

namespace qxt {

inline bool Within(double value, double lo, double hi) { return value >= lo && value <= hi; }

class ReplacedSettings {
 public:
  // True when a value is not usable (`ok` false): its name is noted, and the caller puts the
  // default in its place. (The configuration record is packed: its fields are assigned by the
  // caller, never bound to references.)
  bool Bad(bool ok, const char* name) {
    if (!ok) names_ += names_.empty() ? name : std::string(", ") + name;
    return !ok;
  }

  // "<What> settings out of range (a, b): the defaults are used" on the message line, when any
  // value was replaced.
  void Report(const char* what) const {
    if (names_.empty()) return;
    const std::string text =
        std::string(what) + " settings out of range (" + names_ + "): the defaults are used";
    HsiPutMsg(text.c_str());
  }

 private:
  std::string names_;
};

}  // namespace qxt

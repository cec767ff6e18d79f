// A local selection list of the host, given back however the routine that made it ends (the host
// has only so many local lists).
#pragma once

#include <cstdint>

#include "hsi/hsi.h"

namespace qxt {

class LocalList {
 public:
  // `owner` is the host's owner code of the list (its purpose: picks, lines to open, previews).
  explicit LocalList(std::int16_t owner) : list_(HsiCreateLocalOsl(owner, 0, 512)) {}
  ~LocalList() { Free(); }
  LocalList(const LocalList&) = delete;
  LocalList& operator=(const LocalList&) = delete;

  // The host's number of the list; 0 or less when the host could not make one.
  std::int16_t number() const { return list_; }

  // Gives the list back now (once; later calls do nothing).
  void Free() {
    if (list_ > 0) HsiFreeLocalOsl(list_);
    list_ = -1;
  }

 private:
  std::int16_t list_;
};

}  // namespace qxt

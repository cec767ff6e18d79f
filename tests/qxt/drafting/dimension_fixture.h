// A loaded plug-in on a fresh machine with the two marker symbols in the host's symbol folder,
// and the dimension settings made quiet: no dialog before the first line and no edit dialog
// per point, unless a test wants them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <variant>
#include <vector>

#include "../text/text_fixture.h"
#include "core/state.h"
#include "host/host.h"
#include "hsi/hsi.h"
#include "platform/files.h"

namespace qxt::testing {

class DimensionTest : public LoadedLibrary {
 protected:
  void SetUp() override {
    LoadedLibrary::SetUp();
    std::filesystem::create_directories(platform::ResolvePath("C:\\TRACELON\\SYMBOLS"));
    WriteFile("C:\\TRACELON\\SYMBOLS\\SLASH.SYM", "TRACELON SYMBOL 1\nLINE -4 -4 4 4\n");
    WriteFile("C:\\TRACELON\\SYMBOLS\\ARROW.SYM",
              "TRACELON SYMBOL 1\nLINE 0 0 12 3 12 -3 0 0\nLINE 0 0 12 0\n");
    QXConfig& config = Config();
    config.DimDialogBefore = 0;
    config.DimEditText = 0;
    // The picks are taken as given; one test turns angle snapping on.
    Host().SetSnapAngle(0);
  }

  void UseArrows() {
    Config().DimTerminator = 0;
    Config().DimMarkerSymbol.Set("ARROW.SYM");
  }

  // One dimension line p1-p2 with its points, ended by the second button; `more` false ends
  // the command at the next dimension line.
  void String(HsiPoint p1, HsiPoint p2, const std::vector<HsiPoint>& points, bool more = false) {
    user.Point(p1.x, p1.y);
    user.Point(p2.x, p2.y);
    for (const HsiPoint& p : points) user.Point(p.x, p.y);
    user.Reply(host::PointReply::Kind::Button2);
    if (!more) user.Reply(host::PointReply::Kind::Escape);
  }

  std::vector<host::Object> OfKind(host::ObjectKind kind) const {
    std::vector<host::Object> found;
    for (const host::Object& o : FinalObjects())
      if (o.Kind() == kind) found.push_back(o);
    return found;
  }
  std::vector<host::Object> Markers() const { return OfKind(host::ObjectKind::Symbol); }
  std::vector<host::Object> Lines() const { return OfKind(host::ObjectKind::Lineset); }
  std::vector<host::Object> Texts() const { return OfKind(host::ObjectKind::Text); }

  static const host::SymbolData& Marker(const host::Object& o) {
    return host::get<host::SymbolData>(o.data);
  }
  static const host::TextData& Text(const host::Object& o) {
    return host::get<host::TextData>(o.data);
  }
  static std::vector<host::Point> Vertices(const host::Object& o) {
    return host::get<host::LinesetData>(o.data).points;
  }
};

}  // namespace qxt::testing

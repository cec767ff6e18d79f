// The drawing as the page shows it, kept object by object: a page that has a recent version of
// the picture is sent only the objects added, changed and removed since then; a page that has
// none (or one too old) is sent the whole picture as one SVG document.
//
// Every shown object is one element `<g id="oID">` inside its layer's group `<g id="layer-N">`,
// drawn in the pieces' own coordinates (see host/svg_pieces.h); the group "picture" places them
// on the sheet, whose extent and scale the page reads as before (data attributes of the
// document, or the "sheet" of a change). The host's user selection is a class "selected" on an
// object's element; the visible references, the cursor image and the host's temporary images are
// groups of their own, sent whole when they changed.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/svg_pieces.h"

class LivePicture {
 public:
  // Brings the picture up to date with the host's drawing (null: an empty picture). The version
  // grows by one when anything shown changed.
  void Update(const host::Host* host);
  uint64_t Version() const { return version_; }

  // What a page that shows version `have` needs, as a JSON object: {"whole": true, "svg": ...}
  // or {"whole": false, "sheet": {...}, "objects": [[id, layer, svg], ...], "removed": [ids],
  // and "references", "cursor", "marks" when they changed (an empty text removes one)}. Empty
  // when the page has this version.
  std::string Since(uint64_t have);

 private:
  struct Piece {
    int16_t layer = 0;
    uint64_t look = 0;
    uint64_t version = 0;  // the version it last changed in
    uint64_t seen = 0;     // the last update that found it shown
    host::Box box;
    std::string svg;
  };
  struct Group {
    std::string svg;
    uint64_t version = 0;
  };
  void SetGroup(Group& group, std::string svg);
  std::string Whole();
  std::string SheetJson() const;
  std::string DrawingTransform() const;

  std::map<int32_t, Piece> pieces_;                    // by id: the creation order within a layer
  std::vector<std::pair<uint64_t, int32_t>> removed_;  // (version, id), since `base_`
  uint64_t version_ = 0;
  uint64_t base_ = 1;  // a page with an older version than this is sent the whole picture
  uint64_t updates_ = 0;
  double scale_ = 0;  // the pieces' units per drawing unit
  host::SvgSheet sheet_;
  uint64_t referencesDigest_ = 0;
  host::Box referencesExtent_;
  std::map<int16_t, std::string> layerNames_;  // XML-escaped, of the layers with pieces
  Group references_, cursor_, marks_;
  std::string whole_;  // the whole picture of `wholeVersion_`
  uint64_t wholeVersion_ = 0;
};

// The shown windows as data for the page: each form with its controls, their bounds, captions,
// states and items, so that one renderer on the page draws every dialog as live HTML.
#pragma once

#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace platform {
class Form;
class Picture;
}  // namespace platform

// Pictures the page loads by name (bitmaps as BMP files, metafiles as SVG). The program thread
// adds them while it describes the forms; the server's threads read them.
class PictureStore {
 public:
  struct Entry {
    std::string type;  // the content type
    std::string bytes;
  };
  // The picture's name (the same picture gets the same name); empty for an empty picture.
  std::string Add(const platform::Picture& picture);
  std::optional<Entry> Get(const std::string& name) const;

 private:
  mutable std::mutex mutex_;
  std::map<std::string, Entry> entries_;
};

// A metafile picture as an SVG document of its size.
std::string MetafileSvg(const platform::Picture& picture);

// The form as the page draws it: {handle, class, caption, modal, visible, bounds, client size,
// border, colour, showHint, helpContext, active control, controls: [...]}. Controls come in tab
// order; each names its parent, so the page nests them.
nlohmann::json FormModel(platform::Form& form, PictureStore& pictures);

// The JSON text of `value` for the page, with every string made valid UTF-8 first (see
// platform::Utf8Text): texts of the program may hold bytes of the Windows code page (a list read
// from a file, a name typed on Windows), which the JSON writer would otherwise refuse.
std::string PageJson(nlohmann::json value);

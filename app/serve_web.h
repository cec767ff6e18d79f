// The page's own files (HTML, script, style), built into the program from app/web/.
#pragma once

#include <string>
#include <vector>

struct WebFile {
  std::string path;  // "index.html", "app.js", ...
  std::string type;  // the content type
  std::string content;
};

const std::vector<WebFile>& WebFiles();

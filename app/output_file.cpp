#include "output_file.h"

#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

bool WriteOutputFile(const fs::path& path, const std::string& text) {
  return WriteOutputFile(path, [&](std::ostream& out) { out << text; });
}

bool WriteOutputFile(const fs::path& path, const std::function<void(std::ostream&)>& write) {
  std::error_code ec;
  if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
  fs::path part = path;
  part += ".part";
  {
    std::ofstream out(part, std::ios::binary);
    write(out);
    out.close();
    if (!out) {
      fs::remove(part, ec);
      return false;
    }
  }
  fs::rename(part, path, ec);
  if (!ec) return true;
  fs::remove(part, ec);
  return false;
}

#include "organise/reference_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/list_file.h"
#include "core/paths.h"
#include "platform/file_io.h"
#include "platform/files.h"

namespace qxt {

std::string ItemText(const AnnotationItem& item) {
  return std::string(item.text, strnlen(item.text, kAnnotationTextChars));
}

void SetItemText(AnnotationItem& item, std::string_view text) {
  const std::size_t count = std::min(text.size(), kAnnotationTextChars);
  std::memset(item.text, 0, sizeof item.text);
  std::memcpy(item.text, text.data(), count);
  item.length = static_cast<std::int16_t>(count);
}

RefRecord MakeRefRecord(const std::string& name, const TRefObject& object) {
  RefRecord record{};
  record.Name.Set(name);
  record.Symbol.Set(object.Symbol);
  record.SymbolLayer = object.SymbolLayer;
  record.Preview.Set(object.Preview);
  const int count = std::clamp(object.Count, 0, kMaxAnnotations);
  for (int k = 0; k < count; ++k) {
    record.Prompts[k].Set(object.Prompts[k]);
    record.Items[k] = object.Items[k];
    // The text field always ends with a NUL inside the record.
    record.Items[k].text[kAnnotationTextChars] = '\0';
  }
  record.RotateFlag = object.RotateFlag ? 1 : 0;
  record.Count = static_cast<std::int16_t>(count);
  return record;
}

std::optional<NamedRefObject> ReadRefRecord(const RefRecord& record) {
  const int count = record.Count;
  if (count < 0 || count > kMaxAnnotations) return std::nullopt;
  NamedRefObject result;
  result.name = record.Name.Get();
  TRefObject& object = result.object;
  object.Symbol = record.Symbol.Get();
  object.SymbolLayer = record.SymbolLayer;
  object.Preview = record.Preview.Get();
  object.RotateFlag = record.RotateFlag != 0;
  object.Count = count;
  for (int k = 0; k < count; ++k) {
    object.Prompts[k] = record.Prompts[k].Get();
    object.Items[k] = record.Items[k];
    SetItemText(object.Items[k], ItemText(record.Items[k]));
    object.Items[k].length = record.Items[k].length;
  }
  return result;
}

bool ReadRefFile(const std::string& path, std::vector<NamedRefObject>& objects, int& refused,
                 std::string& error) {
  objects.clear();
  refused = 0;
  platform::RecordFile file;
  try {
    file.Open(path, sizeof(RefRecord), platform::RecordFile::Mode::Read);
    while (!file.Eof()) {
      RefRecord record{};
      file.Read(&record);
      if (std::optional<NamedRefObject> object = ReadRefRecord(record)) {
        objects.push_back(std::move(*object));
      } else {
        ++refused;
      }
    }
  } catch (const platform::FileError& e) {
    error = e.what();
    file.Close();  // a failure to close changes nothing now
    return false;
  }
  file.Close();
  return true;
}

std::optional<std::string> WriteRefFile(const std::string& refDir,
                                        const std::vector<RefRecord>& records) {
  std::string error;
  const ListSaveResult result = SaveListFile(
      JoinPath(refDir, kRefFileName), JoinPath(refDir, kRefBackupName), records.size(),
      sizeof(RefRecord),
      [&records](std::size_t index, unsigned char* record) {
        std::memcpy(record, &records[index], sizeof(RefRecord));
      },
      error, EmptyList::EmptyFile);
  if (result == ListSaveResult::Failed) return error;
  return std::nullopt;
}

std::string MakePreviewName(const std::string& refDir, const std::string& symbolName) {
  const std::size_t dot = symbolName.rfind('.');
  std::string base = dot == std::string::npos ? symbolName : symbolName.substr(0, dot);
  if (base.size() > 6) base.resize(6);
  for (int n = 1;; ++n) {
    const std::string name = base + std::to_string(n) + ".WMF";
    if (!platform::FileExists(JoinPath(refDir, name))) return name;
  }
}

double NormalisedAngle(double degrees) {
  if (!std::isfinite(degrees)) return 0.0;
  double angle = std::fmod(degrees, 360.0);
  if (angle < 0) angle += 360.0;
  if (angle >= 360.0) angle -= 360.0;  // -1e-15 + 360 rounds to 360
  return angle;
}

double UprightOrientation(double rotation, double itemOrientation, bool rotateFlag) {
  if (!rotateFlag) return 0.0;
  double orientation = NormalisedAngle(rotation + itemOrientation);
  if (orientation > 90.0 && orientation <= 270.0) orientation = NormalisedAngle(orientation + 180);
  return orientation;
}

}  // namespace qxt

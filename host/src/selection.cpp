// The engine's selection lists: adding and removing entries, scanning, selecting at a point and
// in a window, and deleting what a list holds.
#include <algorithm>

#include "host/geometry.h"
#include "host/host.h"

namespace host {

double Host::DistanceWithin(const Object& o, PointD p, double limit) const {
  if (o.Kind() != ObjectKind::Lineset || !(limit < 1e200)) return ObjectDistance(o, p);
  const auto& pts = host::get<LinesetData>(o.data).points;
  if (pts.size() < 2) return ObjectDistance(o, p);
  // A segment whose box lies farther from p than the limit is farther too, and is not measured.
  // The reach has a drawing unit to spare, so a segment the rounding of the measurement might
  // bring within the limit is always measured: the nearest one found is the nearest of all.
  const double reach = limit + 1.0;
  const double left = p.x - reach, right = p.x + reach, bottom = p.y - reach, top = p.y + reach;
  double best = 1e300;
  for (size_t i = 1; i < pts.size(); ++i) {
    const Point a = pts[i - 1], b = pts[i];
    if (std::max(a.x, b.x) < left || std::min(a.x, b.x) > right || std::max(a.y, b.y) < bottom ||
        std::min(a.y, b.y) > top)
      continue;
    best = std::min(best, SegmentDistance(p, ToD(a), ToD(b)));
  }
  return best;
}

bool Host::AddToList(int16_t list, const HsiOslEntry& entry) {
  SelectionList* l = MutableList(list);
  if (!l || !Find(entry.id)) return Refuse(HSI_ERR_NO_OBJECT);
  if (l->Contains(entry.id) || l->entries.size() >= l->capacity)
    return Refuse(HSI_ERR_BAD_ARGUMENT);
  l->entries.push_back(entry);
  return true;
}

bool Host::RemoveFromList(int16_t list, int32_t id) {
  SelectionList* l = MutableList(list);
  if (!l) return Refuse(HSI_ERR_NO_OBJECT);
  auto it = std::find_if(l->entries.begin(), l->entries.end(),
                         [&](const HsiOslEntry& e) { return e.id == id; });
  if (it == l->entries.end()) return Refuse(HSI_ERR_NO_OBJECT);
  size_t index = static_cast<size_t>(it - l->entries.begin());
  l->entries.erase(it);
  if (l->scan > index) --l->scan;  // a scan goes on with the entry after the removed one
  return true;
}

bool Host::ClearList(int16_t list) {
  SelectionList* l = MutableList(list);
  if (!l) return Refuse(HSI_ERR_NO_OBJECT);
  l->entries.clear();
  l->scan = 0;
  return true;
}

bool Host::StartScan(int16_t list) {
  SelectionList* l = MutableList(list);
  if (!l) return Refuse(HSI_ERR_NO_OBJECT);
  l->scan = 0;
  return true;
}

bool Host::ScanNext(int16_t list, HsiOslEntry* entry) {
  SelectionList* l = MutableList(list);
  if (!l) return Refuse(HSI_ERR_NO_OBJECT);
  if (l->scan >= l->entries.size()) return false;  // past the last: no error
  *entry = l->entries[l->scan++];
  return true;
}

uint16_t Host::SelectAt(int16_t list, Point p, int aperture, int16_t filter) {
  SelectionList* l = MutableList(list);
  if (!l) {
    SetError(HSI_ERR_NO_OBJECT);
    return HSI_FAILURE;
  }
  int32_t id = NearestObject(p, ApertureDbu(aperture), filter, l);
  if (id == 0) return HSI_NOTHING_FOUND;
  if (l->entries.size() >= l->capacity) {
    SetError(HSI_ERR_BAD_ARGUMENT);
    return HSI_FAILURE;
  }
  l->entries.push_back(HsiOslEntry{id, 0, 0});
  return HSI_SUCCESS;
}

uint16_t Host::SelectInWindow(int16_t list, Point c1, Point c2, bool crossing, int16_t filter) {
  SelectionList* l = MutableList(list);
  if (!l) {
    SetError(HSI_ERR_NO_OBJECT);
    return HSI_FAILURE;
  }
  Box window;
  window.Add(c1.x, c1.y);
  window.Add(c2.x, c2.y);
  size_t before = l->entries.size();
  for (int32_t id : ObjectsInWindow(window, crossing, filter)) {
    if (l->Contains(id)) continue;
    if (l->entries.size() >= l->capacity) break;
    l->entries.push_back(HsiOslEntry{id, 0, 0});
  }
  return l->entries.size() > before ? HSI_SUCCESS : HSI_NOTHING_FOUND;
}

bool Host::DeleteListed(int16_t list) {
  const SelectionList* l = List(list);
  if (!l) return Refuse(HSI_ERR_NO_OBJECT);
  std::vector<int32_t> ids;
  for (const auto& e : l->entries) ids.push_back(e.id);
  // One operation: a single undo brings the whole list back.
  BeginOperation();
  for (int32_t id : ids) DeleteObject(id);
  EndOperation();
  return true;
}

}  // namespace host

// Object snaps: the host moves a point the user picked onto the drawing's geometry before anyone
// sees it, as a CAD program does, by the snap modes in force and within the pick aperture.
#include <algorithm>
#include <cmath>
#include <optional>
#include <variant>

#include "host/host.h"

namespace host {

namespace {

// Snap mode numbers (HsiSetSnapMode).
enum SnapMode {
  kGrid = 1,
  kNode = 2,
  kVertex = 3,
  kIntersection = 4,
  kLine = 5,
  kCentre = 6,
  kMidpoint = 7,
  kPieAngle = 8,
  kArc = 9,
  kCircle = 10,
  kObject = 11,
  kText = 12,
  kEnd = 13,
  kTangent = 14,
  kPerpendicular = 15,
};

// A snap reaches as far as the host's own selection picks: two aperture units.
constexpr int kSnapAperture = 2;

struct Segment {
  PointD a, b;
  int32_t id = 0;
  size_t index = 0;  // the segment's place in its lineset
};

struct Curve {
  PointD c;
  double r = 0, a1 = 0, a2 = 0;
  int32_t id = 0;
  bool full = false;  // a whole circle: it starts where it ends
  PointD At(double degrees) const {
    return {c.x + r * std::cos(Radians(degrees)), c.y + r * std::sin(Radians(degrees))};
  }
  bool Holds(double degrees) const { return full || AngleOnArc(degrees, a1, a2); }
};

// The best point found so far for one mode: the nearest by `distance`, of two equally near the
// newer object's.
struct Best {
  std::optional<PointD> point;
  double distance = 0;
  int32_t id = 0;
  void Offer(PointD p, double d, int32_t by, double reach) {
    if (d > reach) return;
    if (!point || d < distance || (d == distance && by > id)) {
      point = p;
      distance = d;
      id = by;
    }
  }
};

// What lies near the picked point, taken apart into segments and curves.
struct Nearby {
  PointD picked;
  double reach = 0;
  std::optional<PointD> from;  // where a perpendicular or tangent is drawn from
  double pieAngle = 45;
  std::vector<const Object*> objects;
  std::vector<Segment> segments;
  std::vector<Curve> curves;
};

Curve CurveOf(const Object& o) {
  const auto& a = host::get<ArcData>(o.data);
  Curve c;
  c.c = ToD(o.at);
  c.r = a.radius;
  c.a1 = AngleDeg(c.c, ToD(a.start));
  c.a2 = AngleDeg(c.c, ToD(a.end));
  c.full = a.start == a.end;
  c.id = o.id;
  return c;
}

double CurveDistance(const Curve& c, PointD p) {
  return c.full ? std::fabs(Distance(p, c.c) - c.r) : ArcDistance(p, c.c, c.r, c.a1, c.a2);
}

// The point of the curve nearest p: on its circle towards p, or its nearer end.
PointD NearestOnCurve(const Curve& c, PointD p) {
  double a = Distance(p, c.c) > 0 ? AngleDeg(c.c, p) : c.a1;
  if (c.Holds(a)) return c.At(a);
  PointD s = c.At(c.a1), e = c.At(c.a2);
  return Distance(p, s) <= Distance(p, e) ? s : e;
}

PointD NearestOnSegment(const Segment& s, PointD p) {
  double t = 0;
  SegmentDistance(p, s.a, s.b, &t);
  return {s.a.x + t * (s.b.x - s.a.x), s.a.y + t * (s.b.y - s.a.y)};
}

// The points where a line through a and b meets the circle of c (segment parameter t of each).
std::vector<std::pair<double, PointD>> LineCircle(PointD a, PointD b, PointD c, double r) {
  std::vector<std::pair<double, PointD>> out;
  double dx = b.x - a.x, dy = b.y - a.y;
  double fx = a.x - c.x, fy = a.y - c.y;
  double qa = dx * dx + dy * dy;
  if (qa == 0) return out;
  double qb = 2 * (fx * dx + fy * dy);
  double qc = fx * fx + fy * fy - r * r;
  double disc = qb * qb - 4 * qa * qc;
  if (disc < 0) return out;
  double root = std::sqrt(disc);
  for (double t : {(-qb - root) / (2 * qa), (-qb + root) / (2 * qa)})
    out.emplace_back(t, PointD{a.x + t * dx, a.y + t * dy});
  return out;
}

std::vector<PointD> CircleCircle(const Curve& p, const Curve& q) {
  std::vector<PointD> out;
  double d = Distance(p.c, q.c);
  if (d == 0 || d > p.r + q.r || d < std::fabs(p.r - q.r)) return out;
  double a = (p.r * p.r - q.r * q.r + d * d) / (2 * d);
  double h = std::sqrt(std::max(0.0, p.r * p.r - a * a));
  PointD m{p.c.x + a * (q.c.x - p.c.x) / d, p.c.y + a * (q.c.y - p.c.y) / d};
  out.push_back({m.x + h * (q.c.y - p.c.y) / d, m.y - h * (q.c.x - p.c.x) / d});
  out.push_back({m.x - h * (q.c.y - p.c.y) / d, m.y + h * (q.c.x - p.c.x) / d});
  return out;
}

// Segment parameters a little past 0..1 still count, so that lines meeting end to end at a
// corner (rounded to whole DBU) intersect there.
constexpr double kOnSegment = 1e-9;
bool Within(double t) { return t >= -kOnSegment && t <= 1 + kOnSegment; }

void Intersections(const Nearby& n, Best& best) {
  const auto& segs = n.segments;
  for (size_t i = 0; i < segs.size(); ++i) {
    for (size_t j = i + 1; j < segs.size(); ++j) {
      const Segment& s = segs[i];
      const Segment& t = segs[j];
      // Neighbouring segments of one lineset meet at their shared vertex only.
      if (s.id == t.id && (s.index + 1 == t.index || t.index + 1 == s.index)) continue;
      auto x = LineIntersection(s.a, s.b, t.a, t.b);
      if (!x) continue;
      double ps = 0, pt = 0;
      if (SegmentDistance(*x, s.a, s.b, &ps) > 1.0 || SegmentDistance(*x, t.a, t.b, &pt) > 1.0)
        continue;
      best.Offer(*x, Distance(n.picked, *x), std::max(s.id, t.id), n.reach);
    }
    for (const Curve& c : n.curves) {
      for (const auto& [t, p] : LineCircle(segs[i].a, segs[i].b, c.c, c.r)) {
        if (Within(t) && c.Holds(AngleDeg(c.c, p)))
          best.Offer(p, Distance(n.picked, p), std::max(segs[i].id, c.id), n.reach);
      }
    }
  }
  for (size_t i = 0; i < n.curves.size(); ++i) {
    for (size_t j = i + 1; j < n.curves.size(); ++j) {
      const Curve& p = n.curves[i];
      const Curve& q = n.curves[j];
      for (PointD x : CircleCircle(p, q)) {
        if (p.Holds(AngleDeg(p.c, x)) && q.Holds(AngleDeg(q.c, x)))
          best.Offer(x, Distance(n.picked, x), std::max(p.id, q.id), n.reach);
      }
    }
  }
}

// The point mode `mode` finds near the picked point, if any.
std::optional<PointD> FindSnap(int mode, const Nearby& n, const Host& host) {
  Best best;
  auto point = [&](PointD p, int32_t id) { best.Offer(p, Distance(n.picked, p), id, n.reach); };
  switch (mode) {
    case kNode:
    case kObject:
    case kText:
      for (const Object* o : n.objects) {
        ObjectKind k = o->Kind();
        if (mode == kNode && k != ObjectKind::Symbol) continue;
        if (mode == kText && k != ObjectKind::Text && k != ObjectKind::TrueType) continue;
        if (mode == kText) {
          // A text is picked anywhere on it and snaps to its insertion point.
          best.Offer(ToD(o->at), host.ObjectDistance(*o, n.picked), o->id, n.reach);
        } else {
          point(ToD(o->at), o->id);
        }
      }
      break;
    case kVertex:
    case kEnd:
      for (const Object* o : n.objects) {
        if (const auto* l = host::get_if<LinesetData>(&o->data)) {
          if (l->points.empty()) continue;
          if (mode == kEnd) {
            point(ToD(l->points.front()), o->id);
            point(ToD(l->points.back()), o->id);
          } else {
            for (Point p : l->points) point(ToD(p), o->id);
          }
        }
      }
      for (const Curve& c : n.curves) {
        if (c.full) continue;
        point(c.At(c.a1), c.id);
        point(c.At(c.a2), c.id);
      }
      break;
    case kIntersection:
      Intersections(n, best);
      break;
    case kLine:
      for (const Segment& s : n.segments) point(NearestOnSegment(s, n.picked), s.id);
      break;
    case kArc:
    case kCircle:
      for (const Curve& c : n.curves) {
        if (c.full == (mode == kCircle)) point(NearestOnCurve(c, n.picked), c.id);
      }
      break;
    case kCentre:
      for (const Curve& c : n.curves) best.Offer(c.c, CurveDistance(c, n.picked), c.id, n.reach);
      break;
    case kMidpoint:
      for (const Segment& s : n.segments) {
        PointD mid{(s.a.x + s.b.x) / 2, (s.a.y + s.b.y) / 2};
        best.Offer(mid, SegmentDistance(n.picked, s.a, s.b), s.id, n.reach);
      }
      for (const Curve& c : n.curves) {
        if (c.full) continue;
        double sweep = NormaliseDeg(c.a2 - c.a1);
        best.Offer(c.At(c.a1 + sweep / 2), CurveDistance(c, n.picked), c.id, n.reach);
      }
      break;
    case kPieAngle:
      for (const Curve& c : n.curves) {
        double step = n.pieAngle > 0 ? n.pieAngle : 45;
        double a = std::round(AngleDeg(c.c, n.picked) / step) * step;
        if (c.Holds(a)) best.Offer(c.At(a), CurveDistance(c, n.picked), c.id, n.reach);
      }
      break;
    case kTangent:
      if (!n.from) break;
      for (const Curve& c : n.curves) {
        double d = Distance(*n.from, c.c);
        if (d <= c.r) continue;  // no tangent from inside the circle
        double towards = AngleDeg(c.c, *n.from);
        double spread = std::acos(c.r / d) * 180.0 / kPi;
        for (double a : {towards + spread, towards - spread}) {
          if (c.Holds(a)) point(c.At(a), c.id);
        }
      }
      break;
    case kPerpendicular:
      if (!n.from) break;
      for (const Segment& s : n.segments) {
        // The foot on the line through the segment: a perpendicular may meet its extension.
        best.Offer(Foot(*n.from, s.a, s.b), SegmentDistance(n.picked, s.a, s.b), s.id, n.reach);
      }
      for (const Curve& c : n.curves) {
        if (Distance(*n.from, c.c) == 0) continue;
        double a = AngleDeg(c.c, *n.from);
        for (double b : {a, a + 180}) {
          if (c.Holds(b)) point(c.At(b), c.id);
        }
      }
      break;
    default:
      break;
  }
  return best.point;
}

}  // namespace

std::string Host::SnapModeWord(int mode) {
  static const char* const words[] = {"none",         "grid",    "node",    "vertex",
                                      "intersection", "nearest", "centre",  "midpoint",
                                      "pie angle",    "arc",     "circle",  "object",
                                      "text",         "end",     "tangent", "perpendicular"};
  return mode >= 0 && mode <= 15 ? words[mode] : "none";
}

namespace {
bool AddMode(std::vector<int>& modes, int& last, int mode) {
  if (mode < 0 || mode > 15) return false;
  last = mode;
  if (mode == 0) {
    modes.clear();
  } else if (std::find(modes.begin(), modes.end(), mode) == modes.end()) {
    modes.push_back(mode);
  }
  return true;
}
}  // namespace

bool Host::AddSnapMode(int mode) { return AddMode(snapModes_, snapMode_, mode); }
bool Host::AddSnap3DMode(int mode) { return AddMode(snap3DModes_, snap3DMode_, mode); }

bool Host::SetSnapModes(const std::vector<int>& modes) {
  for (int m : modes)
    if (m < 1 || m > 15) return false;
  SetSnapMode(0);
  for (int m : modes) AddSnapMode(m);
  return true;
}

bool Host::SetGridSpacing(int32_t dbu) {
  if (dbu < 0) return false;
  gridSpacing_ = dbu;
  return true;
}

int32_t Host::GridSpacing() const {
  if (gridSpacing_ > 0) return gridSpacing_;
  return std::max(1, RoundDbu(DbuPerPaperInch(units_) / 4));
}

std::optional<Host::Snapped> Host::SnapPoint(Point picked, bool threeD) const {
  const std::vector<int>& modes = threeD ? snap3DModes_ : snapModes_;
  if (modes.empty()) return std::nullopt;
  Nearby n;
  n.picked = ToD(picked);
  n.reach = ApertureDbu(kSnapAperture);
  n.pieAngle = snapAngle_;
  // A perpendicular or tangent is drawn from the rubber band's base while one is shown, else
  // from the last point given.
  if (cursor_.active &&
      (cursor_.style == HSI_CURSOR_LINE || cursor_.style == HSI_CURSOR_LINE_SNAPPED))
    n.from = ToD(cursor_.base);
  else if (lastPoint_)
    n.from = ToD(*lastPoint_);
  Box window;
  window.Add(picked.x, picked.y);
  window.Inflate(static_cast<int64_t>(std::ceil(n.reach)));
  for (int32_t id : ObjectsInWindow(window, true, 0)) {
    const Object* o = Find(id);
    if (!o) continue;
    n.objects.push_back(o);
    if (const auto* l = host::get_if<LinesetData>(&o->data)) {
      for (size_t i = 1; i < l->points.size(); ++i)
        n.segments.push_back({ToD(l->points[i - 1]), ToD(l->points[i]), id, i});
    } else if (o->Kind() == ObjectKind::Arc) {
      n.curves.push_back(CurveOf(*o));
    }
  }
  bool grid = false;
  for (int mode : modes) {
    if (mode == kGrid) {
      grid = true;  // the fallback of every other mode
      continue;
    }
    if (auto p = FindSnap(mode, n, *this)) return Snapped{RoundPoint(*p), mode};
  }
  if (!grid) return std::nullopt;
  double g = GridSpacing();
  return Snapped{RoundPoint({std::round(picked.x / g) * g, std::round(picked.y / g) * g}), kGrid};
}

bool Host::TakePoint(RequestKind kind, PointReply& reply, bool typedIn) {
  if (reply.kind == PointReply::Kind::Typed) {
    std::string why;
    std::optional<Point> p = ReadTypedPoint(reply.text, &why);
    if (!p) {
      PutMessage(why);
      return false;
    }
    reply.kind = PointReply::Kind::Point;
    reply.x = p->x;
    reply.y = p->y;
    reply.z = 0;
    Notify(HostEvent::Kind::PointTyped, std::to_string(p->x) + "," + std::to_string(p->y));
  } else if (reply.kind == PointReply::Kind::Point && !typedIn && kind != RequestKind::Pick) {
    // A picked point, not a typed one and not a pick of an object: the snap modes move it.
    if (auto s = SnapPoint({reply.x, reply.y}, kind == RequestKind::Point3D)) {
      if (s->point != Point{reply.x, reply.y}) {
        reply.x = s->point.x;
        reply.y = s->point.y;
        Notify(
            HostEvent::Kind::PointSnapped,
            SnapModeWord(s->mode) + " " + std::to_string(reply.x) + "," + std::to_string(reply.y));
      }
    }
  }
  if (reply.kind == PointReply::Kind::Point && kind != RequestKind::Pick)
    lastPoint_ = Point{reply.x, reply.y};
  return true;
}

Box Host::EmptySheet() const {
  double inch = DbuPerPaperInch(units_);
  Box sheet;
  sheet.Add(0, 0);
  sheet.Add(RoundDbu(36 * inch), RoundDbu(24 * inch));
  return sheet;
}

}  // namespace host

// The host tools: the host's own drawing commands that a command number starts (circles, arcs,
// trim, picking the active layer, double-line walls, zoom extents). Each asks for its points with
// its own prompts, draws final objects on the active layer in the current colour, and each thing
// it draws is one operation for undo (host command 1139).
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "host/host.h"

namespace host {

namespace {

constexpr int kCircleRadius = 1005;
constexpr int kCircleDiameter = 1006;
constexpr int kCircleThreePoints = 1007;
constexpr int kCircleInscribed = 1008;
constexpr int kArcCentre = 1010;
constexpr int kArcHalfCircle = 1011;
constexpr int kArcThreePoints = 1012;
constexpr int kTrimWithEdge = 1157;
constexpr int kTrimSelection = 1147;
constexpr int kPickActiveLayer = 664;
constexpr int kWalls = 1021;
constexpr int kZoomExtents = 1811;

// The filters of the picks: linesets, and linesets or arcs.
constexpr int16_t kLinesets = 1;
constexpr int16_t kLinesOrArcs = 1 | 4;

const char* const kSamePoint = "The two points are the same: pick another point.";
const char* const kOnALine = "The three points lie on a line: pick another point.";
const char* const kTooLarge = "The circle would be too large: pick another point.";

PointD Sub(PointD a, PointD b) { return {a.x - b.x, a.y - b.y}; }
PointD Add(PointD a, PointD b) { return {a.x + b.x, a.y + b.y}; }
PointD Mul(PointD a, double k) { return {a.x * k, a.y * k}; }
double Dot(PointD a, PointD b) { return a.x * b.x + a.y * b.y; }
double CrossZ(PointD a, PointD b) { return a.x * b.y - a.y * b.x; }

// Whether a circle of this centre and radius can be kept in drawing units.
bool Representable(PointD centre, double radius) {
  constexpr double kMax = std::numeric_limits<int32_t>::max();
  return std::isfinite(centre.x) && std::isfinite(centre.y) && std::isfinite(radius) &&
         std::fabs(centre.x) + radius <= kMax && std::fabs(centre.y) + radius <= kMax;
}

// A tool's conversation with the user: each question is asked until its answer is a point the
// tool can use; a refused point is explained on the message line and the same question comes
// again. Escape, the second button or a failed request end the tool (nullopt).
class Conversation {
 public:
  explicit Conversation(Host& host) : host_(host) {}
  ~Conversation() { host_.DeleteCursor(); }
  Conversation(const Conversation&) = delete;
  Conversation& operator=(const Conversation&) = delete;

  // `check` returns the reason a point is refused, or "" to take it.
  std::optional<Point> Ask(RequestKind kind, const std::string& prompt,
                           const std::function<std::string(Point)>& check = {}) {
    for (;;) {
      PointReply reply = host_.Ask(kind, prompt);
      if (reply.kind != PointReply::Kind::Point) return std::nullopt;
      Point p{reply.x, reply.y};
      std::string refusal = check ? check(p) : std::string();
      if (refusal.empty()) return p;
      host_.PutMessage(refusal);
    }
  }
  // A rubber-band line from `base` for the next point.
  void RubberBand(Point base) { host_.MakeCursor(0, HSI_CURSOR_LINE, base, base, false); }

 private:
  Host& host_;
};

Object NewObject(const Host& host) {
  Object o;
  o.layer = host.ActiveLayer();
  o.colour = host.CurrentColour();
  return o;
}

// An arc through the picked ends: they are its exact end points.
void DrawArcThrough(Host& host, PointD centre, double radius, Point start, Point end) {
  Object o = NewObject(host);
  o.at = RoundPoint(centre);
  ArcData d;
  d.radius = RoundDbu(radius);
  d.start = start;
  d.end = end;
  o.data = d;
  host.CreateObject(std::move(o), true);
}

// A circle: a host arc whose start and end are the same point.
void DrawCircle(Host& host, PointD centre, double radius) {
  Point start = RoundPoint({centre.x + radius, centre.y});
  DrawArcThrough(host, centre, radius, start, start);
}

// ---- Circles and arcs ------------------------------------------------------------------------

void CircleByRadius(Host& host) {
  Conversation talk(host);
  auto centre = talk.Ask(RequestKind::Point, "Pick the center point of the circle...");
  if (!centre) return;
  talk.RubberBand(*centre);
  auto on = talk.Ask(RequestKind::Point, "Pick a point on the circle...", [&](Point p) {
    double r = Distance(ToD(*centre), ToD(p));
    if (r < 1) return kSamePoint;
    return Representable(ToD(*centre), r) ? "" : kTooLarge;
  });
  if (!on) return;
  DrawCircle(host, ToD(*centre), Distance(ToD(*centre), ToD(*on)));
}

void CircleByDiameter(Host& host) {
  Conversation talk(host);
  auto a = talk.Ask(RequestKind::Point, "Pick one end of the diameter...");
  if (!a) return;
  talk.RubberBand(*a);
  auto b = talk.Ask(RequestKind::Point, "Pick the other end of the diameter...",
                    [&](Point p) { return Distance(ToD(*a), ToD(p)) < 2 ? kSamePoint : ""; });
  if (!b) return;
  PointD centre = Mul(Add(ToD(*a), ToD(*b)), 0.5);
  DrawCircle(host, centre, Distance(ToD(*a), ToD(*b)) / 2);
}

struct CircleFit {
  PointD centre;
  double radius = 0;
};

// The circle through three points; nullopt when they lie on a line.
std::optional<CircleFit> CircleThrough(PointD a, PointD b, PointD c) {
  // Relative to a, so that the products stay small.
  PointD u = Sub(b, a), v = Sub(c, a);
  double d = 2 * CrossZ(u, v);
  if (d == 0) return std::nullopt;
  double uu = Dot(u, u), vv = Dot(v, v);
  PointD centre{a.x + (v.y * uu - u.y * vv) / d, a.y + (u.x * vv - v.x * uu) / d};
  return CircleFit{centre, Distance(centre, a)};
}

// The circle inside the triangle that three lines (each given by two points) make; nullopt when
// two of them are parallel or all three meet in one point.
std::optional<CircleFit> CircleInscribed(PointD a1, PointD a2, PointD b1, PointD b2, PointD c1,
                                         PointD c2) {
  // The triangle's corners: each where the other two lines meet.
  auto pa = LineIntersection(b1, b2, c1, c2);
  auto pb = LineIntersection(a1, a2, c1, c2);
  auto pc = LineIntersection(a1, a2, b1, b2);
  if (!pa || !pb || !pc) return std::nullopt;
  double la = Distance(*pb, *pc), lb = Distance(*pa, *pc), lc = Distance(*pa, *pb);
  double perimeter = la + lb + lc;
  double area2 = std::fabs(CrossZ(Sub(*pb, *pa), Sub(*pc, *pa)));
  // A triangle too small to hold a circle of one drawing unit counts as none.
  if (!(perimeter > 0) || !(area2 / perimeter >= 1)) return std::nullopt;
  PointD centre = Mul(Add(Add(Mul(*pa, la), Mul(*pb, lb)), Mul(*pc, lc)), 1 / perimeter);
  return CircleFit{centre, area2 / perimeter};
}

void CircleByThreePoints(Host& host) {
  Conversation talk(host);
  auto a = talk.Ask(RequestKind::Point, "Pick the first point on the circle...");
  if (!a) return;
  talk.RubberBand(*a);
  auto b = talk.Ask(RequestKind::Point, "Pick the second point on the circle...",
                    [&](Point p) { return p == *a ? kSamePoint : ""; });
  if (!b) return;
  talk.RubberBand(*b);
  std::optional<CircleFit> fit;
  auto c = talk.Ask(RequestKind::Point, "Pick the third point on the circle...", [&](Point p) {
    if (p == *a || p == *b) return kSamePoint;
    fit = CircleThrough(ToD(*a), ToD(*b), ToD(p));
    if (!fit) return kOnALine;
    return Representable(fit->centre, fit->radius) ? "" : kTooLarge;
  });
  if (!c) return;
  DrawCircle(host, fit->centre, fit->radius);
}

// The segment of a lineset nearest p.
std::pair<PointD, PointD> NearestSegment(const Object& o, PointD p) {
  const auto& pts = host::get<LinesetData>(o.data).points;
  std::pair<PointD, PointD> best{ToD(pts.front()), ToD(pts.back())};
  double bestDistance = 1e300;
  for (size_t i = 1; i < pts.size(); ++i) {
    double d = SegmentDistance(p, ToD(pts[i - 1]), ToD(pts[i]));
    if (d < bestDistance && !(pts[i - 1] == pts[i])) {
      bestDistance = d;
      best = {ToD(pts[i - 1]), ToD(pts[i])};
    }
  }
  return best;
}

void CircleInscribedInLines(Host& host) {
  Conversation talk(host);
  std::vector<std::pair<PointD, PointD>> lines;
  std::optional<CircleFit> fit;
  const char* prompts[] = {"Pick the first line...", "Pick the second line...",
                           "Pick the third line..."};
  for (const char* prompt : prompts) {
    auto picked = talk.Ask(RequestKind::Pick, prompt, [&](Point p) -> std::string {
      int32_t id = host.NearestObject(p, host.ApertureDbu(2), kLinesets, nullptr);
      if (id == 0) return "There is no line there.";
      auto line = NearestSegment(*host.Find(id), ToD(p));
      for (const auto& other : lines) {
        PointD u = Sub(line.second, line.first), v = Sub(other.second, other.first);
        if (std::fabs(CrossZ(u, v)) <= 1e-9 * std::hypot(u.x, u.y) * std::hypot(v.x, v.y))
          return "The lines must form a triangle: pick another line.";
      }
      if (lines.size() == 2) {
        fit = CircleInscribed(lines[0].first, lines[0].second, lines[1].first, lines[1].second,
                              line.first, line.second);
        if (!fit) return "The lines must form a triangle: pick another line.";
        if (!Representable(fit->centre, fit->radius)) return kTooLarge;
      }
      lines.push_back(line);
      return "";
    });
    if (!picked) return;
  }
  DrawCircle(host, fit->centre, fit->radius);
}

void ArcByCentre(Host& host) {
  Conversation talk(host);
  auto centre = talk.Ask(RequestKind::Point, "Pick the center point of the arc...");
  if (!centre) return;
  talk.RubberBand(*centre);
  auto notCentre = [&](Point p) {
    double r = Distance(ToD(*centre), ToD(p));
    if (r < 1) return kSamePoint;
    return Representable(ToD(*centre), r) ? "" : kTooLarge;
  };
  auto start = talk.Ask(RequestKind::Point, "Pick the start point of the arc...", notCentre);
  if (!start) return;
  double radius = Distance(ToD(*centre), ToD(*start));
  double a2 = 0;
  auto end = talk.Ask(RequestKind::Point, "Pick the end point of the arc...", [&](Point p) {
    if (p == *centre) return kSamePoint;
    a2 = AngleDeg(ToD(*centre), ToD(p));
    // The end lies where the picked point's direction meets the circle.
    return RoundPoint({centre->x + radius * std::cos(Radians(a2)),
                       centre->y + radius * std::sin(Radians(a2))}) == *start
               ? kSamePoint
               : "";
  });
  if (!end) return;
  Object o = NewObject(host);
  o.at = *centre;
  ArcData d;
  d.radius = RoundDbu(radius);
  d.start = *start;
  d.end = RoundPoint(
      {centre->x + radius * std::cos(Radians(a2)), centre->y + radius * std::sin(Radians(a2))});
  o.data = d;
  host.CreateObject(std::move(o), true);
}

void ArcHalfCircle(Host& host) {
  Conversation talk(host);
  auto a = talk.Ask(RequestKind::Point, "Pick the start point of the half circle...");
  if (!a) return;
  talk.RubberBand(*a);
  auto b = talk.Ask(RequestKind::Point, "Pick the end point of the half circle...",
                    [&](Point p) { return Distance(ToD(*a), ToD(p)) < 2 ? kSamePoint : ""; });
  if (!b) return;
  DrawArcThrough(host, Mul(Add(ToD(*a), ToD(*b)), 0.5), Distance(ToD(*a), ToD(*b)) / 2, *a, *b);
}

void ArcByThreePoints(Host& host) {
  Conversation talk(host);
  auto a = talk.Ask(RequestKind::Point, "Pick the start point of the arc...");
  if (!a) return;
  talk.RubberBand(*a);
  auto b = talk.Ask(RequestKind::Point, "Pick the end point of the arc...",
                    [&](Point p) { return p == *a ? kSamePoint : ""; });
  if (!b) return;
  std::optional<CircleFit> fit;
  auto m = talk.Ask(RequestKind::Point, "Pick a point on the arc...", [&](Point p) {
    if (p == *a || p == *b) return kSamePoint;
    fit = CircleThrough(ToD(*a), ToD(*b), ToD(p));
    if (!fit) return kOnALine;
    return Representable(fit->centre, fit->radius) ? "" : kTooLarge;
  });
  if (!m) return;
  // Host arcs run counter-clockwise: from the start when the middle point lies on that way round,
  // else from the end.
  double aStart = AngleDeg(fit->centre, ToD(*a)), aEnd = AngleDeg(fit->centre, ToD(*b));
  bool forward = AngleOnArc(AngleDeg(fit->centre, ToD(*m)), aStart, aEnd);
  DrawArcThrough(host, fit->centre, fit->radius, forward ? *a : *b, forward ? *b : *a);
}

// ---- Trim ------------------------------------------------------------------------------------

// An object's outline as a path measured by its length from its start: a lineset through its
// vertices, or an arc counter-clockwise from its start (a circle once round).
struct Path {
  bool isArc = false;
  std::vector<PointD> points;  // a lineset's vertices
  PointD centre;               // an arc's centre, radius, start angle and sweep (radians)
  double radius = 0, start = 0, sweep = 0;
  bool closed = false;  // a circle
  double Length() const;
  PointD At(double s) const;
  double Nearest(PointD p) const;  // the length along the path of its point nearest p
};

std::optional<Path> PathOf(const Object& o) {
  Path path;
  if (const auto* l = host::get_if<LinesetData>(&o.data)) {
    if (l->points.size() < 2) return std::nullopt;
    for (const Point& p : l->points) path.points.push_back(ToD(p));
    return path;
  }
  if (const auto* a = host::get_if<ArcData>(&o.data)) {
    if (a->radius <= 0) return std::nullopt;
    path.isArc = true;
    path.centre = ToD(o.at);
    path.radius = a->radius;
    path.closed = a->start == a->end;
    path.start = Radians(AngleDeg(path.centre, ToD(a->start)));
    double sweep =
        NormaliseDeg(AngleDeg(path.centre, ToD(a->end)) - AngleDeg(path.centre, ToD(a->start)));
    path.sweep = path.closed || sweep == 0 ? 2 * kPi : Radians(sweep);
    return path;
  }
  return std::nullopt;
}

double Path::Length() const {
  if (isArc) return radius * sweep;
  double length = 0;
  for (size_t i = 1; i < points.size(); ++i) length += Distance(points[i - 1], points[i]);
  return length;
}

PointD Path::At(double s) const {
  if (isArc) {
    double angle = start + s / radius;
    return {centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)};
  }
  for (size_t i = 1; i < points.size(); ++i) {
    double length = Distance(points[i - 1], points[i]);
    if (s <= length || i + 1 == points.size()) {
      double t = length > 0 ? std::clamp(s / length, 0.0, 1.0) : 0.0;
      return Add(points[i - 1], Mul(Sub(points[i], points[i - 1]), t));
    }
    s -= length;
  }
  return points.back();
}

double Path::Nearest(PointD p) const {
  if (isArc) {
    double offset = std::fmod(std::atan2(p.y - centre.y, p.x - centre.x) - start, 2 * kPi);
    if (offset < 0) offset += 2 * kPi;
    if (offset <= sweep) return radius * offset;
    // Beyond the arc's end: the nearer end.
    return offset - sweep < 2 * kPi - offset ? Length() : 0;
  }
  double best = 1e300, bestS = 0, s = 0;
  for (size_t i = 1; i < points.size(); ++i) {
    double t = 0;
    double d = SegmentDistance(p, points[i - 1], points[i], &t);
    double length = Distance(points[i - 1], points[i]);
    if (d < best) {
      best = d;
      bestS = s + t * length;
    }
    s += length;
  }
  return bestS;
}

// Where the infinite line through a, b meets the circle.
std::vector<PointD> LineCircle(PointD a, PointD b, PointD c, double r) {
  PointD d = Sub(b, a);
  double len2 = Dot(d, d);
  if (len2 == 0) return {};
  PointD f = Foot(c, a, b);
  double h2 = r * r - Dot(Sub(f, c), Sub(f, c));
  if (h2 < 0) return {};
  PointD step = Mul(d, std::sqrt(h2 / len2));
  return {Sub(f, step), Add(f, step)};
}

std::vector<PointD> CircleCircle(PointD c1, double r1, PointD c2, double r2) {
  double d = Distance(c1, c2);
  if (d == 0 || d > r1 + r2 || d < std::fabs(r1 - r2)) return {};
  double along = (d * d + r1 * r1 - r2 * r2) / (2 * d);
  double h = std::sqrt(std::max(0.0, r1 * r1 - along * along));
  PointD u = Mul(Sub(c2, c1), 1 / d);
  PointD m = Add(c1, Mul(u, along));
  PointD n{-u.y, u.x};
  return {Add(m, Mul(n, h)), Sub(m, Mul(n, h))};
}

// The points where two paths may cross: every crossing of their lines and circles, to be
// checked against both paths.
std::vector<PointD> Candidates(const Path& a, const Path& b) {
  std::vector<PointD> out;
  auto add = [&](const std::vector<PointD>& points) {
    out.insert(out.end(), points.begin(), points.end());
  };
  if (a.isArc && b.isArc) {
    add(CircleCircle(a.centre, a.radius, b.centre, b.radius));
  } else if (a.isArc || b.isArc) {
    const Path& arc = a.isArc ? a : b;
    const Path& lines = a.isArc ? b : a;
    for (size_t i = 1; i < lines.points.size(); ++i)
      add(LineCircle(lines.points[i - 1], lines.points[i], arc.centre, arc.radius));
  } else {
    for (size_t i = 1; i < a.points.size(); ++i)
      for (size_t j = 1; j < b.points.size(); ++j)
        if (auto p = LineIntersection(a.points[i - 1], a.points[i], b.points[j - 1], b.points[j]))
          out.push_back(*p);
  }
  return out;
}

// Points within this distance of a path lie on it (the rounding of stored points).
constexpr double kOnPath = 2.0;

bool OnPath(const Path& path, PointD p) { return Distance(path.At(path.Nearest(p)), p) <= kOnPath; }

// Where `edge` crosses `piece`, as lengths along `piece`, in order.
std::vector<double> Crossings(const Path& piece, const Path& edge) {
  std::vector<double> out;
  for (PointD p : Candidates(piece, edge)) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !OnPath(piece, p) || !OnPath(edge, p))
      continue;
    out.push_back(piece.Nearest(p));
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end(),
                        [](double x, double y) { return std::fabs(x - y) <= kOnPath; }),
            out.end());
  return out;
}

// What is left of a path when the piece around `picked` (a length along it) between the
// crossings next to it is cut off: the stretches kept, as lengths along the path. nullopt when
// nothing crosses the path (a circle needs two crossings).
std::optional<std::vector<std::pair<double, double>>> PiecesLeft(const Path& path,
                                                                 std::vector<double> crossings,
                                                                 double picked) {
  double length = path.Length();
  if (path.isArc && path.closed) {
    // A circle keeps the arc from the crossing after the pick round to the one before it.
    if (crossings.size() < 2) return std::nullopt;
    auto after = std::upper_bound(crossings.begin(), crossings.end(), picked);
    double hi = after == crossings.end() ? crossings.front() : *after;
    double lo = after == crossings.begin() ? crossings.back() : *(after - 1);
    double to = lo >= hi ? lo : lo + length;
    return std::vector<std::pair<double, double>>{{hi, to}};
  }
  // An open path: crossings at its ends cut nothing off.
  crossings.erase(std::remove_if(crossings.begin(), crossings.end(),
                                 [&](double s) { return s <= kOnPath || s >= length - kOnPath; }),
                  crossings.end());
  if (crossings.empty()) return std::nullopt;
  double lo = 0, hi = length;
  for (double s : crossings) {
    if (s < picked) lo = s;
    if (s > picked) {
      hi = s;
      break;
    }
  }
  std::vector<std::pair<double, double>> left;
  if (lo > 0) left.emplace_back(0.0, lo);
  if (hi < length) left.emplace_back(hi, length);
  return left;
}

// The part of `original` from s0 to s1 along its path, as a new object of the same kind.
std::optional<Object> PartOf(const Object& original, const Path& path, double s0, double s1) {
  Object part = original;
  part.id = 0;
  if (path.isArc) {
    auto& d = host::get<ArcData>(part.data);
    d.start = RoundPoint(path.At(s0));
    d.end = RoundPoint(path.At(s1));
    if (d.start == d.end) return std::nullopt;
    return part;
  }
  std::vector<Point> points{RoundPoint(path.At(s0))};
  double s = 0;
  for (size_t i = 1; i + 1 < path.points.size(); ++i) {
    s += Distance(path.points[i - 1], path.points[i]);
    if (s > s0 && s < s1) points.push_back(RoundPoint(path.points[i]));
  }
  points.push_back(RoundPoint(path.At(s1)));
  points.erase(std::unique(points.begin(), points.end()), points.end());
  if (points.size() < 2) return std::nullopt;
  host::get<LinesetData>(part.data).points = points;
  part.at = points.front();
  return part;
}

// Cuts off the piece of object `id` around `picked` between its crossings with the edges: the
// object is replaced by what is left, as one operation. The new objects' ids are added to
// `made`. Returns the refusal, or "".
std::string CutPiece(Host& host, int32_t id, Point picked, const std::vector<int32_t>& edges,
                     std::vector<int32_t>* made) {
  const Object* o = host.Find(id);
  auto path = o ? PathOf(*o) : std::nullopt;
  if (!path) return "Only lines and arcs can be cut.";
  std::vector<double> crossings;
  for (int32_t edge : edges) {
    const Object* e = host.Find(edge);
    auto edgePath = e && edge != id ? PathOf(*e) : std::nullopt;
    if (!edgePath) continue;
    auto found = Crossings(*path, *edgePath);
    crossings.insert(crossings.end(), found.begin(), found.end());
  }
  std::sort(crossings.begin(), crossings.end());
  auto left = PiecesLeft(*path, crossings, path->Nearest(ToD(picked)));
  if (!left) return "That piece does not cross the cutting edge: pick another piece.";
  Object original = *o;
  std::vector<Object> parts;
  for (const auto& [s0, s1] : *left)
    if (auto part = PartOf(original, *path, s0, s1)) parts.push_back(std::move(*part));
  host.BeginOperation();
  host.DeleteObject(id);
  for (auto& part : parts) made->push_back(host.CreateObject(std::move(part), true));
  host.EndOperation();
  return "";
}

// The selected (or any) line or arc nearest the point within the pick aperture.
int32_t PickLineOrArc(const Host& host, Point p, const SelectionList* among) {
  if (!among) return host.NearestObject(p, host.ApertureDbu(2), kLinesOrArcs, nullptr);
  int32_t best = 0;
  double bestDistance = host.ApertureDbu(2);
  for (const auto& entry : among->entries) {
    const Object* o = host.Find(entry.id);
    if (!o || !Host::PassesFilter(*o, kLinesOrArcs) || !host.Layer(o->layer).On()) continue;
    double d = host.ObjectDistance(*o, ToD(p));
    if (d <= bestDistance) {
      best = entry.id;
      bestDistance = d;
    }
  }
  return best;
}

void TrimWithEdge(Host& host) {
  Conversation talk(host);
  int32_t edge = 0;
  auto picked = talk.Ask(RequestKind::Pick, "Pick the cutting edge...", [&](Point p) {
    edge = PickLineOrArc(host, p, nullptr);
    return edge == 0 ? "There is no line or arc there." : "";
  });
  if (!picked) return;
  for (;;) {
    auto piece = talk.Ask(RequestKind::Pick, "Pick the piece to cut off...", [&](Point p) {
      int32_t id = PickLineOrArc(host, p, nullptr);
      if (id == 0) return std::string("There is no line or arc there.");
      if (id == edge) return std::string("That is the cutting edge: pick another piece.");
      std::vector<int32_t> made;
      return CutPiece(host, id, p, {edge}, &made);
    });
    if (!piece) return;
  }
}

void TrimSelection(Host& host) {
  Conversation talk(host);
  for (;;) {
    auto piece = talk.Ask(RequestKind::Pick, "Pick the piece to cut off...", [&](Point p) {
      SelectionList* selected = host.MutableList(0);
      int32_t id = selected ? PickLineOrArc(host, p, selected) : 0;
      if (id == 0) return std::string("There is no selected line or arc there.");
      std::vector<int32_t> edges;
      for (const auto& entry : selected->entries) edges.push_back(entry.id);
      std::vector<int32_t> made;
      std::string refusal = CutPiece(host, id, p, edges, &made);
      // What is left of a selected object stays selected, to be cut again.
      for (int32_t part : made) host.AddToList(0, HsiOslEntry{part, 0, 0});
      return refusal;
    });
    if (!piece) return;
  }
}

// ---- The active layer ------------------------------------------------------------------------

void PickActiveLayer(Host& host) {
  Conversation talk(host);
  int32_t id = 0;
  auto picked =
      talk.Ask(RequestKind::Pick, "Pick an object on the layer to make active...", [&](Point p) {
        id = host.NearestObject(p, host.ApertureDbu(2), 0, nullptr);
        return id == 0 ? "There is no object there." : "";
      });
  if (!picked) return;
  host.SetActiveLayer(host.Find(id)->layer);
  host.StatusLineUpdate();
}

// ---- Walls -----------------------------------------------------------------------------------

// The chain of points moved sideways by `offset` (to the left of its direction when positive):
// one face of a wall whose centre line is the chain, its corners mitred.
std::vector<Point> OffsetChain(const std::vector<Point>& chain, double offset) {
  std::vector<PointD> pts;
  for (const Point& p : chain) pts.push_back(ToD(p));
  auto normal = [&](size_t i) {  // the left normal of segment i (from point i to i + 1)
    PointD d = Sub(pts[i + 1], pts[i]);
    double len = std::hypot(d.x, d.y);
    return len > 0 ? PointD{-d.y / len, d.x / len} : PointD{0, 0};
  };
  std::vector<Point> out;
  if (pts.size() < 2) return out;
  for (size_t i = 0; i < pts.size(); ++i) {
    if (i == 0 || i + 1 == pts.size()) {
      out.push_back(RoundPoint(Add(pts[i], Mul(normal(i == 0 ? 0 : i - 1), offset))));
      continue;
    }
    // A corner: where the two offset sides meet. Straight on, the side's own offset; at a turn
    // so sharp that the mitre would reach far beyond the wall (or straight back), the corner is
    // cut off between the two sides' offsets.
    PointD n1 = normal(i - 1), n2 = normal(i);
    PointD a1 = Add(pts[i - 1], Mul(n1, offset)), a2 = Add(pts[i], Mul(n1, offset));
    PointD b1 = Add(pts[i], Mul(n2, offset)), b2 = Add(pts[i + 1], Mul(n2, offset));
    auto corner =
        std::fabs(CrossZ(n1, n2)) > 1e-9 ? LineIntersection(a1, a2, b1, b2) : std::nullopt;
    if (corner && Distance(*corner, pts[i]) <= 4 * std::fabs(offset)) {
      out.push_back(RoundPoint(*corner));
      continue;
    }
    out.push_back(RoundPoint(a2));
    if (!(RoundPoint(b1) == RoundPoint(a2))) out.push_back(RoundPoint(b1));
  }
  return out;
}

double WallThicknessDbu(const Host& host) {
  const UnitSettings& units = host.Units();
  return host.WallThickness() * UnitsPerInch(units.unitType) * units.pointsPerUnit;
}

Object Face(const Host& host, std::vector<Point> points) {
  Object o = NewObject(host);
  o.at = points.front();
  LinesetData d;
  d.points = std::move(points);
  o.data = d;
  return o;
}

void DrawWalls(Host& host) {
  Conversation talk(host);
  const double half = WallThicknessDbu(host) / 2;
  std::vector<Point> chain;
  std::vector<int32_t> preview;
  auto clearPreview = [&] {
    for (int32_t id : preview) host.DeleteObject(id);
    preview.clear();
  };
  for (;;) {
    auto p =
        talk.Ask(RequestKind::Point,
                 chain.empty() ? "Pick the start point of the wall..."
                               : "Pick the next point of the wall...",
                 [&](Point q) { return !chain.empty() && q == chain.back() ? kSamePoint : ""; });
    if (!p) break;
    chain.push_back(*p);
    talk.RubberBand(*p);
    if (chain.size() < 2) continue;
    // The wall drawn so far is shown as a preview until the chain ends.
    clearPreview();
    for (double side : {half, -half})
      preview.push_back(host.CreateObject(Face(host, OffsetChain(chain, side)), false));
  }
  clearPreview();
  if (chain.size() < 2) return;
  host.BeginOperation();
  for (double side : {half, -half}) host.CreateObject(Face(host, OffsetChain(chain, side)), true);
  host.EndOperation();
}

}  // namespace

// ---- The tools -------------------------------------------------------------------------------

bool Host::IsHostTool(int command) {
  switch (command) {
    case kCircleRadius:
    case kCircleDiameter:
    case kCircleThreePoints:
    case kCircleInscribed:
    case kArcCentre:
    case kArcHalfCircle:
    case kArcThreePoints:
    case kTrimWithEdge:
    case kTrimSelection:
    case kPickActiveLayer:
    case kWalls:
    case kZoomExtents:
      return true;
    default:
      return false;
  }
}

void Host::RunPendingTools() {
  while (!pendingTools_.empty()) {
    int command = pendingTools_.front();
    pendingTools_.erase(pendingTools_.begin());
    switch (command) {
      case kCircleRadius:
        CircleByRadius(*this);
        break;
      case kCircleDiameter:
        CircleByDiameter(*this);
        break;
      case kCircleThreePoints:
        CircleByThreePoints(*this);
        break;
      case kCircleInscribed:
        CircleInscribedInLines(*this);
        break;
      case kArcCentre:
        ArcByCentre(*this);
        break;
      case kArcHalfCircle:
        ArcHalfCircle(*this);
        break;
      case kArcThreePoints:
        ArcByThreePoints(*this);
        break;
      case kTrimWithEdge:
        TrimWithEdge(*this);
        break;
      case kTrimSelection:
        TrimSelection(*this);
        break;
      case kPickActiveLayer:
        PickActiveLayer(*this);
        break;
      case kWalls:
        DrawWalls(*this);
        break;
      case kZoomExtents:
        ZoomExtents();
        break;
      default:
        break;
    }
  }
}

bool Host::SetWallThickness(double inches) {
  if (!(inches > 0) || !std::isfinite(inches)) return false;
  wallThickness_ = inches;
  return true;
}

bool Host::ZoomExtents() {
  Box extent;
  for (const auto& [id, o] : objects_)
    if (o.final && Layer(o.layer).On()) extent.Add(ObjectBox(o));
  if (extent.Empty()) return false;
  view_ = extent;
  ++viewChanges_;
  Notify(HostEvent::Kind::ViewChanged, std::to_string(extent.x1) + "," + std::to_string(extent.y1) +
                                           " " + std::to_string(extent.x2) + "," +
                                           std::to_string(extent.y2));
  return true;
}

}  // namespace host

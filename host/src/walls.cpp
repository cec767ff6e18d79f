// Wall operations: opening wall lines for a symbol and repairing junctions of parallel lines.
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "host/host.h"

namespace host {

namespace {

struct Segment {
  int32_t id = 0;
  size_t index = 0;  // between vertex index and index + 1
  PointD p, q;
};

PointD Sub(PointD a, PointD b) { return {a.x - b.x, a.y - b.y}; }
PointD Add(PointD a, PointD b) { return {a.x + b.x, a.y + b.y}; }
PointD Mul(PointD a, double k) { return {a.x * k, a.y * k}; }
double Dot(PointD a, PointD b) { return a.x * b.x + a.y * b.y; }
double CrossZ(PointD a, PointD b) { return a.x * b.y - a.y * b.x; }
PointD Unit(PointD a) {
  double len = std::hypot(a.x, a.y);
  return len > 0 ? PointD{a.x / len, a.y / len} : PointD{0, 0};
}

bool Parallel(const Segment& a, const Segment& b, double degrees) {
  PointD u = Unit(Sub(a.q, a.p)), v = Unit(Sub(b.q, b.p));
  return std::fabs(CrossZ(u, v)) <= std::sin(Radians(degrees));
}

// Splits lineset `id` at segment `index` between the points `cut1` and `cut2` (cut1 nearer the
// segment's start): the original keeps the part before the opening, a new lineset takes the rest.
// An opening that starts or ends at the line's own end leaves nothing on that side: no lineset
// of a single point is made, and a line the opening covers whole goes.
bool SplitLineset(Host& host, int32_t id, size_t index, PointD cut1, PointD cut2) {
  const Object* o = host.Find(id);
  if (!o) return false;
  Object first = *o;
  const auto& pts = host::get<LinesetData>(o->data).points;
  std::vector<Point> a(pts.begin(), pts.begin() + static_cast<long>(index) + 1);
  if (a.back() != RoundPoint(cut1)) a.push_back(RoundPoint(cut1));
  std::vector<Point> b;
  if (pts[index + 1] != RoundPoint(cut2)) b.push_back(RoundPoint(cut2));
  b.insert(b.end(), pts.begin() + static_cast<long>(index) + 1, pts.end());
  if (a.size() < 2 && b.size() < 2) return host.DeleteObject(id);
  Object second = first;
  host::get<LinesetData>(first.data).points = a.size() >= 2 ? a : b;
  first.at = host::get<LinesetData>(first.data).points.front();
  host.ReplaceObject(first);
  if (a.size() < 2 || b.size() < 2) return true;
  host::get<LinesetData>(second.data).points = b;
  second.at = b.front();
  host.CreateObject(second, true);
  return true;
}

// Moves the end of segment `s` that lies nearer `near` to `to`.
void MoveSegmentEnd(Host& host, const Segment& s, PointD near, PointD to) {
  const Object* o = host.Find(s.id);
  if (!o) return;
  Object changed = *o;
  auto& pts = host::get<LinesetData>(changed.data).points;
  size_t which = Distance(s.p, near) <= Distance(s.q, near) ? s.index : s.index + 1;
  pts[which] = RoundPoint(to);
  changed.at = pts.front();
  host.ReplaceObject(changed);
}

// The lowest and highest y of a symbol's drawing, in symbol units (arcs by points every 5
// degrees, texts by their position); 0, 0 for an empty symbol.
std::pair<double, double> SymbolSpanY(const SymbolDef& def) {
  double low = 1e300, high = -1e300;
  auto add = [&](double y) {
    low = std::min(low, y);
    high = std::max(high, y);
  };
  for (const auto& e : def.elements) {
    switch (e.kind) {
      case SymbolElement::Kind::Lineset:
        for (const PointD& p : e.points) add(p.y);
        break;
      case SymbolElement::Kind::Arc: {
        double a1 = e.angle1, a2 = e.angle2;
        while (a2 <= a1) a2 += 360;
        for (double a = a1; a < a2; a += 5) add(e.centre.y + e.radius * std::sin(Radians(a)));
        add(e.centre.y + e.radius * std::sin(Radians(a2)));
        break;
      }
      case SymbolElement::Kind::Text:
        add(e.centre.y);
        break;
    }
  }
  if (low > high) return {0, 0};
  return {low, high};
}

}  // namespace

PointD Host::SymbolToDrawing(const SymbolDef& def, const SymbolData& instance, Point at,
                             PointD local) const {
  PointD scaled{local.x * instance.scaleX * def.unit, local.y * instance.scaleY * def.unit};
  PointD turned = Rotate(scaled, {0, 0}, instance.rotation);
  return {at.x + turned.x, at.y + turned.y};
}

bool Host::OpenSegment(int16_t list, int32_t symbol, Point insertion, Point direction,
                       int16_t justification) {
  const SymbolDef* def = Symbol(symbol);
  if (!def) {
    SetError(HSI_ERR_PLACEMENT);
    return false;
  }
  if (!def->hasNode) {
    SetError(HSI_ERR_NO_NODE);
    return false;
  }
  const SelectionList* lines = List(list);
  if (!lines || lines->entries.empty()) {
    SetError(HSI_ERR_TOO_FEW_LINES);
    return false;
  }
  if (lines->entries.size() > 2) {
    SetError(HSI_ERR_TOO_MANY_LINES);
    return false;
  }
  PointD origin = ToD(insertion);
  PointD towards = Unit(Sub(ToD(direction), origin));
  if (towards.x == 0 && towards.y == 0) {
    SetError(HSI_ERR_PLACEMENT);
    return false;
  }
  double scaleX = std::fabs(symbolInfo.scaleX2D) > 0 ? std::fabs(symbolInfo.scaleX2D) : 1.0;
  double scaleY = symbolInfo.scaleY2D != 0 ? symbolInfo.scaleY2D : 1.0;
  double width = def->nodeWidth * scaleX * def->unit;
  double t0 = justification == 2 ? -width / 2 : 0.0;
  double t1 = t0 + width;

  // The segment of each line that the opening cuts.
  std::vector<Segment> segments;
  for (const auto& entry : lines->entries) {
    const Object* o = Find(entry.id);
    if (!o || !o->final || o->Kind() != ObjectKind::Lineset) {
      SetError(HSI_ERR_ODD_LINES);
      return false;
    }
    const auto& pts = host::get<LinesetData>(o->data).points;
    if (pts.size() < 2) {
      SetError(HSI_ERR_ODD_LINES);
      return false;
    }
    size_t index = 0;
    if (entry.segment >= 1 && static_cast<size_t>(entry.segment) < pts.size()) {
      index = static_cast<size_t>(entry.segment) - 1;
    } else {
      double best = 1e300;
      for (size_t i = 0; i + 1 < pts.size(); ++i) {
        double d = SegmentDistance(origin, ToD(pts[i]), ToD(pts[i + 1]));
        if (d < best) {
          best = d;
          index = i;
        }
      }
    }
    segments.push_back(Segment{entry.id, index, ToD(pts[index]), ToD(pts[index + 1])});
  }
  // The lines of one wall run side by side.
  if (segments.size() == 2 && !Parallel(segments[0], segments[1], 5.0)) {
    SetError(HSI_ERR_ODD_LINES);
    return false;
  }
  // The opening runs along the wall, in the sense of the direction point. The direction point
  // need not lie on the line through the insertion point (a door's hinge may be on one face of
  // the wall and its direction point on the other): only its sense along the wall counts. A
  // direction across the wall is refused.
  PointD axis = Unit(Sub(segments[0].q, segments[0].p));
  const double along = Dot(towards, axis);
  if (std::fabs(along) < std::cos(Radians(45.0))) {
    SetError(HSI_ERR_ODD_LINES);
    return false;
  }
  if (along < 0) axis = Mul(axis, -1);
  // The opening must lie within each segment; it may start or end at the segment's end (within
  // a drawing unit, as points placed along a slanted wall are rounded).
  constexpr double kEndTolerance = 1.0;
  std::vector<std::pair<PointD, PointD>> cuts;
  for (const auto& s : segments) {
    double tp = Dot(Sub(s.p, origin), axis), tq = Dot(Sub(s.q, origin), axis);
    const double low = std::min(tp, tq), high = std::max(tp, tq);
    if (t0 < low - kEndTolerance || t1 > high + kEndTolerance || high - low <= 0) {
      SetError(HSI_ERR_DOES_NOT_FIT);
      return false;
    }
    auto at = [&](double t) {
      t = std::clamp(t, low, high);
      return Add(s.p, Mul(Sub(s.q, s.p), (t - tp) / (tq - tp)));
    };
    PointD c0 = at(t0), c1 = at(t1);
    if (Distance(s.p, c0) > Distance(s.p, c1)) std::swap(c0, c1);
    cuts.emplace_back(c0, c1);
  }

  BeginOperation();
  for (size_t i = 0; i < segments.size(); ++i)
    SplitLineset(*this, segments[i].id, segments[i].index, cuts[i].first, cuts[i].second);
  // The symbol's node goes to the opening's start; its +x axis runs along the opening.
  SymbolData data;
  data.symbol = symbol;
  data.name = def->name;
  data.scaleX = scaleX;
  data.scaleY = scaleY;
  data.scaleZ = symbolInfo.scaleZ3D != 0 ? symbolInfo.scaleZ3D : 1.0;
  data.rotation = AngleDeg({0, 0}, axis);
  data.inserted = true;
  // Across the wall the symbol sits in it: a symbol drawn on one side of its axis (a door's leaf
  // and swing) on the face of that side, so that the leaf starts at the wall's face; one drawn
  // on both sides (a window, a sliding door) on the middle line between the faces; with one line,
  // on the line.
  const PointD normal{-axis.y, axis.x};  // the symbol's +y side, before its y scale
  std::vector<double> faces;
  for (const auto& s : segments) faces.push_back(Dot(Sub(s.p, origin), normal));
  const auto [low, high] = SymbolSpanY(*def);
  double across = faces.front();
  if (faces.size() == 2) {
    const double ymin = std::min(low * scaleY, high * scaleY);
    const double ymax = std::max(low * scaleY, high * scaleY);
    const double lean = ymax + ymin, span = ymax - ymin;
    if (span > 0 && lean > span / 4)
      across = std::max(faces[0], faces[1]);
    else if (span > 0 && lean < -span / 4)
      across = std::min(faces[0], faces[1]);
    else
      across = (faces[0] + faces[1]) / 2;
  }
  origin = Add(origin, Mul(normal, across));
  PointD start = Add(origin, Mul(axis, t0));
  PointD nodeOffset = Sub(SymbolToDrawing(*def, data, {0, 0}, def->node), {0, 0});
  Object instance;
  instance.layer = activeLayer_;
  instance.colour = currentColour_;
  instance.at = RoundPoint(Sub(start, nodeOffset));
  instance.data = data;
  CreateObject(std::move(instance), true);
  EndOperation();
  return true;
}

bool Host::FixParallelLines(int16_t list, int16_t kind, Point c1, Point c2) {
  auto fail = [&]() {
    SetError(HSI_ERR_NO_JUNCTION);
    return false;
  };
  const SelectionList* lines = List(list);
  if (!lines || kind < HSI_FIX_CORNER || kind > HSI_FIX_CLOSED_TEE) {
    SetError(HSI_ERR_BAD_ARGUMENT);
    return false;
  }
  Box window;
  window.Add(c1.x, c1.y);
  window.Add(c2.x, c2.y);
  PointD centre{(double(c1.x) + c2.x) / 2, (double(c1.y) + c2.y) / 2};

  // One segment per line: the one in the window nearest its centre.
  std::vector<Segment> segments;
  for (const auto& entry : lines->entries) {
    const Object* o = Find(entry.id);
    if (!o || o->Kind() != ObjectKind::Lineset) continue;
    const auto& pts = host::get<LinesetData>(o->data).points;
    std::optional<Segment> best;
    double bestDistance = 1e300;
    for (size_t i = 0; i + 1 < pts.size(); ++i) {
      PointD p = ToD(pts[i]), q = ToD(pts[i + 1]);
      if (!SegmentIntersectsBox(p, q, window)) continue;
      double d = SegmentDistance(centre, p, q);
      if (d < bestDistance) {
        bestDistance = d;
        best = Segment{entry.id, i, p, q};
      }
    }
    if (best) segments.push_back(*best);
  }
  if (segments.size() != 4) return fail();

  // Two walls: two pairs of parallel lines that are not parallel to each other.
  const int pairings[3][4] = {{0, 1, 2, 3}, {0, 2, 1, 3}, {0, 3, 1, 2}};
  std::array<Segment, 2> wallA, wallB;
  bool paired = false;
  for (const auto& p : pairings) {
    const Segment &a1 = segments[p[0]], &a2 = segments[p[1]], &b1 = segments[p[2]],
                  &b2 = segments[p[3]];
    if (Parallel(a1, a2, 1.0) && Parallel(b1, b2, 1.0) && !Parallel(a1, b1, 5.0)) {
      wallA = {a1, a2};
      wallB = {b1, b2};
      paired = true;
      break;
    }
  }
  if (!paired) return fail();

  struct Wall {
    std::array<Segment, 2> lines;
    PointD axis, mid;  // direction and a point of the centre line
    double tmin = 0, tmax = 0;
    double halfWidth = 0;
  };
  auto makeWall = [](const std::array<Segment, 2>& l) {
    Wall w;
    w.lines = l;
    w.axis = Unit(Sub(l[0].q, l[0].p));
    PointD foot = Foot(l[0].p, l[1].p, l[1].q);
    w.mid = Mul(Add(l[0].p, foot), 0.5);
    w.halfWidth = Distance(l[0].p, foot) / 2;
    return w;
  };
  Wall a = makeWall(wallA), b = makeWall(wallB);
  auto junction = LineIntersection(a.mid, Add(a.mid, a.axis), b.mid, Add(b.mid, b.axis));
  if (!junction) return fail();
  PointD j = *junction;
  for (Wall* w : {&a, &b}) {
    w->tmin = 1e300;
    w->tmax = -1e300;
    for (const auto& s : w->lines)
      for (PointD p : {s.p, s.q}) {
        double t = Dot(Sub(p, j), w->axis);
        w->tmin = std::min(w->tmin, t);
        w->tmax = std::max(w->tmax, t);
      }
  }
  auto through = [](const Wall& w, const Wall& other) {
    double margin = other.halfWidth + 1;
    return w.tmin < -margin && w.tmax > margin;
  };
  // The direction from the junction into an ending wall's body.
  auto body = [](const Wall& w) {
    return std::fabs(w.tmax) >= std::fabs(w.tmin) ? w.axis : Mul(w.axis, -1);
  };
  auto meet = [](const Segment& s, const Segment& t) {
    return LineIntersection(s.p, s.q, t.p, t.q);
  };

  bool aThrough = through(a, b), bThrough = through(b, a);
  size_t historyBefore = HistorySize();
  BeginOperation();
  bool ok = true;
  if (kind == HSI_FIX_CORNER) {
    if (aThrough || bThrough) {
      ok = false;
    } else {
      PointD va = body(a), vb = body(b);
      // The outer line of each wall lies away from the other wall's body.
      auto outerFirst = [&](const Wall& w, PointD otherBody) {
        return Dot(Sub(w.lines[0].p, j), otherBody) < Dot(Sub(w.lines[1].p, j), otherBody);
      };
      const Segment& aOuter = outerFirst(a, vb) ? a.lines[0] : a.lines[1];
      const Segment& aInner = outerFirst(a, vb) ? a.lines[1] : a.lines[0];
      const Segment& bOuter = outerFirst(b, va) ? b.lines[0] : b.lines[1];
      const Segment& bInner = outerFirst(b, va) ? b.lines[1] : b.lines[0];
      auto outer = meet(aOuter, bOuter), inner = meet(aInner, bInner);
      if (!outer || !inner) {
        ok = false;
      } else {
        MoveSegmentEnd(*this, aOuter, j, *outer);
        MoveSegmentEnd(*this, bOuter, j, *outer);
        MoveSegmentEnd(*this, aInner, j, *inner);
        MoveSegmentEnd(*this, bInner, j, *inner);
      }
    }
  } else if (kind == HSI_FIX_CROSS) {
    if (!aThrough || !bThrough) {
      ok = false;
    } else {
      for (auto [w, other] : {std::pair<Wall*, Wall*>{&a, &b}, {&b, &a}}) {
        for (const auto& s : w->lines) {
          auto x1 = meet(s, other->lines[0]), x2 = meet(s, other->lines[1]);
          if (!x1 || !x2) {
            ok = false;
            continue;
          }
          PointD c0 = *x1, c1 = *x2;
          if (Distance(s.p, c0) > Distance(s.p, c1)) std::swap(c0, c1);
          SplitLineset(*this, s.id, s.index, c0, c1);
        }
      }
    }
  } else {
    // Tees and wyes: one wall runs through, the other ends at it.
    if (aThrough == bThrough) {
      ok = false;
    } else {
      Wall& t = aThrough ? a : b;
      Wall& stem = aThrough ? b : a;
      PointD vs = body(stem);
      const Segment& nearLine =
          Dot(Sub(t.lines[0].p, j), vs) > Dot(Sub(t.lines[1].p, j), vs) ? t.lines[0] : t.lines[1];
      auto x1 = meet(stem.lines[0], nearLine), x2 = meet(stem.lines[1], nearLine);
      if (!x1 || !x2) {
        ok = false;
      } else {
        MoveSegmentEnd(*this, stem.lines[0], j, *x1);
        MoveSegmentEnd(*this, stem.lines[1], j, *x2);
        if (kind != HSI_FIX_CLOSED_TEE) {
          PointD c0 = *x1, c1 = *x2;
          if (Distance(nearLine.p, c0) > Distance(nearLine.p, c1)) std::swap(c0, c1);
          SplitLineset(*this, nearLine.id, nearLine.index, c0, c1);
        }
      }
    }
  }
  EndOperation();
  if (!ok) {
    // The junction could not be repaired: take back whatever part was changed.
    if (HistorySize() > historyBefore) UndoLast();
    return fail();
  }
  return true;
}

}  // namespace host

#include "organise/area_command.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/command.h"
#include "core/forms.h"
#include "core/local_list.h"
#include "core/messages.h"
#include "core/state.h"
#include "hsi/hsi.h"
#include "organise/boundary_crossing.h"
#include "platform/system.h"
#include "text/place_text.h"
#include "text/text_dialog.h"

namespace qxt {

namespace {

namespace msg = area_messages;

// The arguments of the boundary's selection: its own local list, picks within 2 apertures, the
// user gives the point, picked objects are highlighted, linesets and arcs only.
constexpr int16_t kListOwner = -3;
constexpr int16_t kPickAperture = 2;
constexpr int16_t kLinesetsAndArcs = HSI_FILTER_LINESET | HSI_FILTER_ARC;

WalkPoint Walk(const HsiPoint& p) { return {p.x, p.y}; }

bool SamePoint(const HsiPoint& a, const HsiPoint& b) { return a.x == b.x && a.y == b.y; }

// The signed trapezoid between the edge p -> q and the x axis. The factors are formed in 64
// bits and multiplied as reals, so no coordinates can overflow them.
double Trapezoid(const WalkPoint& p, const WalkPoint& q) {
  return static_cast<double>(q.x - p.x) * static_cast<double>(p.y + q.y) / 2.0;
}

// The local selection list of one measurement, emptied and given back to the host however it
// ends.
class BoundaryList {
 public:
  BoundaryList() : list_(kListOwner) {}
  ~BoundaryList() {
    if (Exists()) HsiOslClear(list_.number());
  }
  bool Exists() const { return list_.number() > 0; }
  int16_t Number() const { return list_.number(); }

 private:
  LocalList list_;
};

HsiObjectInfo ReadInfo(int32_t id) {
  HsiObjectInfo info;
  std::memset(&info, 0, sizeof info);
  HsiObjInfo(id, &info);
  return info;
}

HsiPoint Vertex(int32_t id, int16_t index) {
  HsiPoint point{0, 0};
  HsiObjInfoxy(id, index, &point);
  return point;
}

// The boundary picked so far: its two open ends S and E and the signed area sum in drawing
// units squared.
class Boundary {
 public:
  int Accepted() const { return accepted_; }
  bool Closed() const { return SamePoint(start_, end_); }
  void Count() { ++accepted_; }

  // Adds a lineset when it is the first object or touches an open end; false when refused.
  bool AddLineset(int32_t id);
  // Adds an arc when it is the first object or touches an open end; false when refused.
  bool AddArc(int32_t id);
  // The straight edge from E back to S.
  void Close() {
    sum_ += Trapezoid(Walk(end_), Walk(start_));
    crossing_.StartKeptPath();
    crossing_.Add(Walk(end_));
    crossing_.Add(Walk(start_));
  }
  // True when the boundary measured crosses itself. The linesets' vertices are read again from
  // the host for the few pieces tested one against another.
  bool CrossesItself() {
    return crossing_.AnyCrossing(
        [](int32_t id, uint32_t k) { return Walk(Vertex(id, static_cast<int16_t>(k))); });
  }
  // The area in square host units. A whole circle is a loop hung on the boundary at one point:
  // whichever way the boundary runs, the circle is walked the same way, so it adds its own area.
  double Area() const {
    const double pointsPerUnit = static_cast<double>(HsiGetPntsPerUnit());
    return (std::fabs(sum_) + circles_) / (pointsPerUnit * pointsPerUnit);
  }

 private:
  void AddEdges(const std::vector<WalkPoint>& points) {
    if (points.size() < 2) return;
    crossing_.ReserveKept(points.size());
    crossing_.StartKeptPath();
    for (const WalkPoint& p : points) crossing_.Add(p);
  }

  int accepted_ = 0;
  HsiPoint start_{0, 0};
  HsiPoint end_{0, 0};
  double sum_ = 0.0;
  // The areas of whole circles joined to the boundary, each counted positive.
  double circles_ = 0.0;
  CrossingCheck crossing_;
};

bool Boundary::AddLineset(int32_t id) {
  const HsiObjectInfo info = ReadInfo(id);
  const int16_t last = info.lineset.lastVertex > 0 ? info.lineset.lastVertex : int16_t{0};
  const HsiPoint first = Vertex(id, 0);
  const HsiPoint lastPoint = Vertex(id, last);

  bool forward = true;
  if (accepted_ == 0) {
    start_ = first;
    end_ = lastPoint;
  } else if (SamePoint(first, start_)) {
    forward = false;
    start_ = lastPoint;
  } else if (SamePoint(lastPoint, start_)) {
    start_ = first;
  } else if (SamePoint(first, end_)) {
    end_ = lastPoint;
  } else if (SamePoint(lastPoint, end_)) {
    forward = false;
    end_ = first;
  } else {
    return false;
  }

  // The lineset's trapezoids are summed exactly, each twice over in whole drawing units (a
  // product of a 33-bit and a 34-bit factor; 32,767 of them stay far within 128 bits), and added
  // to the boundary's sum once. Forward the boundary runs from vertex 0 to the last; backward the
  // other way, which turns the sign of every trapezoid.
  __extension__ using Wide = __int128;
  Wide twice = 0;
  crossing_.StartPathOf(id);
  crossing_.Add(Walk(first));
  HsiPoint p = first;
  for (int i = 1; i <= last; ++i) {
    const HsiPoint q = Vertex(id, static_cast<int16_t>(i));
    HsiDrawLine(&p, &q, HSI_DRAW_HIGHLIGHT, 0, 0);
    twice += Wide{int64_t{q.x} - p.x} * Wide{int64_t{p.y} + q.y};
    crossing_.Add(Walk(q));
    p = q;
  }
  sum_ += (forward ? 1.0 : -1.0) * static_cast<double>(twice) / 2.0;
  return true;
}

}  // namespace

// A chord end at `degrees` on the circle about `centre`, in whole drawing units (halves to the
// even neighbour: nearbyint rounds that way in the default rounding mode).
static WalkPoint ChordEnd(const HsiPoint& centre, double radius, double degrees) {
  const double radians = degrees / kDegreesPerRadianArea;
  return {centre.x + static_cast<int64_t>(std::nearbyint(radius * std::cos(radians))),
          centre.y + static_cast<int64_t>(std::nearbyint(radius * std::sin(radians)))};
}

static double ChordAngle(double a0, double sweep, int64_t k, int64_t chords) {
  return a0 + sweep * static_cast<double>(k) / static_cast<double>(chords);
}

// The ends of the chords of a walk, the first end included.
static std::vector<WalkPoint> ChordEnds(const HsiPoint& centre, int32_t radius, double a0,
                                        double sweep, int64_t chords) {
  std::vector<WalkPoint> ends;
  if (chords <= 0) return ends;
  ends.reserve(static_cast<std::size_t>(chords) + 1);
  for (int64_t k = 0; k <= chords; ++k)
    ends.push_back(ChordEnd(centre, radius, ChordAngle(a0, sweep, k, chords)));
  return ends;
}

void AddChordWalkDirect(double& sum, const HsiPoint& centre, int32_t radius, double a0,
                        double sweep, int64_t chords) {
  const double r = radius;
  WalkPoint p = ChordEnd(centre, r, a0);
  for (int64_t k = 1; k <= chords; ++k) {
    const WalkPoint q = ChordEnd(centre, r, ChordAngle(a0, sweep, k, chords));
    sum += Trapezoid(p, q);
    p = q;
  }
}

void AddChordWalk(double& sum, const HsiPoint& centre, int32_t radius, double a0, double sweep,
                  int64_t chords) {
  if (chords <= 0) return;
  // Every kChordBlock-th chord end is computed with its own sine and cosine; the ends between are
  // that end turned by j chords' angle (j < kChordBlock, the turns computed once per arc). A turned
  // value lies within 1e-4 drawing units of r cos / r sin of the end's own angle (the angles'
  // rounding, the turn's rounding and the sine and cosine each add less than that for any int32
  // radius), so it rounds to the same whole unit unless it lies within kNearHalf of a half: such
  // ends are computed with their own sine and cosine as well.
  constexpr int kChordBlock = 64;
  constexpr double kNearHalf = 1e-3;
  // Adding and taking away 1.5 x 2^52 rounds any |v| below 2^51 (a radius is below 2^31) to a
  // whole number, halves to even, as nearbyint does in the default rounding mode, without a
  // library call.
  constexpr double kRounder = 6755399441055744.0;
  const auto whole = [](double v) { return (v + kRounder) - kRounder; };
  const auto nearHalf = [](double v, double w) {
    return std::fabs(std::fabs(v - w) - 0.5) < kNearHalf;
  };

  const double r = radius;
  const double step = sweep / static_cast<double>(chords) / kDegreesPerRadianArea;
  double turnCos[kChordBlock], turnSin[kChordBlock];
  for (int j = 0; j < kChordBlock; ++j) {
    turnCos[j] = std::cos(step * j);
    turnSin[j] = std::sin(step * j);
  }

  WalkPoint p = ChordEnd(centre, r, a0);
  double total = sum;
  for (int64_t base = 0; base < chords; base += kChordBlock) {
    const double radians = ChordAngle(a0, sweep, base, chords) / kDegreesPerRadianArea;
    const double c0 = std::cos(radians), s0 = std::sin(radians);
    const int64_t last = std::min<int64_t>(kChordBlock - 1, chords - base);
    for (int64_t j = 1; j <= last; ++j) {
      const double x = r * (c0 * turnCos[j] - s0 * turnSin[j]);
      const double y = r * (s0 * turnCos[j] + c0 * turnSin[j]);
      const double wx = whole(x), wy = whole(y);
      const WalkPoint q =
          nearHalf(x, wx) || nearHalf(y, wy)
              ? ChordEnd(centre, r, ChordAngle(a0, sweep, base + j, chords))
              : WalkPoint{centre.x + static_cast<int64_t>(wx), centre.y + static_cast<int64_t>(wy)};
      total += Trapezoid(p, q);
      p = q;
    }
    // The block's last chord ends on the next block's first end, computed on its own.
    if (base + kChordBlock <= chords) {
      const WalkPoint q = ChordEnd(centre, r, ChordAngle(a0, sweep, base + kChordBlock, chords));
      total += Trapezoid(p, q);
      p = q;
    }
  }
  sum = total;
}

namespace {

bool Boundary::AddArc(int32_t id) {
  const HsiObjectInfo info = ReadInfo(id);
  const HsiPoint centre{info.head.x, info.head.y};
  const int32_t radius = info.arc.radius;
  const HsiPoint a = info.arc.start;
  const HsiPoint b = info.arc.end;

  // The arc runs counter-clockwise from A to B. Ends that coincide make a whole circle, as the
  // host draws it.
  double sweep = HsiPang(&centre, &b) - HsiPang(&centre, &a);
  if (sweep < 0) sweep += 360.0;
  if (SamePoint(a, b)) {
    // A whole circle leaves the open ends where they are: it joins where one of them lies.
    if (accepted_ == 0) {
      start_ = a;
      end_ = a;
    } else if (!SamePoint(a, start_) && !SamePoint(a, end_)) {
      return false;
    }
    HsiDrawArc(&centre, &a, &b, radius, HSI_DRAW_HIGHLIGHT, 0, 0);
    const double a0 = HsiPang(&centre, &a);
    const auto chords = static_cast<int64_t>(std::nearbyint(360.0 * kChordsPerDegree));
    double loop = 0.0;
    AddChordWalk(loop, centre, radius, a0, 360.0, chords);
    circles_ += std::fabs(loop);
    AddEdges(ChordEnds(centre, radius, a0, 360.0, chords));
    return true;
  }

  HsiPoint walkStart = a;
  if (accepted_ == 0) {
    start_ = a;
    end_ = b;
  } else if (SamePoint(a, start_)) {
    start_ = b;
    walkStart = b;
    sweep = -sweep;
  } else if (SamePoint(a, end_)) {
    end_ = b;
  } else if (SamePoint(b, start_)) {
    start_ = a;
  } else if (SamePoint(b, end_)) {
    end_ = a;
    walkStart = b;
    sweep = -sweep;
  } else {
    return false;
  }

  HsiDrawArc(&centre, &a, &b, radius, HSI_DRAW_HIGHLIGHT, 0, 0);

  const double a0 = HsiPang(&centre, &walkStart);
  const auto chords = static_cast<int64_t>(std::nearbyint(std::fabs(sweep * kChordsPerDegree)));
  AddChordWalk(sum_, centre, radius, a0, sweep, chords);
  AddEdges(ChordEnds(centre, radius, a0, sweep, chords));
  return true;
}

}  // namespace

namespace {

// The area of a closed boundary, after warning when it crosses itself: its loops then run in
// opposite directions and the sum is their difference.
double Finish(Boundary& boundary) {
  if (boundary.CrossesItself()) ShowWarning(msg::kCrossesItself);
  return boundary.Area();
}

}  // namespace

bool MeasureBoundary(double& area) {
  BoundaryList list;
  // Without a list of its own the host can select nothing for the boundary.
  if (!list.Exists()) return false;

  Boundary boundary;
  const char* prompt = msg::kFirstPrompt;
  for (;;) {
    HsiPoint pick{0, 0};
    const HsiStatus status = HsiSelectbyPoint(list.Number(), prompt, kPickAperture, HSI_FALSE,
                                              HSI_TRUE, &pick, kLinesetsAndArcs);
    if (status == HSI_NOTHING_FOUND) {
      platform::Beep(platform::BeepKind::Information);
      HsiPutMsg(msg::kNothingSelected);
      continue;
    }
    if (status == HSI_FAILURE) {
      ShowWarning(msg::kMenuItem);
      continue;
    }
    if (status == HSI_SELECTION_ENDED) {
      if (boundary.Accepted() == 0) return false;
      // The question belongs to the host's window (the application window).
      const platform::MsgResult answer =
          platform::MessageBox(msg::kNotClosedQuestion, msg::kNotClosedCaption,
                               platform::MsgIcon::None, platform::MsgButtons::YesNo, nullptr);
      if (answer != platform::MsgResult::Yes) return false;
      boundary.Close();
      area = Finish(boundary);
      return true;
    }
    if (status != HSI_SUCCESS) continue;

    // The object just picked is the one after those already accepted.
    HsiOslEntry entry{0, 0, 0};
    if (HsiOslItem(list.Number(), boundary.Accepted(), &entry) != HSI_SUCCESS) continue;
    const bool lineset = HsiObjType(entry.id) == HSI_OBJ_LINESET;
    const bool added = lineset ? boundary.AddLineset(entry.id) : boundary.AddArc(entry.id);
    if (!added) {
      ShowWarning(lineset ? msg::kLinesetMisses : msg::kArcMisses);
      HsiOslRm(list.Number(), &entry);
      continue;
    }
    if (boundary.Closed()) {
      area = Finish(boundary);
      return true;
    }
    boundary.Count();
    prompt = msg::kNextPrompt;
  }
}

double AreaDivisor(uint16_t hostUnitType, AreaUnit unit) {
  // The factors as the toolset has always used them: 0.03937, 0.3937 and 39.37 for the metric
  // units of an inch drawing, not multiples of 1/25.4.
  auto sq = [](double f) { return f * f; };
  const int u = static_cast<int>(unit);
  if (u < 0 || u >= kAreaUnitCount) return 1;
  switch (hostUnitType) {
    case HSI_UNIT_INCHES:
    case HSI_UNIT_FEET_INCHES: {
      const double row[] = {1, 144, 1296, sq(0.03937), sq(0.3937), sq(39.37)};
      return row[u];
    }
    case HSI_UNIT_MILLIMETRES: {
      const double row[] = {sq(25.4), sq(304.8), sq(914.4), 1, 100, 1000000};
      return row[u];
    }
    case HSI_UNIT_CENTIMETRES: {
      const double row[] = {sq(2.54), sq(30.48), sq(91.44), sq(0.1), 1, 10000};
      return row[u];
    }
    case HSI_UNIT_METRES: {
      const double row[] = {sq(0.0254), sq(0.3048), sq(0.9144), sq(0.001), sq(0.01), 1};
      return row[u];
    }
    default:
      return 1;
  }
}

double AreaInUnit(double area, uint16_t hostUnitType, AreaUnit unit) {
  if (hostUnitType == HSI_UNIT_FEET) {
    // Square feet become square inches first, then go as an inch drawing's area does.
    area *= 144.0;
    hostUnitType = HSI_UNIT_INCHES;
  }
  const double divisor = AreaDivisor(hostUnitType, unit);
  return divisor == 1 ? area : area / divisor;
}

std::string AreaLabel(double area, int decimals, const std::string& suffix) {
  return platform::FormatNumber(area, decimals) + suffix;
}

void LabelArea(double& area) {
  TdlgQXArea& settings = *State().forms->dlgQXArea;
  area = AreaInUnit(area, HsiGetUnitType(), settings.Unit());

  TdlgQXText& dialog = *State().forms->dlgQXText;
  dialog.mmText.SetText(AreaLabel(area, settings.Decimals(), settings.Suffix()));
  if (dialog.ShowModal() == platform::ModalResult::OK) PlaceText(dialog.mmText);
}

}  // namespace qxt

QXT_EXPORT void QXArea() {
  using namespace qxt;
  // Entry check, interlock (code 28) and the announcement; every way out updates the status
  // line and releases the interlock.
  ToolRun run(kAreaTool);
  if (!run.Started()) return;
  SwitchHintsOn();

  TdlgQXArea& settings = *State().forms->dlgQXArea;
  for (;;) {
    HsiPutMsg(area_messages::kContinue);
    bool measured = false;
    double area = 0.0;
    while (!measured) {
      if (settings.ShowModal() != platform::ModalResult::OK) return;
      area = 0.0;
      measured = MeasureBoundary(area);
    }
    HsiPutMsg(area_messages::kEditLabel);
    LabelArea(area);
  }
}

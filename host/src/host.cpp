#include "host/host.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "host/rtf.h"
#include "layout.h"
#include "platform/system.h"
#include "platform/window_handle.h"

namespace host {

namespace detail {
// Deliberately never destroyed at exit: the platform's window table may already be gone then.
Host* g_currentHost = nullptr;
}  // namespace detail

Host* Host::Current() { return detail::g_currentHost; }

namespace {

const char* kDefaultPaths[HSI_PATH_COUNT] = {
    "C:\\TRACELON\\DRAWINGS\\",
    "C:\\TRACELON\\MACROS\\",
    "C:\\TRACELON\\SYMBOLS\\",
    "C:\\TRACELON\\SYMBOLS\\",
    "C:\\TRACELON\\PLOTS\\",
    "C:\\TRACELON\\LAYERS\\",
    "C:\\TRACELON\\WORK\\",
    "C:\\TRACELON\\BACKUP\\",
    "C:\\TRACELON\\",
    "C:\\TRACELON\\EXPORT\\",
    "C:\\TRACELON\\FONTS\\",
    "C:\\TRACELON\\TEMPLATE\\",
    "C:\\",
    "C:\\TRACELON\\REFS\\",
    "C:\\TRACELON\\REFS\\",
};

std::string WithBackslash(std::string folder) {
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

bool SelectionList::Contains(int32_t id) const {
  return std::any_of(entries.begin(), entries.end(),
                     [id](const HsiOslEntry& e) { return e.id == id; });
}

Host& Host::Start() { return Start(Options{}); }

Host& Host::Start(const Options& options) {
  Stop();
  detail::g_currentHost = new Host(options);
  return *detail::g_currentHost;
}

void Host::Stop() {
  Host* old = detail::g_currentHost;
  detail::g_currentHost = nullptr;
  delete old;
}

Host::Host(const Options& options) : recordCalls_(options.recordCalls) {
  for (int i = 0; i < HSI_PATH_COUNT; ++i) paths_[i] = kDefaultPaths[i];
  lists_[0] = SelectionList{};
  std::snprintf(trueType.face, sizeof trueType.face, "%s", "Arial");
  trueType.size = 10;
  trueType.hcode = 0;
  trueType.vcode = 3;
  trueType.plainWidth = 6.0;
  trueType.plainWrap = 0;
  trueType.plainAlign = 0;
  mainWindow_ = platform::CreateMainWindow(options.caption);
  platform::SetWindowBounds(mainWindow_, platform::Rect{0, 0, 1024, 768});
  // The drawing area: the main window's first child, below the host's own tool bar.
  platform::CreateChildWindow(mainWindow_, platform::Rect{0, 28, 1016, 700});
  if (options.readIni) ReadIni();
  symbolHome_ = paths_[HSI_PATH_SYMBOLS];
  symbolHome3D_ = paths_[HSI_PATH_SYMBOLS_3D];
}

Host::~Host() {
  if (mainWindow_ != 0) platform::DestroyWindow(mainWindow_);
}

uint32_t MainWindowOf(const Host& host) { return host.mainWindow_; }

void Host::ReadIni() {
  try {
    const std::string ini = WithBackslash(paths_[HSI_PATH_PROGRAM]) + "tracelon.ini";
    for (int i = 0; i < HSI_PATH_COUNT; ++i) {
      std::string value = platform::GetPrivateProfileString("Paths", std::to_string(i), "", ini);
      if (!value.empty() && value.size() < HSI_PATH_SIZE - 1) paths_[i] = WithBackslash(value);
    }
  } catch (const std::exception&) {
    // No root folder or an unreadable file: the default folders stay.
  }
}

// ---- Call log and events ---------------------------------------------------------------------

void Host::LogCall(std::string name, std::string args) {
  if (!recordCalls_) return;
  calls_.push_back(CallRecord{std::move(name), std::move(args)});
}

std::vector<CallRecord> Host::CallsTo(const std::string& name) const {
  std::vector<CallRecord> out;
  for (const auto& c : calls_)
    if (c.name == name) out.push_back(c);
  return out;
}

void Host::Notify(HostEvent::Kind kind, std::string text, int64_t number) {
  if (!observer_) return;
  HostEvent event{kind, std::move(text), number};
  observer_->OnHostEvent(event);
}

PointReply Host::Ask(RequestKind kind, const std::string& prompt) {
  for (;;) {
    bool typedIn = false;
    PointReply reply = AskOnce(kind, prompt, &typedIn);
    if (TakePoint(kind, reply, typedIn)) return reply;
  }
}

PointReply Host::AskOnce(RequestKind kind, const std::string& prompt, bool* typedIn) {
  Notify(HostEvent::Kind::Prompt, prompt);
  if (!input_) return PointReply{};  // nobody to answer: cancelled
  // Requests nest when the user's answer runs other work that asks again.
  struct Waiting {
    int& count;
    explicit Waiting(int& c) : count(c) { ++count; }
    ~Waiting() { --count; }
  } waiting(waiting_);
  PointReply reply = input_->Ask(kind, prompt);
  if (typed_ && typed_->level == waiting_) {
    // A point typed in while this request waited answers it, whatever else happened meanwhile.
    reply = PointReply{};
    reply.kind = PointReply::Kind::Point;
    reply.x = typed_->point.x;
    reply.y = typed_->point.y;
    typed_.reset();
    *typedIn = true;
  } else if (typed_ && typed_->level > waiting_) {
    typed_.reset();  // typed for a request that ended without taking it
  }
  return reply;
}

void Host::CoordinateInput(Point p) {
  coordinateInputs_.push_back(p);
  Notify(HostEvent::Kind::CoordinateInput, std::to_string(p.x) + "," + std::to_string(p.y));
  if (waiting_ > 0) typed_ = TypedInput{p, waiting_};
}

void Host::PutMessage(const std::string& text) {
  messageLine_ = text;
  Notify(HostEvent::Kind::MessageLine, text);
}

void Host::SetCallbackTitle(const std::string& title) {
  callback_ = title;
  Notify(HostEvent::Kind::Callback, title);
}

void Host::StatusLineUpdate() {
  ++statusUpdates_;
  const LayerState& layer = Layer(activeLayer_);
  std::string text = "Layer " + std::to_string(activeLayer_);
  if (!layer.name.empty()) text += " " + layer.name;
  text += "  Snap " + std::to_string(snapMode_);
  Notify(HostEvent::Kind::StatusLine, text);
}

void Host::StartCommand(int command, bool nested) {
  hostCommands_.push_back(command);
  Notify(HostEvent::Kind::CommandStarted, nested ? "nested" : "", command);
  if (command == HSI_COMMAND_UNDO) UndoLast();
  if (IsHostTool(command)) pendingTools_.push_back(command);
}

void Host::RecordLoadedFile(const std::string& path, int kind) {
  loadedFiles_.emplace_back(path, kind);
  Notify(HostEvent::Kind::FileLoaded, path, kind);
}

void Host::EraseMarksOn(const Object& object) {
  // A mark lies on the object when each of its points does (within a drawing unit): redrawing
  // the object paints over it.
  auto on = [&](Point p) { return ObjectDistance(object, ToD(p)) <= 1.0; };
  marks_.RemoveIf([&](const ScreenMark& m) {
    if (m.kind == ScreenMark::Kind::Text) return on(m.a);
    return on(m.a) && on(m.b);
  });
}

bool Host::DrawMark(ScreenMark mark, int16_t mode, const TextData* text) {
  if (mode == HSI_DRAW_ERASE) {
    RemoveMark(mark, text ? text->text : std::string());
    return true;
  }
  if (mode != HSI_DRAW_HIGHLIGHT && mode != HSI_DRAW_NORMAL) return Refuse(HSI_ERR_BAD_ARGUMENT);
  if (marks_.empty()) markTexts_.clear();
  mark.text = 0;
  if (mark.kind == ScreenMark::Kind::Text) {
    markTexts_.push_back(text ? *text : TextData{});
    mark.text = static_cast<uint32_t>(markTexts_.size());
  }
  marks_.push_back(mark);
  return true;
}

const TextData& Host::MarkLook(const ScreenMark& mark) const {
  static const TextData kNone;
  return mark.text >= 1 && mark.text <= markTexts_.size() ? markTexts_[mark.text - 1] : kNone;
}

bool Host::MakeCursor(int16_t list, int16_t style, Point base, Point other, bool threeD) {
  CursorImage cursor;
  cursor.active = true;
  cursor.is3D = threeD;
  cursor.style = style;
  cursor.list = list;
  cursor.base = base;
  cursor.other = other;
  if (style == HSI_CURSOR_DRAG) {
    const SelectionList* l = List(list);
    if (!l) return Refuse(HSI_ERR_NO_OBJECT);
    for (const auto& e : l->entries) {
      const Object* o = Find(e.id);
      if (!o) continue;
      // Every point of the image is relative to the base, whatever the object's kind.
      Object copy = *o;
      Translate(copy, -int64_t{base.x}, -int64_t{base.y});
      cursor.objects.push_back(copy);
    }
  } else if (style != HSI_CURSOR_LINE && style != HSI_CURSOR_LINE_SNAPPED &&
             style != HSI_CURSOR_WINDOW) {
    return Refuse(HSI_ERR_BAD_ARGUMENT);
  }
  cursor_ = cursor;
  return true;
}

bool Host::RemoveMark(const ScreenMark& mark, const std::string& text) {
  return marks_.RemoveFirst([&](const ScreenMark& m) {
    return m.kind == mark.kind && m.a == mark.a && m.b == mark.b && m.centre == mark.centre &&
           m.radius == mark.radius && MarkText(m) == text;
  });
}

// ---- Folders ---------------------------------------------------------------------------------

std::string Host::Path(int number) const {
  if (number < 0 || number >= HSI_PATH_COUNT) return "";
  return paths_[number];
}

bool Host::SetPath(int number, const std::string& folder) {
  if (number < 0 || number >= HSI_PATH_COUNT || folder.empty() ||
      folder.size() >= HSI_PATH_SIZE - 1)
    return false;
  paths_[number] = WithBackslash(folder);
  return true;
}

std::string Host::DrawingName() const {
  std::string name = drawingPath_;
  size_t slash = name.find_last_of("\\/:");
  if (slash != std::string::npos) name = name.substr(slash + 1);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name = name.substr(0, dot);
  return name;
}

// ---- Layers ----------------------------------------------------------------------------------

const LayerState& Host::Layer(int layer) const {
  static const LayerState none{};
  if (layer < 1 || layer > HSI_LAYER_COUNT) return none;
  return layers_[layer];
}

bool Host::WriteLayer(int layer, const LayerState& state) {
  if (layer < 1 || layer > HSI_LAYER_COUNT) return false;
  // The active layer is always shown.
  if (layer == activeLayer_ && state.state != HSI_LAYER_ON) return false;
  layers_[layer] = state;
  if (layers_[layer].name.size() > 17) layers_[layer].name.resize(17);
  return true;
}

bool Host::SetLayerOn(int layer, bool on) {
  if (layer < 1 || layer > HSI_LAYER_COUNT) return false;
  LayerState s = layers_[layer];
  s.state = on ? HSI_LAYER_ON : HSI_LAYER_OFF;
  return WriteLayer(layer, s);
}

bool Host::SetLayerName(int layer, const std::string& name) {
  if (layer < 1 || layer > HSI_LAYER_COUNT) return false;
  LayerState s = layers_[layer];
  s.name = name;
  return WriteLayer(layer, s);
}

bool Host::SetLayerColour(int layer, int16_t colour) {
  if (layer < 1 || layer > HSI_LAYER_COUNT || colour < 0 || colour > 255) return false;
  layers_[layer].colour = colour;
  return true;
}

bool Host::SetActiveLayer(int layer) {
  if (layer < 1 || layer > HSI_LAYER_COUNT) return false;
  activeLayer_ = static_cast<int16_t>(layer);
  // The active layer is shown: making a hidden layer active shows it.
  layers_[layer].state = HSI_LAYER_ON;
  return true;
}

// ---- Units and modes -------------------------------------------------------------------------

bool Host::SetUnitType(uint16_t unitType) {
  if (!IsUnitType(unitType)) return false;
  units_.unitType = unitType;
  return true;
}

bool Host::SetPointsPerUnit(int32_t ppu) {
  if (ppu <= 0) return false;
  units_.pointsPerUnit = ppu;
  return true;
}

namespace {
bool ValidScale(double scale) { return scale > 0 && std::isfinite(scale); }
}  // namespace

bool Host::SetScale(double scale) {
  if (!ValidScale(scale)) return false;
  units_.drawingScale = scale;
  units_.plotScale = scale;
  return true;
}

bool Host::SetPaperUnit(uint16_t unitType) {
  if (!IsUnitType(unitType)) return false;
  units_.paperUnit = unitType;
  return true;
}

bool Host::SetScaledUnits(uint16_t mode) {
  if (mode != HSI_SCALED_FRACTIONS && mode != HSI_SCALED_DECIMALS) return false;
  units_.scaledUnits = mode;
  return true;
}

bool Host::SetDenominator(int denominator) {
  if (denominator < 1) return false;
  units_.denominator = denominator;
  return true;
}

bool Host::SetPrecision(int precision) {
  if (precision < 0 || precision > 10) return false;
  units_.precision = precision;
  return true;
}

bool Host::SetDrawingScale(double scale) {
  if (!ValidScale(scale)) return false;
  units_.drawingScale = scale;
  return true;
}

bool Host::SetPlotScale(double scale) {
  if (!ValidScale(scale)) return false;
  units_.plotScale = scale;
  return true;
}

bool Host::SetSpace(int space) {
  if (space != 0 && space != 1) return false;
  units_.space = space;
  return true;
}

bool Host::SetAperture(double paperInches) {
  if (!(paperInches > 0) || !std::isfinite(paperInches)) return false;
  aperture_ = paperInches;
  return true;
}

double Host::ApertureDbu(int units) const {
  return std::max(units, 1) * aperture_ * DbuPerPaperInch(units_);
}

bool Host::SetSnapMode(int mode) {
  if (mode < 0 || mode > 15) return false;
  snapMode_ = mode;
  snapModes_.clear();
  if (mode != 0) snapModes_.push_back(mode);
  return true;
}

bool Host::SetSnap3DMode(int mode) {
  if (mode < 0 || mode > 15) return false;
  snap3DMode_ = mode;
  snap3DModes_.clear();
  if (mode != 0) snap3DModes_.push_back(mode);
  return true;
}

// ---- Objects ---------------------------------------------------------------------------------

int16_t Object::HsiType() const {
  switch (Kind()) {
    case ObjectKind::Lineset:
      return HSI_OBJ_LINESET;
    case ObjectKind::Arc:
      return HSI_OBJ_ARC;
    case ObjectKind::Text:
      return HSI_OBJ_TEXT;
    case ObjectKind::TrueType:
      return HSI_OBJ_TRUETYPE;
    case ObjectKind::Symbol:
      return HSI_OBJ_SYMBOL;
  }
  return 0;
}

std::string Describe(const Object& o) {
  auto pt = [](Point p) { return std::to_string(p.x) + "," + std::to_string(p.y); };
  std::string layer = " layer " + std::to_string(o.layer);
  switch (o.Kind()) {
    case ObjectKind::Lineset: {
      const auto& d = host::get<LinesetData>(o.data);
      std::string s = "lineset";
      for (const auto& p : d.points) s += " " + pt(p);
      return s + layer;
    }
    case ObjectKind::Arc: {
      const auto& d = host::get<ArcData>(o.data);
      return "arc centre " + pt(o.at) + " radius " + std::to_string(d.radius) + " from " +
             pt(d.start) + " to " + pt(d.end) + layer;
    }
    case ObjectKind::Text:
      return "text \"" + host::get<TextData>(o.data).text + "\" at " + pt(o.at) + layer;
    case ObjectKind::TrueType: {
      const auto& d = host::get<TrueTypeData>(o.data);
      RtfDocument doc = d.content == HSI_TT_CONTENT_PLAIN ? PlainDocument(d.document, 20, 0, 0)
                                                          : ParseRtf(d.document);
      std::string text = DocumentText(doc);
      for (char& c : text)
        if (c == '\n') c = '|';
      return "truetype \"" + text + "\" at " + pt(o.at) + layer;
    }
    case ObjectKind::Symbol:
      return "symbol " + host::get<SymbolData>(o.data).name + " at " + pt(o.at) + layer;
  }
  return "object";
}

int32_t Host::NextId() {
  int32_t id = nextId_++;
  if (id >= 0xFC00 && id <= 0xFCFF) {
    nextId_ = 0xFD00;
    id = nextId_++;
  }
  return id;
}

std::vector<const Object*> Host::FinalObjects() const {
  std::vector<const Object*> out;
  for (const auto& [id, o] : objects_)
    if (o.final) out.push_back(&o);
  return out;
}

void Host::IndexObject(const Object& object) {
  if (object.final) index_.Insert(object.id, ObjectBox(object));
}

void Host::UnindexObject(int32_t id) { index_.Remove(id); }

void Host::RemoveFromLists(int32_t id) {
  for (auto& [number, list] : lists_) {
    auto& e = list.entries;
    // The scan position moves back by the entries removed before it, so a scan that deletes the
    // object it was just given goes on with the next entry.
    size_t removedBeforeScan = 0;
    for (size_t i = 0; i < e.size() && i < list.scan; ++i) removedBeforeScan += e[i].id == id;
    e.erase(std::remove_if(e.begin(), e.end(), [id](const HsiOslEntry& x) { return x.id == id; }),
            e.end());
    list.scan -= removedBeforeScan;
  }
}

// Every change to final objects belongs to an operation: the one opened with BeginOperation, or
// else one of its own. So each change can be undone, and a change made of several (an opening
// cut into wall lines, the deletion of a list) is undone whole.
struct Host::OperationScope {
  Host& host;
  explicit OperationScope(Host& h) : host(h) { host.BeginOperation(); }
  ~OperationScope() { host.EndOperation(); }
};

int32_t Host::CreateObject(Object object, bool finalObject) {
  object.id = NextId();
  object.final = finalObject;
  const Object& o = objects_.Put(std::move(object));
  if (finalObject) {
    OperationScope operation(*this);
    IndexObject(o);
    openOperation_.created.push_back(o.id);
    // The description is written only for someone who reads it.
    if (observer_) Notify(HostEvent::Kind::ObjectCreated, Describe(o), o.id);
  }
  return o.id;
}

bool Host::DeleteObject(int32_t id) {
  Object* found = objects_.Find(id);
  if (!found) return false;
  std::optional<OperationScope> operation;
  if (found->final) {
    operation.emplace(*this);
    RecordRemoval(*found);
  }
  Object old = std::move(*found);
  objects_.Erase(id);
  UnindexObject(id);
  RemoveFromLists(id);
  if (old.final && observer_) Notify(HostEvent::Kind::ObjectDeleted, Describe(old), id);
  return true;
}

void Translate(Object& object, int64_t dx, int64_t dy) {
  auto shift = [&](Point& p) {
    p.x = RoundDbu(double(p.x) + double(dx));
    p.y = RoundDbu(double(p.y) + double(dy));
  };
  shift(object.at);
  if (auto* l = host::get_if<LinesetData>(&object.data)) {
    for (auto& p : l->points) shift(p);
  } else if (auto* a = host::get_if<ArcData>(&object.data)) {
    shift(a->start);
    shift(a->end);
  }
}

bool Host::MoveObject(int32_t id, int32_t dx, int32_t dy) {
  const Object* found = objects_.Find(id);
  if (!found) return false;
  Object moved = *found;
  Translate(moved, dx, dy);
  return ReplaceObject(moved);
}

void Host::ShiftDrawing(int64_t dx, int64_t dy) {
  for (auto [id, object] : objects_) {
    UnindexObject(id);
    Translate(object, dx, dy);
    IndexObject(object);
  }
  for (Reference& ref : references_) {
    ref.offset = {RoundDbu(double(ref.offset.x) + double(dx)),
                  RoundDbu(double(ref.offset.y) + double(dy))};
  }
  RegenerateReferences();
}

bool Host::ReplaceObject(const Object& object) {
  Object* stored = objects_.Find(object.id);
  if (!stored) return false;
  std::optional<OperationScope> operation;
  if (stored->final) {
    // Undone as the removal of the old state and the creation of the new one.
    operation.emplace(*this);
    RecordRemoval(*stored);
    auto& created = openOperation_.created;
    if (std::find(created.begin(), created.end(), object.id) == created.end())
      created.push_back(object.id);
  }
  bool wasFinal = stored->final;
  *stored = object;
  stored->final = wasFinal;
  UnindexObject(object.id);
  IndexObject(*stored);
  return true;
}

void Host::BeginOperation() {
  if (operationDepth_++ == 0) {
    openOperation_.created.clear();
    openOperation_.removed.clear();
  }
}

void Host::RecordRemoval(const Object& object) {
  // Only the first state of an object in an operation is kept: that is what undo restores.
  for (const auto& r : openOperation_.removed)
    if (r.id == object.id) return;
  // An object made in this same operation did not exist before it: undo takes it away, so there
  // is nothing to restore.
  const auto& created = openOperation_.created;
  if (std::find(created.begin(), created.end(), object.id) != created.end()) return;
  openOperation_.removed.push_back(object);
}

void Host::EndOperation() {
  if (operationDepth_ == 0) return;
  if (--operationDepth_ > 0) return;
  if (openOperation_.created.empty() && openOperation_.removed.empty()) return;
  // Kept flat: an operation that made one object costs its id and its end marks.
  historyCreated_.insert(historyCreated_.end(), openOperation_.created.begin(),
                         openOperation_.created.end());
  for (auto& o : openOperation_.removed) historyRemoved_.push_back(std::move(o));
  history_.push_back(HistoryMark{static_cast<uint32_t>(historyCreated_.size()),
                                 static_cast<uint32_t>(historyRemoved_.size())});
  openOperation_.created.clear();
  openOperation_.removed.clear();
}

void Host::ClearHistory() {
  history_.clear();
  historyCreated_.clear();
  historyRemoved_.clear();
}

bool Host::UndoLast() {
  if (history_.empty()) return false;
  history_.pop_back();
  HistoryEntry entry;
  const size_t createdBegin = history_.empty() ? 0 : history_.back().createdEnd;
  const size_t removedBegin = history_.empty() ? 0 : history_.back().removedEnd;
  entry.created.assign(historyCreated_.begin() + static_cast<std::ptrdiff_t>(createdBegin),
                       historyCreated_.end());
  historyCreated_.resize(createdBegin);
  for (size_t i = removedBegin; i < historyRemoved_.size(); ++i)
    entry.removed.push_back(std::move(historyRemoved_[i]));
  historyRemoved_.resize(removedBegin);
  for (auto it = entry.created.rbegin(); it != entry.created.rend(); ++it) {
    Object* found = objects_.Find(*it);
    if (!found) continue;
    Object old = std::move(*found);
    objects_.Erase(*it);
    UnindexObject(*it);
    RemoveFromLists(*it);
    if (observer_) Notify(HostEvent::Kind::ObjectDeleted, Describe(old), *it);
  }
  for (auto& o : entry.removed) {
    int32_t id = o.id;
    const Object& stored = objects_.Put(o);
    IndexObject(stored);
    if (observer_) Notify(HostEvent::Kind::ObjectCreated, Describe(o), id);
  }
  return true;
}

// ---- Extents and distances -------------------------------------------------------------------

namespace {

Box RotatedRect(PointD origin, double left, double bottom, double right, double top,
                double degrees) {
  Box box;
  PointD corners[4] = {{left, bottom}, {right, bottom}, {right, top}, {left, top}};
  for (auto c : corners) {
    PointD p = Rotate({origin.x + c.x, origin.y + c.y}, origin, degrees);
    // Clamped to the drawing's coordinate range, however large the text's scale makes it.
    box.Add(RoundDbu(std::floor(p.x)), RoundDbu(std::floor(p.y)));
    box.Add(RoundDbu(std::ceil(p.x)), RoundDbu(std::ceil(p.y)));
  }
  return box;
}

double DistanceToBox(PointD p, const Box& b) {
  if (b.Empty()) return 1e300;
  double dx = std::max({double(b.x1) - p.x, 0.0, p.x - double(b.x2)});
  double dy = std::max({double(b.y1) - p.y, 0.0, p.y - double(b.y2)});
  return std::hypot(dx, dy);
}

}  // namespace

Box Host::ObjectBox(const Object& o) const {
  Box box;
  switch (o.Kind()) {
    case ObjectKind::Lineset:
      for (const auto& p : host::get<LinesetData>(o.data).points) box.Add(p.x, p.y);
      break;
    case ObjectKind::Arc: {
      const auto& a = host::get<ArcData>(o.data);
      PointD c = ToD(o.at);
      box = ArcBox(c, a.radius, AngleDeg(c, ToD(a.start)), AngleDeg(c, ToD(a.end)));
      break;
    }
    case ObjectKind::Text: {
      TextFrame f = CadTextFrame(host::get<TextData>(o.data));
      box = RotatedRect(ToD(o.at), f.left, f.bottom, f.right, f.top,
                        host::get<TextData>(o.data).orientation);
      break;
    }
    case ObjectKind::TrueType: {
      const auto& d = host::get<TrueTypeData>(o.data);
      TrueTypeBlock block = LayoutTrueType(d, units_);
      box = RotatedRect(ToD(o.at), block.left, block.bottom, block.left + block.width,
                        block.bottom + block.height, d.orientation);
      break;
    }
    case ObjectKind::Symbol: {
      const auto& d = host::get<SymbolData>(o.data);
      const SymbolDef* def = Symbol(d.symbol);
      if (!def) {
        box.Add(o.at.x, o.at.y);
        break;
      }
      for (const auto& e : def->elements) {
        for (const auto& local : ElementOutline(e)) {
          // Clamped to the drawing's coordinate range, however large the symbol's unit is.
          PointD p = SymbolToDrawing(*def, d, o.at, local);
          box.Add(RoundDbu(p.x), RoundDbu(p.y));
        }
      }
      if (box.Empty()) box.Add(o.at.x, o.at.y);
      break;
    }
  }
  return box;
}

double Host::ObjectDistance(const Object& o, PointD p) const {
  switch (o.Kind()) {
    case ObjectKind::Lineset: {
      const auto& pts = host::get<LinesetData>(o.data).points;
      if (pts.empty()) return 1e300;
      if (pts.size() == 1) return Distance(p, ToD(pts[0]));
      double best = 1e300;
      for (size_t i = 1; i < pts.size(); ++i)
        best = std::min(best, SegmentDistance(p, ToD(pts[i - 1]), ToD(pts[i])));
      return best;
    }
    case ObjectKind::Arc: {
      const auto& a = host::get<ArcData>(o.data);
      PointD c = ToD(o.at);
      return ArcDistance(p, c, a.radius, AngleDeg(c, ToD(a.start)), AngleDeg(c, ToD(a.end)));
    }
    case ObjectKind::Symbol: {
      const auto& d = host::get<SymbolData>(o.data);
      const SymbolDef* def = Symbol(d.symbol);
      if (!def) return Distance(p, ToD(o.at));
      double best = Distance(p, ToD(o.at));
      for (const auto& e : def->elements) {
        auto outline = ElementOutline(e);
        std::vector<PointD> pts;
        for (const auto& local : outline) pts.push_back(SymbolToDrawing(*def, d, o.at, local));
        if (pts.size() == 1) best = std::min(best, Distance(p, pts[0]));
        for (size_t i = 1; i < pts.size(); ++i)
          best = std::min(best, SegmentDistance(p, pts[i - 1], pts[i]));
      }
      return best;
    }
    default:
      return DistanceToBox(p, ObjectBox(o));
  }
}

bool Host::PassesFilter(const Object& object, int16_t filter) {
  if (filter == 0) return true;
  int type = object.HsiType();
  return type > 0 && (filter & (1 << (type - 1))) != 0;
}

int32_t Host::NearestObject(Point p, double tolerance, int16_t filter,
                            const SelectionList* exclude) const {
  Box query;
  query.Add(p.x, p.y);
  query.Inflate(static_cast<int64_t>(std::ceil(tolerance)));
  int32_t best = 0;
  double bestDistance = 0;
  for (int32_t id : index_.Query(query)) {
    const Object* o = Find(id);
    if (!o || !o->final || !Layer(o->layer).On() || !PassesFilter(*o, filter)) continue;
    if (exclude && exclude->Contains(id)) continue;
    double d = DistanceWithin(*o, ToD(p), tolerance);
    if (d > tolerance) continue;
    if (best == 0 || d < bestDistance || (d == bestDistance && id > best)) {
      best = id;
      bestDistance = d;
    }
  }
  return best;
}

std::vector<int32_t> Host::ObjectsInWindow(const Box& window, bool crossing, int16_t filter) const {
  std::vector<int32_t> out;
  for (int32_t id : index_.Query(window)) {
    const Object* o = Find(id);
    if (!o || !o->final || !Layer(o->layer).On() || !PassesFilter(*o, filter)) continue;
    Box box = ObjectBox(*o);
    bool take = window.Contains(box);
    if (!take && crossing) {
      if (o->Kind() == ObjectKind::Lineset) {
        const auto& pts = host::get<LinesetData>(o->data).points;
        for (size_t i = 1; i < pts.size() && !take; ++i)
          take = SegmentIntersectsBox(ToD(pts[i - 1]), ToD(pts[i]), window);
      } else {
        take = box.Intersects(window);
      }
    }
    if (take) out.push_back(id);
  }
  std::sort(out.begin(), out.end());
  return out;
}

// ---- Selection lists -------------------------------------------------------------------------

const SelectionList* Host::List(int16_t list) const {
  auto it = lists_.find(list);
  return it == lists_.end() ? nullptr : &it->second;
}

SelectionList* Host::MutableList(int16_t list) {
  auto it = lists_.find(list);
  return it == lists_.end() ? nullptr : &it->second;
}

int16_t Host::CreateList(int16_t owner, int16_t capacity) {
  // A negative owner names the owner's one list: asking again hands back that list, emptied, so
  // a caller that never frees its list does not use up the host's lists.
  if (owner < 0) {
    for (auto& [number, list] : lists_) {
      if (number == 0 || list.owner != owner) continue;
      list.entries.clear();
      list.scan = 0;
      list.capacity = capacity > 0 ? static_cast<size_t>(capacity) : 512;
      return number;
    }
  }
  constexpr int kMaxLocalLists = 64;
  if (static_cast<int>(lists_.size()) > kMaxLocalLists) return -1;
  for (int16_t n = 1; n < 1000; ++n) {
    if (lists_.count(n)) continue;
    SelectionList list;
    list.owner = owner;
    list.capacity = capacity > 0 ? static_cast<size_t>(capacity) : 512;
    lists_[n] = list;
    return n;
  }
  return -1;
}

bool Host::FreeList(int16_t list) {
  if (list == 0) return false;  // the user's list stays
  return lists_.erase(list) > 0;
}

bool Host::SelectNearest(Point p) {
  SelectionList& list0 = lists_[0];
  int32_t id = NearestObject(p, ApertureDbu(2), 0, &list0);
  if (id == 0) return false;
  list0.entries.push_back(HsiOslEntry{id, 0, 0});
  return true;
}

void Host::SelectNone() {
  lists_[0].entries.clear();
  lists_[0].scan = 0;
}

// ---- Set-up drawing --------------------------------------------------------------------------

namespace {
bool ValidLayerArg(int16_t layer) { return layer >= 0 && layer <= HSI_LAYER_COUNT; }
}  // namespace

int32_t Host::AddLine(const std::vector<Point>& points, int16_t layer, int16_t weight) {
  if (points.size() < 2 || !ValidLayerArg(layer) || weight < 0 || weight > 255) return 0;
  Object o;
  o.layer = layer == 0 ? activeLayer_ : layer;
  o.colour = currentColour_;
  o.at = points.front();
  LinesetData d;
  d.points = points;
  d.weight = weight;
  o.data = d;
  return CreateObject(std::move(o), true);
}

int32_t Host::AddArc(Point centre, int32_t radius, double angle1, double angle2, int16_t layer) {
  if (radius <= 0 || !ValidLayerArg(layer) || !std::isfinite(angle1) || !std::isfinite(angle2))
    return 0;
  Object o;
  o.layer = layer == 0 ? activeLayer_ : layer;
  o.colour = currentColour_;
  o.at = centre;
  ArcData d;
  d.radius = radius;
  d.start = RoundPoint({centre.x + radius * std::cos(Radians(angle1)),
                        centre.y + radius * std::sin(Radians(angle1))});
  d.end = RoundPoint({centre.x + radius * std::cos(Radians(angle2)),
                      centre.y + radius * std::sin(Radians(angle2))});
  o.data = d;
  return CreateObject(std::move(o), true);
}

int32_t Host::AddText(Point at, const std::string& text, int32_t size, int16_t layer) {
  if (!ValidLayerArg(layer) || size < 0 || text.size() >= HSI_CAD_TEXT_CHARS) return 0;
  Object o;
  o.layer = layer == 0 ? activeLayer_ : layer;
  o.colour = currentColour_;
  o.at = at;
  TextData d;
  // The default size is 3/32 inch on paper.
  d.size = size > 0 ? size : RoundDbu(DbuPerPaperInch(units_) * 3.0 / 32.0);
  d.text = text;
  o.data = d;
  return CreateObject(std::move(o), true);
}

int32_t Host::AddSymbol(const std::string& name, Point at, int16_t layer, std::string* error) {
  if (!ValidLayerArg(layer)) {
    if (error) *error = "no such layer";
    return 0;
  }
  int32_t symbol = FindSymbol(name);
  if (symbol == 0) {
    // The host's own tool takes a symbol file of either kind.
    size_t dot = name.rfind('.');
    bool threeD = dot != std::string::npos && Upper(name.substr(dot)) == ".S3D";
    symbol = LoadSymbolFile(Path(HSI_PATH_SYMBOLS), name, threeD, error);
  }
  if (symbol == 0) return 0;
  Object o;
  o.layer = layer == 0 ? activeLayer_ : layer;
  o.colour = currentColour_;
  o.at = at;
  SymbolData d;
  d.symbol = symbol;
  d.name = Symbol(symbol)->name;
  o.data = d;
  return CreateObject(std::move(o), true);
}

int32_t Host::FindSymbol(const std::string& name) const {
  std::string key = Upper(name);
  for (size_t i = 0; i < symbols_.size(); ++i)
    if (Upper(symbols_[i].name) == key) return static_cast<int32_t>(i + 1);
  return 0;
}

const SymbolDef* Host::Symbol(int32_t id) const {
  if (id < 1 || static_cast<size_t>(id) > symbols_.size()) return nullptr;
  return &symbols_[static_cast<size_t>(id) - 1];
}

}  // namespace host

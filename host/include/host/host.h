// The stand-in CAD host: one drawing engine per process, reached by the host interface (hsi.h)
// through Host::Current(), and by the host program and tests through this C++ API.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "host/geometry.h"
#include "host/input.h"
#include "host/mark_list.h"
#include "host/object_store.h"
#include "host/objects.h"
#include "host/spatial_index.h"
#include "host/symbols.h"
#include "host/units.h"
#include "hsi/hsi.h"

namespace platform {
struct Metafile;
}

namespace host {

// The pick aperture at start: one aperture unit is 0.05 inch of paper (about five pixels of a
// sheet shown at 96 pixels per inch), so the usual aperture of 2 reaches 0.1 inch of paper.
inline constexpr double kDefaultAperture = 0.05;

struct LayerState {
  std::string name;
  int16_t colour = 0;  // 0: objects keep their own colour
  uint16_t state = HSI_LAYER_ON;
  int16_t style = 0, weight = 0;
  bool On() const { return state == HSI_LAYER_ON; }
};

struct SelectionList {
  std::vector<HsiOslEntry> entries;
  size_t scan = 0;
  size_t capacity = 512;
  int16_t owner = 0;
  bool Contains(int32_t id) const;
};

// One interface call and its arguments, as written in the call log.
struct CallRecord {
  std::string name;
  std::string args;
};

// The cursor image the host shows while it waits for a point.
struct CursorImage {
  bool active = false;
  bool is3D = false;
  int16_t style = 0;
  int16_t list = 0;
  Point base, other;
  std::vector<Object> objects;  // copies of the listed objects (drag image), relative to base
};

// A drawing shown as a reference inside the current one.
struct Reference {
  std::string path;       // Windows path of the referenced drawing
  std::string layerFile;  // applied to the reference's layers at regeneration
  int16_t layer = 0;
  Point offset;
  double scale = 1.0, rotation = 0.0;
  bool visible = true;
  // Filled by regeneration: the referenced drawing's final objects and layers.
  std::vector<Object> objects;
  std::array<LayerState, HSI_LAYER_COUNT + 1> layers{};
  bool loaded = false;
};

class Host {
 public:
  struct Options {
    std::string caption = "Tracelon";
    bool readIni = true;  // read C:\TRACELON\tracelon.ini for folders
    // Keep the call log. A host whose log nobody reads (the host program playing a session)
    // starts without it: every call then costs no text at all.
    bool recordCalls = true;
  };

  // Makes a fresh host the current one (replacing any), with an empty drawing.
  static Host& Start(const Options& options);
  static Host& Start();
  static Host* Current();
  static void Stop();

  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;
  ~Host();

  void SetInputSource(InputSource* source) { input_ = source; }
  void SetObserver(HostObserver* observer) { observer_ = observer; }
  InputSource* Input() const { return input_; }

  // ---- Set-up, as a person would draw with the host's own tools ----
  // Layer 0 means the active layer. Each returns the new object's id, 0 when refused.
  int32_t AddLine(const std::vector<Point>& points, int16_t layer = 0, int16_t weight = 0);
  int32_t AddArc(Point centre, int32_t radius, double angle1, double angle2, int16_t layer = 0);
  int32_t AddText(Point at, const std::string& text, int32_t size = 0, int16_t layer = 0);
  // Finds the symbol, or loads NAME from the symbol folder (path 2), and places it at scale 1.
  int32_t AddSymbol(const std::string& name, Point at, int16_t layer = 0,
                    std::string* error = nullptr);
  bool SelectNearest(Point p);  // adds the nearest object (pick aperture 2) to list 0
  // The pick aperture: the paper distance, in inches of paper, of one aperture unit of a
  // selection by point (HsiSelectbyPoint's `aperture`). Positive and finite.
  bool SetAperture(double paperInches);
  double Aperture() const { return aperture_; }
  // `units` aperture units as a distance in the drawing: the paper distance converted with the
  // drawing's points per unit and scale.
  double ApertureDbu(int units) const;
  void SelectNone();
  bool SetLayerOn(int layer, bool on);
  bool SetLayerName(int layer, const std::string& name);
  bool SetLayerColour(int layer, int16_t colour);
  bool SetActiveLayer(int layer);
  void SetCurrentColour(int16_t colour) { currentColour_ = colour; }
  bool SetUnitType(uint16_t unitType);
  bool SetPointsPerUnit(int32_t ppu);
  bool SetScale(double scale);  // drawing and plot scale
  // The unit settings one by one; each refuses a value the unit system cannot use (points per
  // unit and scales > 0 and finite, denominator >= 1, precision 0..10, space 0 or 1, known unit
  // and notation codes) and then changes nothing.
  bool SetPaperUnit(uint16_t unitType);
  bool SetScaledUnits(uint16_t mode);
  bool SetDenominator(int denominator);
  bool SetPrecision(int precision);
  bool SetDrawingScale(double scale);
  bool SetPlotScale(double scale);
  bool SetSpace(int space);
  void SetProgMode3D(bool threeD) { progMode_ = threeD ? HSI_MODE_3D : HSI_MODE_2D; }
  bool SetSnapMode(int mode);
  bool SetSnap3DMode(int mode);
  void SetSnapAngle(double degrees) { snapAngle_ = degrees; }
  // The host's own command that is running (0: idle), as HsiGetActiveCommand reports it while
  // no request waits; the host program sets it.
  void SetActiveCommand(int16_t command) { activeCommand_ = command; }

  // ---- Object snaps and typed points (object_snap.cpp, typed_points.cpp) ----
  // The snap modes in force, 2D and 3D apart, in the order they were set. SetSnapMode and
  // SetSnap3DMode put one mode in force (0: none), as the host's own snap setting does; the
  // interface's HsiSetSnapMode adds one to those in force (AddSnapMode), and 0 clears them, so
  // a snap hierarchy set mode by mode works as a combination. SnapMode() is the mode set last.
  bool AddSnapMode(int mode);
  bool AddSnap3DMode(int mode);
  bool SetSnapModes(const std::vector<int>& modes);  // in this order; every one 1..15
  const std::vector<int>& SnapModes() const { return snapModes_; }
  const std::vector<int>& Snap3DModes() const { return snap3DModes_; }
  // The grid of grid snap: its spacing in DBU, from the origin. 0 (the start) follows the sheet:
  // a quarter inch of paper at the drawing scale.
  bool SetGridSpacing(int32_t dbu);
  int32_t GridSpacing() const;
  struct Snapped {
    Point point;
    int mode = 0;
  };
  // Where the modes in force move a picked point: the first mode, in the order set, that finds
  // its point within the pick aperture wins; grid snap, which always finds one, comes last.
  // nullopt when no mode is in force or none finds anything.
  std::optional<Snapped> SnapPoint(Point picked, bool threeD) const;
  static std::string SnapModeWord(int mode);  // "vertex", "end", "grid", ...
  // A typed point in the drawing's notation: "X Y" or "X,Y" (lengths, 18'-4" 12'-0"),
  // "@DX DY" relative to the last point, "@LENGTH<ANGLE" (degrees counter-clockwise), "@" the
  // last point itself. nullopt, with the reason a person reads, when the text is none of these.
  std::optional<Point> ReadTypedPoint(const std::string& text, std::string* why) const;
  // The last point a point request was answered with (picked and snapped, typed or coordinate
  // input); relative points start from it, and from the origin before any.
  std::optional<Point> LastPoint() const { return lastPoint_; }
  // The sheet a drawing without objects is shown on: 36 x 24 inches of paper at the drawing
  // scale, from the origin.
  Box EmptySheet() const;

  void SetDrawingDescription(const std::string& text) { description_ = text; }

  // ---- Files (Windows paths) ----
  bool OpenDrawing(const std::string& path, std::string* error = nullptr);
  bool SaveDrawing(const std::string& path, std::string* error = nullptr);
  bool LoadLayerFile(const std::string& path, std::string* error = nullptr);
  bool RunMacro(const std::string& path, std::string* error = nullptr);
  // Loads a symbol file from `folder`; a file that is not there is read from the host's own
  // symbol folder (path 2, or 3 for 3D, as the host started) instead. Returns its id (0 on
  // failure).
  int32_t LoadSymbolFile(const std::string& folder, const std::string& name, bool threeD,
                         std::string* error = nullptr);
  int32_t FindSymbol(const std::string& name) const;  // 0 when not loaded
  const SymbolDef* Symbol(int32_t id) const;
  // Adds a reference to another drawing file (loaded at the next regeneration).
  void AddReference(const Reference& reference);
  bool RegenerateReferences();

  // ---- Export ----
  std::string ToJson() const;  // the drawing as SESSIONS.md describes, stable key order
  std::string ToSvg() const;   // what a person looks at
  // The same, and with `cursorImage` also the cursor image the host shows while it waits for a
  // point (a group "cursor-image" at its base point, with the style and the base point as data
  // attributes), for a live view that moves it with the mouse.
  std::string ToSvg(bool cursorImage) const;
  // The same texts written to a stream piece by piece: a large drawing is never held whole.
  void WriteJson(std::ostream& out) const;
  void WriteSvg(std::ostream& out, bool cursorImage = false) const;

  // ---- Reading the state ----
  const ObjectStore& Objects() const { return objects_; }
  const Object* Find(int32_t id) const { return objects_.Find(id); }
  std::vector<const Object*> FinalObjects() const;
  Box ObjectBox(const Object& object) const;
  const LayerState& Layer(int layer) const;
  int16_t ActiveLayer() const { return activeLayer_; }
  int16_t CurrentColour() const { return currentColour_; }
  const UnitSettings& Units() const { return units_; }
  // Direct access for tests that set up unusual unit settings; the interface uses the setters.
  UnitSettings& MutableUnits() { return units_; }
  uint16_t ProgMode() const { return progMode_; }
  int SnapMode() const { return snapMode_; }
  int Snap3DMode() const { return snap3DMode_; }
  double SnapAngle() const { return snapAngle_; }
  int16_t ActiveCommand() const { return waiting_ > 0 ? int16_t{1} : activeCommand_; }
  const SelectionList* List(int16_t list) const;
  SelectionList* MutableList(int16_t list);
  const CursorImage& Cursor() const { return cursor_; }
  const MarkList& Marks() const { return marks_; }
  // The text of a text mark ("" for other marks).
  const std::string& MarkText(const ScreenMark& mark) const { return MarkLook(mark).text; }
  const TextData& MarkLook(const ScreenMark& mark) const;
  const std::string& MessageLine() const { return messageLine_; }
  const std::string& CallbackTitle() const { return callback_; }
  int StatusLineUpdates() const { return statusUpdates_; }
  const std::vector<int>& HostCommands() const { return hostCommands_; }
  const std::vector<std::pair<std::string, int>>& LoadedFiles() const { return loadedFiles_; }
  const std::vector<std::string>& MacrosRun() const { return macrosRun_; }
  const std::vector<Point>& CoordinateInputs() const { return coordinateInputs_; }
  const std::vector<Reference>& References() const { return references_; }
  std::vector<Reference>& MutableReferences() { return references_; }
  const std::string& DrawingPath() const { return drawingPath_; }
  std::string DrawingName() const;
  const std::string& DrawingDescription() const { return description_; }
  int RedrawCount() const { return redraws_; }
  size_t HistorySize() const { return history_.size(); }

  // ---- Folders ----
  std::string Path(int number) const;  // with its trailing backslash; "" for an unknown number
  bool SetPath(int number, const std::string& folder);

  // ---- The call log ----
  // Calls are recorded only while the log is on (as the host started; RecordCalls switches it).
  bool RecordsCalls() const { return recordCalls_; }
  void RecordCalls(bool on) { recordCalls_ = on; }
  const std::vector<CallRecord>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  void LogCall(std::string name, std::string args);
  // The calls of one function, oldest first.
  std::vector<CallRecord> CallsTo(const std::string& name) const;

  // ---- Engine operations behind the interface ----
  int16_t ErrorNumber() const { return errno_; }
  void SetError(int16_t number) { errno_ = number; }
  bool Refuse(int16_t number);  // sets the error number; false

  // The interface's object records (records.cpp): a caller's type-46, 48 or 54 record read into
  // an object (false, with the error number, for a record the host cannot take); the object
  // information record of an object; the picture of a list's objects fitted into 200 logical
  // units (false when the list is unknown or holds nothing).
  bool ObjectFromRecord(int16_t type, const void* record, Object* out);
  HsiObjectInfo InfoRecord(const Object& object) const;
  bool PictureOfList(int16_t list, platform::Metafile* out);

  // Objects. `finalObject` false makes a temporary (preview) object, kept out of selections,
  // history and exports.
  int32_t CreateObject(Object object, bool finalObject);
  bool DeleteObject(int32_t id);
  bool MoveObject(int32_t id, int32_t dx, int32_t dy);
  // Moves the whole drawing (its objects and its references) by (dx, dy), clamped to the
  // coordinate range, as if it had been drawn there: nothing is recorded to undo.
  void ShiftDrawing(int64_t dx, int64_t dy);
  // Replaces a final object's content in place (same id), keeping the spatial index current.
  bool ReplaceObject(const Object& object);
  // The undo history. An operation is what one call of the host interface (or one set-up action)
  // changes in the final objects: creations, deletions and changes (moves, cuts) together. A
  // change outside BeginOperation / EndOperation is an operation of its own; between them
  // (they nest) everything is one. UndoLast takes back the most recent operation whole.
  void BeginOperation();
  void RecordRemoval(const Object& object);
  void EndOperation();
  bool UndoLast();

  // Selection (selection.cpp). Each refuses an unknown list (false, or HSI_FAILURE, with the
  // error number).
  int16_t CreateList(int16_t owner, int16_t capacity);
  bool FreeList(int16_t list);
  bool AddToList(int16_t list, const HsiOslEntry& entry);  // a known object not yet listed
  bool RemoveFromList(int16_t list, int32_t id);
  bool ClearList(int16_t list);
  bool StartScan(int16_t list);
  bool ScanNext(int16_t list, HsiOslEntry* entry);  // false after the last entry
  // Adds the nearest object within `aperture` units of the pick aperture: HSI_SUCCESS,
  // HSI_NOTHING_FOUND, or HSI_FAILURE (unknown or full list).
  uint16_t SelectAt(int16_t list, Point p, int aperture, int16_t filter);
  uint16_t SelectInWindow(int16_t list, Point c1, Point c2, bool crossing, int16_t filter);
  bool DeleteListed(int16_t list);  // deletes the listed objects as one operation
  // The nearest final object within `tolerance` of `p` that passes `filter` and is not yet in
  // `exclude` (may be null). 0 when there is none.
  int32_t NearestObject(Point p, double tolerance, int16_t filter,
                        const SelectionList* exclude) const;
  // Final objects in the window (wholly inside, or also crossing it) that pass `filter`.
  std::vector<int32_t> ObjectsInWindow(const Box& window, bool crossing, int16_t filter) const;
  static bool PassesFilter(const Object& object, int16_t filter);
  double ObjectDistance(const Object& object, PointD p) const;
  // ObjectDistance when it is at most `limit`; otherwise some distance beyond `limit`. A pick
  // measures only the pieces of a long lineset that lie near it.
  double DistanceWithin(const Object& object, PointD p, double limit) const;

  // Input: asks the input source; without one a request is cancelled.
  // A point the user picked is snapped (not a pick of an object), a typed one read in the
  // drawing's notation: a text the host cannot read is refused on the message line and asked
  // again.
  PointReply Ask(RequestKind kind, const std::string& prompt);
  void Notify(HostEvent::Kind kind, std::string text = {}, int64_t number = 0);

  // Layers.
  bool WriteLayer(int layer, const LayerState& state);

  // Lines being built with HsiObjStartline / HsiObjAddtoline / HsiObjEndline.
  struct PendingLine {
    bool open = false;
    Object object;
  } pendingLine;

  // Symbol settings (HsiSetSymInfo) and TrueType settings.
  HsiSymbolInfo symbolInfo{1, 1, 0, 1, 1, 1, 0, 0, 0};
  HsiTrueTypeSettings trueType{};

  // Geometry services of the symbol and wall operations (walls.cpp).
  // Transforms a symbol element point of an instance into drawing coordinates.
  PointD SymbolToDrawing(const SymbolDef& def, const SymbolData& instance, Point at,
                         PointD local) const;
  bool OpenSegment(int16_t list, int32_t symbol, Point insertion, Point direction,
                   int16_t justification);
  bool FixParallelLines(int16_t list, int16_t kind, Point c1, Point c2);

  // Screen images and cursor.
  // Style 0 (drag): the listed objects, relative to `base`; 1, 3 rubber-band lines, 4 a window.
  bool MakeCursor(int16_t list, int16_t style, Point base, Point other, bool threeD);
  void DeleteCursor() { cursor_ = CursorImage{}; }
  // Mode -2 or -3 draws the mark, -1 removes the matching one; another mode is refused.
  // `text` is a text mark's text.
  bool DrawMark(ScreenMark mark, int16_t mode, const TextData* text = nullptr);
  // A highlight of a segment that continues the one drawn before it (a command walking a
  // boundary): kept as one more point of that run. False, drawing nothing, when it does not.
  bool ExtendLineMark(Point a, Point b, int16_t colour) { return marks_.ExtendLine(a, b, colour); }
  bool RemoveMark(const ScreenMark& mark, const std::string& text = {});
  // Redrawing an object (normal or erased) paints over the marks that lie on it.
  void EraseMarksOn(const Object& object);
  void PutMessage(const std::string& text);
  void SetCallbackTitle(const std::string& title);
  void StatusLineUpdate();
  void StartCommand(int command, bool nested);
  // The host tools (host_tools.cpp): the host's own drawing commands that a command number
  // starts. A started tool waits until control comes back to the host (the plug-in's command has
  // returned), then asks for its points; RunPendingTools runs the waiting ones in order.
  static bool IsHostTool(int command);
  void RunPendingTools();
  bool ToolsPending() const { return !pendingTools_.empty(); }
  // The thickness of the double-line walls the wall tool draws, as a length in inches (the
  // macro statement WALL sets it); 4 at start.
  bool SetWallThickness(double inches);
  double WallThickness() const { return wallThickness_; }
  // Zoom extents: the view becomes the box of the drawing's objects on layers that are shown
  // (unchanged for an empty drawing). `ViewChanges` counts the times the view was set.
  bool ZoomExtents();
  const Box& View() const { return view_; }
  int ViewChanges() const { return viewChanges_; }
  void Redraw() { ++redraws_; }
  // A point typed in as coordinate input (HsiCoordInput): recorded and reported; when a point or
  // pick request is waiting, the point is its answer (the innermost request, once it regains
  // control). Without a waiting request the host's own command, if any, takes it.
  void CoordinateInput(Point p);
  // True while a typed point waits to answer the innermost request now waiting: an input source
  // stops waiting for the user and returns (what it returns is replaced by the typed point).
  bool TypedInputWaiting() const { return typed_ && typed_->level == waiting_ && waiting_ > 0; }
  void RecordLoadedFile(const std::string& path, int kind);

 private:
  explicit Host(const Options& options);
  void ReadIni();
  // One request to the input source; `typedIn` tells whether coordinate input answered it.
  PointReply AskOnce(RequestKind kind, const std::string& prompt, bool* typedIn);
  // Snaps or reads the reply's point as Ask describes; false when a typed text was refused.
  bool TakePoint(RequestKind kind, PointReply& reply, bool typedIn);
  bool OpenDrawingFile(const std::string& path, std::string* error);
  bool RegenerateReference(Reference& reference);
  void IndexObject(const Object& object);
  void UnindexObject(int32_t id);
  int32_t NextId();
  void RemoveFromLists(int32_t id);

  UnitSettings units_;
  uint16_t progMode_ = HSI_MODE_2D;
  int snapMode_ = 0, snap3DMode_ = 0;
  std::vector<int> snapModes_, snap3DModes_;
  int32_t gridSpacing_ = 0;
  std::optional<Point> lastPoint_;
  double snapAngle_ = 45.0;
  double aperture_ = kDefaultAperture;
  std::array<std::string, HSI_PATH_COUNT> paths_;
  // The symbol folders (2D, 3D) as the host started with them: a symbol file not found in the
  // folder a caller names is looked for there next, so that a caller that has pointed the
  // symbol path at a project's folder still finds the host's own symbols.
  std::string symbolHome_, symbolHome3D_;
  std::array<LayerState, HSI_LAYER_COUNT + 1> layers_{};
  int16_t activeLayer_ = 1;
  int16_t currentColour_ = 7;
  ObjectStore objects_;
  SpatialIndex index_;
  int32_t nextId_ = 1;
  std::map<int16_t, SelectionList> lists_;

  struct HistoryEntry {
    std::vector<int32_t> created;
    std::vector<Object> removed;
  };
  // The closed operations, flat: the ids each created and the objects each removed, one
  // operation after another, and where each operation ends in the two.
  struct HistoryMark {
    uint32_t createdEnd = 0, removedEnd = 0;
  };
  std::vector<HistoryMark> history_;
  std::vector<int32_t> historyCreated_;
  std::vector<Object> historyRemoved_;
  void ClearHistory();
  struct OperationScope;
  int operationDepth_ = 0;
  HistoryEntry openOperation_;

  std::vector<SymbolDef> symbols_;  // id = index + 1
  CursorImage cursor_;
  MarkList marks_;
  std::vector<TextData> markTexts_;  // the looks of text marks, emptied when marks_ is empty
  std::string messageLine_, callback_;
  int statusUpdates_ = 0, redraws_ = 0;
  std::vector<int> hostCommands_;
  std::vector<int> pendingTools_;
  double wallThickness_ = 4.0;
  Box view_;
  int viewChanges_ = 0;
  std::vector<std::pair<std::string, int>> loadedFiles_;
  std::vector<std::string> macrosRun_;
  std::vector<Point> coordinateInputs_;
  std::vector<Reference> references_;
  std::string drawingPath_, description_;
  int16_t errno_ = 0;
  int16_t activeCommand_ = 0;
  int waiting_ = 0;
  struct TypedInput {
    Point point;
    int level = 0;  // the request it answers: the number of requests waiting when it was typed
  };
  std::optional<TypedInput> typed_;
  std::vector<CallRecord> calls_;
  bool recordCalls_ = true;
  InputSource* input_ = nullptr;
  HostObserver* observer_ = nullptr;
  uint32_t mainWindow_ = 0;

  friend uint32_t MainWindowOf(const Host& host);
};

uint32_t MainWindowOf(const Host& host);

}  // namespace host

// tracelon as a Windows desktop program. The program plays a live session as `serve` does: the
// session's line source is this window, which runs the system's message loop until the person
// has done something that makes a session line (a menu pick is `run EXPORT`, a click while a
// point is asked is `point X Y`, the right button `b2`, Escape `escape`, the host's line tool
// `host line ...`). So the host asks for points and the plug-in's commands run exactly as under
// `run` and `serve`, and what is drawn is the host's own drawing, drawn here with GDI.
//
// The plug-in's windows are shown on the screen by the platform's native forms where the build
// has them (ShowFormsOnScreen); without them the session answers a dialog by cancelling it.
#include <windows.h>
// (windows.h first: the common controls and dialogs need its types.)
#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <deque>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "../host/src/layout.h"
#include "desktop.h"
#include "desktop_input.h"
#include "host/colours.h"
#include "host/host.h"
#include "host_setup.h"
#include "machine.h"
#include "output_file.h"
#include "platform/files.h"
#include "platform/forms.h"
#include "platform/system.h"
#include "plugin_library.h"
#include "user/exports.h"
#include "user/script.h"
#include "user/session.h"

// The build defines TRACELON_NATIVE_FORMS where the platform has its native forms (a compile
// definition rather than __has_include, so that a compiler cache sees the difference).
#if TRACELON_NATIVE_FORMS
#include "platform/native_windows.h"
#endif

namespace fs = std::filesystem;

namespace {

// ---- Texts ----------------------------------------------------------------------------------

// The toolkit's and the host's texts are in the system's code page.
std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring out(size_t(std::max(n, 0)), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), out.data(), n);
  return out;
}

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  int n =
      WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size_t(std::max(n, 0)), '\0');
  if (n > 0)
    WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// A file copied over another of the same name (the system's own copy: the runtime's
// filesystem::copy_file refuses to overwrite on this system).
bool CopyOver(const fs::path& from, const fs::path& to, std::string& error) {
  if (CopyFileW(from.wstring().c_str(), to.wstring().c_str(), FALSE)) return true;
  error = "error " + std::to_string(GetLastError());
  return false;
}

std::wstring WindowText(HWND window) {
  int n = GetWindowTextLengthW(window);
  std::wstring text(size_t(n) + 1, L'\0');
  GetWindowTextW(window, text.data(), n + 1);
  text.resize(size_t(n));
  return text;
}

// ---- The platform's native forms ------------------------------------------------------------

// The one place where the desktop turns on the plug-in's windows on the screen. True when they
// are: the forms are real windows owned by `owner`, and a person answers them (modal loops,
// message boxes and the common dialogs are the system's).
bool ShowFormsOnScreen(HWND owner) {
#if TRACELON_NATIVE_FORMS
  if (!platform::native::Enable()) return false;
  platform::native::SetOwnerWindow(owner);
  platform::SetUiDriver(&platform::native::DesktopUser());
  return true;
#else
  (void)owner;
  return false;
#endif
}

void FormsOffScreen(bool native) {
#if TRACELON_NATIVE_FORMS
  if (native) platform::native::Disable();
#else
  (void)native;
#endif
}

// The window of a shown form (by its class name) or of one of its controls; null when none.
HWND FormPartWindow(const std::string& formClass, const std::string& control) {
#if TRACELON_NATIVE_FORMS
  for (platform::Form* form : platform::ShownForms()) {
    if (form->ClassName() != formClass) continue;
    if (control.empty()) return static_cast<HWND>(platform::native::FormWindow(*form));
    platform::Control* c = form->Find<platform::Control>(control);
    if (!c) c = form->FindByCaption(control);
    return c ? static_cast<HWND>(platform::native::ControlWindow(*c)) : nullptr;
  }
#else
  (void)formClass;
  (void)control;
#endif
  return nullptr;
}

// ---- Menus ----------------------------------------------------------------------------------

struct MenuItem {
  const char* caption;
  const char* exportName;  // null: a separator
  bool takesValue = false;
};
struct MenuGroup {
  const char* title;
  std::vector<MenuItem> items;
};

// The toolset's exports as the host's menu shows them (the drafting page has the same).
const std::vector<MenuGroup>& ToolsetMenus() {
  static const std::vector<MenuGroup> menus = {
      {"&Text",
       {{"QX Text...", "QXText"},
        {"QX Leader...", "QXLeader"},
        {"QX Quick Text", "QXQText"},
        {"QX Quick Edit", "QXQEdit"},
        {"QX Flex Text...", "QXFlexText"}}},
      {"S&ymbols",
       {{"QX Symbol...", "QXSymbol"}, {"QX Door...", "QXDoor"}, {"QX Macro...", "QXMacro"}}},
      {"&Measure",
       {{"QX Dimension...", "QXDimension"}, {"QX Area...", "QXArea"}, {"QX Scale...", "QXScale"}}},
      {"&Draw",
       {{"QX Circle...", "QXCircle"},
        {"QX Arc...", "QXArc"},
        {"QX Fix...", "QXFix"},
        {"QX Trim", "QXTrim"},
        {"QX Snap toolbar", "QXSnap"}}},
      {"&Layers",
       {{"QX Layer...", "QXLayer"},
        {"QX Active Layer", "QXActiveLayer"},
        {"QX Plan...", "QXPlan"}}},
      {"&Project",
       {{"QX Project...", "QXProject"},
        {"QX Reference...", "QXReference"},
        {"QX Setup...", "QXSetup"}}},
      {"Setti&ngs",
       {{"Base folder", "GetBaseDir"},
        {"Unit settings", "GetUnitSettings"},
        {"Project settings", "GetQXProjSettings"},
        {"Save project settings (the value typed in the box)", "SaveQXProjSettings", true},
        {"Get scale...", "GetScale"},
        {"Get layer file (the file typed in the box, or none)", "GetLyrFile", true}}},
      {"&Help",
       {{"QX Tools Help", "QXTHelp"},
        {"Tool Help", "ToolHelp"},
        {"Layer Help", "LayerHelp"},
        {"About QX Tools...", "ShowAboutBox"}}},
  };
  return menus;
}

enum Command : UINT {
  kFileNew = 100,
  kFileOpen,
  kFileSave,
  kFileSaveAs,
  kFileExit,
  kViewExtents = 200,
  kViewZoomIn,
  kViewZoomOut,
  kToolLine = 300,
  kToolArc,
  kToolText,
  kToolSelect,
  kToolSelectNone,
  kEditErase = 400,
  kEditUndo,
  kExportFirst = 1000,
};

enum class Tool { None, Line, Arc, Text, Select };

struct Options {
  std::optional<fs::path> root;
  fs::path plugin;
  std::optional<std::string> open;  // a drawing to open at the start
  std::optional<fs::path> drive;    // a script of input messages (tests)
  std::optional<fs::path> json;     // the drawing at the end (tests)
};

constexpr UINT_PTR kDriveTimer = 1;
constexpr int kPromptHeight = 28;

class Desktop;
Desktop* theDesktop = nullptr;

class Desktop {
 public:
  explicit Desktop(Options options) : options_(std::move(options)) { theDesktop = this; }
  ~Desktop() { theDesktop = nullptr; }

  int Run();

  LRESULT MainProc(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT ViewProc(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT EditProc(HWND window, UINT message, WPARAM w, LPARAM l);

 private:
  // ---- The session's side ----
  std::optional<std::string> NextLine(const user::Question& question);
  void Send(std::string line) { pending_.push_back(std::move(line)); }
  bool AskingPoint() const {
    return question_.kind == "point" || question_.kind == "3d point" || question_.kind == "pick";
  }
  void AnswerWithoutWindows(const user::Question& question);

  // ---- Windows ----
  bool CreateWindows();
  HMENU BuildMenus();
  void Layout();
  void UpdatePrompt();
  void SetStatus(int part, const std::string& text);
  void Note(const std::string& text) { SetStatus(3, text); }

  // ---- The view ----
  POINT ToScreen(double x, double y) const;
  host::PointD ToDrawing(int px, int py) const;
  host::Point Picked(int px, int py) const;  // on the grid of the zoom
  void ZoomExtents();
  void FitBox(const host::Box& box);
  void ZoomAt(int px, int py, double factor);
  void FollowHostView();
  void UpdateScrollBars();
  void Scroll(int bar, WPARAM w);
  void Paint(HDC dc, const RECT& client);
  void DrawObject(HDC dc, const host::Object& o, COLORREF colour, int weight);
  void DrawPolyline(HDC dc, const std::vector<host::PointD>& points, COLORREF colour, int weight);
  void DrawText(HDC dc, host::PointD at, double heightDbu, double angle, const std::string& text,
                UINT align, COLORREF colour, bool bold = false, bool italic = false,
                bool underline = false, const char* face = "Arial");

  // ---- Input ----
  void LeftClick(int px, int py, bool doubleClick);
  void RightClick();
  void Escape();
  void TypedEnter();
  void StartTool(Tool tool);
  void FinishLine();
  void MenuCommand(UINT id);

  // ---- Files ----
  void FileNew();
  void FileOpen();
  void OpenPath(const fs::path& real);
  bool FileSave(bool askName);
  bool SaveTo(const fs::path& target);
  fs::path OutsideCopy(const fs::path& real) const;
  std::optional<std::string> MachinePath(const fs::path& real) const;

  // ---- Scripted input (tests) ----
  bool LoadDrive(std::string& error);
  void DriveTick();
  void DriveFail(const std::string& why);

  Options options_;
  fs::path root_;
  user::Session* session_ = nullptr;
  bool native_ = false;
  bool quit_ = false;
  int exitStatus_ = 0;

  HWND main_ = nullptr, view_ = nullptr, prompt_ = nullptr, edit_ = nullptr, status_ = nullptr;
  WNDPROC editDefault_ = nullptr;
  std::vector<std::pair<std::string, bool>> exports_;  // by menu id - kExportFirst

  user::Question question_;
  bool asked_ = false;
  std::deque<std::string> pending_;
  std::string automatic_;  // the line last given without the person (fallbacks)

  // The view: the drawing point at the centre, and screen pixels per drawing unit.
  double cx_ = 0, cy_ = 0, scale_ = 0;
  int hostViews_ = 0;
  POINT mouse_{-1, -1};
  bool panning_ = false;
  POINT panFrom_{};

  Tool tool_ = Tool::None;
  std::vector<host::Point> toolPoints_;

  fs::path file_;             // the drawing file (the person's own path); empty: not saved yet
  std::string shownDrawing_;  // the host's drawing file the view was last fitted to
  std::string blank_;

  struct DriveStep {
    std::vector<user::Word> words;
    int line = 0;
  };
  std::vector<DriveStep> drive_;
  size_t driveAt_ = 0;
  std::chrono::steady_clock::time_point driveSince_{};
  std::chrono::steady_clock::time_point driveUntil_{};
};

LRESULT CALLBACK MainThunk(HWND w, UINT m, WPARAM a, LPARAM b) {
  return theDesktop ? theDesktop->MainProc(w, m, a, b) : DefWindowProcW(w, m, a, b);
}
LRESULT CALLBACK ViewThunk(HWND w, UINT m, WPARAM a, LPARAM b) {
  return theDesktop ? theDesktop->ViewProc(w, m, a, b) : DefWindowProcW(w, m, a, b);
}
LRESULT CALLBACK EditThunk(HWND w, UINT m, WPARAM a, LPARAM b) {
  return theDesktop ? theDesktop->EditProc(w, m, a, b) : DefWindowProcW(w, m, a, b);
}

// ---- Start and end --------------------------------------------------------------------------

int Desktop::Run() {
  std::string made, error;
  std::optional<fs::path> root = options_.root;
  if (!root) {
    // The person's own machine, kept between starts (drawings saved there stay).
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    root = (local ? fs::path(local) : fs::temp_directory_path()) / L"QX Tools" / L"machine";
  }
  std::optional<fs::path> machine = PrepareMachine(root, "tracelon-", made, error);
  if (!machine) {
    MessageBoxW(nullptr, Wide(error).c_str(), L"tracelon", MB_ICONERROR);
    std::cerr << "tracelon: " << error << "\n";
    return 1;
  }
  root_ = *machine;
  if (options_.drive && !LoadDrive(error)) {
    std::cerr << "tracelon: " << error << "\n";
    return 2;
  }
  if (!CreateWindows()) {
    std::cerr << "tracelon: cannot make the program's window (is there a display?)\n";
    return 1;
  }

  user::Session session;
  session_ = &session;
  session.SetEcho([&](const std::string& line) {
    std::cout << line << "\n" << std::flush;
    if (line.rfind("message ", 0) == 0 || line.rfind("= ", 0) == 0) Note(line);
  });
  session.SetLineSource([this](const user::Question& q) { return NextLine(q); });

  StartHost(root_);
  session.Attach();
  // A blank drawing for File > New, saved before anything is drawn.
  blank_ = "C:\\TRACELON\\WORK\\UNTITLED.VWF";
  if (host::Host* h = host::Host::Current(); !h->SaveDrawing(blank_)) blank_.clear();
  native_ = ShowFormsOnScreen(main_);
  if (options_.open) {
    // A file that is there is opened (copied onto the machine when it lies elsewhere); any
    // other name is a path on the machine's own drives (C:\TRACELON\DRAWINGS\...).
    std::error_code ec;
    if (fs::is_regular_file(fs::path(*options_.open), ec)) {
      OpenPath(*options_.open);
    } else {
      Send("host open " + user::Quote(*options_.open));
    }
  }
  ShowWindow(main_, SW_SHOW);
  ZoomExtents();
  if (!drive_.empty()) SetTimer(main_, kDriveTimer, 50, nullptr);

  PluginLibrary plugin;
  std::string failure;
  user::SymbolExports exports([&](const std::string& name) { return plugin.Find(name); });
  if (plugin.Open(options_.plugin, failure)) {
    session.SetExports(&exports);
    if (std::optional<std::string> played = PlayWithPlugin(plugin, session)) failure = *played;
  } else {
    MessageBoxW(main_, Wide(failure).c_str(), L"tracelon", MB_ICONERROR);
    exitStatus_ = 1;
  }
  session.SetExports(nullptr);
  if (options_.json && !WriteOutputFile(*options_.json, DrawingJson())) {
    std::cerr << "tracelon: cannot write " << options_.json->string() << "\n";
    exitStatus_ = 1;
  }
  FormsOffScreen(native_);
  session.Detach();
  StopHost();
  plugin.Close();
  session_ = nullptr;
  // A session that ended because the person closed the window while a command waited is not a
  // failure of the program; anything else is said.
  if (!failure.empty() && !quit_) {
    std::cerr << "tracelon: " << failure << "\n";
    exitStatus_ = 1;
  }
  if (IsWindow(main_)) DestroyWindow(main_);
  return exitStatus_;
}

bool Desktop::CreateWindows() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  WNDCLASSEXW main{};
  main.cbSize = sizeof main;
  main.lpfnWndProc = MainThunk;
  main.hInstance = instance;
  main.hCursor = LoadCursor(nullptr, IDC_ARROW);
  main.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  main.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  main.lpszClassName = L"TracelonMain";
  WNDCLASSEXW view{};
  view.cbSize = sizeof view;
  view.style = CS_DBLCLKS;
  view.lpfnWndProc = ViewThunk;
  view.hInstance = instance;
  view.hCursor = LoadCursor(nullptr, IDC_CROSS);
  view.lpszClassName = L"TracelonView";
  if (!RegisterClassExW(&main) || !RegisterClassExW(&view)) return false;

  main_ = CreateWindowExW(0, L"TracelonMain", L"QX Tools - tracelon", WS_OVERLAPPEDWINDOW,
                          CW_USEDEFAULT, CW_USEDEFAULT, 1100, 760, nullptr, BuildMenus(), instance,
                          nullptr);
  if (!main_) return false;
  view_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"TracelonView", L"",
                          WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 0, 0, 10, 10, main_,
                          nullptr, instance, nullptr);
  prompt_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP, 0, 0, 10,
                            10, main_, nullptr, instance, nullptr);
  edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0,
                          0, 10, 10, main_, nullptr, instance, nullptr);
  status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0,
                            0, 0, main_, nullptr, instance, nullptr);
  if (!view_ || !prompt_ || !edit_ || !status_) return false;
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageW(prompt_, WM_SETFONT, WPARAM(font), TRUE);
  SendMessageW(edit_, WM_SETFONT, WPARAM(font), TRUE);
  editDefault_ =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit_, GWLP_WNDPROC, LONG_PTR(EditThunk)));
  Layout();
  return true;
}

HMENU Desktop::BuildMenus() {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, kFileNew, L"&New");
  AppendMenuW(file, MF_STRING, kFileOpen, L"&Open...");
  AppendMenuW(file, MF_STRING, kFileSave, L"&Save");
  AppendMenuW(file, MF_STRING, kFileSaveAs, L"Save &As...");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, kFileExit, L"E&xit");
  AppendMenuW(bar, MF_POPUP, UINT_PTR(file), L"&File");
  HMENU edit = CreatePopupMenu();
  AppendMenuW(edit, MF_STRING, kEditUndo, L"&Undo");
  AppendMenuW(edit, MF_STRING, kEditErase, L"&Erase");
  AppendMenuW(bar, MF_POPUP, UINT_PTR(edit), L"&Edit");
  HMENU view = CreatePopupMenu();
  AppendMenuW(view, MF_STRING, kViewExtents, L"Zoom &Extents\tHome");
  AppendMenuW(view, MF_STRING, kViewZoomIn, L"Zoom &In");
  AppendMenuW(view, MF_STRING, kViewZoomOut, L"Zoom &Out");
  AppendMenuW(bar, MF_POPUP, UINT_PTR(view), L"&View");
  HMENU tools = CreatePopupMenu();
  AppendMenuW(tools, MF_STRING, kToolLine, L"&Line");
  AppendMenuW(tools, MF_STRING, kToolArc, L"&Arc");
  AppendMenuW(tools, MF_STRING, kToolText, L"&Text");
  AppendMenuW(tools, MF_STRING, kToolSelect, L"&Select");
  AppendMenuW(tools, MF_STRING, kToolSelectNone, L"Select &None");
  AppendMenuW(bar, MF_POPUP, UINT_PTR(tools), L"T&ools");
  for (const MenuGroup& group : ToolsetMenus()) {
    HMENU menu = CreatePopupMenu();
    for (const MenuItem& item : group.items) {
      UINT id = kExportFirst + UINT(exports_.size());
      exports_.emplace_back(item.exportName, item.takesValue);
      AppendMenuW(menu, MF_STRING, id, Wide(item.caption).c_str());
    }
    AppendMenuW(bar, MF_POPUP, UINT_PTR(menu), Wide(group.title).c_str());
  }
  return bar;
}

void Desktop::Layout() {
  if (!main_) return;
  RECT client;
  GetClientRect(main_, &client);
  SendMessageW(status_, WM_SIZE, 0, 0);
  RECT bar;
  GetWindowRect(status_, &bar);
  int statusHeight = bar.bottom - bar.top;
  int width = client.right, height = client.bottom;
  int promptTop = height - statusHeight - kPromptHeight;
  MoveWindow(view_, 0, 0, width, std::max(promptTop, 10), TRUE);
  int editWidth = std::min(320, width / 3);
  MoveWindow(prompt_, 6, promptTop + 6, std::max(width - editWidth - 18, 10), kPromptHeight - 8,
             TRUE);
  MoveWindow(edit_, width - editWidth - 6, promptTop + 3, editWidth, kPromptHeight - 6, TRUE);
  int parts[4] = {width / 3, width / 3 + 200, width / 3 + 400, -1};
  SendMessageW(status_, SB_SETPARTS, 4, LPARAM(parts));
  UpdateScrollBars();
}

void Desktop::SetStatus(int part, const std::string& text) {
  if (status_) SendMessageW(status_, SB_SETTEXTW, WPARAM(part), LPARAM(Wide(text).c_str()));
}

void Desktop::UpdatePrompt() {
  std::string text;
  if (tool_ == Tool::Line) {
    text = toolPoints_.empty() ? "Line: pick the first point"
                               : "Line: pick the next point (right button, Enter or a "
                                 "double-click ends it; Escape drops it)";
  } else if (tool_ == Tool::Arc) {
    static const char* steps[] = {"Arc: pick the centre", "Arc: pick the start",
                                  "Arc: pick the end (counter-clockwise from the start)"};
    text = steps[std::min<size_t>(toolPoints_.size(), 2)];
  } else if (tool_ == Tool::Text) {
    text = toolPoints_.empty() ? "Text: pick where it goes"
                               : "Text: type it in the box and press Enter";
  } else if (tool_ == Tool::Select) {
    text = "Select: pick an object";
  } else if (AskingPoint()) {
    std::string prompt = session_ ? session_->LastPrompt() : "";
    text = prompt.empty() ? question_.description : prompt;
    text += "   (right button: B2; Escape cancels; or type a point in the box)";
  } else if (question_.kind == "command") {
    text = "Command: pick a command from the menu";
  } else {
    text = question_.description;
  }
  SetWindowTextW(prompt_, Wide(text).c_str());
  const host::Host* h = host::Host::Current();
  if (h) {
    SetStatus(0, h->MessageLine());
    const host::LayerState& layer = h->Layer(h->ActiveLayer());
    SetStatus(2, "Layer " + std::to_string(h->ActiveLayer()) +
                     (layer.name.empty() ? "" : " " + layer.name));
  }
}

// ---- The session's line source --------------------------------------------------------------

std::optional<std::string> Desktop::NextLine(const user::Question& question) {
  question_ = question;
  asked_ = true;
  if (!question.refusal.empty()) {
    Note(question.refusal);
    MessageBeep(MB_ICONWARNING);
    // A line given without the person that was refused is not given again.
    if (!automatic_.empty()) pending_.clear();
  } else if (!automatic_.empty()) {
    automatic_.clear();
  }
  // A drawing just opened is shown whole; a zoom of the host's own is followed.
  if (const host::Host* h = host::Host::Current(); h && h->DrawingPath() != shownDrawing_) {
    shownDrawing_ = h->DrawingPath();
    ZoomExtents();
  }
  FollowHostView();
  UpdatePrompt();
  InvalidateRect(view_, nullptr, FALSE);
  if (pending_.empty() && question.refusal.empty()) AnswerWithoutWindows(question);

  MSG message;
  while (pending_.empty() && !quit_) {
    BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      quit_ = true;
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  asked_ = false;
  if (quit_) return std::nullopt;
  std::string line = pending_.front();
  pending_.pop_front();
  return line;
}

// Without the native forms, the plug-in's windows cannot be shown: a dialog is cancelled (as
// its Cancel button would), a box with choices asks with the system's own message box, and the
// file, folder, font and input dialogs are cancelled.
void Desktop::AnswerWithoutWindows(const user::Question& question) {
  if (native_) return;
  auto detail = [&](const std::string& key) {
    for (const auto& [k, v] : question.details)
      if (k == key) return v;
    return std::string();
  };
  std::string line;
  if (question.kind == "message") {
    std::string buttons = detail("buttons");
    UINT type = MB_OK;
    if (buttons == "Yes/No") type = MB_YESNO;
    if (buttons == "Yes/No/Cancel") type = MB_YESNOCANCEL;
    if (buttons == "OK/Cancel") type = MB_OKCANCEL;
    if (buttons == "Abort/Retry/Ignore") type = MB_ABORTRETRYIGNORE;
    if (buttons == "Retry/Cancel") type = MB_RETRYCANCEL;
    int pressed = MessageBoxW(main_, Wide(detail("text")).c_str(), Wide(detail("caption")).c_str(),
                              type | MB_ICONQUESTION);
    static const std::map<int, const char*> names = {
        {IDYES, "Yes"},     {IDNO, "No"},       {IDOK, "OK"},        {IDCANCEL, "Cancel"},
        {IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}};
    auto name = names.find(pressed);
    line = "answer " + std::string(name != names.end() ? name->second : "Cancel");
  } else if (question.kind == "form" && question.form) {
    // The form is closed as its close box would: cancelled.
    const std::string& name = question.form->ClassName();
    bool bare = !name.empty() && name.find_first_of(" \t\"#\\") == std::string::npos;
    line = "form " + (bare ? name : user::Quote(name));
    pending_.push_back("  close");
  } else if (question.kind == "open file" || question.kind == "folder" || question.kind == "font" ||
             question.kind == "input") {
    static const std::map<std::string, std::string> cancels = {{"open file", "file cancel"},
                                                               {"folder", "folder cancel"},
                                                               {"font", "font cancel"},
                                                               {"input", "input cancel"}};
    line = cancels.at(question.kind);
  }
  if (question.kind != "message" && !line.empty()) {
    Note("this build shows no windows of the plug-in: " + question.description + " (cancelled)");
  }
  if (!line.empty()) {
    automatic_ = line;
    pending_.push_front(line);
  }
}

// ---- Window procedures ----------------------------------------------------------------------

LRESULT Desktop::MainProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_COMMAND:
      if (HIWORD(w) == 0 && l == 0) {
        MenuCommand(LOWORD(w));
        return 0;
      }
      break;
    case WM_TIMER:
      if (w == kDriveTimer) DriveTick();
      return 0;
    case WM_CLOSE:
      // The window goes when the program ends: the plug-in is unloaded first.
      quit_ = true;
      PostMessageW(window, WM_NULL, 0, 0);
      return 0;
    case WM_SETFOCUS:
      SetFocus(view_);
      return 0;
  }
  return DefWindowProcW(window, message, w, l);
}

LRESULT Desktop::EditProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_KEYDOWN && w == VK_RETURN) {
    TypedEnter();
    return 0;
  }
  if (message == WM_KEYDOWN && w == VK_ESCAPE) {
    Escape();
    return 0;
  }
  if (message == WM_CHAR && (w == L'\r' || w == 27)) return 0;  // no beep
  return CallWindowProcW(editDefault_, window, message, w, l);
}

LRESULT Desktop::ViewProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      RECT client;
      GetClientRect(window, &client);
      // Drawn off screen, then copied: no flicker while the mouse moves.
      HDC memory = CreateCompatibleDC(dc);
      HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1),
                                              std::max<LONG>(client.bottom, 1));
      HGDIOBJ old = SelectObject(memory, bitmap);
      Paint(memory, client);
      BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
      SelectObject(memory, old);
      DeleteObject(bitmap);
      DeleteDC(memory);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      if (scale_ <= 0) ZoomExtents();
      UpdateScrollBars();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus(window);
      LeftClick(GET_X_LPARAM(l), GET_Y_LPARAM(l), message == WM_LBUTTONDBLCLK);
      return 0;
    case WM_RBUTTONUP:
      RightClick();
      return 0;
    case WM_MBUTTONDOWN:
      panning_ = true;
      panFrom_ = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      SetCapture(window);
      return 0;
    case WM_MBUTTONUP:
      panning_ = false;
      ReleaseCapture();
      return 0;
    case WM_MOUSEMOVE: {
      POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      if (panning_ && scale_ > 0) {
        cx_ -= (p.x - panFrom_.x) / scale_;
        cy_ += (p.y - panFrom_.y) / scale_;
        panFrom_ = p;
        UpdateScrollBars();
      }
      mouse_ = p;
      host::Point at = Picked(p.x, p.y);
      SetStatus(1, std::to_string(at.x) + ", " + std::to_string(at.y));
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    }
    case WM_MOUSEWHEEL: {
      POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};  // screen coordinates
      ScreenToClient(window, &p);
      ZoomAt(p.x, p.y, GET_WHEEL_DELTA_WPARAM(w) > 0 ? 1.25 : 0.8);
      return 0;
    }
    case WM_HSCROLL:
      Scroll(SB_HORZ, w);
      return 0;
    case WM_VSCROLL:
      Scroll(SB_VERT, w);
      return 0;
    case WM_KEYDOWN:
      if (w == VK_ESCAPE) Escape();
      if (w == VK_RETURN) {
        if (tool_ == Tool::Line) FinishLine();
      }
      if (w == VK_HOME) ZoomExtents();
      return 0;
  }
  return DefWindowProcW(window, message, w, l);
}

// ---- The view -------------------------------------------------------------------------------

POINT Desktop::ToScreen(double x, double y) const {
  RECT client;
  GetClientRect(view_, &client);
  return {LONG(std::lround(client.right / 2.0 + (x - cx_) * scale_)),
          LONG(std::lround(client.bottom / 2.0 - (y - cy_) * scale_))};
}

host::PointD Desktop::ToDrawing(int px, int py) const {
  RECT client;
  GetClientRect(view_, &client);
  double s = scale_ > 0 ? scale_ : 1;
  return {cx_ + (px - client.right / 2.0) / s, cy_ - (py - client.bottom / 2.0) / s};
}

// A click lands on the grid of the zoom (desktop::GridStep).
host::Point Desktop::Picked(int px, int py) const {
  host::PointD d = ToDrawing(px, py);
  return desktop::OnGrid(d.x, d.y, scale_ > 0 ? 1 / scale_ : 1);
}

void Desktop::FitBox(const host::Box& box) {
  RECT client;
  GetClientRect(view_, &client);
  double w = std::max<double>(double(box.x2 - box.x1), 1),
         h = std::max<double>(double(box.y2 - box.y1), 1);
  double cw = std::max<LONG>(client.right, 1), ch = std::max<LONG>(client.bottom, 1);
  scale_ = std::min(cw / (w * 1.08), ch / (h * 1.08));
  cx_ = (double(box.x1) + double(box.x2)) / 2;
  cy_ = (double(box.y1) + double(box.y2)) / 2;
  UpdateScrollBars();
  InvalidateRect(view_, nullptr, FALSE);
}

void Desktop::ZoomExtents() {
  const host::Host* h = host::Host::Current();
  if (!h) return;
  host::Box extent;
  for (const host::Object* o : h->FinalObjects())
    if (h->Layer(o->layer).On()) extent.Add(h->ObjectBox(*o));
  if (extent.Empty()) extent = h->EmptySheet();
  FitBox(extent);
}

// When the host zooms of its own accord (zoom extents after a project loads a drawing), the
// view shows what the host's view holds.
void Desktop::FollowHostView() {
  const host::Host* h = host::Host::Current();
  if (!h || h->ViewChanges() == hostViews_) return;
  hostViews_ = h->ViewChanges();
  if (!h->View().Empty()) FitBox(h->View());
}

void Desktop::ZoomAt(int px, int py, double factor) {
  if (scale_ <= 0) return;
  host::PointD at = ToDrawing(px, py);
  scale_ = std::clamp(scale_ * factor, 1e-9, 1e3);
  host::PointD moved = ToDrawing(px, py);
  cx_ += at.x - moved.x;
  cy_ += at.y - moved.y;
  UpdateScrollBars();
  InvalidateRect(view_, nullptr, FALSE);
}

// The scroll bars span the drawing's extent and a screenful around it.
void Desktop::UpdateScrollBars() {
  const host::Host* h = host::Host::Current();
  if (!h || !view_ || scale_ <= 0) return;
  RECT client;
  GetClientRect(view_, &client);
  host::Box extent;
  for (const host::Object* o : h->FinalObjects()) extent.Add(h->ObjectBox(*o));
  if (extent.Empty()) extent = h->EmptySheet();
  double viewW = client.right / scale_, viewH = client.bottom / scale_;
  auto set = [&](int bar, double low, double high, double centre, double page) {
    low = std::min(low - page, centre - page / 2);
    high = std::max(high + page, centre + page / 2);
    SCROLLINFO info{sizeof info, SIF_ALL | SIF_DISABLENOSCROLL, 0, 10000, 0, 0, 0};
    info.nPage = UINT(std::clamp(page / (high - low) * 10000, 1.0, 10000.0));
    double first = (centre - page / 2 - low) / (high - low) * 10000;
    info.nPos = int(std::clamp(first, 0.0, 10000.0));
    SetScrollInfo(view_, bar, &info, TRUE);
  };
  set(SB_HORZ, double(extent.x1), double(extent.x2), cx_, viewW);
  // The vertical bar runs downwards: from the top of the drawing.
  set(SB_VERT, -double(extent.y2), -double(extent.y1), -cy_, viewH);
}

void Desktop::Scroll(int bar, WPARAM w) {
  if (scale_ <= 0) return;
  RECT client;
  GetClientRect(view_, &client);
  SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(view_, bar, &info);
  int pos = info.nPos;
  switch (LOWORD(w)) {
    case SB_LINEUP:
      pos -= int(info.nPage / 10 + 1);
      break;
    case SB_LINEDOWN:
      pos += int(info.nPage / 10 + 1);
      break;
    case SB_PAGEUP:
      pos -= int(info.nPage);
      break;
    case SB_PAGEDOWN:
      pos += int(info.nPage);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      pos = info.nTrackPos;
      break;
    default:
      return;
  }
  // A step of the bar is a share of the screen: move the view by as much.
  double perStep =
      (bar == SB_HORZ ? client.right : client.bottom) / scale_ / std::max<double>(info.nPage, 1);
  double moved = (pos - info.nPos) * perStep;
  if (bar == SB_HORZ) {
    cx_ += moved;
  } else {
    cy_ -= moved;
  }
  UpdateScrollBars();
  InvalidateRect(view_, nullptr, FALSE);
}

COLORREF Colour(int c) {
  const host::ColourRgb rgb = host::ColourOf(c);
  return RGB(rgb.r, rgb.g, rgb.b);
}

void Desktop::DrawPolyline(HDC dc, const std::vector<host::PointD>& points, COLORREF colour,
                           int weight) {
  if (points.size() < 2) return;
  std::vector<POINT> screen;
  screen.reserve(points.size());
  for (const auto& p : points) screen.push_back(ToScreen(p.x, p.y));
  HPEN pen = CreatePen(PS_SOLID, 1 + weight, colour);
  HGDIOBJ old = SelectObject(dc, pen);
  Polyline(dc, screen.data(), int(screen.size()));
  SelectObject(dc, old);
  DeleteObject(pen);
}

// A line of text whose height (of its capitals, in drawing units) and angle are the drawing's.
void Desktop::DrawText(HDC dc, host::PointD at, double heightDbu, double angle,
                       const std::string& text, UINT align, COLORREF colour, bool bold, bool italic,
                       bool underline, const char* face) {
  double pixels = heightDbu * scale_;
  if (pixels < 2 || text.empty() || pixels > 5000) return;
  int escapement = int(std::lround(angle * 10));
  HFONT font =
      CreateFontW(-int(std::lround(pixels)), 0, escapement, escapement, bold ? FW_BOLD : FW_NORMAL,
                  italic, underline, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                  ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, Wide(face).c_str());
  HGDIOBJ old = SelectObject(dc, font);
  SetTextColor(dc, colour);
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, align | TA_BASELINE);
  POINT p = ToScreen(at.x, at.y);
  std::wstring wide = Wide(text);
  TextOutW(dc, p.x, p.y, wide.c_str(), int(wide.size()));
  SelectObject(dc, old);
  DeleteObject(font);
}

void Desktop::DrawObject(HDC dc, const host::Object& o, COLORREF colour, int weight) {
  const host::Host& h = *host::Host::Current();
  // A text's baseline: `down` drawing units below the vertex, across its angle.
  auto below = [](host::PointD at, double down, double angle) {
    double r = host::Radians(angle);
    return host::PointD{at.x + down * std::sin(r), at.y - down * std::cos(r)};
  };
  auto cadText = [&](host::PointD at, const host::TextData& t) {
    double size = t.size;
    double down = t.vcode == 4 ? size : (t.vcode == 2 ? size / 2 : 0);
    UINT align = t.hcode == 2 ? TA_CENTER : (t.hcode == 1 ? TA_RIGHT : TA_LEFT);
    DrawText(dc, below(at, down, t.orientation), size / 0.72, t.orientation, t.text, align, colour);
  };
  switch (o.Kind()) {
    case host::ObjectKind::Lineset: {
      const auto& d = host::get<host::LinesetData>(o.data);
      std::vector<host::PointD> points;
      for (const auto& p : d.points) points.push_back(host::ToD(p));
      DrawPolyline(dc, points, colour, std::max<int>(d.weight, weight));
      return;
    }
    case host::ObjectKind::Arc: {
      const auto& d = host::get<host::ArcData>(o.data);
      POINT c = ToScreen(o.at.x, o.at.y), a = ToScreen(d.start.x, d.start.y),
            b = ToScreen(d.end.x, d.end.y);
      int r = int(std::lround(d.radius * scale_));
      HPEN pen = CreatePen(PS_SOLID, 1 + weight, colour);
      HGDIOBJ old = SelectObject(dc, pen);
      // Counter-clockwise in the drawing is clockwise on the screen, whose y runs down: GDI's
      // counter-clockwise arc from the end to the start.
      SetArcDirection(dc, AD_COUNTERCLOCKWISE);
      if (d.start == d.end) {
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        Ellipse(dc, c.x - r, c.y - r, c.x + r + 1, c.y + r + 1);
      } else {
        Arc(dc, c.x - r, c.y - r, c.x + r, c.y + r, b.x, b.y, a.x, a.y);
      }
      SelectObject(dc, old);
      DeleteObject(pen);
      return;
    }
    case host::ObjectKind::Text:
      cadText(host::ToD(o.at), host::get<host::TextData>(o.data));
      return;
    case host::ObjectKind::TrueType: {
      // The note's RTF as the host lays it out: its lines and their runs (bold, italic,
      // underline, size), one GDI text each.
      const auto& t = host::get<host::TrueTypeData>(o.data);
      host::TrueTypeBlock block = host::LayoutTrueType(t, h.Units());
      double sy = t.scaleY > 0 ? t.scaleY : 1.0, sx = t.scaleX > 0 ? t.scaleX : 1.0;
      double top = block.bottom + block.height;
      const char* face = t.face.empty() ? "Arial" : t.face.c_str();
      for (const auto& line : block.lines) {
        double lineW = line.width * block.dbuPerPoint * sx;
        double x = block.left + (line.align == 1   ? (block.width - lineW) / 2
                                 : line.align == 2 ? block.width - lineW
                                                   : 0);
        double baseline = top - line.height / 1.2 * block.dbuPerPoint * sy;
        for (const auto& run : line.runs) {
          host::PointD local = host::Rotate({x, baseline}, {0, 0}, t.orientation);
          double em = run.halfPoints / 2.0 * block.dbuPerPoint * sy;
          DrawText(dc, {o.at.x + local.x, o.at.y + local.y}, em, t.orientation, run.text, TA_LEFT,
                   colour, run.bold, run.italic, run.underline, face);
          x += host::MeasureRun(run) * block.dbuPerPoint * sx;
        }
        top -= line.height * block.dbuPerPoint * sy;
      }
      return;
    }
    case host::ObjectKind::Symbol: {
      const auto& d = host::get<host::SymbolData>(o.data);
      const host::SymbolDef* def = h.Symbol(d.symbol);
      if (!def) {
        double r = 6 / std::max(scale_, 1e-12);
        host::PointD c = host::ToD(o.at);
        DrawPolyline(dc, {{c.x - r, c.y - r}, {c.x + r, c.y + r}}, colour, 0);
        DrawPolyline(dc, {{c.x - r, c.y + r}, {c.x + r, c.y - r}}, colour, 0);
        return;
      }
      for (const auto& e : def->elements) {
        if (e.kind == host::SymbolElement::Kind::Text) {
          host::TextData t;
          t.size = host::RoundDbu(e.size * std::fabs(d.scaleY) * def->unit);
          t.text = e.text;
          t.orientation = e.angle1 + d.rotation;
          t.hcode = int16_t(e.hcode);
          t.vcode = int16_t(e.vcode);
          cadText(h.SymbolToDrawing(*def, d, o.at, e.centre), t);
          continue;
        }
        std::vector<host::PointD> points;
        for (const auto& local : host::ElementOutline(e))
          points.push_back(h.SymbolToDrawing(*def, d, o.at, local));
        DrawPolyline(dc, points, colour, std::max(e.weight, weight));
      }
      return;
    }
  }
}

void Desktop::Paint(HDC dc, const RECT& client) {
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const host::Host* h = host::Host::Current();
  if (!h || scale_ <= 0) return;
  // What the drawing shows: final objects on layers that are on, layer by layer.
  std::vector<const host::Object*> shown;
  for (const host::Object* o : h->FinalObjects())
    if (h->Layer(o->layer).On()) shown.push_back(o);
  std::stable_sort(shown.begin(), shown.end(), [](const host::Object* a, const host::Object* b) {
    return a->layer < b->layer;
  });
  for (const host::Object* o : shown) {
    const host::LayerState& layer = h->Layer(o->layer);
    int colour = o->colour != 0 ? o->colour : (layer.colour != 0 ? layer.colour : 7);
    DrawObject(dc, *o, Colour(colour), layer.weight);
  }
  // The selection, marked.
  if (const host::SelectionList* list = h->List(0)) {
    for (const HsiOslEntry& entry : list->entries) {
      const host::Object* o = h->Find(entry.id);
      if (o) DrawObject(dc, *o, RGB(0, 120, 255), 1);
    }
  }
  host::PointD mouse = ToDrawing(mouse_.x, mouse_.y);
  bool mouseIn = mouse_.x >= 0;
  // The cursor image the host shows while it waits: the drag image at the mouse, or the rubber
  // band from its base point.
  const host::CursorImage& cursor = h->Cursor();
  if (asked_ && AskingPoint() && cursor.active && mouseIn) {
    host::Point at = Picked(mouse_.x, mouse_.y);
    if (!cursor.objects.empty()) {
      for (host::Object o : cursor.objects) {
        host::Translate(o, at.x, at.y);
        DrawObject(dc, o, RGB(192, 0, 0), 0);
      }
    } else {
      DrawPolyline(dc, {host::ToD(cursor.base), host::ToD(at)}, RGB(192, 0, 0), 0);
    }
  }
  // The host tool being drawn.
  if (!toolPoints_.empty()) {
    std::vector<host::PointD> points;
    for (const auto& p : toolPoints_) points.push_back(host::ToD(p));
    if (mouseIn && tool_ != Tool::Text) points.push_back(mouse);
    DrawPolyline(dc, points, RGB(0, 120, 255), 0);
  }
}

// ---- Input ----------------------------------------------------------------------------------

void Desktop::StartTool(Tool tool) {
  tool_ = tool;
  toolPoints_.clear();
  UpdatePrompt();
  InvalidateRect(view_, nullptr, FALSE);
  SetFocus(tool == Tool::Text ? edit_ : view_);
}

void Desktop::LeftClick(int px, int py, bool doubleClick) {
  if (!asked_) return;
  host::Point p = Picked(px, py);
  std::string at = std::to_string(p.x) + " " + std::to_string(p.y);
  switch (tool_) {
    case Tool::Line:
      if (doubleClick) {
        FinishLine();
        return;
      }
      toolPoints_.push_back(p);
      UpdatePrompt();
      return;
    case Tool::Arc:
      toolPoints_.push_back(p);
      if (toolPoints_.size() == 3) {
        std::string arc = desktop::ArcToolLine(toolPoints_[0], toolPoints_[1], toolPoints_[2]);
        toolPoints_.clear();
        if (!arc.empty()) Send(arc);
      }
      UpdatePrompt();
      return;
    case Tool::Text:
      toolPoints_ = {p};
      UpdatePrompt();
      SetFocus(edit_);
      return;
    case Tool::Select:
      Send("host select " + at);
      return;
    case Tool::None:
      break;
  }
  if (AskingPoint()) {
    Send((question_.kind == "3d point" ? "point " + at + " 0" : "point " + at));
  } else if (question_.kind == "command") {
    Note("pick a command from the menu, or a tool from the Tools menu");
  }
}

void Desktop::FinishLine() {
  std::string line = desktop::LineToolLine(toolPoints_);
  if (!line.empty()) Send(line);
  toolPoints_.clear();
  UpdatePrompt();
  InvalidateRect(view_, nullptr, FALSE);
}

void Desktop::RightClick() {
  if (!asked_) return;
  if (tool_ == Tool::Line && !toolPoints_.empty()) {
    FinishLine();
  } else if (tool_ != Tool::None) {
    StartTool(Tool::None);
  } else if (AskingPoint()) {
    Send("b2");
  }
}

void Desktop::Escape() {
  if (!asked_) return;
  if (tool_ != Tool::None) {
    StartTool(Tool::None);
  } else if (question_.kind != "command") {
    Send("escape");
  }
}

// The box beside the prompt: a text for the text tool; while a point is asked, two whole numbers
// are a point at exactly those drawing units, anything else a point typed in the drawing's
// notation for the host to read.
void Desktop::TypedEnter() {
  if (!asked_) return;
  std::string text = Narrow(WindowText(edit_));
  if (tool_ == Tool::Text && !toolPoints_.empty()) {
    std::string line = desktop::TextToolLine(toolPoints_[0], text);
    if (!line.empty()) Send(line);
    toolPoints_.clear();
  } else if (std::string line = desktop::TypedPointLine(text); AskingPoint() && !line.empty()) {
    Send(line);
  } else {
    return;
  }
  SetWindowTextW(edit_, L"");
  SetFocus(view_);
}

void Desktop::MenuCommand(UINT id) {
  if (id >= kExportFirst && id < kExportFirst + exports_.size()) {
    if (!asked_) return;
    const auto& [name, takesValue] = exports_[id - kExportFirst];
    std::string line = "run " + name;
    if (takesValue) {
      std::string value = Narrow(WindowText(edit_));
      if (!value.empty()) line += " " + user::Quote(value);
      SetWindowTextW(edit_, L"");
    }
    StartTool(Tool::None);
    Send(line);
    return;
  }
  switch (id) {
    case kFileNew:
      FileNew();
      break;
    case kFileOpen:
      FileOpen();
      break;
    case kFileSave:
      FileSave(false);
      break;
    case kFileSaveAs:
      FileSave(true);
      break;
    case kFileExit:
      PostMessageW(main_, WM_CLOSE, 0, 0);
      break;
    case kViewExtents:
      ZoomExtents();
      break;
    case kViewZoomIn:
    case kViewZoomOut: {
      RECT client;
      GetClientRect(view_, &client);
      ZoomAt(client.right / 2, client.bottom / 2, id == kViewZoomIn ? 1.5 : 1 / 1.5);
      break;
    }
    case kToolLine:
      StartTool(Tool::Line);
      break;
    case kToolArc:
      StartTool(Tool::Arc);
      break;
    case kToolText:
      StartTool(Tool::Text);
      break;
    case kToolSelect:
      StartTool(Tool::Select);
      break;
    case kToolSelectNone:
      if (asked_) Send("host select none");
      break;
    // Between commands only: a running command holds the objects it made or picked.
    case kEditErase:
      if (asked_ && question_.kind == "command") Send("host erase");
      break;
    case kEditUndo:
      if (asked_ && question_.kind == "command") Send("host undo");
      break;
  }
}

// ---- Files ----------------------------------------------------------------------------------

std::optional<std::string> Desktop::MachinePath(const fs::path& real) const {
  return desktop::MachinePath(root_, real);
}

void Desktop::FileNew() {
  if (!asked_ || question_.kind != "command") {
    Note("a new drawing waits until the command has ended");
    return;
  }
  if (blank_.empty()) {
    Note("no blank drawing to start from");
    return;
  }
  Send("host open " + user::Quote(blank_));
  file_.clear();
  SetWindowTextW(main_, L"QX Tools - tracelon");
}

void Desktop::FileOpen() {
  if (!asked_ || question_.kind != "command") {
    Note("opening a drawing waits until the command has ended");
    return;
  }
  wchar_t name[MAX_PATH] = L"";
  std::wstring folder = (root_ / L"C" / L"TRACELON" / L"DRAWINGS").wstring();
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = main_;
  dialog.lpstrFilter = L"Drawings (*.vwf)\0*.vwf\0All files\0*.*\0";
  dialog.lpstrFile = name;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrInitialDir = folder.c_str();
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  if (GetOpenFileNameW(&dialog)) OpenPath(name);
}

// A drawing on the machine is opened where it is; one from elsewhere is copied onto the
// machine's drawings folder first (the host reads only the machine's drives), and saved back to
// where it came from.
void Desktop::OpenPath(const fs::path& real) {
  std::optional<std::string> inside = MachinePath(real);
  if (!inside) {
    std::error_code ec;
    fs::path copy = OutsideCopy(real);
    fs::create_directories(copy.parent_path(), ec);
    std::string error;
    if (!CopyOver(real, copy, error)) {
      Note("cannot copy " + real.string() + " onto the machine: " + error);
      return;
    }
    inside = MachinePath(copy);
    if (!inside) return;
  }
  Send("host open " + user::Quote(*inside));
  file_ = real;
  SetWindowTextW(main_, (L"QX Tools - tracelon - " + real.filename().wstring()).c_str());
}

bool Desktop::FileSave(bool askName) {
  host::Host* h = host::Host::Current();
  if (!h) return false;
  fs::path target = file_;
  if (askName || target.empty()) {
    wchar_t name[MAX_PATH] = L"";
    if (!file_.empty()) wcsncpy(name, file_.filename().wstring().c_str(), MAX_PATH - 1);
    std::wstring folder = (root_ / L"C" / L"TRACELON" / L"DRAWINGS").wstring();
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = main_;
    dialog.lpstrFilter = L"Drawings (*.vwf)\0*.vwf\0";
    dialog.lpstrDefExt = L"vwf";
    dialog.lpstrFile = name;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrInitialDir = folder.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog)) return false;
    target = name;
  }
  return SaveTo(target);
}

// The machine's copy of a drawing that lies elsewhere: a folder of its own, so that no drawing
// of the machine is overwritten by one of the same name.
fs::path Desktop::OutsideCopy(const fs::path& real) const {
  return root_ / L"C" / L"TRACELON" / L"WORK" / L"OUTSIDE" / real.filename();
}

bool Desktop::SaveTo(const fs::path& target) {
  host::Host* h = host::Host::Current();
  if (!h) return false;
  std::optional<std::string> inside = MachinePath(target);
  fs::path written = target;
  if (!inside) {
    written = OutsideCopy(target);
    std::error_code ec;
    fs::create_directories(written.parent_path(), ec);
    inside = MachinePath(written);
  }
  std::string error;
  if (!inside || !h->SaveDrawing(*inside, &error)) {
    MessageBoxW(main_, Wide("Cannot save " + target.string() + ": " + error).c_str(), L"tracelon",
                MB_ICONERROR);
    return false;
  }
  if (written != target) {
    if (!CopyOver(written, target, error)) {
      MessageBoxW(main_, Wide("Cannot save " + target.string() + ": " + error).c_str(), L"tracelon",
                  MB_ICONERROR);
      return false;
    }
  }
  file_ = target;
  SetWindowTextW(main_, (L"QX Tools - tracelon - " + target.filename().wstring()).c_str());
  Note("saved " + target.string());
  return true;
}

// ---- Scripted input -------------------------------------------------------------------------
//
// `--drive FILE` plays a script of input through the same messages a person's mouse and keys
// bring, posted to the windows (one step at a time, each once the ones before were handled):
//   wait command|point|pick [SECONDS]     until the program asks that
//   wait form CLASS [SECONDS]             until the plug-in's window CLASS is on the screen
//   menu "CAPTION"                        the menu item (WM_COMMAND)
//   click X Y / dblclick X Y / rclick X Y the mouse at a drawing point (button messages)
//   key escape|return|home                a key in the drawing (WM_KEYDOWN)
//   type "TEXT"                           the characters into the prompt box, then Enter
//   form CLASS click CONTROL              BM_CLICK to the control's window
//   form CLASS close                      WM_CLOSE to the window
//   box CAPTION                           BM_CLICK to that button of the message box shown
//   native ... end                        steps only for a build with the plug-in's windows
//   headless ... end                      steps only for a build without them
//   saveas FILE / open FILE               File > Save As and Open with the name chosen
//   mark FILE / pause MS / json FILE / quit

bool Desktop::LoadDrive(std::string& error) {
  std::ifstream in(*options_.drive);
  if (!in) {
    error = "cannot read " + options_.drive->string();
    return false;
  }
  std::string text;
  int number = 0;
  while (std::getline(in, text)) {
    ++number;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    try {
      std::vector<user::Word> words = user::SplitWords(text);
      if (!words.empty()) drive_.push_back({std::move(words), number});
    } catch (const std::invalid_argument& e) {
      error = options_.drive->string() + ":" + std::to_string(number) + ": " + e.what();
      return false;
    }
  }
  return true;
}

void Desktop::DriveFail(const std::string& why) {
  if (driveAt_ >= drive_.size()) return;
  std::cerr << "tracelon: " << options_.drive->string() << ":" << drive_[driveAt_].line << ": "
            << why << "\n";
  // A script that went wrong ends the program at once: a window of the plug-in may hold a
  // message loop of its own that would never let the program end.
  std::cout.flush();
  std::cerr.flush();
  ExitProcess(3);
}

void Desktop::DriveTick() {
  using Clock = std::chrono::steady_clock;
  if (driveAt_ >= drive_.size()) {
    KillTimer(main_, kDriveTimer);
    return;
  }
  if (Clock::now() < driveUntil_) return;
  const auto& words = drive_[driveAt_].words;
  auto arg = [&](size_t i) { return i < words.size() ? words[i].text : std::string(); };
  auto number = [&](size_t i) { return user::ParseInteger(arg(i)).value_or(0); };
  const std::string verb = arg(0);
  auto post = [&](HWND window, UINT message, WPARAM w, LPARAM l) {
    if (!PostMessageW(window, message, w, l)) DriveFail("cannot post to the window");
  };
  auto next = [&] {
    ++driveAt_;
    driveSince_ = Clock::now();
  };
  if (driveSince_ == Clock::time_point{}) driveSince_ = Clock::now();

  if (verb == "wait") {
    bool met = false;
    size_t secondsAt = 2;
    if (arg(1) == "form") {
      HWND form = FormPartWindow(arg(2), "");
      met = form && IsWindowVisible(form);
      secondsAt = 3;
    } else {
      met = asked_ && pending_.empty() && question_.kind == arg(1);
    }
    int64_t seconds = words.size() > secondsAt ? number(secondsAt) : 60;
    if (met) return next();
    if (Clock::now() - driveSince_ > std::chrono::seconds(seconds))
      DriveFail("waited " + std::to_string(seconds) + " s in vain for " + arg(1) + " " + arg(2) +
                " (the program asks: " + question_.description + ")");
    return;
  }
  if (verb == "menu") {
    HMENU bar = GetMenu(main_);
    std::wstring caption = Wide(arg(1));
    for (int i = 0; i < GetMenuItemCount(bar); ++i) {
      HMENU menu = GetSubMenu(bar, i);
      for (int j = 0; menu && j < GetMenuItemCount(menu); ++j) {
        wchar_t text[256] = L"";
        GetMenuStringW(menu, UINT(j), text, 256, MF_BYPOSITION);
        std::wstring item = text;
        item.erase(std::remove(item.begin(), item.end(), L'&'), item.end());
        item = item.substr(0, item.find(L'\t'));
        if (item == caption) {
          post(main_, WM_COMMAND, MAKEWPARAM(GetMenuItemID(menu, j), 0), 0);
          return next();
        }
      }
    }
    return DriveFail("no menu item \"" + arg(1) + "\"");
  }
  if (verb == "click" || verb == "dblclick" || verb == "rclick") {
    POINT p = ToScreen(double(number(1)), double(number(2)));
    LPARAM at = MAKELPARAM(p.x, p.y);
    post(view_, WM_MOUSEMOVE, 0, at);
    if (verb == "rclick") {
      post(view_, WM_RBUTTONDOWN, MK_RBUTTON, at);
      post(view_, WM_RBUTTONUP, 0, at);
    } else {
      post(view_, WM_LBUTTONDOWN, MK_LBUTTON, at);
      post(view_, WM_LBUTTONUP, 0, at);
      if (verb == "dblclick") {
        post(view_, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        post(view_, WM_LBUTTONUP, 0, at);
      }
    }
    return next();
  }
  if (verb == "key") {
    static const std::map<std::string, WPARAM> keys = {
        {"escape", VK_ESCAPE}, {"return", VK_RETURN}, {"home", VK_HOME}};
    auto key = keys.find(arg(1));
    if (key == keys.end()) return DriveFail("no key \"" + arg(1) + "\"");
    post(view_, WM_KEYDOWN, key->second, 0);
    return next();
  }
  if (verb == "type") {
    for (wchar_t c : Wide(arg(1))) post(edit_, WM_CHAR, c, 0);
    post(edit_, WM_KEYDOWN, VK_RETURN, 0);
    return next();
  }
  if (verb == "form") {
    if (arg(2) == "click") {
      HWND control = FormPartWindow(arg(1), arg(3));
      if (!control) return DriveFail("no window for " + arg(3) + " of " + arg(1));
      post(control, BM_CLICK, 0, 0);
    } else if (arg(2) == "close") {
      HWND form = FormPartWindow(arg(1), "");
      if (!form) return DriveFail("no window " + arg(1));
      post(form, WM_CLOSE, 0, 0);
    } else {
      return DriveFail("form CLASS click CONTROL | form CLASS close");
    }
    return next();
  }
  if (verb == "box") {
    // The system's message box (a dialog of class #32770 of this program) and its button.
    struct Search {
      std::wstring caption;
      HWND button = nullptr;
    } search{Wide(arg(1))};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
          auto* search = reinterpret_cast<Search*>(data);
          wchar_t cls[16] = L"";
          GetClassNameW(window, cls, 16);
          if (!IsWindowVisible(window) || std::wstring(cls) != L"#32770") return TRUE;
          EnumChildWindows(
              window,
              [](HWND child, LPARAM data) -> BOOL {
                auto* search = reinterpret_cast<Search*>(data);
                std::wstring text = WindowText(child);
                text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
                if (text != search->caption) return TRUE;
                search->button = child;
                return FALSE;
              },
              data);
          return search->button ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.button) {
      post(search.button, BM_CLICK, 0, 0);
      return next();
    }
    if (Clock::now() - driveSince_ > std::chrono::seconds(60))
      DriveFail("no message box with a button \"" + arg(1) + "\" came");
    return;
  }
  if (verb == "native" || verb == "headless") {
    if (native_ == (verb == "native")) return next();
    if (verb == "native")
      std::cout << "# the plug-in's windows are not in this build: the steps for them are "
                   "skipped\n";
    while (driveAt_ < drive_.size() && drive_[driveAt_].words[0].text != "end") ++driveAt_;
    return next();
  }
  if (verb == "end") return next();
  if (verb == "mark") {
    std::ofstream(arg(1)) << "shown\n";
    return next();
  }
  if (verb == "pause") {
    driveUntil_ = Clock::now() + std::chrono::milliseconds(number(1));
    return next();
  }
  if (verb == "saveas") {  // File > Save As, with the name the dialog would return
    if (!SaveTo(fs::path(Wide(arg(1))))) return DriveFail("cannot save " + arg(1));
    return next();
  }
  if (verb == "open") {  // File > Open, with the name the dialog would return
    if (!asked_ || question_.kind != "command") return DriveFail("open waits for a command");
    OpenPath(fs::path(Wide(arg(1))));
    if (pending_.empty()) return DriveFail("cannot open " + arg(1));
    return next();
  }
  if (verb == "json") {
    if (!WriteOutputFile(arg(1), DrawingJson())) return DriveFail("cannot write " + arg(1));
    return next();
  }
  if (verb == "quit") {
    post(main_, WM_CLOSE, 0, 0);
    return next();
  }
  DriveFail("unknown step \"" + verb + "\"");
}

int Usage(const std::string& message) {
  std::cerr << "tracelon: " << message
            << "\nusage: tracelon [open DRAWING] [--root DIR] [--plugin PATH]\n";
  return 2;
}

}  // namespace

bool DesktopAvailable() { return true; }

int DesktopCommand(const std::vector<std::string>& args, const fs::path& defaultPlugin) {
  Options options;
  options.plugin = defaultPlugin;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool hasValue = i + 1 < args.size();
    if (a == "open" && i == 0) {
      if (!hasValue) return Usage("open needs a drawing");
      options.open = args[++i];
    } else if (a == "--root" && hasValue) {
      options.root = args[++i];
    } else if (a == "--plugin" && hasValue) {
      options.plugin = args[++i];
    } else if (a == "--drive" && hasValue) {
      options.drive = args[++i];
    } else if (a == "--json" && hasValue) {
      options.json = args[++i];
    } else {
      return Usage(a.rfind("--", 0) == 0 ? a + " is not an option here, or lacks its value"
                                         : "unknown command \"" + a + "\"");
    }
  }
  // Started from the Start menu or a folder, the program got a console of its own: it goes.
  // Started from a command prompt, the transcript goes there.
  DWORD processes[2];
  if (!options.drive && GetConsoleProcessList(processes, 2) == 1) FreeConsole();
  Desktop desktop(options);
  return desktop.Run();
}

// The toolkit's forms as real Win32 windows. Each shown form is a top-level window; each control
// a child window of the system's matching class, placed at the toolkit's position for it (in the
// form's client area) and kept in step with the model after every action. What the controls
// receive, from a person or from a script, becomes the toolkit's own actions
// (platform/actions.h), so the model's rules (exit checks, key filters, close queries) decide,
// and the windows show the outcome.
#include <windows.h>
// windows.h first: the common controls and dialogs build on it.
#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <utility>

#include "platform/actions.h"
#include "platform/files.h"
#include "platform/forms.h"
#include "platform/metrics.h"
#include "platform/native_windows.h"
#include "platform/system.h"
#include "state.h"

namespace platform::native {

namespace act = platform::actions;

namespace {

// ---- Texts: the toolkit's 8-bit texts are UTF-8 ----

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::string WindowText(HWND hwnd) {
  int n = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
  GetWindowTextW(hwnd, text.data(), n + 1);
  text.resize(static_cast<std::size_t>(n));
  return Narrow(text);
}

constexpr const wchar_t* kFormClass = L"QxtForm";
constexpr const wchar_t* kGridClass = L"QxtStringGrid";
constexpr const wchar_t* kProp = L"QxtControl";
constexpr const wchar_t* kOldProc = L"QxtOldProc";
// A grid's own message: wParam MAKEWPARAM(col, row), lParam the cell's new text (UTF-16).
constexpr UINT kGridSetCell = WM_USER + 0x51;
// The grid's in-place editor is done: wParam 1 takes its text into the cell, 0 drops it.
constexpr UINT kGridEditDone = WM_USER + 0x52;

// ---- Where the toolkit puts a control ----

int TabRowHeight(const Font& font) { return metrics::TextHeight(font) + 6; }

// A notebook's page area: inside the frame and below the tabs when it has tabs.
Rect PageArea(const Notebook& book) {
  if (!book.showTabs) return {0, 0, book.Width(), book.Height()};
  return {4, TabRowHeight(book.font) + 4, book.Width() - 4, book.Height() - 4};
}

// The control's rectangle in its form's client area.
Rect FormRect(const Control& c) {
  Rect r = c.BoundsRect();
  const Control* parent = c.Parent();
  if (dynamic_cast<const Page*>(&c)) {
    if (auto* book = dynamic_cast<const Notebook*>(parent)) r = PageArea(*book);
  }
  if (!parent) return r;
  Rect p = FormRect(*parent);
  return {r.left + p.left, r.top + p.top, r.right + p.left, r.bottom + p.top};
}

// ---- One native control ----

struct NativeControl {
  Control* control = nullptr;
  HWND hwnd = nullptr;
  std::vector<HWND> items;  // a radio group's buttons
  HWND updown = nullptr;    // a spin edit's arrows
  HWND inner = nullptr;     // a combo box's edit part, a grid's in-place editor
  int editCol = -1, editRow = -1;
  // What was last put on the screen, so that only changes are sent.
  std::string text;
  std::vector<std::string> list;
  int index = -2;
  Rect rect{-1, -1, -1, -1};
  int visible = -1, enabled = -1, checked = -1;
  Color color = 0xFFFFFFFF, textColor = 0xFFFFFFFF;
  HFONT font = nullptr;
  std::vector<int> marks;
  HBITMAP bitmap = nullptr;
  const void* pictureOf = nullptr;
  int pictureW = -1, pictureH = -1;
};

struct NativeForm {
  Form* form = nullptr;
  HWND hwnd = nullptr;
  HWND tooltip = nullptr;
  std::vector<std::unique_ptr<NativeControl>> controls;
  std::string caption;
  Rect client{-1, -1, -1, -1};
};

// A message a script sends on behalf of the user, with the toolkit's action it stands for.
struct Pending {
  HWND hwnd = nullptr;
  UINT message = 0;
  const std::function<bool()>* perform = nullptr;
  bool ran = false;
  bool result = false;
  std::exception_ptr error;
};

class Backend : public FormBackend {
 public:
  std::map<const Form*, std::unique_ptr<NativeForm>> forms;
  std::map<std::string, HFONT> fonts;
  std::map<Color, HBRUSH> brushes;
  Pending* pending = nullptr;
  int syncing = 0;  // the backend itself changes the windows: their notifications are ignored
  int delivered = 0, direct = 0;
  HWND owner = nullptr;

  void FormShown(Form& form) override;
  void FormHidden(Form& form) override;
  void FormDestroyed(Form& form) override;

  NativeForm* Find(const Form& form) {
    auto it = forms.find(&form);
    return it == forms.end() ? nullptr : it->second.get();
  }
  NativeControl* Find(const Control& control) {
    NativeForm* nf = Find(control.OwnerForm());
    if (!nf) return nullptr;
    for (auto& nc : nf->controls)
      if (nc->control == &control) return nc.get();
    return nullptr;
  }
  HFONT FontFor(const Font& font);
  HBRUSH BrushFor(Color color);
  void Create(NativeForm& nf);
  void CreateControl(NativeForm& nf, Control& c);
  void Sync(NativeForm& nf);
  void SyncControl(NativeForm& nf, NativeControl& nc);
  void SyncAll() {
    for (auto& [form, nf] : forms)
      if (nf->hwnd && form->Visible()) Sync(*nf);
  }
  void Destroy(NativeForm& nf);
};

Backend* backend = nullptr;
bool registered = false;

struct Syncing {
  Syncing() { ++backend->syncing; }
  ~Syncing() { --backend->syncing; }
};

// Lets the windows paint. Only painting: a person's input queued meanwhile waits for the
// message loop, which turns it into the toolkit's actions.
void Pump() {
  Syncing guard;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// ---- Fonts and colours ----

HFONT Backend::FontFor(const Font& font) {
  std::string key =
      font.name + "/" + std::to_string(font.size) + "/" + std::to_string(font.StyleBits());
  auto it = fonts.find(key);
  if (it != fonts.end()) return it->second;
  HFONT made =
      CreateFontW(-metrics::FontPixelHeight(font.size), 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL,
                  font.italic, font.underline, font.strikeout, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, Wide(font.name).c_str());
  fonts[key] = made;
  return made;
}

HBRUSH Backend::BrushFor(Color color) {
  auto it = brushes.find(color);
  if (it != brushes.end()) return it->second;
  HBRUSH made = CreateSolidBrush(color);
  brushes[color] = made;
  return made;
}

// ---- Pictures ----

// A bitmap of width x height in `background`, with the picture drawn in `place`.
HBITMAP MakeBitmap(const Picture& picture, int width, int height, const Rect& place,
                   Color background) {
  if (picture.Empty() || width <= 0 || height <= 0) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  if (!bitmap || !dc) {
    if (dc) DeleteDC(dc);
    if (bitmap) DeleteObject(bitmap);
    return nullptr;
  }
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, width, height};
  HBRUSH fill = CreateSolidBrush(background);
  FillRect(dc, &all, fill);
  DeleteObject(fill);
  RECT box{place.left, place.top, place.right, place.bottom};
  if (const Bitmap* b = picture.AsBitmap()) {
    std::vector<std::uint32_t> pixels(b->pixels.size());
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      Color c = b->pixels[i];
      pixels[i] = static_cast<std::uint32_t>((RedOf(c) << 16) | (GreenOf(c) << 8) | BlueOf(c));
    }
    BITMAPINFO src = info;
    src.bmiHeader.biWidth = b->width;
    src.bmiHeader.biHeight = -b->height;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, place.left, place.top, place.Width(), place.Height(), 0, 0, b->width,
                  b->height, pixels.data(), &src, DIB_RGB_COLORS, SRCCOPY);
  } else if (const Metafile* m = picture.AsMetafile()) {
    // The system plays the metafile itself, scaled to the box.
    std::string bytes = EncodeWmf(*m);
    // A placeable metafile's 22-byte header is not part of what the system reads.
    const std::size_t header = 22;
    if (bytes.size() > header) {
      METAFILEPICT pict{MM_ANISOTROPIC, m->width * 2540 / std::max(m->unitsPerInch, 1),
                        m->height * 2540 / std::max(m->unitsPerInch, 1), nullptr};
      HENHMETAFILE emf =
          SetWinMetaFileBits(static_cast<UINT>(bytes.size() - header),
                             reinterpret_cast<const BYTE*>(bytes.data() + header), dc, &pict);
      if (emf) {
        PlayEnhMetaFile(dc, emf, &box);
        DeleteEnhMetaFile(emf);
      }
    }
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap;
}

// ---- Which window shows which control ----

struct Kind {
  const wchar_t* cls;
  DWORD style;
  DWORD exStyle;
};

std::optional<Kind> KindOf(const Control& c) {
  const DWORD child = WS_CHILD | WS_CLIPSIBLINGS;
  if (auto* l = dynamic_cast<const Label*>(&c)) {
    DWORD align = l->alignment == Alignment::Right    ? SS_RIGHT
                  : l->alignment == Alignment::Center ? SS_CENTER
                                                      : SS_LEFT;
    return Kind{L"STATIC", child | align | SS_NOTIFY, 0};
  }
  if (dynamic_cast<const RadioGroup*>(&c) || dynamic_cast<const GroupBox*>(&c))
    return Kind{L"BUTTON", child | BS_GROUPBOX, 0};
  if (auto* p = dynamic_cast<const Panel*>(&c)) {
    DWORD ex = p->bevelOuter == Panel::Bevel::Raised    ? WS_EX_DLGMODALFRAME
               : p->bevelOuter == Panel::Bevel::Lowered ? WS_EX_STATICEDGE
                                                        : 0;
    return Kind{L"STATIC", child | SS_CENTER | SS_CENTERIMAGE | SS_NOTIFY, ex};
  }
  if (auto* m = dynamic_cast<const Memo*>(&c)) {
    DWORD style = child | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
    if (!m->wordWrap) style |= ES_AUTOHSCROLL;
    if (m->scrollBars == ScrollBars::Vertical || m->scrollBars == ScrollBars::Both)
      style |= WS_VSCROLL;
    if (m->scrollBars == ScrollBars::Horizontal || m->scrollBars == ScrollBars::Both)
      style |= WS_HSCROLL;
    if (m->readOnly) style |= ES_READONLY;
    return Kind{L"EDIT", style, WS_EX_CLIENTEDGE};
  }
  if (auto* e = dynamic_cast<const Edit*>(&c)) {  // edits and spin edits
    DWORD style = child | WS_TABSTOP | ES_AUTOHSCROLL;
    if (e->readOnly) style |= ES_READONLY;
    if (e->passwordChar) style |= ES_PASSWORD;
    return Kind{L"EDIT", style, WS_EX_CLIENTEDGE};
  }
  if (auto* b = dynamic_cast<const Button*>(&c))
    return Kind{L"BUTTON", child | WS_TABSTOP | (b->isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                0};
  if (dynamic_cast<const CheckBox*>(&c))
    return Kind{L"BUTTON", child | WS_TABSTOP | BS_CHECKBOX, 0};
  if (dynamic_cast<const RadioButton*>(&c))
    return Kind{L"BUTTON", child | WS_TABSTOP | BS_RADIOBUTTON, 0};
  if (auto* l = dynamic_cast<const ListBox*>(&c))
    return Kind{L"LISTBOX",
                child | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                    (l->multiSelect ? LBS_EXTENDEDSEL : 0),
                WS_EX_CLIENTEDGE};
  if (auto* cb = dynamic_cast<const ComboBox*>(&c))
    return Kind{L"COMBOBOX",
                child | WS_TABSTOP | WS_VSCROLL |
                    (cb->style == ComboBox::Style::DropDownList ? CBS_DROPDOWNLIST
                                                                : CBS_DROPDOWN | CBS_AUTOHSCROLL),
                0};
  if (dynamic_cast<const StringGrid*>(&c))
    return Kind{kGridClass, child | WS_TABSTOP, WS_EX_CLIENTEDGE};
  if (dynamic_cast<const TabSet*>(&c)) return Kind{WC_TABCONTROLW, child | TCS_BOTTOM, 0};
  if (auto* nb = dynamic_cast<const Notebook*>(&c)) {
    if (nb->showTabs) return Kind{WC_TABCONTROLW, child | WS_TABSTOP, 0};
    return Kind{L"STATIC", child, 0};  // a plain container of pages
  }
  if (dynamic_cast<const Page*>(&c)) return Kind{L"STATIC", child, 0};
  if (dynamic_cast<const Image*>(&c))
    return Kind{L"STATIC", child | SS_BITMAP | SS_NOTIFY | SS_REALSIZECONTROL, 0};  // box-sized
  if (dynamic_cast<const SpeedButton*>(&c) || dynamic_cast<const ToolButton*>(&c))
    return Kind{L"BUTTON", child | BS_PUSHLIKE | BS_CHECKBOX, 0};
  if (dynamic_cast<const ToolBar*>(&c)) return Kind{L"STATIC", child | SS_ETCHEDFRAME, 0};
  return std::nullopt;
}

bool Clickable(const Control& c) {
  return dynamic_cast<const Button*>(&c) || dynamic_cast<const CheckBox*>(&c) ||
         dynamic_cast<const RadioButton*>(&c) || dynamic_cast<const SpeedButton*>(&c) ||
         dynamic_cast<const ToolButton*>(&c);
}

// ---- Events from messages ----

struct ControlLink {
  NativeForm* form;
  NativeControl* control;
  int item;  // a radio group's item, else -1
};

ControlLink* LinkOf(HWND hwnd) { return static_cast<ControlLink*>(GetPropW(hwnd, kProp)); }

// Runs a toolkit action for a person's input; errors are the person's (a disabled control, a
// form that just closed) and change nothing.
void UserAction(const std::function<void()>& action) {
  try {
    action();
  } catch (const act::ActionError&) {
  } catch (const std::exception&) {
  }
  backend->SyncAll();
}

ShiftState ShiftOf(WPARAM keys) {
  ShiftState s;
  s.shift = (keys & MK_SHIFT) != 0;
  s.ctrl = (keys & MK_CONTROL) != 0;
  s.alt = GetKeyState(VK_MENU) < 0;
  return s;
}

// A message a script sent for the user: the action it stands for runs here, in the control's
// own window procedure.
bool TakePending(HWND hwnd, UINT msg) {
  Pending* p = backend ? backend->pending : nullptr;
  if (!p || p->ran || p->hwnd != hwnd || p->message != msg) return false;
  p->ran = true;
  backend->pending = nullptr;
  try {
    p->result = (*p->perform)();
  } catch (...) {
    p->error = std::current_exception();
  }
  return true;
}

// The grid's in-place editor: Enter takes the text, Escape drops it, leaving it takes it. The
// grid is told by a posted message, so the editor is not destroyed inside its own messages.
LRESULT CALLBACK GridEditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto old = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kOldProc));
  HWND grid = GetParent(hwnd);
  if (msg == WM_CHAR && (wp == '\r' || wp == 0x1b)) {
    PostMessageW(grid, kGridEditDone, wp == '\r' ? 1 : 0, 0);
    return 0;
  }
  if (msg == WM_KILLFOCUS && !(backend && backend->syncing))
    PostMessageW(grid, kGridEditDone, 1, 0);
  if (msg == WM_GETDLGCODE) return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
  return old ? CallWindowProcW(old, hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

// Opens the in-place editor over the grid's current cell, holding `text`.
void StartGridEdit(NativeControl& nc, StringGrid& grid, const std::string& text) {
  if (nc.inner || !grid.editing || grid.Col() < grid.fixedCols || grid.Row() < grid.fixedRows)
    return;
  Rect r = grid.CellRect(grid.Col(), grid.Row());
  nc.inner = CreateWindowExW(0, L"EDIT", Wide(text).c_str(), WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                             r.left, r.top, r.Width(), r.Height(), nc.hwnd, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  if (!nc.inner) return;
  nc.editCol = grid.Col();
  nc.editRow = grid.Row();
  SendMessageW(nc.inner, WM_SETFONT, reinterpret_cast<WPARAM>(backend->FontFor(grid.font)), 0);
  SetPropW(nc.inner, kOldProc,
           reinterpret_cast<HANDLE>(SetWindowLongPtrW(nc.inner, GWLP_WNDPROC,
                                                      reinterpret_cast<LONG_PTR>(GridEditProc))));
  Syncing guard;
  SetFocus(nc.inner);
  SendMessageW(nc.inner, EM_SETSEL, text.size(), text.size());
}

LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  ControlLink* link = LinkOf(hwnd);
  if (!link) {
    auto old = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kOldProc));
    return old ? CallWindowProcW(old, hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
  }
  WNDPROC old = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kOldProc));
  if (TakePending(hwnd, msg)) return 0;
  if (backend->syncing || link->item >= 0) return CallWindowProcW(old, hwnd, msg, wp, lp);
  Form& form = *link->form->form;
  Control& c = *link->control->control;
  const std::string name = c.Name();
  if (auto* grid = dynamic_cast<StringGrid*>(&c)) {
    NativeControl& nc = *link->control;
    if (msg == kGridSetCell) {
      std::string text = Narrow(reinterpret_cast<const wchar_t*>(lp));
      UserAction([&] { act::SetCell(form, name, LOWORD(wp), HIWORD(wp), text); });
      return 0;
    }
    if (msg == kGridEditDone) {
      if (!nc.inner) return 0;
      HWND editor = std::exchange(nc.inner, nullptr);
      std::string text = WindowText(editor);
      {
        Syncing guard;
        DestroyWindow(editor);
      }
      if (wp == 1) UserAction([&] { act::SetCell(form, name, nc.editCol, nc.editRow, text); });
      return 0;
    }
    if (grid->editing && msg == WM_CHAR && wp >= 32 && wp <= 0xFF) {
      StartGridEdit(nc, *grid, std::string(1, static_cast<char>(wp)));
      return 0;
    }
    if (grid->editing && msg == WM_LBUTTONDBLCLK) {
      StartGridEdit(nc, *grid, grid->Cell(grid->Col(), grid->Row()));
      return 0;
    }
  }
  switch (msg) {
    case WM_CHAR: {
      if (wp > 0xFF) break;
      char key = static_cast<char>(wp);
      UserAction([&] { act::TypeText(form, name, std::string(1, key)); });
      return 0;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
      // Space presses a button through its WM_CHAR; the button's own press would click twice.
      if (wp == VK_SPACE && Clickable(c)) return 0;
      break;
    case WM_SETFOCUS:
      if (c.Focusable() && !c.Focused()) UserAction([&] { act::Focus(form, name); });
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE: {
      // Buttons click through their own notification; edits place their caret themselves.
      if (Clickable(c) || dynamic_cast<Edit*>(&c) || dynamic_cast<ComboBox*>(&c) ||
          dynamic_cast<Notebook*>(&c) || dynamic_cast<TabSet*>(&c))
        break;
      if (msg == WM_MOUSEMOVE && !c.OnMouseMove) break;
      act::MouseAction what =
          msg == WM_MOUSEMOVE ? act::MouseAction::Move
          : (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN)
              ? act::MouseAction::Down
              : act::MouseAction::Up;
      MouseButton button = (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP)   ? MouseButton::Right
                           : (msg == WM_MBUTTONDOWN || msg == WM_MBUTTONUP) ? MouseButton::Middle
                                                                            : MouseButton::Left;
      Point at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      UserAction([&] { act::Mouse(form, name, what, button, at, ShiftOf(wp)); });
      return 0;
    }
    case WM_LBUTTONDBLCLK:
      if (Clickable(c) || dynamic_cast<ListBox*>(&c)) break;
      UserAction([&] {
        act::DoubleClick(form, name,
                         Point{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
      });
      return 0;
    default:
      break;
  }
  return CallWindowProcW(old, hwnd, msg, wp, lp);
}

// ---- The string grid: cells drawn from the model, in-place editing ----

LRESULT CALLBACK GridProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    ControlLink* link = LinkOf(hwnd);
    auto* grid = link ? dynamic_cast<StringGrid*>(link->control->control) : nullptr;
    if (grid) {
      RECT all;
      GetClientRect(hwnd, &all);
      FillRect(dc, &all, backend->BrushFor(grid->color));
      SelectObject(dc, backend->FontFor(grid->font));
      SetBkMode(dc, TRANSPARENT);
      for (int row = 0; row < grid->RowCount(); ++row) {
        for (int col = 0; col < grid->ColCount(); ++col) {
          Rect r = grid->CellRect(col, row);
          if (r.top > all.bottom || r.left > all.right) continue;
          RECT cell{r.left, r.top, r.right, r.bottom};
          bool fixed = col < grid->fixedCols || row < grid->fixedRows;
          FillRect(dc, &cell, GetSysColorBrush(fixed ? COLOR_BTNFACE : COLOR_WINDOW));
          if (fixed) DrawEdge(dc, &cell, BDR_RAISEDINNER, BF_RECT);
          for (const DrawOp& op : grid->CellDrawing(col, row)) {
            RECT o{op.rect.left, op.rect.top, op.rect.right, op.rect.bottom};
            switch (op.kind) {
              case DrawOp::Kind::FillRect:
                FillRect(dc, &o, backend->BrushFor(op.brushColor));
                break;
              case DrawOp::Kind::FrameRect:
                FrameRect(dc, &o, backend->BrushFor(op.brushColor));
                break;
              case DrawOp::Kind::Rectangle:
                FillRect(dc, &o, backend->BrushFor(op.brushColor));
                FrameRect(dc, &o, backend->BrushFor(op.penColor));
                break;
              case DrawOp::Kind::Ellipse: {
                HGDIOBJ b = SelectObject(dc, backend->BrushFor(op.brushColor));
                HPEN pen = CreatePen(PS_SOLID, 1, op.penColor);
                HGDIOBJ oldPen = SelectObject(dc, pen);
                Ellipse(dc, o.left, o.top, o.right, o.bottom);
                SelectObject(dc, oldPen);
                DeleteObject(pen);
                SelectObject(dc, b);
                break;
              }
              case DrawOp::Kind::Line: {
                HPEN pen = CreatePen(PS_SOLID, 1, op.penColor);
                HGDIOBJ oldPen = SelectObject(dc, pen);
                MoveToEx(dc, op.rect.left, op.rect.top, nullptr);
                LineTo(dc, op.rect.right, op.rect.bottom);
                SelectObject(dc, oldPen);
                DeleteObject(pen);
                break;
              }
              case DrawOp::Kind::Text: {
                SetTextColor(dc, op.font.color);
                SelectObject(dc, backend->FontFor(op.font));
                std::wstring t = Wide(op.text);
                TextOutW(dc, op.rect.left, op.rect.top, t.c_str(), static_cast<int>(t.size()));
                SelectObject(dc, backend->FontFor(grid->font));
                break;
              }
              case DrawOp::Kind::Edge:
                FillRect(dc, &o, GetSysColorBrush(COLOR_BTNFACE));
                DrawEdge(dc, &o, op.raised ? EDGE_RAISED : EDGE_SUNKEN, BF_RECT);
                break;
              case DrawOp::Kind::Picture:
                break;
            }
          }
          if (!fixed && col == grid->Col() && row == grid->Row() && grid->Focused())
            DrawFocusRect(dc, &cell);
        }
      }
    }
    EndPaint(hwnd, &ps);
    return 0;
  }
  if (msg == WM_GETDLGCODE) return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// ---- The form's window ----

Control* ControlOfChild(HWND child) {
  ControlLink* link = child ? LinkOf(child) : nullptr;
  return link ? link->control->control : nullptr;
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* nf = reinterpret_cast<NativeForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (nf && TakePending(hwnd, msg)) return 0;
  if (!nf || !backend) return DefWindowProcW(hwnd, msg, wp, lp);
  Form& form = *nf->form;
  switch (msg) {
    case WM_CLOSE:
      if (!backend->syncing) UserAction([&] { act::CloseBox(form); });
      return 0;
    case WM_ACTIVATE:
      // A person brings the window to the front: the form's activation handler runs.
      if (!backend->syncing && LOWORD(wp) != WA_INACTIVE && form.Visible() &&
          ActiveWindow() != form.Handle())
        UserAction([&] { form.Activate(); });
      break;
    case WM_COMMAND: {
      if (backend->syncing) break;
      HWND child = reinterpret_cast<HWND>(lp);
      ControlLink* link = child ? LinkOf(child) : nullptr;
      if (!link) break;
      Control& c = *link->control->control;
      const std::string name = c.Name();
      switch (HIWORD(wp)) {
        case BN_CLICKED:
          if (link->item >= 0)
            UserAction([&] { act::Select(form, name, link->item); });
          else if (Clickable(c))
            UserAction([&] { act::Click(form, name); });
          return 0;
        case LBN_SELCHANGE:
          if (auto* lb = dynamic_cast<ListBox*>(&c)) {
            int index = static_cast<int>(SendMessageW(child, LB_GETCARETINDEX, 0, 0));
            if (!lb->multiSelect || SendMessageW(child, LB_GETSEL, index, 0) > 0)
              UserAction([&] { act::Select(form, name, index); });
            else
              UserAction([&] { act::Deselect(form, name, lb->items[index]); });
          } else if (dynamic_cast<ComboBox*>(&c)) {  // CBN_SELCHANGE has the same value
            int index = static_cast<int>(SendMessageW(child, CB_GETCURSEL, 0, 0));
            if (index >= 0) UserAction([&] { act::Select(form, name, index); });
          }
          return 0;
        case LBN_DBLCLK:
          if (dynamic_cast<ListBox*>(&c)) UserAction([&] { act::DoubleClick(form, name); });
          return 0;
        default:
          break;
      }
      break;
    }
    case WM_NOTIFY: {
      if (backend->syncing) break;
      auto* hdr = reinterpret_cast<NMHDR*>(lp);
      Control* c = ControlOfChild(hdr->hwndFrom);
      if (!c) break;
      if (hdr->code == TCN_SELCHANGE) {
        int index = TabCtrl_GetCurSel(hdr->hwndFrom);
        std::string caption;
        if (auto* ts = dynamic_cast<TabSet*>(c);
            ts && index >= 0 && index < static_cast<int>(ts->tabs.size()))
          caption = ts->tabs[static_cast<std::size_t>(index)];
        if (auto* nb = dynamic_cast<Notebook*>(c); nb && index >= 0 && index < nb->PageCount())
          caption = nb->PageAt(index).Caption();
        UserAction([&] { act::SelectTab(form, caption); });
        return 0;
      }
      if (hdr->code == UDN_DELTAPOS) {
        auto* spin = dynamic_cast<SpinEdit*>(c);
        auto* delta = reinterpret_cast<NMUPDOWN*>(lp);
        if (spin) {
          int value = spin->Value() - delta->iDelta * spin->increment;
          std::string name = spin->Name();
          UserAction([&] { act::SetText(form, name, {std::to_string(value)}); });
        }
        return TRUE;  // the model decides the value
      }
      break;
    }
    case WM_VSCROLL:
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      Control* c = ControlOfChild(reinterpret_cast<HWND>(lp));
      if (!c) break;
      HDC dc = reinterpret_cast<HDC>(wp);
      SetTextColor(dc, c->EnabledOnForm() ? c->font.color : GetSysColor(COLOR_GRAYTEXT));
      SetBkColor(dc, c->color);
      return reinterpret_cast<LRESULT>(backend->BrushFor(c->color));
    }
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(hwnd, &r);
      FillRect(reinterpret_cast<HDC>(wp), &r, backend->BrushFor(form.color));
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

bool Register() {
  if (registered) return true;
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&init);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = FormProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kFormClass;
  if (!RegisterClassExW(&wc)) return false;
  wc.lpfnWndProc = GridProc;
  wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  wc.lpszClassName = kGridClass;
  if (!RegisterClassExW(&wc)) return false;
  registered = true;
  return true;
}

struct FormStyle {
  DWORD style, exStyle;
};

FormStyle StyleOf(const Form& form) {
  switch (form.borderStyle) {
    case BorderStyle::None:
      return {WS_POPUP, 0};
    case BorderStyle::Single:
      return {WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_BORDER, 0};
    case BorderStyle::Dialog:
      return {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_DLGMODALFRAME};
    case BorderStyle::Sizeable:
      return {WS_OVERLAPPEDWINDOW, 0};
    case BorderStyle::ToolWindow:
      return {WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW};
    case BorderStyle::SizeToolWin:
      return {WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, WS_EX_TOOLWINDOW};
  }
  return {WS_OVERLAPPEDWINDOW, 0};
}

// The form's outer rectangle for the toolkit's client area, in the system's own frame metrics.
RECT OuterRect(const Form& form) {
  FormStyle s = StyleOf(form);
  Rect f = form.FrameSize();
  RECT r{form.Left() + f.left, form.Top() + f.top, form.Left() + f.left + form.ClientWidth(),
         form.Top() + f.top + form.ClientHeight()};
  AdjustWindowRectEx(&r, s.style, FALSE, s.exStyle);
  return r;
}

void Backend::Create(NativeForm& nf) {
  Form& form = *nf.form;
  FormStyle s = StyleOf(form);
  RECT r = OuterRect(form);
  HWND ownerWindow = owner;
  if (Form* modal = ActiveModalForm(); modal && modal != &form)
    if (NativeForm* o = Find(*modal); o && o->hwnd) ownerWindow = o->hwnd;
  if (form.stayOnTop) s.exStyle |= WS_EX_TOPMOST;
  nf.hwnd = CreateWindowExW(s.exStyle, kFormClass, Wide(form.Caption()).c_str(), s.style, r.left,
                            r.top, r.right - r.left, r.bottom - r.top, ownerWindow, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  if (!nf.hwnd) return;
  SetWindowLongPtrW(nf.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&nf));
  nf.caption = form.Caption();
  nf.tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nf.hwnd, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  for (Control* c : form.Controls()) CreateControl(nf, *c);
  // Later controls lie over earlier ones (a group's fields over the group), as the toolkit
  // draws them.
  for (auto& nc : nf.controls) {
    for (HWND h : {nc->hwnd, nc->updown})
      if (h) SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

// The window's messages pass the control's procedure first; its own class procedure is kept.
void Subclass(HWND hwnd, ControlLink* link) {
  SetPropW(hwnd, kProp, link);
  SetPropW(hwnd, kOldProc,
           reinterpret_cast<HANDLE>(
               SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlProc))));
}

void Backend::CreateControl(NativeForm& nf, Control& c) {
  auto nc = std::make_unique<NativeControl>();
  nc->control = &c;
  std::optional<Kind> kind = KindOf(c);
  if (!kind) {
    nf.controls.push_back(std::move(nc));
    return;
  }
  Rect r = FormRect(c);
  int height = r.Height();
  if (dynamic_cast<ComboBox*>(&c)) height += 8 * (metrics::TextHeight(c.font) + 2);
  nc->hwnd =
      CreateWindowExW(kind->exStyle, kind->cls, nullptr, kind->style, r.left, r.top, r.Width(),
                      height, nf.hwnd, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!nc->hwnd) {
    nf.controls.push_back(std::move(nc));
    return;
  }
  nc->font = FontFor(c.font);
  SendMessageW(nc->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(nc->font), FALSE);
  Subclass(nc->hwnd, new ControlLink{&nf, nc.get(), -1});
  if (auto* combo = dynamic_cast<ComboBox*>(&c)) {
    // The closed box is as high as the toolkit has it.
    int field = r.Height() - 6;
    if (field > 0) SendMessageW(nc->hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    if (combo->style == ComboBox::Style::DropDown) {
      nc->inner = GetWindow(nc->hwnd, GW_CHILD);
      if (nc->inner) Subclass(nc->inner, new ControlLink{&nf, nc.get(), -1});
    }
  }
  if (auto* lb = dynamic_cast<ListBox*>(&c))
    SendMessageW(nc->hwnd, LB_SETITEMHEIGHT, 0, lb->ItemHeight());
  // The tab row as high as the toolkit has it, so the pages' area is the toolkit's.
  if (auto* book = dynamic_cast<Notebook*>(&c); book && book->showTabs)
    SendMessageW(nc->hwnd, TCM_SETITEMSIZE, 0, MAKELPARAM(0, TabRowHeight(c.font)));
  if (dynamic_cast<SpinEdit*>(&c)) {
    const int w = 16;
    nc->updown = CreateWindowExW(0, UPDOWN_CLASSW, nullptr, WS_CHILD | WS_CLIPSIBLINGS,
                                 r.right - w - 2, r.top + 2, w, r.Height() - 4, nf.hwnd, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (nc->updown) SetPropW(nc->updown, kProp, new ControlLink{&nf, nc.get(), -1});
  }
  if (!c.hint.empty() && c.showHint && nf.tooltip) {
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = nf.hwnd;
    ti.uId = reinterpret_cast<UINT_PTR>(nc->hwnd);
    std::wstring hint = Wide(c.hint);
    ti.lpszText = hint.data();
    SendMessageW(nf.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
  nf.controls.push_back(std::move(nc));
}

// The radio buttons of a group: in columns filling the group below its caption.
void SyncRadioItems(NativeForm& nf, NativeControl& nc, const RadioGroup& group) {
  const int count = static_cast<int>(group.items.size());
  if (static_cast<int>(nc.items.size()) != count || nc.list != group.items) {
    for (HWND item : nc.items) {
      delete LinkOf(item);
      RemovePropW(item, kProp);
      DestroyWindow(item);
    }
    nc.items.clear();
    Rect r = FormRect(group);
    const int columns = std::max(1, group.columns);
    const int perColumn = std::max((count + columns - 1) / columns, 1);
    const int lineHeight = metrics::TextHeight(group.font);
    const int space = group.Height() - lineHeight - 5;
    const int rowHeight = std::max(space / perColumn, 1);
    const int topMargin = lineHeight + 1 + (space % perColumn) / 2;
    const int columnWidth = (group.Width() - 10) / columns;
    for (int i = 0; i < count; ++i) {
      const int x = r.left + (i / perColumn) * columnWidth + 8;
      const int y = r.top + (i % perColumn) * rowHeight + topMargin;
      HWND item = CreateWindowExW(0, L"BUTTON", Wide(group.items[i]).c_str(),
                                  WS_CHILD | WS_CLIPSIBLINGS | BS_RADIOBUTTON, x, y, columnWidth,
                                  rowHeight, nf.hwnd, nullptr, GetModuleHandleW(nullptr), nullptr);
      SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(backend->FontFor(group.font)), 0);
      Subclass(item, new ControlLink{&nf, &nc, i});
      SetWindowPos(item, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      nc.items.push_back(item);
    }
    nc.list = group.items;
  }
  const bool shown = group.VisibleOnForm();
  for (int i = 0; i < count; ++i) {
    HWND item = nc.items[static_cast<std::size_t>(i)];
    SendMessageW(item, BM_SETCHECK, i == group.ItemIndex() ? BST_CHECKED : BST_UNCHECKED, 0);
    ShowWindow(item, shown ? SW_SHOWNA : SW_HIDE);
    EnableWindow(item, group.EnabledOnForm());
  }
}

void SetList(HWND hwnd, NativeControl& nc, const std::vector<std::string>& items, UINT reset,
             UINT add) {
  if (nc.list == items) return;
  SendMessageW(hwnd, reset, 0, 0);
  for (const std::string& item : items) {
    std::wstring w = Wide(item);
    SendMessageW(hwnd, add, 0, reinterpret_cast<LPARAM>(w.c_str()));
  }
  nc.list = items;
  nc.index = -2;
}

void SetTabs(HWND hwnd, NativeControl& nc, const std::vector<std::string>& captions, int index) {
  if (nc.list != captions) {
    TabCtrl_DeleteAllItems(hwnd);
    for (std::size_t i = 0; i < captions.size(); ++i) {
      std::wstring w = Wide(captions[i]);
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = w.data();
      SendMessageW(hwnd, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    nc.list = captions;
    nc.index = -2;
  }
  if (nc.index != index) {
    TabCtrl_SetCurSel(hwnd, index);
    nc.index = index;
  }
}

void Backend::SyncControl(NativeForm& nf, NativeControl& nc) {
  Control& c = *nc.control;
  HWND h = nc.hwnd;
  if (!h) return;
  Rect r = FormRect(c);
  if (!(r == nc.rect)) {
    int height = r.Height();
    if (dynamic_cast<ComboBox*>(&c)) height += 8 * (metrics::TextHeight(c.font) + 2);
    MoveWindow(h, r.left, r.top, r.Width(), height, TRUE);
    if (nc.updown) MoveWindow(nc.updown, r.right - 18, r.top + 2, 16, r.Height() - 4, TRUE);
    nc.rect = r;
  }
  const int visible = c.VisibleOnForm() ? 1 : 0;
  if (visible != nc.visible) {
    ShowWindow(h, visible ? SW_SHOWNA : SW_HIDE);
    if (nc.updown) ShowWindow(nc.updown, visible ? SW_SHOWNA : SW_HIDE);
    nc.visible = visible;
  }
  // Colours are asked for at each painting; a change repaints. A changed font is set anew.
  if (c.color != nc.color || c.font.color != nc.textColor) {
    nc.color = c.color;
    nc.textColor = c.font.color;
    InvalidateRect(h, nullptr, TRUE);
  }
  if (HFONT font = FontFor(c.font); font != nc.font) {
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    nc.font = font;
    // A combo box sizes its closed box by its font: it stays as high as the toolkit has it.
    if (dynamic_cast<ComboBox*>(&c) && r.Height() > 6)
      SendMessageW(h, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), r.Height() - 6);
  }
  const int enabled = c.EnabledOnForm() ? 1 : 0;
  if (enabled != nc.enabled) {
    EnableWindow(h, enabled);
    if (nc.updown) EnableWindow(nc.updown, enabled);
    nc.enabled = enabled;
  }
  if (auto* group = dynamic_cast<RadioGroup*>(&c)) {
    if (nc.text != c.Caption()) SetWindowTextW(h, Wide(nc.text = c.Caption()).c_str());
    SyncRadioItems(nf, nc, *group);
    return;
  }
  if (auto* combo = dynamic_cast<ComboBox*>(&c)) {
    SetList(h, nc, combo->items.Strings(), CB_RESETCONTENT, CB_ADDSTRING);
    if (nc.index != combo->ItemIndex()) {
      SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(combo->ItemIndex()), 0);
      nc.index = combo->ItemIndex();
      nc.text.clear();
    }
    if (combo->style == ComboBox::Style::DropDown && WindowText(h) != combo->Text())
      SetWindowTextW(h, Wide(combo->Text()).c_str());
    if (combo->Focused())
      SendMessageW(h, CB_SETEDITSEL, 0,
                   MAKELPARAM(combo->SelStart(), combo->SelStart() + combo->SelLength()));
    return;
  }
  if (auto* list = dynamic_cast<ListBox*>(&c)) {
    SetList(h, nc, list->items.Strings(), LB_RESETCONTENT, LB_ADDSTRING);
    std::vector<int> marks;
    for (int i = 0; i < list->items.Count(); ++i) marks.push_back(list->Selected(i) ? 1 : 0);
    if (nc.index != list->ItemIndex() || marks != nc.marks) {
      if (list->multiSelect) {
        for (int i = 0; i < list->items.Count(); ++i)
          SendMessageW(h, LB_SETSEL, marks[static_cast<std::size_t>(i)], i);
        SendMessageW(h, LB_SETCARETINDEX, static_cast<WPARAM>(std::max(list->ItemIndex(), 0)), 0);
      } else {
        SendMessageW(h, LB_SETCURSEL, static_cast<WPARAM>(list->ItemIndex()), 0);
      }
      nc.index = list->ItemIndex();
      nc.marks = marks;
    }
    return;
  }
  if (auto* tabs = dynamic_cast<TabSet*>(&c)) {
    SetTabs(h, nc, tabs->tabs, tabs->TabIndex());
    return;
  }
  if (auto* book = dynamic_cast<Notebook*>(&c)) {
    if (book->showTabs) {
      std::vector<std::string> captions;
      for (int i = 0; i < book->PageCount(); ++i) captions.push_back(book->PageAt(i).Caption());
      SetTabs(h, nc, captions, book->PageIndex());
    }
    return;
  }
  if (dynamic_cast<Page*>(&c)) return;
  if (auto* image = dynamic_cast<Image*>(&c)) {
    const Picture& picture = image->GetPicture();
    const void* content = picture.AsBitmap() ? static_cast<const void*>(picture.AsBitmap())
                                             : static_cast<const void*>(picture.AsMetafile());
    if (content != nc.pictureOf || picture.Width() != nc.pictureW ||
        picture.Height() != nc.pictureH) {
      Rect place{0, 0, picture.Width(), picture.Height()};
      if (image->stretch) {
        place = {0, 0, r.Width(), r.Height()};
      } else if (image->center) {
        int x = (r.Width() - picture.Width()) / 2, y = (r.Height() - picture.Height()) / 2;
        place = {x, y, x + picture.Width(), y + picture.Height()};
      }
      HBITMAP made = MakeBitmap(picture, r.Width(), r.Height(), place, image->color);
      SendMessageW(h, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(made));
      if (nc.bitmap) DeleteObject(nc.bitmap);
      nc.bitmap = made;
      nc.pictureOf = content;
      nc.pictureW = picture.Width();
      nc.pictureH = picture.Height();
      // A bitmap static sizes itself to its picture: the toolkit's bounds win.
      MoveWindow(h, r.left, r.top, r.Width(), r.Height(), TRUE);
    }
    return;
  }
  if (auto* grid = dynamic_cast<StringGrid*>(&c)) {
    (void)grid;
    InvalidateRect(h, nullptr, TRUE);
    return;
  }
  if (auto* speed = dynamic_cast<SpeedButton*>(&c)) {
    if (nc.text != c.Caption()) SetWindowTextW(h, Wide(nc.text = c.Caption()).c_str());
    const int down = speed->Down() ? 1 : 0;
    if (down != nc.checked) SendMessageW(h, BM_SETCHECK, down ? BST_CHECKED : BST_UNCHECKED, 0);
    nc.checked = down;
    if (!speed->glyph.Empty() && nc.pictureOf != &speed->glyph) {
      const int gw = speed->glyph.Width(), gh = speed->glyph.Height();
      HBITMAP made = MakeBitmap(speed->glyph, gw, gh, {0, 0, gw, gh}, colors::ButtonFace);
      SetWindowLongPtrW(h, GWL_STYLE, GetWindowLongPtrW(h, GWL_STYLE) | BS_BITMAP);
      SendMessageW(h, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(made));
      if (nc.bitmap) DeleteObject(nc.bitmap);
      nc.bitmap = made;
      nc.pictureOf = &speed->glyph;
    }
    return;
  }
  if (auto* button = dynamic_cast<Button*>(&c); button && !button->glyph.Empty()) {
    if (nc.pictureOf != &button->glyph) {
      const int gw = button->glyph.Width(), gh = button->glyph.Height();
      HBITMAP made = MakeBitmap(button->glyph, gw, gh, {0, 0, gw, gh}, colors::ButtonFace);
      if (c.Text().empty())
        SetWindowLongPtrW(h, GWL_STYLE, GetWindowLongPtrW(h, GWL_STYLE) | BS_BITMAP);
      SendMessageW(h, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(made));
      if (nc.bitmap) DeleteObject(nc.bitmap);
      nc.bitmap = made;
      nc.pictureOf = &button->glyph;
    }
  }
  if (auto* tool = dynamic_cast<ToolButton*>(&c)) {
    const int down = tool->Down() ? 1 : 0;
    if (down != nc.checked) SendMessageW(h, BM_SETCHECK, down ? BST_CHECKED : BST_UNCHECKED, 0);
    nc.checked = down;
  }
  // Everything with a caption or a text.
  if (WindowText(h) != c.Text()) SetWindowTextW(h, Wide(c.Text()).c_str());
  nc.text = c.Text();
  if (auto* box = dynamic_cast<CheckBox*>(&c)) {
    SendMessageW(h, BM_SETCHECK, box->Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  } else if (auto* radio = dynamic_cast<RadioButton*>(&c)) {
    SendMessageW(h, BM_SETCHECK, radio->Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  } else if (auto* edit = dynamic_cast<Edit*>(&c); edit && edit->Focused()) {
    SendMessageW(h, EM_SETSEL, static_cast<WPARAM>(edit->SelStart()),
                 edit->SelStart() + edit->SelLength());
  }
}

void Backend::Sync(NativeForm& nf) {
  Syncing guard;
  Form& form = *nf.form;
  if (nf.caption != form.Caption()) {
    SetWindowTextW(nf.hwnd, Wide(form.Caption()).c_str());
    nf.caption = form.Caption();
  }
  Rect client{form.Left(), form.Top(), form.ClientWidth(), form.ClientHeight()};
  if (!(client == nf.client)) {
    RECT r = OuterRect(form);
    MoveWindow(nf.hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    nf.client = client;
  }
  for (auto& nc : nf.controls) SyncControl(nf, *nc);
  if (form.Visible() && !IsWindowVisible(nf.hwnd)) {
    ShowWindow(nf.hwnd, SW_SHOW);
    UpdateWindow(nf.hwnd);
  }
  if (Control* focused = form.ActiveControl(); focused && form.Visible()) {
    if (NativeControl* nc = Find(*focused);
        nc && nc->hwnd && GetFocus() != nc->hwnd && GetFocus() != nc->inner)
      SetFocus(nc->inner && !dynamic_cast<StringGrid*>(focused) ? nc->inner : nc->hwnd);
  }
}

void Backend::FormShown(Form& form) {
  auto& slot = forms[&form];
  if (!slot) {
    slot = std::make_unique<NativeForm>();
    slot->form = &form;
  }
  if (!slot->hwnd) {
    Syncing guard;
    Create(*slot);
  }
  if (!slot->hwnd) return;
  SyncAll();
  Pump();
}

void Backend::FormHidden(Form& form) {
  NativeForm* nf = Find(form);
  if (!nf || !nf->hwnd) return;
  Syncing guard;
  // The owner comes back before the window goes, so the system activates it.
  if (HWND owner = GetWindow(nf->hwnd, GW_OWNER)) EnableWindow(owner, TRUE);
  ShowWindow(nf->hwnd, SW_HIDE);
  Pump();
}

void Backend::Destroy(NativeForm& nf) {
  if (!nf.hwnd) return;
  Syncing guard;
  for (auto& nc : nf.controls) {
    std::vector<HWND> all = nc->items;
    all.push_back(nc->hwnd);
    all.push_back(nc->inner);
    all.push_back(nc->updown);
    for (HWND h : all) {
      if (!h) continue;
      delete LinkOf(h);
      RemovePropW(h, kProp);
    }
    if (nc->bitmap) DeleteObject(nc->bitmap);
  }
  SetWindowLongPtrW(nf.hwnd, GWLP_USERDATA, 0);
  DestroyWindow(nf.hwnd);
  nf.hwnd = nullptr;
  nf.controls.clear();
}

void Backend::FormDestroyed(Form& form) {
  auto it = forms.find(&form);
  if (it == forms.end()) return;
  Destroy(*it->second);
  forms.erase(it);
}

// ---- Delivering a script's action as a message ----

struct Message {
  HWND hwnd = nullptr;
  UINT msg = 0;
  WPARAM wp = 0;
  LPARAM lp = 0;
  std::wstring text;  // the text lParam points to
};

Control* Named(Form& form, const std::string& name) {
  if (name.empty()) return nullptr;
  if (auto* c = form.Find<Control>(name)) return c;
  return form.FindByCaption(name);
}

int CaptionIndex(const std::vector<std::string>& items, const std::string& text) {
  for (std::size_t i = 0; i < items.size(); ++i)
    if (SameCaption(items[i], text)) return static_cast<int>(i);
  return -1;
}

LPARAM PointParam(int x, int y) { return MAKELPARAM(static_cast<short>(x), static_cast<short>(y)); }

// The message a person's input would bring to the control for the action; none (null window)
// when the control has no window of its own for it.
Message MessageFor(Form& form, const Action& a) {
  Message m;
  NativeForm* nf = backend->Find(form);
  if (!nf || !nf->hwnd) return m;
  if (a.kind == Act::Close) return {nf->hwnd, WM_CLOSE, 0, 0, {}};
  if (a.kind == Act::Tab) {
    for (Control* c : form.Controls()) {
      if (!c->Showing()) continue;
      std::vector<std::string> captions;
      if (auto* ts = dynamic_cast<TabSet*>(c)) captions = ts->tabs;
      if (auto* nb = dynamic_cast<Notebook*>(c); nb && nb->showTabs)
        for (int i = 0; i < nb->PageCount(); ++i) captions.push_back(nb->PageAt(i).Caption());
      int index = CaptionIndex(captions, a.text);
      NativeControl* nc = backend->Find(*c);
      if (index >= 0 && nc && nc->hwnd)
        return {nc->hwnd, TCM_SETCURSEL, static_cast<WPARAM>(index), 0, {}};
    }
    return m;
  }
  Control* c = Named(form, a.control);
  NativeControl* nc = c ? backend->Find(*c) : nullptr;
  if (!nc || !nc->hwnd) return m;
  HWND h = nc->hwnd;
  const Point centre = c->ClientRect().Centre();
  switch (a.kind) {
    case Act::Set:
      m = {h, WM_SETTEXT, 0, 0, Wide(a.text)};
      break;
    case Act::Type:
      m = {nc->inner ? nc->inner : h,
           WM_CHAR,
           static_cast<WPARAM>(static_cast<unsigned char>(a.text.empty() ? 0 : a.text[0])),
           1,
           {}};
      break;
    case Act::Focus:
      m = {nc->inner ? nc->inner : h, WM_SETFOCUS, 0, 0, {}};
      break;
    case Act::Check:
      m = {h, BM_SETCHECK, static_cast<WPARAM>(a.on ? BST_CHECKED : BST_UNCHECKED), 0, {}};
      break;
    case Act::Select: {
      if (auto* rg = dynamic_cast<RadioGroup*>(c)) {
        int index = a.index >= 0 ? a.index : CaptionIndex(rg->items, a.text);
        if (index >= 0 && index < static_cast<int>(nc->items.size()))
          m = {nc->items[static_cast<std::size_t>(index)], BM_CLICK, 0, 0, {}};
      } else if (dynamic_cast<ListBox*>(c)) {
        m = a.index >= 0 ? Message{h, LB_SETCURSEL, static_cast<WPARAM>(a.index), 0, {}}
                         : Message{h, LB_SELECTSTRING, static_cast<WPARAM>(-1), 0, Wide(a.text)};
      } else if (dynamic_cast<ComboBox*>(c)) {
        m = a.index >= 0 ? Message{h, CB_SETCURSEL, static_cast<WPARAM>(a.index), 0, {}}
                         : Message{h, CB_SELECTSTRING, static_cast<WPARAM>(-1), 0, Wide(a.text)};
      } else if (auto* ts = dynamic_cast<TabSet*>(c)) {
        int index = a.index >= 0 ? a.index : CaptionIndex(ts->tabs, a.text);
        if (index >= 0) m = {h, TCM_SETCURSEL, static_cast<WPARAM>(index), 0, {}};
      }
      break;
    }
    case Act::Cell:
      m = {h, kGridSetCell, MAKEWPARAM(a.x, a.y), 0, Wide(a.text)};
      break;
    case Act::Click:
      if (Clickable(*c))
        m = {h, BM_CLICK, 0, 0, {}};
      else
        m = {h, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(centre.x, centre.y), {}};
      break;
    case Act::Mouse: {
      static const UINT downs[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
      static const UINT ups[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
      static const WPARAM held[] = {MK_LBUTTON, MK_RBUTTON, MK_MBUTTON};
      const int b = std::clamp(a.button, 0, 2);
      WPARAM keys = (a.shift ? MK_SHIFT : 0) | (a.ctrl ? MK_CONTROL : 0);
      UINT msg = a.mouse == 0 ? downs[b] : a.mouse == 1 ? ups[b] : WM_MOUSEMOVE;
      if (a.mouse == 0) keys |= held[b];
      int x = a.x, y = a.y;
      if (a.hasPoint == false) {  // a grid cell: its centre
        auto* grid = dynamic_cast<StringGrid*>(c);
        if (!grid || a.x < 0 || a.y < 0 || a.x >= grid->ColCount() || a.y >= grid->RowCount())
          return {};
        Point p = grid->CellRect(a.x, a.y).Centre();
        x = p.x;
        y = p.y;
      }
      m = {h, msg, keys, PointParam(x, y), {}};
      break;
    }
    case Act::DoubleClick:
      m = {h,
           WM_LBUTTONDBLCLK,
           MK_LBUTTON,
           a.hasPoint ? PointParam(a.x, a.y) : PointParam(centre.x, centre.y),
           {}};
      break;
    default:
      break;
  }
  return m;
}

// ---- The person at the screen ----

UINT BoxStyle(const MessageBoxRequest& r) {
  UINT style = MB_APPLMODAL;
  switch (r.buttons) {
    case MsgButtons::OK:
      style |= MB_OK;
      break;
    case MsgButtons::OKCancel:
      style |= MB_OKCANCEL;
      break;
    case MsgButtons::YesNo:
      style |= MB_YESNO;
      break;
    case MsgButtons::YesNoCancel:
      style |= MB_YESNOCANCEL;
      break;
    case MsgButtons::RetryCancel:
      style |= MB_RETRYCANCEL;
      break;
    case MsgButtons::AbortRetryIgnore:
      style |= MB_ABORTRETRYIGNORE;
      break;
  }
  switch (r.icon) {
    case MsgIcon::Warning:
      style |= MB_ICONWARNING;
      break;
    case MsgIcon::Error:
      style |= MB_ICONERROR;
      break;
    case MsgIcon::Information:
      style |= MB_ICONINFORMATION;
      break;
    case MsgIcon::Question:
      style |= MB_ICONQUESTION;
      break;
    case MsgIcon::None:
      break;
  }
  return style;
}

// The window a dialog of the system belongs to: the innermost shown form, else the owner.
HWND DialogOwner() {
  std::vector<Form*> shown = ShownForms();
  for (auto it = shown.rbegin(); it != shown.rend(); ++it)
    if (NativeForm* nf = backend ? backend->Find(**it) : nullptr; nf && nf->hwnd) return nf->hwnd;
  return backend ? backend->owner : nullptr;
}

// A Windows path of the machine the toolkit works on, for the system's dialogs, and back.
std::wstring LocalPath(const std::string& windowsPath) {
  if (windowsPath.empty()) return {};
  return ResolvePath(windowsPath).wstring();
}

std::string MachinePath(const std::wstring& local) {
  std::wstring root = Root().wstring();
  std::wstring path = local;
  for (auto* s : {&root, &path})
    for (wchar_t& ch : *s)
      if (ch == L'/') ch = L'\\';
  if (!root.empty() && path.size() > root.size() + 2 &&
      _wcsnicmp(path.c_str(), root.c_str(), root.size()) == 0 && path[root.size()] == L'\\') {
    std::wstring rest = path.substr(root.size() + 1);  // "C\\TRACELON\\..."
    std::wstring drive = rest.substr(0, rest.find(L'\\'));
    std::wstring tail = rest.size() > drive.size() ? rest.substr(drive.size()) : L"\\";
    return Narrow(drive + L":" + tail);
  }
  return Narrow(path);
}

class DesktopDriver : public UiDriver {
 public:
  void RunModal(Form& form) override {
    // The windows behind the dialog take no input while it is shown.
    std::vector<HWND> disabled;
    NativeForm* own = backend ? backend->Find(form) : nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM data) -> BOOL {
          auto* list = reinterpret_cast<std::vector<HWND>*>(data);
          if (IsWindowVisible(h) && IsWindowEnabled(h)) list->push_back(h);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&disabled));
    disabled.erase(std::remove_if(disabled.begin(), disabled.end(),
                                  [&](HWND h) { return own && h == own->hwnd; }),
                   disabled.end());
    for (HWND h : disabled) EnableWindow(h, FALSE);
    if (own && own->hwnd) SetForegroundWindow(own->hwnd);
    MSG msg;
    while (form.Modal() && !form.ModalDone()) {
      if (!form.Visible() && !own) break;
      int got = GetMessageW(&msg, nullptr, 0, 0);
      if (got <= 0) {
        if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    for (HWND h : disabled)
      if (IsWindow(h)) EnableWindow(h, TRUE);
  }

  MsgResult AskMessage(const MessageBoxRequest& request) override {
    int answer = MessageBoxW(DialogOwner(), Wide(request.text).c_str(),
                             Wide(request.caption).c_str(), BoxStyle(request));
    return static_cast<MsgResult>(answer);
  }

  std::optional<std::string> AskOpenFile(const OpenFileRequest& request) override {
    std::wstring filter = Wide(request.filter);
    for (wchar_t& ch : filter)
      if (ch == L'|') ch = L'\0';
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    std::vector<wchar_t> file(MAX_PATH * 4, L'\0');
    std::wstring initial = Wide(request.fileName);
    std::copy(initial.begin(), initial.begin() + std::min(initial.size(), file.size() - 1),
              file.begin());
    std::wstring dir = LocalPath(request.initialDir), title = Wide(request.title),
                 ext = Wide(request.defaultExt);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = DialogOwner();
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | (request.fileMustExist ? OFN_FILEMUSTEXIST : 0) |
                (request.pathMustExist ? OFN_PATHMUSTEXIST : 0) |
                (request.noChangeDir ? OFN_NOCHANGEDIR : 0);
    if (!GetOpenFileNameW(&ofn)) return std::nullopt;
    return MachinePath(file.data());
  }

  std::optional<FontChoice> AskFont(const FontRequest& request) override {
    LOGFONTW lf{};
    lf.lfHeight = -metrics::FontPixelHeight(request.initial.size);
    lf.lfWeight = request.initial.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = request.initial.italic;
    lf.lfUnderline = request.initial.underline;
    lf.lfStrikeOut = request.initial.strikeout;
    std::wstring face = Wide(request.initial.face).substr(0, LF_FACESIZE - 1);
    std::copy(face.begin(), face.end(), lf.lfFaceName);
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof(cf);
    cf.hwndOwner = DialogOwner();
    cf.lpLogFont = &lf;
    cf.Flags = CF_INITTOLOGFONTSTRUCT | CF_SCREENFONTS | CF_FORCEFONTEXIST |
               (request.trueTypeOnly ? CF_TTONLY : 0) | (request.effects ? CF_EFFECTS : 0);
    if (!ChooseFontW(&cf)) return std::nullopt;
    FontChoice choice;
    choice.face = Narrow(lf.lfFaceName);
    choice.size = cf.iPointSize / 10;
    choice.bold = lf.lfWeight >= FW_BOLD;
    choice.italic = lf.lfItalic != 0;
    choice.underline = request.effects && lf.lfUnderline != 0;
    choice.strikeout = request.effects && lf.lfStrikeOut != 0;
    return choice;
  }

  std::optional<std::string> AskFolder(const FolderRequest& request) override {
    std::wstring title = Wide(request.title);
    std::vector<wchar_t> path(MAX_PATH * 4, L'\0');
    BROWSEINFOW bi{};
    bi.hwndOwner = DialogOwner();
    bi.lpszTitle = title.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&bi);
    if (!chosen) return std::nullopt;
    bool ok = SHGetPathFromIDListW(chosen, path.data());
    CoTaskMemFree(chosen);
    if (!ok) return std::nullopt;
    return MachinePath(path.data());
  }

  // A small dialog of the toolkit itself, shown natively like every other form.
  std::optional<std::string> AskInput(const InputRequest& request) override {
    Form box("TInputQueryForm", request.caption);
    box.borderStyle = BorderStyle::Dialog;
    box.position = FormPosition::ScreenCenter;
    box.SetClientWidth(300);
    box.SetClientHeight(100);
    Label& prompt = box.Add<Label>("Prompt");
    prompt.SetBounds(8, 8, 280, 16);
    prompt.SetText(request.prompt);
    Edit& edit = box.Add<Edit>("Edit");
    edit.SetBounds(8, 28, 284, 21);
    edit.SetText(request.initial);
    Button& ok = box.Add<Button>("OKButton");
    ok.SetText("OK");
    ok.modalResult = ModalResult::OK;
    ok.isDefault = true;
    ok.SetBounds(136, 64, 75, 25);
    Button& cancel = box.Add<Button>("CancelButton");
    cancel.SetText("Cancel");
    cancel.modalResult = ModalResult::Cancel;
    cancel.isCancel = true;
    cancel.SetBounds(217, 64, 75, 25);
    if (box.ShowModal() != ModalResult::OK) return std::nullopt;
    return edit.Text();
  }

  void OnBeep(BeepKind kind) override {
    switch (kind) {
      case BeepKind::Default:
        MessageBeep(MB_OK);
        break;
      case BeepKind::Exclamation:
        MessageBeep(MB_ICONEXCLAMATION);
        break;
      case BeepKind::Error:
        MessageBeep(MB_ICONHAND);
        break;
      case BeepKind::Information:
        MessageBeep(MB_ICONASTERISK);
        break;
    }
  }

  // Help opens in a window of its own, which names the help file and the topic.
  void OnHelp(const std::string& file, const std::string& topic) override {
    if (!help_) {
      help_ = std::make_unique<Form>("THelpWindow", "Help");
      help_->borderStyle = BorderStyle::Sizeable;
      help_->SetBounds(600, 120, 420, 320);
      Memo& text = help_->Add<Memo>("HelpText");
      text.readOnly = true;
      text.scrollBars = ScrollBars::Vertical;
      text.SetBounds(0, 0, help_->ClientWidth(), help_->ClientHeight());
    }
    std::string body = "Help file: " + file + "\r\nTopic: " + topic;
    if (std::optional<std::string> content = ReadHelpTopic(file)) body += "\r\n\r\n" + *content;
    help_->Find<Memo>("HelpText")->SetText(body);
    help_->Show();
    Refresh();
  }

 private:
  // A plain-text help file beside the program's files, when there is one to read.
  static std::optional<std::string> ReadHelpTopic(const std::string& file) {
    if (file.empty() || !FileExists(file)) return std::nullopt;
    std::optional<std::uintmax_t> size = FileSizeOf(file);
    if (!size || *size > 1 << 20) return std::nullopt;
    HANDLE h = CreateFileW(ResolvePath(file).wstring().c_str(), GENERIC_READ, FILE_SHARE_READ,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(*size), '\0');
    DWORD read = 0;
    BOOL ok = ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(h);
    if (!ok) return std::nullopt;
    bytes.resize(read);
    // Only a text file is shown; a binary help file is named, not dumped.
    for (unsigned char ch : bytes)
      if (ch < 9 || (ch > 13 && ch < 32)) return std::nullopt;
    return bytes;
  }
  std::unique_ptr<Form> help_;
};

}  // namespace

// ---- The interface ----

bool Available() { return true; }

bool Enable() {
  if (backend) return true;
  if (!Register()) return false;
  backend = new Backend;
  SetFormBackend(backend);
  for (Form* form : ShownForms()) backend->FormShown(*form);
  return true;
}

bool Enabled() { return backend != nullptr; }

void Disable() {
  if (!backend) return;
  SetFormBackend(nullptr);
  for (auto& [form, nf] : backend->forms) backend->Destroy(*nf);
  for (auto& [key, font] : backend->fonts) DeleteObject(font);
  for (auto& [color, brush] : backend->brushes) DeleteObject(brush);
  delete backend;
  backend = nullptr;
}

void SetOwnerWindow(void* hwnd) {
  if (backend) backend->owner = static_cast<HWND>(hwnd);
}

std::string NativeClassFor(const Control& control) {
  std::optional<Kind> kind = KindOf(control);
  return kind ? Narrow(kind->cls) : std::string();
}

void* ControlWindow(const Control& control) {
  NativeControl* nc = backend ? backend->Find(control) : nullptr;
  return nc ? nc->hwnd : nullptr;
}

void* FormWindow(const Form& form) {
  NativeForm* nf = backend ? backend->Find(form) : nullptr;
  return nf ? nf->hwnd : nullptr;
}

bool Perform(Form& form, const Action& action, const std::function<bool()>& perform) {
  if (!backend) return perform();
  Message m = MessageFor(form, action);
  if (!m.hwnd) {
    ++backend->direct;
    bool result = perform();
    backend->SyncAll();
    Pump();
    return result;
  }
  if (!m.text.empty() || m.msg == WM_SETTEXT || m.msg == kGridSetCell || m.msg == LB_SELECTSTRING ||
      m.msg == CB_SELECTSTRING)
    m.lp = reinterpret_cast<LPARAM>(m.text.c_str());
  Pending pending;
  pending.hwnd = m.hwnd;
  pending.message = m.msg;
  pending.perform = &perform;
  Pending* outer = backend->pending;
  backend->pending = &pending;
  SendMessageW(m.hwnd, m.msg, m.wp, m.lp);
  if (backend) backend->pending = outer;
  if (!pending.ran) {
    // The window went before the message reached it: the toolkit says what became of it.
    ++backend->direct;
    pending.result = perform();
  } else {
    ++backend->delivered;
  }
  backend->SyncAll();
  Pump();
  if (pending.error) std::rethrow_exception(pending.error);
  return pending.result;
}

int MessagesDelivered() { return backend ? backend->delivered : 0; }
int DirectActions() { return backend ? backend->direct : 0; }

void Refresh() {
  if (!backend) return;
  backend->SyncAll();
  Pump();
}

std::vector<GeometryProblem> CheckGeometry(const Form& form) {
  std::vector<GeometryProblem> problems;
  NativeForm* nf = backend ? backend->Find(form) : nullptr;
  if (!nf || !nf->hwnd) return {{"", "the form has no window"}};
  POINT origin{0, 0};
  ClientToScreen(nf->hwnd, &origin);
  RECT client;
  GetClientRect(nf->hwnd, &client);
  // (The system gives every window a client area of at least one pixel.)
  if ((client.right != form.ClientWidth() || client.bottom != form.ClientHeight()) &&
      form.ClientWidth() > 0 && form.ClientHeight() > 0)
    problems.push_back({"", "client area " + std::to_string(client.right) + "x" +
                                std::to_string(client.bottom) + ", not " +
                                std::to_string(form.ClientWidth()) + "x" +
                                std::to_string(form.ClientHeight())});
  // A window's rectangle in the form's client area.
  auto placed = [&](HWND h) {
    RECT w;
    GetWindowRect(h, &w);
    return Rect{w.left - origin.x, w.top - origin.y, w.right - origin.x, w.bottom - origin.y};
  };
  for (auto& nc : nf->controls) {
    const Control& c = *nc->control;
    if (!nc->hwnd) {
      problems.push_back({c.Name(), std::string("a ") + c.TypeName() +
                                        (KindOf(c) ? " whose window could not be made"
                                                   : " has no native counterpart")});
      continue;
    }
    if ((IsWindowVisible(nc->hwnd) != FALSE) != c.VisibleOnForm()) {
      problems.push_back({c.Name(), std::string("a ") + c.TypeName() +
                                        (c.VisibleOnForm() ? " shown by the toolkit is hidden"
                                                           : " hidden by the toolkit is shown")});
      continue;
    }
    Rect got = placed(nc->hwnd);
    // Where the toolkit puts it: at its own position in its parent's window as the system
    // placed that one; a page fills the page area of its notebook's tab control, as the system
    // itself reports that area.
    Rect want = c.BoundsRect();
    if (const Control* parent = c.Parent()) {
      NativeControl* pc = backend->Find(*parent);
      if (!pc || !pc->hwnd) continue;  // reported for the parent itself
      Rect p = placed(pc->hwnd);
      if (dynamic_cast<const Page*>(&c)) {
        want = p;
        if (auto* book = dynamic_cast<const Notebook*>(parent); book && book->showTabs) {
          RECT area{p.left, p.top, p.right, p.bottom};
          TabCtrl_AdjustRect(pc->hwnd, FALSE, &area);
          want = {area.left, area.top, area.right, area.bottom};
        }
      } else {
        want = {p.left + want.left, p.top + want.top, p.left + want.right, p.top + want.bottom};
      }
    }
    if (!(got == want)) {
      auto text = [](const Rect& r) {
        return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
               std::to_string(r.Width()) + "x" + std::to_string(r.Height());
      };
      problems.push_back({c.Name(), std::string("a ") + c.TypeName() + " at " + text(got) +
                                        ", not " + text(want)});
    }
  }
  return problems;
}

bool CaptureForm(const Form& form, Bitmap& picture) {
  NativeForm* nf = backend ? backend->Find(form) : nullptr;
  if (!nf || !nf->hwnd) return false;
  backend->SyncAll();
  SetWindowPos(nf->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  RedrawWindow(nf->hwnd, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  // What was painted reaches the screen a moment later.
  GdiFlush();
  Sleep(150);
  Pump();
  RECT r;
  GetWindowRect(nf->hwnd, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(dc, bitmap);
  BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(dc, old);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  GetDIBits(dc, bitmap, 0, static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  picture = Bitmap(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint32_t p = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                               static_cast<std::size_t>(x)];
      picture.SetPixel(x, y, Rgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    }
  return true;
}

UiDriver& DesktopUser() {
  static DesktopDriver driver;
  return driver;
}

}  // namespace platform::native

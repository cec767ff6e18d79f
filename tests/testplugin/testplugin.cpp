// A small plug-in for end-to-end tests of the host program, the loader protocol and the session
// engine. Like the real plug-in it knows only the host interface and the platform.
//
// Exports:
//   DllProcessAttach / DllProcessDetach   the loader protocol
//   TPNote       a dialog for a note; the note is placed at picked points as CAD text, with a
//                frame around it; an empty note asks whether to go on
//   TPBox        rectangles from two picked corners until the user ends with the second button
//   TPWindow     a modeless window with a button that starts host command 1139 (undo), one that
//                types in the midpoint of two picked points (HsiCoordInput), and one that shows
//                the host's active-command flag and 3D snap mode in a box
//   TPHelp       opens the help file at a topic
//   GetBaseDir, GetUnitSettings, GetQXProjSettings, SaveQXProjSettings, GetScale, GetLyrFile
//                settings exports of the shapes the host program knows; the project settings
//                are kept in C:\TRACELON\WORK\TESTPLUG.DAT from unload to load
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "hsi/hsi.h"
#include "platform/files.h"
#include "platform/forms.h"
#include "platform/system.h"
#include "platform/window_handle.h"

#define TP_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct State {
  std::unique_ptr<platform::Form> note;
  std::unique_ptr<platform::Form> window;
  int32_t projectSettings = -1;
};

State* state = nullptr;

void BuildNoteForm(platform::Form& form) {
  form.SetClientWidth(300);
  form.SetClientHeight(120);
  auto& text = form.Add<platform::Edit>("txtNote");
  text.SetBounds(10, 10, 280, 21);
  auto& frame = form.Add<platform::CheckBox>("chkFrame");
  frame.SetCaption("&Frame");
  frame.SetBounds(10, 40, 100, 17);
  frame.SetChecked(true);
  auto& ok = form.Add<platform::Button>("btnOK");
  ok.SetCaption("OK");
  ok.isDefault = true;
  ok.modalResult = platform::ModalResult::OK;
  ok.SetBounds(130, 80, 75, 25);
  auto& cancel = form.Add<platform::Button>("btnCancel");
  cancel.SetCaption("Cancel");
  cancel.isCancel = true;
  cancel.modalResult = platform::ModalResult::Cancel;
  cancel.SetBounds(215, 80, 75, 25);
}

void BuildWindow(platform::Form& form) {
  form.SetClientWidth(120);
  form.SetClientHeight(60);
  auto& undo = form.Add<platform::Button>("btnUndo");
  undo.SetCaption("&Undo");
  undo.OnClick = [](platform::Control&) {
    int16_t x = 0, y = 0;
    HsiMenuEntry(1139, &x, &y);
  };
  auto& mid = form.Add<platform::Button>("btnMid");
  mid.SetCaption("&Mid");
  mid.OnClick = [](platform::Control&) {
    HsiPoint a{}, b{}, centre{};
    int16_t status = 0, extra = 0;
    HsiGetPoint("First point for midpoint...", &a, &status, &extra);
    if (status != HSI_POINT_GIVEN) return;
    HsiGetPoint("Second point for midpoint...", &b, &status, &extra);
    if (status != HSI_POINT_GIVEN) return;
    HsiLineCenter(&a, &b, &centre);
    HsiCoordInput(&centre, 0);
  };
  auto& modes = form.Add<platform::Button>("btnState");
  modes.SetCaption("&State");
  modes.OnClick = [](platform::Control&) {
    std::string text = "active " + std::to_string(HsiGetActiveCommand()) + ", snap3d " +
                       std::to_string(HsiGet3DSnapMode());
    platform::MessageBox(text, "Tools", platform::MsgIcon::Information);
  };
  auto& close = form.Add<platform::Button>("btnClose");
  close.SetCaption("Close");
  close.OnClick = [](platform::Control& sender) { sender.OwnerForm().Close(); };
}

// The note as CAD text at `at`, and a frame around where it stands.
void PlaceNote(const std::string& note, HsiPoint at, bool frame) {
  HsiCadText text{};
  text.x = at.x;
  text.y = at.y;
  text.layer = HsiGetActLayer();
  text.colour = 7;
  text.size = 72000;
  text.widthFactor = 1.0;
  text.hcode = 0;
  text.vcode = 3;
  std::strncpy(text.text, note.c_str(), sizeof text.text - 1);
  text.length = static_cast<int16_t>(std::strlen(text.text));
  HsiObjCreate(HSI_RECORD_CAD_TEXT, &text, HSI_FINAL);
  if (!frame) return;
  int32_t width = static_cast<int32_t>(note.size()) * 72000 + 36000;
  HsiPoint corners[] = {{at.x - 18000, at.y - 18000},
                        {at.x + width, at.y - 18000},
                        {at.x + width, at.y + 90000},
                        {at.x - 18000, at.y + 90000},
                        {at.x - 18000, at.y - 18000}};
  HsiObjStartline(&corners[0], HsiGetActLayer(), 0, 0, 7);
  for (int i = 1; i < 5; ++i) HsiObjAddtoline(&corners[i], 2);
  HsiObjEndline(HSI_FINAL, HSI_TRUE, HSI_DRAW_NORMAL);
}

}  // namespace

constexpr const char* kSettingsFile = "C:\\TRACELON\\WORK\\TESTPLUG.DAT";

TP_EXPORT void DllProcessAttach() {
  state = new State;
  std::ifstream saved(platform::ResolvePath(kSettingsFile));
  if (!(saved >> state->projectSettings)) state->projectSettings = -1;
  platform::SetApplicationWindow(HsiGetWindowHandle());
  state->note = std::make_unique<platform::Form>("TdlgNote", "Note");
  BuildNoteForm(*state->note);
  state->window = std::make_unique<platform::Form>("TfrmTools", "Tools");
  BuildWindow(*state->window);
}

TP_EXPORT void DllProcessDetach() {
  std::ofstream(platform::ResolvePath(kSettingsFile)) << state->projectSettings << "\n";
  delete state;
  state = nullptr;
}

TP_EXPORT void TPNote() {
  HsiCustomCallback("Test Note", 0);
  platform::Form& form = *state->note;
  while (form.ShowModal() == platform::ModalResult::OK) {
    std::string note = form.Find<platform::Edit>("txtNote")->Text();
    if (note.empty() &&
        platform::MessageBox("The note is empty. Place it anyway?", "Test Note",
                             platform::MsgIcon::Question,
                             platform::MsgButtons::YesNo) != platform::MsgResult::Yes) {
      continue;
    }
    bool frame = form.Find<platform::CheckBox>("chkFrame")->Checked();
    HsiPoint at{};
    int16_t status = 0, extra = 0;
    HsiGetPoint("Pick the note's position...", &at, &status, &extra);
    if (status != HSI_POINT_GIVEN) break;
    PlaceNote(note, at, frame);
    platform::MessageBox("The note was placed.", "Test Note", platform::MsgIcon::Information);
  }
  HsiStatusLineUpdate();
}

TP_EXPORT void TPBox() {
  HsiCustomCallback("Test Box", 0);
  for (;;) {
    HsiPoint a{}, b{};
    int16_t status = 0, extra = 0;
    HsiGetPoint("First corner...", &a, &status, &extra);
    if (status != HSI_POINT_GIVEN) break;
    HsiGetPoint("Second corner...", &b, &status, &extra);
    if (status != HSI_POINT_GIVEN) break;
    HsiPoint corners[] = {a, {b.x, a.y}, b, {a.x, b.y}, a};
    HsiObjStartline(&corners[0], HsiGetActLayer(), 0, 0, 7);
    for (int i = 1; i < 5; ++i) HsiObjAddtoline(&corners[i], 2);
    HsiObjEndline(HSI_FINAL, HSI_TRUE, HSI_DRAW_NORMAL);
  }
  HsiStatusLineUpdate();
}

TP_EXPORT void TPWindow() { state->window->Show(); }

// A plug-in that fails hard: the host program dies with it, and what it printed before must
// have reached its output already.
TP_EXPORT void TPCrash() { std::abort(); }

TP_EXPORT void TPHelp() {
  platform::Beep(platform::BeepKind::Information);
  platform::ShowHelp("test.hlp", "100");
}

TP_EXPORT void GetBaseDir(char* buffer) { std::strcpy(buffer, "C:\\QXTOOLS"); }

TP_EXPORT void GetUnitSettings(int32_t* pointsPerUnit, double* symbolScale) {
  *pointsPerUnit = 768000;
  *symbolScale = 96.0;
}

TP_EXPORT void GetQXProjSettings(int32_t* settings, int32_t* pointsPerUnit) {
  *settings = state->projectSettings;
  *pointsPerUnit = 768000;
}

TP_EXPORT void SaveQXProjSettings(int32_t* settings) { state->projectSettings = *settings; }

TP_EXPORT double GetScale() { return 48.0; }

TP_EXPORT void GetLyrFile(char* buffer) {
  if (buffer[0] == '\0') std::strcpy(buffer, "C:\\QXTOOLS\\layers\\plan3.lyr");
}

#include "organise/project_manager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/config.h"
#include "core/forms.h"
#include "core/state.h"
#include "organise/drawing_dialog.h"
#include "organise/project_dialog.h"
#include "organise_fixture.h"
#include "platform/actions.h"
#include "platform/files.h"
#include "platform/system.h"

namespace qxt {
namespace {

namespace act = platform::actions;
using platform::MsgResult;

constexpr const char* kProjectDir = "C:\\QXTOOLS\\PROJECT";
constexpr const char* kProjects = "C:\\QXTOOLS\\PROJECT\\projects.dat";
constexpr const char* kDrawings = "C:\\JOBS\\ALPHA";

std::string ProjectBytes(const std::string& name, const std::string& code,
                         const std::string& folder = kDrawings,
                         const std::string& ref = "C:\\REF") {
  ProjectRecord record;
  std::memset(&record, 0, sizeof record);
  record.Name.Set(name);
  record.Code.Set(code);
  record.DrawingsFolder.Set(folder);
  record.ReferenceFolder.Set(ref);
  record.Description.Set("about " + name);
  return std::string(reinterpret_cast<const char*>(&record), sizeof record);
}

std::string DrawingBytes(const std::string& name, const std::string& file,
                         const std::string& scale = "48", const std::string& layerFile = "") {
  DrawingRecord record;
  std::memset(&record, 0, sizeof record);
  record.Name.Set(name);
  record.FileName.Set(file);
  record.LayerFile.Set(layerFile);
  record.BaseScale.Set(scale);
  record.Description.Set("sheet " + name);
  return std::string(reinterpret_cast<const char*>(&record), sizeof record);
}

class ProjectTest : public testing::LoadedLibrary {
 protected:
  void SetUp() override {
    LoadedLibrary::SetUp();
    Config().BaseDirectory.Set("C:\\QXTOOLS");
  }

  TdlgQXProject& Dialog() { return *State().forms->dlgQXProject; }

  // Runs the command; `look` acts on the project dialog (and may click through it).
  void Run(std::function<void(platform::Form&)> look) {
    OnForm(std::move(look));
    QXProject();
  }

  void WriteProjects(const std::string& bytes) { WriteFileIn(kProjectDir, "projects.dat", bytes); }

  // A drawing saved by the host with the given units, so that loading it sets them again.
  void SaveDrawingFile(const std::string& path, std::uint16_t unitType, std::int32_t ppu) {
    platform::ForceDirectories(platform::ExtractFileDir(path));
    Host().MutableUnits().unitType = unitType;
    Host().MutableUnits().pointsPerUnit = ppu;
    ASSERT_TRUE(Host().SaveDrawing(path));
  }

  // Fills and confirms the project editor.
  void EditProject(const std::string& name, const std::string& code,
                   const std::string& folder = kDrawings) {
    OnForm([=](platform::Form& form) {
      act::SetText(form, "txtProjectName", {name});
      act::SetText(form, "txtProjectCode", {code});
      act::SetText(form, "txtDrawings", {folder});
      act::Click(form, "btnOK");
    });
  }
  void EditDrawing(const std::string& name, const std::string& file, const std::string& scale) {
    OnForm([=](platform::Form& form) {
      act::SetText(form, "txtDrawingName", {name});
      act::SetText(form, "txtVWFName", {file});
      act::SetText(form, "txtBaseScale", {scale});
      act::Click(form, "OKBtn");
    });
  }

  std::vector<std::string> Items(const platform::ListBox& list) { return list.items.Strings(); }
};

TEST_F(ProjectTest, FirstUseCreatesTheFolderAndShowsAnEmptyListWithoutDrawings) {
  ASSERT_FALSE(platform::DirectoryExists(kProjectDir));
  bool looked = false;
  Run([&](platform::Form& form) {
    looked = true;
    EXPECT_EQ(Dialog().lbxProjects.items.Count(), 0);
    EXPECT_FALSE(Dialog().grpDrawings.Visible());
    EXPECT_EQ(Dialog().mmDrawingsFolder.hint, "Press \"New\" to add a project.");
    EXPECT_EQ(Dialog().mmRefFolder.hint, "Press \"New\" to add a project.");
    EXPECT_FALSE(Dialog().btnProjectEdit.Enabled());
    EXPECT_FALSE(Dialog().btnProjectDelete.Enabled());
    EXPECT_FALSE(Dialog().btnProjectActive.Enabled());
    act::Click(form, "Close");
  });
  EXPECT_TRUE(looked);
  EXPECT_TRUE(platform::DirectoryExists(kProjectDir));
  EXPECT_EQ(Host().CallbackTitle(), "QX Project");
  EXPECT_EQ(platform::Application().hintPause, 250);
  EXPECT_EQ(platform::Application().hintHidePause, 4500);
  EXPECT_EQ(platform::Application().hintShortPause, 125);
  EXPECT_TRUE(user.messages.empty());
}

TEST_F(ProjectTest, TheStoredIndexSelectsAProjectOnlyWithinTheList) {
  WriteProjects(ProjectBytes("Beta", "B") + ProjectBytes("Alpha", "A"));
  // Sorted by name: Alpha, Beta.
  for (const auto& [index, expected] :
       std::vector<std::pair<int, int>>{{1, 1}, {-1, -1}, {2, -1}, {7, -1}, {0, 0}}) {
    Config().ProjectSettings = index;
    int selected = -2;
    Run([&](platform::Form& form) {
      selected = Dialog().lbxProjects.ItemIndex();
      EXPECT_EQ(Dialog().grpDrawings.Visible(), expected >= 0);
      act::Click(form, "Close");
    });
    EXPECT_EQ(selected, expected) << "stored index " << index;
  }
  Config().ProjectSettings = 1;
  Run([&](platform::Form& form) {
    EXPECT_EQ(Dialog().mmProjectCode.Text(), "B");
    EXPECT_EQ(Dialog().mmDrawingsFolder.hint, kDrawings);
    act::Select(form, "lbxProjects", "Alpha");
    act::Click(form, "Close");
  });
  EXPECT_EQ(+Config().ProjectSettings, 0);
}

TEST_F(ProjectTest, NewProjectsAndDrawingsAreStoredCutAndReadBackAfterARestart) {
  Config().BaseDirectory.Set("C:\\QXTOOLS\\");  // a trailing backslash is not doubled
  const std::string longName(70, 'N');
  Host().SetPath(HSI_PATH_REFERENCES, "C:\\TRACELON\\REFS");
  OnForm([&](platform::Form& form) {
    act::Click(form, "btnProjectNew");
    EXPECT_EQ(Dialog().lbxProjects.SelectedText(), std::string(60, 'N'));
    EXPECT_TRUE(Dialog().grpDrawings.Visible());
    EXPECT_FALSE(Dialog().btnDrawingLoad.Enabled());
    act::Click(form, "btnDrawingNew");
    act::Click(form, "Close");
  });
  // The editor opens on the host's folders; the name is typed past 60 characters.
  OnForm([&](platform::Form& form) {
    auto& edit = *State().forms->dlgEditProject;
    EXPECT_EQ(edit.Caption(), "New Project");
    EXPECT_EQ(edit.txtProjectName.Text(), "New project");
    EXPECT_EQ(edit.txtReference.Text(), "C:\\TRACELON\\REFS\\");
    EXPECT_EQ(edit.ActiveControl(), &edit.txtProjectName);
    act::SetText(form, "txtProjectName", {longName});
    act::SetText(form, "txtProjectCode", {"JOB1"});
    act::SetText(form, "txtDrawings", {"C:\\JOBS\\ONE\\"});
    act::Click(form, "OK");
  });
  EditDrawing("Plan", "PLAN.VWF", "123456789012345678901234");
  user.messageAnswers = {MsgResult::No, MsgResult::Yes};  // no template; save the projects
  QXProject();
  EXPECT_TRUE(platform::FileExists("C:\\QXTOOLS\\PROJECT\\JOB1.DAT"));
  EXPECT_TRUE(platform::FileExists(kProjects));
  ASSERT_EQ(user.messages.size(), 2u);
  EXPECT_EQ(user.messages[0].text,
            "The new drawing does not exist.  Do you want to create one from a template?");
  EXPECT_EQ(user.messages[0].caption, "QX Tools");
  EXPECT_EQ(user.messages[1].text, "Save changes to project list?");

  EndLibrary();
  StartLibrary();
  Config().BaseDirectory.Set("C:\\QXTOOLS\\");
  Run([&](platform::Form& form) {
    EXPECT_EQ(Items(Dialog().lbxProjects), std::vector<std::string>{std::string(60, 'N')});
    EXPECT_EQ(Dialog().lbxProjects.ItemIndex(), 0);  // the index survived in the configuration
    EXPECT_EQ(Items(Dialog().lbxDrawings), std::vector<std::string>{"Plan"});
    EXPECT_EQ(Dialog().mmBaseScale.Text(), "12345678901234567890");
    EXPECT_EQ(Dialog().mmDrawingDescription.Text(), "");
    act::Click(form, "Close");
  });
  EXPECT_EQ(user.messages.size(), 2u);  // nothing changed: no question
}

TEST_F(ProjectTest, DeletingTheLastDrawingRemovesTheListFileAndNewStillWorks) {
  WriteProjects(ProjectBytes("Alpha", "A"));
  WriteFileIn(kProjectDir, "A.DAT", DrawingBytes("Plan", "PLAN.VWF"));
  Config().ProjectSettings = 0;
  user.messageAnswers = {MsgResult::Yes};  // delete; the file on disk does not exist
  OnForm([&](platform::Form& form) {
    EXPECT_EQ(Dialog().lbxDrawings.ItemIndex(), 0);
    EXPECT_EQ(Dialog().mmVWFName.Text(), "PLAN.VWF");
    act::Click(form, "btnDrawingDelete");
    EXPECT_EQ(Dialog().lbxDrawings.items.Count(), 0);
    EXPECT_FALSE(Dialog().btnDrawingEdit.Enabled());
    EXPECT_FALSE(platform::FileExists("C:\\QXTOOLS\\PROJECT\\A.DAT"));
    EXPECT_TRUE(platform::FileExists("C:\\QXTOOLS\\PROJECT\\A.BAK"));
    // Selecting the project again shows the empty list.
    act::Select(form, "lbxProjects", "Alpha");
    EXPECT_FALSE(Dialog().btnDrawingLoad.Enabled());
    EXPECT_TRUE(Dialog().btnDrawingNew.Enabled());
    act::Click(form, "btnDrawingNew");
    act::Click(form, "Close");
  });
  EditDrawing("Section", "SECT.VWF", "96");
  QXProject();
  ASSERT_GE(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].text, "Are you sure you want to delete the selected drawing?");
  EXPECT_EQ(user.messages[0].caption, "QX Project");
  std::string error;
  platform::StringList list;
  ASSERT_TRUE(ReadDrawingList("C:\\QXTOOLS\\PROJECT\\A.DAT", list, error));
  EXPECT_EQ(list.Strings(), std::vector<std::string>{"Section"});
}

TEST_F(ProjectTest, AFileOnDiskThatCannotBeDeletedIsReported) {
  WriteProjects(ProjectBytes("Alpha", "A"));
  WriteFileIn(kProjectDir, "A.DAT", DrawingBytes("Plan", "PLAN.VWF"));
  WriteFileIn(kDrawings, "PLAN.VWF", "a drawing");
  Config().ProjectSettings = 0;
  user.messageAnswers = {MsgResult::Yes, MsgResult::Yes};
  // While the person is asked, the file's name comes to stand for a folder, which cannot be
  // deleted as a file.
  const std::string path = std::string(kDrawings) + "\\PLAN.VWF";
  user.whileAsked = [&](const platform::MessageBoxRequest& request) {
    if (request.text != "Do you also want to delete the file on disk?") return;
    platform::DeleteFile(path);
    platform::CreateDir(path);
  };
  OnForm([&](platform::Form& form) {
    act::Click(form, "btnDrawingDelete");
    act::Click(form, "Close");
  });
  QXProject();
  ASSERT_EQ(user.messages.size(), 3u);
  EXPECT_EQ(user.messages[2].text, "Unable to delete the file: " + path);
}

TEST_F(ProjectTest, AnEmptyProjectListLeavesOnlyTheBackupAndTheNextCloseStillAsks) {
  WriteProjects(ProjectBytes("Alpha", "A"));
  Config().ProjectSettings = 0;
  // Delete (Yes), close and save (Yes); then close again (Cancel keeps it open, No closes).
  user.messageAnswers = {MsgResult::Yes, MsgResult::Yes, MsgResult::Cancel, MsgResult::No};
  Run([&](platform::Form& form) {
    act::Click(form, "btnProjectDelete");
    EXPECT_FALSE(Dialog().grpDrawings.Visible());
    EXPECT_TRUE(act::Click(form, "Close"));
  });
  EXPECT_FALSE(platform::FileExists(kProjects));
  EXPECT_TRUE(platform::FileExists("C:\\QXTOOLS\\PROJECT\\projects.bak"));
  EXPECT_TRUE(Dialog().ProjectsChanged);
  bool stayedOpen = false;
  Run([&](platform::Form& form) {
    act::Click(form, "Close");
    stayedOpen = !form.ModalDone();
    act::Click(form, "Close");
  });
  EXPECT_TRUE(stayedOpen);
  ASSERT_EQ(user.messages.size(), 4u);
  EXPECT_EQ(user.messages[3].text, "Save changes to project list?");
  EXPECT_EQ(user.messages[3].buttons, platform::MsgButtons::YesNoCancel);
}

TEST_F(ProjectTest, CancellingTheSaveQuestionKeepsTheDialogAndEndsTheLoadRequest) {
  WriteProjects(ProjectBytes("Alpha", "A"));
  WriteFileIn(kProjectDir, "A.DAT", DrawingBytes("Plan", "PLAN.VWF"));
  Config().ProjectSettings = 0;
  // Load, Cancel at the question, then Close without saving: nothing is loaded.
  user.messageAnswers = {MsgResult::Cancel, MsgResult::No};
  Run([&](platform::Form& form) {
    Dialog().ProjectsChanged = true;
    act::Click(form, "btnDrawingLoad");
    EXPECT_FALSE(form.ModalDone());
    EXPECT_FALSE(Dialog().LoadRequested);
    EXPECT_TRUE(act::Click(form, "Close"));
  });
  EXPECT_EQ(user.MessageTexts(), (std::vector<std::string>{"Save changes to project list?",
                                                           "Save changes to project list?"}));
  EXPECT_TRUE(Host().CallsTo("HsiSetPaths").empty());

  // Asked for again, the load goes ahead.
  user.messageAnswers = {MsgResult::No};
  Run([&](platform::Form& form) {
    Dialog().ProjectsChanged = true;
    EXPECT_TRUE(act::DoubleClick(form, "lbxDrawings"));
  });
  EXPECT_EQ(user.messages.size(), 4u);
  EXPECT_EQ(user.messages.back().text,
            std::string("The file: ") + kDrawings + "\\PLAN.VWF does not exist.");
  EXPECT_EQ(Host().Path(HSI_PATH_DRAWINGS), std::string(kDrawings) + "\\");
  EXPECT_EQ(Host().Path(HSI_PATH_EXPORTS), std::string(kDrawings) + "\\");
  EXPECT_EQ(Host().Path(HSI_PATH_REFERENCE_LAYERS), "C:\\REF\\");
}

TEST_F(ProjectTest, TheRememberedProjectIsFollowedWhenAProjectAboveItIsDeleted) {
  WriteProjects(ProjectBytes("Alpha", "A") + ProjectBytes("Bravo", "B") +
                ProjectBytes("Charlie", "C"));
  Config().ProjectSettings = 2;
  // Alpha is picked only to be deleted; the list is saved.
  user.messageAnswers = {MsgResult::Yes, MsgResult::Yes};
  Run([&](platform::Form& form) {
    act::Select(form, "lbxProjects", "Alpha");
    act::Click(form, "btnProjectDelete");
    act::Click(form, "Close");
  });
  EXPECT_EQ(+Config().ProjectSettings, 1);
  // The next start shows Charlie again; deleting the remembered project itself remembers none.
  user.messageAnswers = {MsgResult::Yes, MsgResult::Yes};
  Run([&](platform::Form& form) {
    EXPECT_EQ(Dialog().lbxProjects.SelectedText(), "Charlie");
    act::Click(form, "btnProjectDelete");
    act::Click(form, "Close");
  });
  EXPECT_EQ(+Config().ProjectSettings, -1);
  EXPECT_EQ(Items(Dialog().lbxProjects), std::vector<std::string>{"Bravo"});
}

TEST_F(ProjectTest, ABaseScaleSetsThePointsPerUnitForTheHostsUnits) {
  WriteProjects(ProjectBytes("Alpha", "A", "C:\\JOBS\\ALPHA\\"));
  WriteFileIn("C:\\QXTOOLS\\layers", "plan.lyr", "TRACELON LAYERS 1\r\nLAYER 60 OFF 6 \"X\"\r\n");
  WriteFileIn(kProjectDir, "A.DAT",
              DrawingBytes("Plan", "PLAN.VWF", "48", "C:\\QXTOOLS\\layers\\plan.lyr"));
  SaveDrawingFile("C:\\JOBS\\ALPHA\\PLAN.VWF", HSI_UNIT_FEET, 999);
  Config().ProjectSettings = 0;
  Run([&](platform::Form& form) { act::Click(form, "btnDrawingLoad"); });
  EXPECT_TRUE(user.messages.empty());
  EXPECT_EQ(Host().Units().pointsPerUnit, 192000);  // 768000 / 48 * 12
  EXPECT_DOUBLE_EQ(Host().Units().drawingScale, 48);
  EXPECT_DOUBLE_EQ(Host().Units().plotScale, 48);
  EXPECT_EQ(Host().HostCommands(), std::vector<int>{1811});
  EXPECT_EQ(Host().ActiveLayer(), 3);
  ASSERT_EQ(Host().LoadedFiles().size(), 2u);
  EXPECT_EQ(Host().LoadedFiles()[0].first, "C:\\JOBS\\ALPHA\\PLAN.VWF");
  EXPECT_EQ(Host().LoadedFiles()[1],
            std::make_pair(std::string("C:\\QXTOOLS\\layers\\plan.lyr"), int{HSI_LOAD_LAYERS}));

  // A drawing already at that scale: the points per unit match, so nothing is set.
  SaveDrawingFile("C:\\JOBS\\ALPHA\\PLAN.VWF", HSI_UNIT_FEET, 192000);
  Run([&](platform::Form& form) { act::Click(form, "btnDrawingLoad"); });
  EXPECT_EQ(Host().CallsTo("HsiSetPntsPerUnit").size(), 1u);
}

TEST_F(ProjectTest, ABaseScaleThatIsNoPositiveNumberLeavesTheHostsScale) {
  SaveDrawingFile(std::string(kDrawings) + "\\PLAN.VWF", HSI_UNIT_FEET_INCHES, 5000);
  WriteFileIn("C:\\QXTOOLS\\layers", "plan.lyr", "TRACELON LAYERS 1\r\nLAYER 60 OFF 6 \"X\"\r\n");
  WriteProjects(ProjectBytes("Alpha", "A"));
  Config().ProjectSettings = 0;
  for (const std::string scale : {"0", "", "x", "-4", "1e308", "1e-7", "NaN"}) {
    WriteFileIn(kProjectDir, "A.DAT",
                DrawingBytes("Plan", "PLAN.VWF", scale, "C:\\QXTOOLS\\layers\\plan.lyr"));
    const std::size_t loaded = Host().LoadedFiles().size();
    HsiPutMsg("");
    Run([&](platform::Form& form) { act::Click(form, "btnDrawingLoad"); });
    EXPECT_EQ(Host().LoadedFiles().size(), loaded + 2) << scale;
    // The person learns that a scale written down was not used; none written is no news.
    EXPECT_EQ(Host().MessageLine(),
              scale.empty()
                  ? ""
                  : "Base scale " + scale + " cannot be used: the drawing keeps its own scale");
  }
  for (const char* call : {"HsiSetPntsPerUnit", "HsiSetPlotScale", "HsiSetDwgScale"})
    EXPECT_TRUE(Host().CallsTo(call).empty()) << call;
  EXPECT_TRUE(Host().HostCommands().empty());
  EXPECT_EQ(Host().Units().pointsPerUnit, 5000);
  EXPECT_EQ(Host().Path(HSI_PATH_PLOTS), std::string(kDrawings) + "\\");
  EXPECT_TRUE(user.messages.empty());
}

TEST_F(ProjectTest, ADrawingPathTooLongForTheHostIsNotCutButRefused) {
  const std::string folder = "C:\\" + std::string(240, 'D');
  const std::string file = std::string(20, 'F') + ".VWF";
  WriteFileIn(folder, file, "not handed to the host");
  WriteProjects(ProjectBytes("Alpha", "A", folder));
  WriteFileIn(kProjectDir, "A.DAT", DrawingBytes("Plan", file));
  Config().ProjectSettings = 0;
  Run([&](platform::Form& form) { act::Click(form, "btnDrawingLoad"); });
  EXPECT_TRUE(Host().LoadedFiles().empty());
  EXPECT_EQ(Host().Path(HSI_PATH_DRAWINGS), folder + "\\");  // the folder itself fits
  EXPECT_EQ(user.MessageTexts(),
            std::vector<std::string>{
                "Tracelon reported an error while attempting to load the drawing:\r\n" + folder +
                "\\" + file});
}

TEST_F(ProjectTest, PointsPerUnitRoundHalvesToEvenAndFollowTheUnitType) {
  EXPECT_EQ(ScaledPointsPerUnit(768000, 48, HSI_UNIT_FEET), 192000);
  EXPECT_EQ(ScaledPointsPerUnit(768000, 48, HSI_UNIT_FEET_INCHES), 16000);
  EXPECT_EQ(ScaledPointsPerUnit(768000, 48, HSI_UNIT_METRES), 1600000);
  EXPECT_EQ(ScaledPointsPerUnit(5, 2, HSI_UNIT_INCHES), 2);          // 2.5 to even
  EXPECT_EQ(ScaledPointsPerUnit(7, 2, HSI_UNIT_INCHES), 4);          // 3.5 to even
  EXPECT_EQ(ScaledPointsPerUnit(250, 1, HSI_UNIT_MILLIMETRES), 25);  // 25 from 25.0
  EXPECT_EQ(ScaledPointsPerUnit(250, 2, HSI_UNIT_MILLIMETRES), 12);  // 125 -> 12.5 -> 12
  // Scales the host cannot work at give nothing rather than an overflowed number.
  EXPECT_EQ(ScaledPointsPerUnit(768000, 1e-9, HSI_UNIT_FEET), std::nullopt);
  EXPECT_EQ(ScaledPointsPerUnit(768000, 1e12, HSI_UNIT_INCHES), std::nullopt);
}

TEST_F(ProjectTest, AChangedCodeAttachesTheProjectToTheNewCodesListFile) {
  WriteProjects(ProjectBytes("Alpha", "A"));
  WriteFileIn(kProjectDir, "A.DAT", DrawingBytes("Plan", "PLAN.VWF"));
  WriteFileIn(kProjectDir, "B.DAT", DrawingBytes("Other", "O.VWF") + DrawingBytes("Elev", "E.VWF"));
  Config().ProjectSettings = 0;
  OnForm([&](platform::Form& form) {
    act::Click(form, "btnProjectEdit");
    EXPECT_EQ(Items(Dialog().lbxDrawings), (std::vector<std::string>{"Elev", "Other"}));
    act::Click(form, "btnProjectEdit");
    EXPECT_EQ(Dialog().lbxProjects.SelectedText(), "Zulu");  // moved, still selected
    EXPECT_EQ(Dialog().mmProjectCode.Text(), "NEW");
    EXPECT_EQ(Dialog().lbxDrawings.items.Count(), 0);  // created empty by the editor
    act::Click(form, "Close");
  });
  EditProject("Alpha", "b", kDrawings);  // the code's case does not matter for the file
  EditProject("Zulu", "NEW", kDrawings);
  user.messageAnswers = {MsgResult::No};
  QXProject();
  EXPECT_TRUE(platform::FileExists("C:\\QXTOOLS\\PROJECT\\NEW.DAT"));
  EXPECT_EQ(platform::FileSizeOf("C:\\QXTOOLS\\PROJECT\\NEW.DAT"), 0u);
  EXPECT_EQ(platform::FileSizeOf("C:\\QXTOOLS\\PROJECT\\A.DAT"), sizeof(DrawingRecord));
}

TEST_F(ProjectTest, APartialLastRecordFailsWithTheRecordsBeforeItListed) {
  WriteProjects(ProjectBytes("Alpha", "A"));
  WriteFileIn(kProjectDir, "A.DAT",
              DrawingBytes("One", "1.VWF") + DrawingBytes("Two", "2.VWF") + "partial");
  Config().ProjectSettings = 0;
  Run([&](platform::Form& form) {
    EXPECT_EQ(Items(Dialog().lbxDrawings), (std::vector<std::string>{"One", "Two"}));
    act::Click(form, "Close");
  });
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].caption, "QX Tools (Error!)");
  EXPECT_EQ(user.messages[0].text,
            "The following error occurred opening/reading C:\\QXTOOLS\\PROJECT\\A.DAT:\r\n" +
                platform::SystemErrorMessage(platform::FileErrorCode::ReadPastEnd));

  // A partial project list ends the command before the dialog shows.
  WriteProjects(ProjectBytes("Alpha", "A") + std::string(100, 'x'));
  user.formsShown.clear();
  QXProject();
  EXPECT_TRUE(user.formsShown.empty());
  ASSERT_EQ(user.messages.size(), 2u);
  EXPECT_EQ(user.messages[1].text,
            "The following error occurred opening/reading C:\\QXTOOLS\\PROJECT\\PROJECTS.DAT:\r\n" +
                platform::SystemErrorMessage(platform::FileErrorCode::ReadPastEnd));
  EXPECT_EQ(Items(Dialog().lbxProjects), std::vector<std::string>{"Alpha"});
}

TEST_F(ProjectTest, TheProjectEditorChecksCodeThenNameInOrder) {
  platform::ForceDirectories(kProjectDir);
  Dialog().ProjectDir = kProjectDir;
  TdlgEditProject& edit = *State().forms->dlgEditProject;
  edit.Prepare("New Project", "", "", "", "", "");
  OnForm([&](platform::Form& form) {
    act::Click(form, "OK");
    EXPECT_EQ(edit.ActiveControl(), &edit.txtProjectCode);
    for (const char* bad : {"A?B", "A*B", "X\\Y"}) {
      act::SetText(form, "txtProjectCode", {bad});
      act::Click(form, "OK");
      EXPECT_EQ(edit.txtProjectCode.SelLength(), static_cast<int>(std::strlen(bad)));
    }
    // A good code with no name: the empty list file is made before the name is checked.
    act::SetText(form, "txtProjectCode", {"GOOD"});
    act::Click(form, "OK");
    EXPECT_TRUE(platform::FileExists("C:\\QXTOOLS\\PROJECT\\GOOD.DAT"));
    EXPECT_EQ(edit.ActiveControl(), &edit.txtProjectName);
    act::Click(form, "Cancel");
  });
  EXPECT_EQ(edit.ShowModal(), platform::ModalResult::Cancel);
  EXPECT_EQ(user.MessageTexts(),
            (std::vector<std::string>{"The project code must be filled in.",
                                      "The project code must be a valid filename.",
                                      "The project code must be a valid filename.",
                                      "The project code must be a valid filename.",
                                      "You must enter something for the project name."}));
  EXPECT_FALSE(platform::FileExists("C:\\QXTOOLS\\X\\Y.DAT"));
  // An existing list file is left as it is.
  WriteFileIn(kProjectDir, "OLD.DAT", DrawingBytes("Kept", "K.VWF"));
  edit.Prepare("New Project", "Old", "OLD", "", "", "");
  OnForm([&](platform::Form& form) { act::Click(form, "OK"); });
  EXPECT_EQ(edit.ShowModal(), platform::ModalResult::OK);
  EXPECT_EQ(platform::FileSizeOf("C:\\QXTOOLS\\PROJECT\\OLD.DAT"), sizeof(DrawingRecord));
}

TEST_F(ProjectTest, TheProjectListsOwnNameAndAnotherProjectsCodeAreRefusedAsCodes) {
  const std::string list = ProjectBytes("Alpha", "ALPHA") + ProjectBytes("Beta", "BETA");
  WriteProjects(list);
  Config().ProjectSettings = 0;
  TdlgEditProject& edit = *State().forms->dlgEditProject;
  OnForm([&](platform::Form& form) {
    act::Click(form, "btnProjectNew");
    act::Click(form, "btnProjectEdit");
    act::Select(form, "lbxProjects", "Beta");
    act::Click(form, "btnProjectEdit");
    act::Click(form, "Close");
  });
  // A new project: the list's own name in any case, and a code in use in any case.
  OnForm([&](platform::Form& form) {
    for (const std::string code : {"projects", "PROJECTS", "alpha"}) {
      act::SetText(form, "txtProjectCode", {code});
      act::Click(form, "OK");
      EXPECT_FALSE(form.ModalDone()) << code;
      EXPECT_EQ(edit.ActiveControl(), &edit.txtProjectCode);
      EXPECT_EQ(edit.txtProjectCode.SelLength(), static_cast<int>(code.size()));
    }
    act::Click(form, "Cancel");
  });
  // Alpha keeps its own code; Beta may not take it.
  OnForm([&](platform::Form& form) {
    act::SetText(form, "txtProjectName", {"Alpha two"});
    act::Click(form, "OK");
    EXPECT_TRUE(form.ModalDone());
  });
  OnForm([&](platform::Form& form) {
    act::SetText(form, "txtProjectCode", {"Alpha"});
    act::Click(form, "OK");
    act::Click(form, "Cancel");
  });
  user.messageAnswers = {MsgResult::No};
  QXProject();
  EXPECT_EQ(user.MessageTexts(),
            (std::vector<std::string>{"The project code PROJECTS is reserved for the project list.",
                                      "The project code PROJECTS is reserved for the project list.",
                                      "Another project already uses the code alpha.",
                                      "Another project already uses the code Alpha.",
                                      "Save changes to project list?"}));
  EXPECT_EQ(ReadFile(kProjects), list);
}

TEST_F(ProjectTest, ADrawingPickedOutsideTheProjectsFolderIsRefused) {
  WriteProjects(ProjectBytes("Alpha", "A", "C:\\JOBS\\ALPHA\\"));
  WriteFileIn(kProjectDir, "A.DAT", DrawingBytes("Plan", "PLAN.VWF"));
  WriteFileIn("C:\\JOBS\\ALPHA", "SECT.VWF", "x");
  WriteFileIn("C:\\JOBS\\OTHER", "ELEV.VWF", "x");
  Config().ProjectSettings = 0;
  user.fileAnswers = {"C:\\JOBS\\OTHER\\ELEV.VWF", "c:\\jobs\\alpha\\SECT.VWF"};
  TdlgEditDrawings& edit = *State().forms->dlgEditDrawings;
  OnForm([&](platform::Form& form) {
    act::Click(form, "btnDrawingEdit");
    act::Click(form, "Close");
  });
  OnForm([&](platform::Form& form) {
    act::Click(form, "btnVWFName");
    EXPECT_EQ(edit.txtVWFName.Text(), "PLAN.VWF");
    act::Click(form, "btnVWFName");  // the same folder, written in another case
    EXPECT_EQ(edit.txtVWFName.Text(), "SECT.VWF");
    act::Click(form, "Cancel");
  });
  QXProject();
  EXPECT_EQ(user.MessageTexts(),
            std::vector<std::string>{"The drawing C:\\JOBS\\OTHER\\ELEV.VWF is not in the "
                                     "project's drawings folder C:\\JOBS\\ALPHA."});
}

TEST_F(ProjectTest, ADrawingListThatCouldNotBeSavedStaysShownUntilItIsSaved) {
  WriteProjects(ProjectBytes("Alpha", "A") + ProjectBytes("Beta", "B"));
  WriteFileIn(kProjectDir, "A.DAT", DrawingBytes("Plan", "PLAN.VWF"));
  Config().ProjectSettings = 0;
  // The save error, No to the template, the error again twice, No to closing without the list.
  user.messageAnswers = {MsgResult::OK, MsgResult::No, MsgResult::OK, MsgResult::OK, MsgResult::No};
  OnForm([&](platform::Form& form) {
    platform::SetDriveFree('C', 0);
    act::Click(form, "btnDrawingNew");
    act::Select(form, "lbxProjects", "Beta");
    EXPECT_EQ(Dialog().lbxProjects.SelectedText(), "Alpha");
    EXPECT_EQ(Items(Dialog().lbxDrawings), (std::vector<std::string>{"Plan", "Section"}));
    act::Click(form, "Close");
    EXPECT_FALSE(form.ModalDone());
    // With room again the list is saved before Beta's is shown.
    platform::SetDriveCapacity('C', std::nullopt);
    act::Select(form, "lbxProjects", "Beta");
    EXPECT_EQ(Dialog().lbxProjects.SelectedText(), "Beta");
    act::Click(form, "Close");
  });
  EditDrawing("Section", "SECT.VWF", "96");
  QXProject();
  const std::string error =
      "The following error occurred opening/writing to C:\\QXTOOLS\\PROJECT\\A.DAT:\r\nDisk full";
  EXPECT_EQ(
      user.MessageTexts(),
      (std::vector<std::string>{
          error, "The new drawing does not exist.  Do you want to create one from a template?",
          error, error,
          "The drawing list could not be saved.  Close anyway and lose the changes to it?"}));
  std::string readError;
  platform::StringList list;
  ASSERT_TRUE(ReadDrawingList("C:\\QXTOOLS\\PROJECT\\A.DAT", list, readError));
  EXPECT_EQ(list.Strings(), (std::vector<std::string>{"Plan", "Section"}));
}

TEST_F(ProjectTest, AFailedSaveKeepsThePreviousListAsTheListFile) {
  platform::ForceDirectories(kProjectDir);
  Dialog().ProjectDir = kProjectDir;
  WriteProjects(ProjectBytes("Old", "O"));
  platform::StringList& list = Dialog().lbxProjects.items;
  for (int i = 0; i < 40; ++i)
    list.Add("P" + std::to_string(i), std::make_unique<TProjectObject>("C", "", "", ""));
  Dialog().ProjectsChanged = true;
  // Room for a few records only.
  platform::SetDriveCapacity('C', 20000);
  Dialog().SaveProjects();
  platform::SetDriveCapacity('C', std::nullopt);
  EXPECT_TRUE(Dialog().ProjectsChanged);
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(
      user.messages[0].text.rfind(
          "The following error occurred opening/writing to C:\\QXTOOLS\\PROJECT\\PROJECTS.DAT:\r\n",
          0),
      0u);
  std::string error;
  platform::StringList back;
  ASSERT_TRUE(ReadProjectList(kProjects, back, error));
  EXPECT_EQ(back.Strings(), std::vector<std::string>{"Old"});
}

TEST_F(ProjectTest, AFailedSaveLosesNeitherTheListNorItsBackup) {
  platform::ForceDirectories(kProjectDir);
  Dialog().ProjectDir = kProjectDir;
  const std::string list = ProjectBytes("Old", "O");
  const std::string backup = ProjectBytes("Older", "P");
  WriteProjects(list);
  WriteFileIn(kProjectDir, "projects.bak", backup);
  platform::StringList& items = Dialog().lbxProjects.items;
  for (int i = 0; i < 40; ++i)
    items.Add("P" + std::to_string(i), std::make_unique<TProjectObject>("C", "", "", ""));
  Dialog().ProjectsChanged = true;
  // Room for the two files and a few records more.
  platform::SetDriveCapacity('C', list.size() + backup.size() + 3 * sizeof(ProjectRecord));
  Dialog().SaveProjects();
  platform::SetDriveCapacity('C', std::nullopt);
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].text,
            "The following error occurred opening/writing to C:\\QXTOOLS\\PROJECT\\PROJECTS.DAT:"
            "\r\nDisk full");
  EXPECT_TRUE(Dialog().ProjectsChanged);
  EXPECT_EQ(ReadFile(kProjects), list);
  EXPECT_EQ(ReadFile("C:\\QXTOOLS\\PROJECT\\projects.bak"), backup);
  EXPECT_FALSE(platform::FileExists("C:\\QXTOOLS\\PROJECT\\projects.$$$"));

  // With room again the same list is saved, the old one kept as the backup.
  Dialog().SaveProjects();
  EXPECT_FALSE(Dialog().ProjectsChanged);
  EXPECT_EQ(ReadFile("C:\\QXTOOLS\\PROJECT\\projects.bak"), list);
  std::string error;
  platform::StringList back;
  ASSERT_TRUE(ReadProjectList(kProjects, back, error));
  EXPECT_EQ(back.Count(), 40);
  EXPECT_FALSE(platform::FileExists("C:\\QXTOOLS\\PROJECT\\projects.$$$"));
}

}  // namespace
}  // namespace qxt

#include "organise/plan_dialog.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/forms.h"
#include "core/state.h"
#include "organise_fixture.h"
#include "platform/actions.h"

namespace qxt {
namespace {

namespace act = platform::actions;

constexpr const char* kLayers = "C:\\QXTOOLS\\layers";
constexpr const char* kLayerText = "TRACELON LAYERS 1\r\nLAYER 60 OFF 6 \"FURNITURE\"\r\n";

class PlanTest : public testing::LoadedLibrary {
 protected:
  void SetUp() override {
    LoadedLibrary::SetUp();
    Config().BaseDirectory.Set("C:\\QXTOOLS");
  }

  TdlgQXPlan& Dialog() { return *State().forms->dlgQXPlan; }

  // Chooses a plan type and a group option (by index) and confirms.
  void Choose(int planType, int option) {
    OnForm([planType, option](platform::Form& form) {
      act::Select(form, "rgrpPlanTypes", planType);
      act::Select(form, "rgrpOptions", option);
      act::Click(form, "OK");
    });
  }
  // Records the selections the dialog opens with, then cancels.
  void LookAndCancel(std::vector<std::pair<int, int>>& seen) {
    OnForm([this, &seen](platform::Form& form) {
      seen.emplace_back(Dialog().rgrpPlanTypes.ItemIndex(), Dialog().rgrpOptions.ItemIndex());
      act::Click(form, "Cancel");
    });
  }

  void SetPlanTypes(int count) {
    for (std::size_t slot = 0; slot < kPlanTypeSlots; ++slot) {
      Config().PlanTypes[slot].Description.Set(
          static_cast<int>(slot) < count ? "Plan " + std::to_string(slot) : "");
    }
  }

  void AddReference(const std::string& path) {
    host::Reference reference;
    reference.path = path;
    reference.scale = 2.0;
    Host().AddReference(reference);
  }

  std::string CallLayerFile(const std::string& current) {
    std::array<char, 65> buffer{};
    std::memcpy(buffer.data(), current.c_str(), current.size() + 1);
    GetLyrFile(buffer.data());
    return buffer.data();
  }
};

TEST_F(PlanTest, PlanTypesFillColumnsOfAtMostTwelveUpToTheFirstEmptyDescription) {
  const std::vector<std::pair<int, int>> countsAndColumns = {{13, 2}, {12, 1}, {48, 4}, {1, 1}};
  for (const auto& [count, columns] : countsAndColumns) {
    SetPlanTypes(count);
    Dialog().FormCreate();
    EXPECT_EQ(Dialog().rgrpPlanTypes.items.size(), std::size_t(count));
    EXPECT_EQ(Dialog().rgrpPlanTypes.columns, columns) << count << " plan types";
  }
  EXPECT_TRUE(Dialog().btnOK.Enabled());
  SetPlanTypes(0);  // nothing to choose: OK cannot confirm an empty choice
  Dialog().FormCreate();
  EXPECT_EQ(Dialog().rgrpPlanTypes.columns, 1);
  EXPECT_FALSE(Dialog().btnOK.Enabled());
  SetPlanTypes(20);
  Config().PlanTypes[5].Description.Set("");
  Dialog().FormCreate();
  EXPECT_EQ(Dialog().rgrpPlanTypes.items.size(), 5u);

  // The default plan types and group labels.
  Config() = DefaultConfig("C:\\QXTOOLS");
  Dialog().FormCreate();
  EXPECT_EQ(Dialog().rgrpPlanTypes.items.front(), "&Floor Plan");
  EXPECT_EQ(Dialog().rgrpPlanTypes.items.size(), 13u);
  EXPECT_EQ(Dialog().rgrpOptions.items,
            (std::vector<std::string>{"Group &1", "Group &2", "&Both"}));
  const int fitted = Dialog().rgrpPlanTypes.Height() + Dialog().rgrpOptions.Height() +
                     Dialog().pnlButtons.Height() + 9;
  EXPECT_EQ(Dialog().ClientHeight(), fitted);
}

TEST_F(PlanTest, FirstUseOpensOnTheFirstPlanTypeAndBothThenKeepsTheLastOkChoice) {
  std::vector<std::pair<int, int>> seen;
  LookAndCancel(seen);
  QXPlan();
  // A cancelled choice is not kept.
  OnForm([](platform::Form& form) {
    act::Select(form, "rgrpPlanTypes", 4);
    act::Click(form, "Cancel");
  });
  QXPlan();
  LookAndCancel(seen);
  QXPlan();
  Choose(1, 0);
  EXPECT_EQ(CallLayerFile(""), "C:\\QXTOOLS\\layers\\rcp1.lyr");
  LookAndCancel(seen);
  QXPlan();
  Choose(2, 1);
  QXPlan();
  LookAndCancel(seen);
  GetLyrFile(std::array<char, 65>{}.data());
  EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{0, 2}, {0, 2}, {1, 0}, {2, 1}}));
}

TEST_F(PlanTest, TheGroupNumberFollowsTheNameOnlyWithGroupOptions) {
  Config().PlanTypes[0].GroupOption = 0;
  Choose(0, 1);
  EXPECT_EQ(CallLayerFile(""), "C:\\QXTOOLS\\layers\\plan.lyr");
  Choose(6, 1);
  EXPECT_EQ(CallLayerFile(""), "C:\\QXTOOLS\\layers\\site2.lyr");
  Config().BaseDirectory.Set("D:\\STANDARDS\\");  // no doubled backslash
  Choose(6, 2);
  EXPECT_EQ(CallLayerFile(""), "D:\\STANDARDS\\layers\\site3.lyr");
}

TEST_F(PlanTest, GetLyrFileLeavesTheBufferAloneWhenCancelledOrRefused) {
  OnForm([](platform::Form& form) { act::Click(form, "Cancel"); });
  EXPECT_EQ(CallLayerFile("C:\\OLD.lyr"), "C:\\OLD.lyr");

  Config().ConfigValid = 0;
  EXPECT_EQ(CallLayerFile("C:\\OLD.lyr"), "C:\\OLD.lyr");
  EXPECT_TRUE(user.formsShown.size() == 1) << "the dead library shows no dialog";
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].text, "QxTools did not initialize properly, unable to continue.");
}

TEST_F(PlanTest, APathLongerThanTheExchangeBufferIsRefusedAndNothingIsWrittenPastIt) {
  // "C:\" + 47 characters + "\layers\" + "plan3.lyr" is 67 characters.
  Config().BaseDirectory.Set("C:\\" + std::string(47, 'D'));
  struct {
    char buffer[65];
    char guard[16];
  } exchange;
  std::memset(&exchange, 'G', sizeof exchange);
  std::strcpy(exchange.buffer, "C:\\OLD.lyr");
  Choose(0, 2);
  GetLyrFile(exchange.buffer);
  EXPECT_STREQ(exchange.buffer, "C:\\OLD.lyr");
  EXPECT_EQ(std::string(exchange.guard, 16), std::string(16, 'G'));
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].caption, "QX Tools (Error!)");
  EXPECT_NE(user.messages[0].text.find("longer than 64 characters"), std::string::npos);

  // Exactly 64 characters fit, with the terminating zero in the last byte.
  Config().BaseDirectory.Set("C:\\" + std::string(44, 'D'));
  Choose(0, 2);
  GetLyrFile(exchange.buffer);
  EXPECT_EQ(std::strlen(exchange.buffer), 64u);
  EXPECT_EQ(std::string(exchange.guard, 16), std::string(16, 'G'));
}

TEST_F(PlanTest, QXPlanMakesLayer3ActiveLoadsTheLayerFileAndRedraws) {
  WriteFileIn(kLayers, "furn3.lyr", kLayerText);
  Config().PlanTypes[2].RefLayerFile.Set("");
  Host().ClearCalls();
  Choose(2, 2);
  QXPlan();

  EXPECT_EQ(Host().LoadedFiles(),
            (std::vector<std::pair<std::string, int>>{{"C:\\QXTOOLS\\layers\\furn3.lyr", 6}}));
  EXPECT_FALSE(Host().Layer(60).On());
  EXPECT_EQ(Host().ActiveLayer(), 3);
  std::vector<std::string> order;
  for (const auto& call : Host().Calls()) {
    if (call.name == "HsiSetActLayer" || call.name == "HsiLoadFile" || call.name == "HsiRedraw")
      order.push_back(call.name + " " + call.args.substr(0, 2));
  }
  EXPECT_EQ(order, (std::vector<std::string>{"HsiSetActLayer 3", "HsiLoadFile \"C", "HsiRedraw "}));
  EXPECT_TRUE(user.messages.empty());
}

TEST_F(PlanTest, AMissingLayerFileIsTheHostsToJudgeAndAnEmptyRefLayerFileLeavesReferencesAlone) {
  AddReference("C:\\TRACELON\\REFS\\SITE.VWF");
  Config().PlanTypes[0].RefLayerFile.Set("");
  Choose(0, 2);
  QXPlan();
  EXPECT_EQ(Host().LoadedFiles().size(), 1u) << "handed to the host without a check";
  EXPECT_TRUE(Host().CallsTo("HsiGetReferenceInformation").empty());
  EXPECT_TRUE(Host().CallsTo("HsiRefRegen").empty());
  EXPECT_EQ(Host().References()[0].layerFile, "");
  EXPECT_TRUE(user.messages.empty());
  EXPECT_EQ(Host().RedrawCount(), 1);
}

TEST_F(PlanTest, TheReferenceLayerFileGoesIntoEveryReferenceAndTheReferencesAreRegenerated) {
  WriteFileIn(kLayers, "plan1.lyr", kLayerText);
  WriteFileIn(kLayers, "rplan1.lyr", kLayerText);
  Config().PlanTypes[0].RefLayerFile.Set("rplan");
  AddReference("C:\\TRACELON\\REFS\\SITE.VWF");
  AddReference("C:\\TRACELON\\REFS\\CORE.VWF");
  Choose(0, 0);
  QXPlan();

  ASSERT_EQ(Host().References().size(), 2u);
  for (const host::Reference& reference : Host().References()) {
    EXPECT_EQ(reference.layerFile, "C:\\QXTOOLS\\layers\\rplan1.lyr");
    EXPECT_EQ(reference.scale, 2.0) << "the rest of the record is written back as read";
  }
  EXPECT_EQ(Host().References()[1].path, "C:\\TRACELON\\REFS\\CORE.VWF");
  ASSERT_EQ(Host().CallsTo("HsiRefRegen").size(), 1u);
  EXPECT_EQ(Host().CallsTo("HsiRefRegen")[0].args, "64544");
  EXPECT_TRUE(user.messages.empty());
}

TEST_F(PlanTest, WithoutReferencesNothingIsWrittenButTheReferencesAreStillRegenerated) {
  WriteFileIn(kLayers, "plan3.lyr", kLayerText);
  Choose(0, 2);
  QXPlan();
  EXPECT_TRUE(Host().CallsTo("HsiSetReferenceInformation").empty());
  EXPECT_EQ(Host().CallsTo("HsiRefRegen").size(), 1u);
}

TEST_F(PlanTest, AMissingReferenceLayerFileIsReportedAndTheReferencesKeepTheirs) {
  WriteFileIn(kLayers, "plan3.lyr", kLayerText);
  Config().PlanTypes[0].RefLayerFile.Set("nofile");
  host::Reference reference;
  reference.path = "C:\\TRACELON\\REFS\\SITE.VWF";
  reference.layerFile = "C:\\OLD.lyr";
  Host().AddReference(reference);
  Choose(0, 2);
  QXPlan();

  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].caption, "QX Tools (Error!)");
  EXPECT_EQ(user.messages[0].text,
            "The Reference Layer file:C:\\QXTOOLS\\layers\\nofile3.lyr\r\ncould not be found, "
            "reference files will not be processed.");
  EXPECT_EQ(Host().References()[0].layerFile, "C:\\OLD.lyr");
  EXPECT_TRUE(Host().CallsTo("HsiRefRegen").empty());
  EXPECT_EQ(Host().LoadedFiles().size(), 1u);
  EXPECT_EQ(Host().RedrawCount(), 1);
}

TEST_F(PlanTest, AReferenceLayerFilePathTooLongForTheRecordIsReportedNotCut) {
  // A base directory of 248 characters: the layer file paths are 265 long.
  std::string base = "C:";
  for (int level = 0; level < 6; ++level) base += "\\" + std::string(40, char('A' + level));
  Config().BaseDirectory.Set(base);
  WriteFileIn(base + "\\layers", "plan3.lyr", kLayerText);
  AddReference("C:\\TRACELON\\REFS\\SITE.VWF");
  Choose(0, 2);
  QXPlan();
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_NE(user.messages[0].text.find("is too long for the reference records"), std::string::npos);
  EXPECT_EQ(Host().References()[0].layerFile, "");
  EXPECT_TRUE(Host().CallsTo("HsiSetReferenceInformation").empty());
  EXPECT_TRUE(Host().CallsTo("HsiRefRegen").empty());
}

}  // namespace
}  // namespace qxt

// The host interface exports exactly the 102 functions the plug-in is written against.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "hsi/hsi.h"

namespace {

const std::vector<std::string> kInterface = {"HsiGetProgMode",
                                             "HsiGetWindowHandle",
                                             "HsiGetPaths",
                                             "HsiSetPaths",
                                             "HsiGetDwgInfo",
                                             "HsiGetActiveCommand",
                                             "HsiGetCvErrno",
                                             "HsiGetLayer",
                                             "HsiSetLayer",
                                             "HsiGetActLayer",
                                             "HsiSetActLayer",
                                             "HsiObjGetLayer",
                                             "HsiGetCurColor",
                                             "HsiGetUnitType",
                                             "HsiSetUnitType",
                                             "HsiGetPaperUnit",
                                             "HsiSetPaperUnit",
                                             "HsiGetScaledUnits",
                                             "HsiSetScaledUnits",
                                             "HsiGetPntsPerUnit",
                                             "HsiSetPntsPerUnit",
                                             "HsiGetDispDenom",
                                             "HsiSetDispDenom",
                                             "HsiGetDispPrecision",
                                             "HsiSetDispPrecision",
                                             "HsiGetDwgScale",
                                             "HsiSetDwgScale",
                                             "HsiSetPlotScale",
                                             "HsiGetSpace",
                                             "HsiSetSpace",
                                             "HsiDbutoString",
                                             "HsiStringtoDbu",
                                             "HsiGetSnapMode",
                                             "HsiSetSnapMode",
                                             "HsiGet3DSnapMode",
                                             "HsiSet3DSnapMode",
                                             "HsiGetSnapAngle",
                                             "HsiGetPoint",
                                             "HsiGet3DPoint",
                                             "HsiCoordInput",
                                             "HsiMakeCursor",
                                             "HsiMake3DCursor",
                                             "HsiDeleteCursor",
                                             "HsiPtCheck",
                                             "HsiPang",
                                             "HsiRotatePoint",
                                             "HsiNormal",
                                             "HsiLineCenter",
                                             "HsiDoubleDist",
                                             "HsiWorldDist",
                                             "HsiOslCount",
                                             "HsiOslItem",
                                             "HsiOslAdd",
                                             "HsiOslRm",
                                             "HsiOslClear",
                                             "HsiOslRedraw",
                                             "HsiOslScanInit",
                                             "HsiOslScan",
                                             "HsiCreateLocalOsl",
                                             "HsiFreeLocalOsl",
                                             "HsiSelectbyPoint",
                                             "HsiSelectbyWindow",
                                             "HsiSelectLinesegment",
                                             "HsiObjCreate",
                                             "HsiObjStartline",
                                             "HsiObjAddtoline",
                                             "HsiObjEndline",
                                             "HsiObjDelete",
                                             "HsiObjDraw",
                                             "HsiObjInfo",
                                             "HsiObjInfoxy",
                                             "HsiObjType",
                                             "HsiObjOpenSegment",
                                             "HsiObjFixParLines",
                                             "HsiDrawLine",
                                             "HsiDrawArc",
                                             "HsiDrawText",
                                             "HsiEditCopy",
                                             "HsiEditMove",
                                             "HsiEditDelete",
                                             "HsiEditDraw",
                                             "HsiGetFontName",
                                             "HsiGetTrueTypeInfo",
                                             "HsiSetTrueTypeInfo",
                                             "HsiLoadSymFile",
                                             "HsiSymbolFind",
                                             "HsiSetSymInfo",
                                             "HsiPutInstance",
                                             "HsiLoadFile",
                                             "HsiGetReferenceBuffer",
                                             "HsiGetReferenceInformation",
                                             "HsiSetReferenceInformation",
                                             "HsiRefRegen",
                                             "HsiMenuEntry",
                                             "HsiNestedMenuEntry",
                                             "HsiCustomCallback",
                                             "HsiRunMacro",
                                             "HsiClearMenuEvent",
                                             "HsiClearMenuSelection",
                                             "HsiPutMsg",
                                             "HsiStatusLineUpdate",
                                             "HsiRedraw"};

TEST(InterfaceNames, HundredAndTwoDistinctFunctionsAreExportedWithCLinkage) {
  std::set<std::string> unique(kInterface.begin(), kInterface.end());
  EXPECT_EQ(kInterface.size(), 102u);
  EXPECT_EQ(unique.size(), 102u);
  // Keep the host library referenced so the dynamic loader has it in the process.
  volatile auto keep = &HsiGetProgMode;
  (void)keep;
  for (const auto& name : kInterface)
    EXPECT_NE(dlsym(RTLD_DEFAULT, name.c_str()), nullptr) << name << " is not exported";
}

}  // namespace

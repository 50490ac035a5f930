#include <gtest/gtest.h>

#include <string>

#include "core/Messages.h"
#include "core/SettingsDialogs.h"

namespace cavel {
namespace {

TEST(SettingsDialogsTest, PlacementFlagsInTabOrder) {
  MainState s;
  s.FormPosMem.fill(true);
  FormPosChecks checks = FormPosDialogFill(s);
  EXPECT_EQ(checks, (FormPosChecks{true, true, true, true, true, true, true, true}));
  checks[2] = false;  // 並順設定: the row order editor
  FormPosDialogSave(s, checks);
  EXPECT_FALSE(s.FormPosMem[kWinItemset]);
  EXPECT_TRUE(s.FormPosMem[kWinExchange]);  // 項目設定 keeps its placement
  EXPECT_TRUE(s.FormPosMem[kWinMain]);

  s.FormPosMem[kWinConvert] = false;
  checks = FormPosDialogFill(s);
  EXPECT_FALSE(checks[6]);
  EXPECT_FALSE(checks[2]);
  EXPECT_TRUE(checks[4]);  // 新規作成
  checks[7] = false;       // 並べ替え
  FormPosDialogSave(s, checks);
  EXPECT_FALSE(s.FormPosMem[kWinSort]);
}

TEST(SettingsDialogsTest, HistoryCountTakesADigitAndIgnoresTheRest) {
  MainState s;
  s.OpenFileNum = 5;
  EXPECT_EQ(FileHistoryDialogFill(s), "5");
  EXPECT_TRUE(FileHistoryDialogSave(s, "3"));
  EXPECT_EQ(s.OpenFileNum, 3);
  EXPECT_TRUE(FileHistoryDialogSave(s, "9"));
  EXPECT_EQ(s.OpenFileNum, 9);
  for (const char* ignored : {"x", "", "-", "+", "10", "-1", "3a"}) {
    EXPECT_FALSE(FileHistoryDialogSave(s, ignored)) << ignored;
    EXPECT_EQ(s.OpenFileNum, 9) << ignored;
  }
  EXPECT_TRUE(FileHistoryDialogSave(s, " +0"));
  EXPECT_EQ(s.OpenFileNum, 0);
}

TEST(SettingsDialogsTest, GridWidthMustBeAnIntegerFrom16To256) {
  MainState s;
  ScriptedDialogs dialogs;
  GridDialogValues v = GridDialogFill(s);
  EXPECT_EQ(v.ColWidthText, "84");
  EXPECT_TRUE(v.GridDisp);
  EXPECT_TRUE(v.GridResum);
  EXPECT_FALSE(v.GridWidthSave);

  v.GridWidthSave = true;
  s.GridBuilt = 1;
  for (const char* refused : {"15", "257", "0", "-16"}) {
    v.ColWidthText = refused;
    EXPECT_FALSE(GridDialogSave(s, dialogs, v, false).close) << refused;
  }
  v.ColWidthText = "abc";
  EXPECT_FALSE(GridDialogSave(s, dialogs, v, false).close);
  ASSERT_EQ(dialogs.shown().size(), 5u);
  EXPECT_EQ(dialogs.shown()[0].text, msg::kColWidthOutOfRange);
  EXPECT_EQ(dialogs.shown()[0].buttons, mbAbort);
  EXPECT_EQ(dialogs.shown()[4].text, "'abc' は整数ではありません");
  EXPECT_EQ(dialogs.shown()[4].kind, MsgKind::Error);
  // Nothing was stored.
  EXPECT_EQ(s.ColWidth, 84);
  EXPECT_FALSE(s.GridWidthSave);
  EXPECT_EQ(s.GridBuilt, 1);

  dialogs.Clear();
  for (int width : {16, 256}) {
    v.ColWidthText = std::to_string(width);
    GridDialogSaved saved = GridDialogSave(s, dialogs, v, false);
    EXPECT_TRUE(saved.close);
    EXPECT_FALSE(saved.refill);
    EXPECT_FALSE(saved.resetWidths);
    EXPECT_EQ(saved.blankRows, 0);
    EXPECT_EQ(s.ColWidth, width);
  }
  EXPECT_TRUE(s.GridWidthSave);
  EXPECT_EQ(s.GridBuilt, 0);
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST(SettingsDialogsTest, WhatTheGridDoesAfterASave) {
  MainState s;
  ScriptedDialogs dialogs;
  s.Document = {"a,b", "1,2", "3,4"};
  GridDialogValues v = GridDialogFill(s);

  // Display on while the grid shows: refill at once.
  GridDialogSaved saved = GridDialogSave(s, dialogs, v, true);
  EXPECT_TRUE(saved.refill);
  EXPECT_FALSE(saved.resetWidths);

  // Display off while the grid shows: blank rows 0..n+1, default widths, no refill.
  v.GridDisp = false;
  s.GridBuilt = 1;
  saved = GridDialogSave(s, dialogs, v, true);
  EXPECT_TRUE(saved.close);
  EXPECT_FALSE(saved.refill);
  EXPECT_TRUE(saved.resetWidths);
  EXPECT_EQ(saved.blankRows, 5);
  EXPECT_EQ(s.GridBuilt, 0);
  EXPECT_FALSE(s.GridDisp);

  // An empty list blanks nothing.
  s.Document.clear();
  EXPECT_EQ(GridDialogSave(s, dialogs, v, true).blankRows, 0);

  // GridResum off resets the widths even with the display on.
  v.GridDisp = true;
  v.GridResum = false;
  saved = GridDialogSave(s, dialogs, v, false);
  EXPECT_TRUE(saved.resetWidths);
  EXPECT_FALSE(saved.refill);
  EXPECT_FALSE(s.GridResum);
}

TEST(SettingsDialogsTest, OptionDialogHoldsTheEscQuestionSwitch) {
  // What the switch does to Esc is platform/Keys' EscClose (tests/gui/test_platform).
  MainState s;
  EXPECT_FALSE(OptionDialogFill(s));
  OptionDialogSave(s, true);
  EXPECT_TRUE(s.CloseDialogDisp);
  EXPECT_TRUE(OptionDialogFill(s));
  OptionDialogSave(s, false);
  EXPECT_FALSE(OptionDialogFill(s));
}

TEST(SettingsDialogsTest, TheLineLimitIsAnIntegerFrom30000To1048576) {
  HeldSettings s;
  ScriptedDialogs dialogs;
  EXPECT_EQ(ReadLimitDialogFill(s), "30000");
  for (const char* refused : {"29999", "1048577", "abc"}) EXPECT_FALSE(ReadLimitDialogSave(s, dialogs, refused));
  EXPECT_EQ(dialogs.texts(), (std::vector<std::string>{std::string(msg::kReadLimitOutOfRange),
                                                       std::string(msg::kReadLimitOutOfRange),
                                                       "'abc' は整数ではありません"}));
  EXPECT_EQ(s.ReadLimitLines, 30000);
  EXPECT_TRUE(ReadLimitDialogSave(s, dialogs, "1048576"));
  EXPECT_EQ(s.ReadLimitLines, 1048576);
}

}  // namespace
}  // namespace cavel

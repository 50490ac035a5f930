// Every text the user sees, in one place, in UTF-8.
//
// Blanks in front of and behind a text belong to it and are counted in the
// comments where they matter. A line break inside a message is LF followed
// by CR (kBR); messages that name a line close with kNOTE.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/FileFormat.h"

namespace cavel::msg {

// ---- pieces ---------------------------------------------------------------
inline constexpr std::string_view kBR = "\n\r";
// three blanks, the reminder that the title line is line 0, and BR
inline constexpr std::string_view kNOTE = "   （ただし先頭行は 0 行です。）\n\r";

// ---- captions of the windows -------------------------------------------------
inline constexpr std::string_view kCaptionMain = "Cavel (ﾒｲﾝ)";
inline constexpr std::string_view kCaptionView = "Cavel (閲覧 / 編集)";
inline constexpr std::string_view kCaptionItemset = "Cavel (並順設定)";
inline constexpr std::string_view kCaptionJump = "Cavel (ｼﾞｬﾝﾌﾟ)";
inline constexpr std::string_view kCaptionSearch = "Cavel (検索)";
inline constexpr std::string_view kCaptionEditdsp = "Cavel (拡大表示)";
inline constexpr std::string_view kCaptionCreate = "Cavel (新規作成)";
inline constexpr std::string_view kCaptionExchange = "Cavel (項目設定)";
inline constexpr std::string_view kCaptionInport = "Cavel (並順結合)";
inline constexpr std::string_view kCaptionConvert = "Cavel (型式変換)";
inline constexpr std::string_view kCaptionFormpos = "Cavel (画面位置保存設定)";
inline constexpr std::string_view kCaptionFormregi = "Cavel (ﾌｧｲﾙ履歴設定)";
inline constexpr std::string_view kCaptionGridset = "Cavel (グリッド表示設定)";
inline constexpr std::string_view kCaptionDialog = "Cavel (各種設定)";
inline constexpr std::string_view kCaptionReadLimit = "Cavel (読込上限設定)";

// ---- program entry ---------------------------------------------------------
// 3 leading and 3 trailing blanks
inline constexpr std::string_view kBadParameters = "   パラメータの設定が異常です。   ";
// "   " + argument + "の指定されたファイルが存在しません。   "
std::string ArgumentFileMissing(std::string_view argument);

// ---- the loader and every per-line check (L is the 0-based line) ----------
// 3 leading and 11 trailing blanks
inline constexpr std::string_view kLineTooLong = "   入力ファイルの文字数は最大で８１９２文字です。           ";
inline constexpr std::string_view kTooManyLines = "   入力ファイルの行数は最大で３００００行です。           ";
// kTooManyLines with the line limit in force (kTooManyLines itself at 30000).
std::string TooManyLines(std::size_t limit);
// "   L 行目のカンマの数が，512 以上です。" BR NOTE
std::string CommaCount(long line);
// "   L 行目の二重引用符の数が，256 以上です。" BR NOTE
std::string QuoteCount(long line);
// "   L 行目の項目の数が，N 以上です。" BR NOTE  (N is the item limit plus one)
std::string ItemCount(long line, long limitPlusOne);
// "   L 行目の，k 項目の文字数が４０９６文字以上です。" BR NOTE
std::string ItemLength(long line, long item);
// The item-count question of the loader (answered はい(&Y) or 中止(&A)).
std::string ItemCountDiffers(long line, long titleItems, long lineItems);
// "   L 行目の項目の個数が，６４項目以上です。   " BR
std::string FinalItemLimit(long line);
// A file read as UTF-8: "   L 行目の，k 項目に Shift-JIS にない文字 U+20BB7 があります。" BR NOTE
std::string NoShiftJisCharacter(long line, long item, char32_t character);
// "   L 行目に UTF-8 でないバイトがあります。" BR NOTE
std::string NotUtf8(long line);

// ---- saving --------------------------------------------------------------------
// A line that cannot be written as UTF-8:
// "   L 行目の，k 項目に Shift-JIS でないバイトがあるため，UTF-8 で保存できません。" BR NOTE
std::string NotShiftJisBytes(long line, long item);
// A file's format as the user reads it: "Shift-JIS · CR LF", "UTF-8 (BOM) · LF"
std::string FormatLabel(FileFormat format);
// The save dialog's file type of a format: "CSVﾌｧｲﾙ UTF-8 BOM付き CR LF(*.CSV)"
std::string FormatFilter(FileFormat format);

// ---- quote conversion ------------------------------------------------------
// "   L 行目の，k 項目の最後に " + '"' + " がありません。" BR NOTE
std::string MissingClosingQuote(long line, long item);
// "   L 行目の，k 項目で，途中に " + '"' + " があります。" BR NOTE
std::string QuoteInMiddle(long line, long item);
// "   L 行目の，文字数が８１９２文字以上です。" BR NOTE
std::string ConvertedLineTooLong(long line);

// ---- questions and notices shared by the windows ---------------------------
// 4 leading and 11 trailing blanks
inline constexpr std::string_view kAskQuit = "    終了しますか。           ";
inline constexpr std::string_view kAskBackToList = "    一覧画面に戻りますか。           ";
inline constexpr std::string_view kAskSave = "    保存しますか。           ";
// the record window's question: 4 leading and 14 trailing blanks
inline constexpr std::string_view kAskSaveRecord = "    保存しますか。              ";
inline constexpr std::string_view kAskAddExtension = "    拡張子(CSV)を付加しますか。           ";
// 3 leading and 11 trailing blanks
inline constexpr std::string_view kFileMissing = "   指定されたファイルが存在しません。           ";
inline constexpr std::string_view kRecordTooLong = "   文字数は最大で８１９２文字です。           ";
inline constexpr std::string_view kDocumentLineLimit = "   ファイルの行数は最大で３００００行です。           ";
// kDocumentLineLimit with the line limit in force (itself at 30000).
std::string DocumentLineLimit(std::size_t limit);
// 4 leading and 11 trailing blanks
inline constexpr std::string_view kSelectLineFirst = "    項目を選択して下さい。           ";

// ---- reports of the platform ------------------------------------------------
// "%s に書き込めません" with the settings file's path
std::string CannotWrite(std::string_view path);
// "'%s' は整数ではありません" with the text typed
std::string NotAnInteger(std::string_view text);
// A file that cannot be opened, read or written: its path, then the reason.
std::string FileError(std::string_view path, std::string_view reason);
// A save that failed: FileError, and when the old bytes could not be
// written back, the file that holds them (`kept`, empty when they were).
std::string SaveError(std::string_view path, std::string_view reason, std::string_view kept);
// The reason given for a file that another file has taken the place of.
inline constexpr std::string_view kFileReplaced = "別のファイルに置き換えられています。";
// At start-up, a file whose save was cut off in the middle: its old content
// is back (information), or stays in `copy` (error, with the reason; no
// line for the copy when there is none).
std::string SaveRestored(std::string_view path);
std::string SaveNotRestored(std::string_view path, std::string_view reason, std::string_view copy);
// Why the old content did not go back.
inline constexpr std::string_view kChangedAfterStop = "保存が止まったあとで，ファイルが書き換えられています。";
inline constexpr std::string_view kOldRecord = "古い形式の記録なので，止まった保存のあとかどうかを確かめられません。";
inline constexpr std::string_view kRecordUnreadable = "保存の記録を読めません。";
inline constexpr std::string_view kCopyDiffers = "元の内容の写しが，保存の記録と合いません。";
inline constexpr std::string_view kCopyMissing = "元の内容の写しがありません。";
// At start-up, the entries of the state folder that recovery left alone,
// each with its path and reason, in one notice (warning, OK).
struct LeftEntry {
  std::string path;
  std::string reason;
};
std::string SaveRecordsLeft(const std::vector<LeftEntry>& entries);
// Why an entry of the state folder (or the folder) is not trusted; also the
// reason of an in-place save refused for its state folder.
inline constexpr std::string_view kNotYours = "ほかのユーザーのものです。";
inline constexpr std::string_view kOthersMayWrite = "ほかのユーザーも書き込めます。";
inline constexpr std::string_view kIsLink = "シンボリック リンクです。";
inline constexpr std::string_view kNotFolder = "フォルダではありません。";
inline constexpr std::string_view kNotPlainFile = "通常のファイルではありません。";
inline constexpr std::string_view kOtherNames = "ほかの名前（ハード リンク）があります。";
// A typed character that Shift-JIS cannot hold.
std::string NotShiftJis(std::string_view characters);

// ---- editing in the grid, and the clipboard -----------------------------------
// 3 leading and 11 trailing blanks
inline constexpr std::string_view kNothingToPaste = "   貼り付ける内容がありません。           ";
// "   L 行目の項目は N 項目までです。" BR NOTE
std::string PastLastItem(long line, long items);
// "   貼り付ける範囲は R 行 × C 項目です。" BR, then PastLastItem
std::string PastePastLastItem(long rows, long cols, long line, long items);
// "   貼り付ける範囲は R 行 × C 項目です。" BR "   最後の行は L 行目です。" BR NOTE
std::string PastePastLastLine(long rows, long cols, long lastLine);
// "   L 行目の，k 項目に入れられない文字があります : U+XXXX" BR NOTE
std::string CharNotHeld(long line, long item, char32_t code);
// "   L 行目の，k 項目の値で，行の項目の区切りが変わります。" BR, then how
// to write a comma or a double quote into a value, BR NOTE
std::string ItemBoundsChanged(long line, long item);
// "   Shift-JIS で表せない文字があります : U+XXXX U+YYYY ..." BR
// "   貼り付けできません。           " (at most eight named, then how many more)
std::string PasteNotShiftJis(const std::vector<char32_t>& codes);
// "U+XXXX": the code in at least four upper-case hexadecimal digits.
std::string CodePointName(char32_t code);

// ---- main window -------------------------------------------------------------
inline constexpr std::string_view kMenuFile = "ﾌｧｲﾙ(&F)";
inline constexpr std::string_view kMenuDisp = "表示(&D)";
inline constexpr std::string_view kMenuSearch = "検索(&S)";
inline constexpr std::string_view kMenuOption = "環境設定(&K)";
inline constexpr std::string_view kMenuHelp = "ﾍﾙﾌﾟ(&H)";

inline constexpr std::string_view kMenuFileOpen = "開く(&O)...";
inline constexpr std::string_view kMenuOverWriteSave = "上書保存(&S)...";
inline constexpr std::string_view kMenuAnotherSave = "別名保存(&A)...";
inline constexpr std::string_view kMenuExit = "終了(&X)";
inline constexpr std::string_view kMenuReopen = "文字コードを指定して開き直す(&E)";
inline constexpr std::string_view kMenuReopenShiftJis = "Shift-JIS(&S)";
inline constexpr std::string_view kMenuReopenUtf8 = "UTF-8(&U)";
inline constexpr std::string_view kMenuView = "閲覧(&V)...";
inline constexpr std::string_view kMenuEdit = "編集(&E)...";
inline constexpr std::string_view kMenuItemSet = "並順設定(&T)...";
inline constexpr std::string_view kMenuExchange = "項目設定(&G)...";
inline constexpr std::string_view kMenuCreate = "新規作成(&N)...";
inline constexpr std::string_view kMenuInport = "並順結合(&C)...";
inline constexpr std::string_view kMenuConvert = "型式変更(&K)...";
inline constexpr std::string_view kMenuDispChg = "表示切替(&R)";
inline constexpr std::string_view kMenuGridWidthChg = "ｸﾞﾘｯﾄﾞ幅切替(&W)";
inline constexpr std::string_view kMenuGridWodthMem = "ｸﾞﾘｯﾄﾞ幅記憶(&M)";
inline constexpr std::string_view kMenuUndo = "元に戻す(&U)";
// Asked to undo past the oldest step the history kept (information, OK):
// 3 leading and 11 trailing blanks
inline constexpr std::string_view kUndoStepsDropped =
    "   これより前の変更は，取り消しの記録の上限（100 回，256 MB）を超えたので取り消せません。           ";
inline constexpr std::string_view kMenuRedo = "やり直し(&Y)";
inline constexpr std::string_view kMenuCopy = "コピー(&B)";
inline constexpr std::string_view kMenuPaste = "貼り付け(&P)";
// Paste with the list shown (information, OK): 4 leading and 11 trailing blanks
inline constexpr std::string_view kPasteInGrid =
    "    グリッド表示に切り替えて，貼り付けるセルを選択して下さい。           ";
inline constexpr std::string_view kMenuFind = "検索(&F)...";
inline constexpr std::string_view kMenuReFind = "再検索(&L)";
inline constexpr std::string_view kMenuJump = "ｼﾞｬﾝﾌﾟ(&J)...";
inline constexpr std::string_view kMenuFormPos = "画面位置保存(&F)...";
inline constexpr std::string_view kMenuFileOpenMem = "ﾌｧｲﾙ履歴設定(&H)...";
inline constexpr std::string_view kMenuGridSet = "グリッド表示設定(&G)...";
inline constexpr std::string_view kMenuOptionSet = "各種設定(&O)...";
inline constexpr std::string_view kMenuReadLimit = "読込上限(&L)...";
inline constexpr std::string_view kMenuHelpDisp = "ﾍﾙﾌﾟ表示(&C)";

inline constexpr std::string_view kBtnFileOpen = "開く(&O)...";
inline constexpr std::string_view kBtnView = "閲覧(&V)...";
inline constexpr std::string_view kBtnEdit = "編集(&E)...";
inline constexpr std::string_view kBtnItemSet = "並順(&T)...";
inline constexpr std::string_view kBtnExchange = "項目(&G)...";
inline constexpr std::string_view kBtnCreate = "新規(&N)...";
inline constexpr std::string_view kBtnDispChg = "表示(&R)";

inline constexpr std::string_view kFilterCsv = "CSVﾌｧｲﾙ(*.CSV)";
inline constexpr std::string_view kFilterAll = "全ﾌｧｲﾙ(*.*)";
inline constexpr std::string_view kTitleOverWriteSave = "ﾌｧｲﾙの上書保存";
inline constexpr std::string_view kTitleAnotherSave = "ﾌｧｲﾙの別名保存";
inline constexpr std::string_view kTitleNewSave = "ﾌｧｲﾙの新規保存";
inline constexpr std::string_view kHelpFile = "CAVEL.HLP";

// status words of the captions
inline constexpr std::string_view kStatusReading = "項目の読込開始";
inline constexpr std::string_view kStatusChecking = "項目の検査開始";
inline constexpr std::string_view kStatusWidths = "項目の幅設定開始";
inline constexpr std::string_view kLineCountWord = "全行数";
inline constexpr std::string_view kPositionWord = "現在位置";

// The captions name the file readable (core/Cp932.h ReadableFileName): a
// name in Shift-JIS bytes shows as its characters, not as marks.
// base + 4 blanks + file + 4 blanks + word
std::string StatusCaption(std::string_view base, std::string_view file, std::string_view word);
// base + 4 blanks + file + 4 blanks + "全行数" + " : " + count in five places
std::string LineCountCaption(std::string_view base, std::string_view file, long count);
// base + 4 blanks + file + 4 blanks + "現在位置" + " : " + line in five places
std::string PositionCaption(std::string_view base, std::string_view file, long line);

// application: the open dialog's title, and the help window
inline constexpr std::string_view kTitleOpenFile = "ファイルを開く";
inline constexpr std::string_view kCaptionHelp = "Cavel (ﾍﾙﾌﾟ)";
inline constexpr std::string_view kHelpContents = "目次(&C)";
inline constexpr std::string_view kHelpBack = "戻る(&B)";
inline constexpr std::string_view kHelpForward = "進む(&F)";
// the reason shown with the help file's name when the help book is missing
inline constexpr std::string_view kHelpNotFound = "ﾍﾙﾌﾟが見つかりません。";

// ---- grid ------------------------------------------------------------------
// 3 leading and 11 trailing blanks
inline constexpr std::string_view kGridNotLoaded = "   グリッドが読み込まれていません。           ";
inline constexpr std::string_view kGridWidthNotStored = "   グリッド幅が記憶されていません。           ";
inline constexpr std::string_view kAskStoreGridWidth = "   グリッド幅を記憶しますか。           ";

// ---- find and jump -----------------------------------------------------------
inline constexpr std::string_view kFindLabel = "検索文字";
inline constexpr std::string_view kFindLimitLabel = "(半角64文字)";
inline constexpr std::string_view kJumpLabel = "行番号";
inline constexpr std::string_view kBtnOk = "OK(&O)";
inline constexpr std::string_view kBtnCancel = "ｷｬﾝｾﾙ";
// 4 leading and 11 trailing blanks
inline constexpr std::string_view kNotFound = "    検索文字はありませんでした。           ";
// 3 leading and 11 trailing blanks
inline constexpr std::string_view kJumpOutOfRange = "   ジャンプの設定が範囲外です。           ";

// ---- record window -------------------------------------------------------------
inline constexpr std::string_view kModeView = "閲覧モード";
inline constexpr std::string_view kModeEdit = "編集モード";
inline constexpr std::string_view kBtnPrev = "前項(&T)";
inline constexpr std::string_view kBtnNext = "後項(&V)";
inline constexpr std::string_view kBtnRecordEdit = "編集(&E)";
inline constexpr std::string_view kBtnSave = "保存(&S)";

// ---- row order editor --------------------------------------------------------
inline constexpr std::string_view kBtnUp = "一つ上へ";
inline constexpr std::string_view kBtnDown = "一つ下へ";
inline constexpr std::string_view kBtnCut = "ｶｯﾄ(&X)";
inline constexpr std::string_view kBtnCopy = "ｺﾋﾟｰ(&C)";
inline constexpr std::string_view kBtnDelete = "削除(&D)";
inline constexpr std::string_view kBtnPrevPaste = "前に貼付(&V)";
inline constexpr std::string_view kBtnNextPaste = "後に貼付(&W)";
inline constexpr std::string_view kBtnPrevAdd = "前に追加(&Y)";
inline constexpr std::string_view kBtnNextAdd = "後に追加(&Z)";

// ---- item editor ---------------------------------------------------------------
inline constexpr std::string_view kBtnAdd = "追加保存(&N)";
inline constexpr std::string_view kBtnSpecial = "特殊保存(&A)";
// 4 leading and 11 trailing blanks
inline constexpr std::string_view kNoMoreThan64Items = "    ６４項目以上の追加はできません。           ";
inline constexpr std::string_view kAskAddSave = "    保存しますか（追加項目は先頭に追加されます）。           ";
inline constexpr std::string_view kAskSpecialSave =
    "    項目内容を \"1\" で保存しますか（追加項目は先頭に追加されます）。           ";

// ---- merge window ----------------------------------------------------------------
inline constexpr std::string_view kBtnPrevSave = "ｶｰｿﾙの前に追加保存(&S)";
inline constexpr std::string_view kBtnNextSave = "ｶｰｿﾙの後に追加保存(&D)";

// ---- new file window -------------------------------------------------------------
inline constexpr std::string_view kModeCreate = "新規作成モード";
// "項目01" ... "項目64"
std::string CreateLabel(int n);
// 3 leading and 11 trailing blanks
inline constexpr std::string_view kNothingSet = "   何も設定されていません。           ";

// ---- quote conversion window -----------------------------------------------------
inline constexpr std::string_view kBtnQuatationAddSave = "\" (二重引用符)を追加保存(&A)";
inline constexpr std::string_view kBtnQuatationDelSave = "\" (二重引用符)を削除保存(&D)";

// ---- sort and replace ------------------------------------------------------------
inline constexpr std::string_view kCaptionSort = "Cavel (並べ替え)";
inline constexpr std::string_view kCaptionReplace = "Cavel (置換)";
inline constexpr std::string_view kMenuSort = "並べ替え(&O)...";
inline constexpr std::string_view kMenuReplace = "置換(&R)...";
inline constexpr std::string_view kBtnRun = "実行(&S)";
inline constexpr std::string_view kCheckCaseSensitive = "大文字と小文字を区別(&C)";
inline constexpr std::string_view kCheckWholeItem = "項目全体(&W)";
inline constexpr std::string_view kCheckRegex = "正規表現(&X)";
inline constexpr std::string_view kBtnFindNext = "次を検索(&F)";
inline constexpr std::string_view kBtnReplace = "置換(&R)";
inline constexpr std::string_view kBtnReplaceAll = "すべて置換(&A)";
inline constexpr std::string_view kBtnClose = "閉じる";
// The sort window: a row per key ("第1キー" ...), its item, order and kind.
std::string SortKeyLabel(int key);
inline constexpr std::string_view kSortItemHeader = "項目";
inline constexpr std::string_view kSortOrderHeader = "順序";
inline constexpr std::string_view kSortKindHeader = "比較";
inline constexpr std::string_view kNoItem = "(なし)";
inline constexpr std::string_view kAscending = "昇順";
inline constexpr std::string_view kDescending = "降順";
inline constexpr std::string_view kSortAsText = "文字";
inline constexpr std::string_view kSortAsNumber = "数値";
// 4 leading and 11 trailing blanks (information, はい(&Y) いいえ(&N))
inline constexpr std::string_view kAskSort = "    並べ替えますか。           ";
// The replace window: the two texts and the items searched.
inline constexpr std::string_view kReplacementLabel = "置換文字";
inline constexpr std::string_view kScopeLabel = "対象項目";
inline constexpr std::string_view kScopeEveryItem = "すべての項目";
// "k : title": an item in the windows' lists of items (Shift-JIS)
std::string ItemChoice(int item, std::string_view title);
// A find or replacement text holding characters Shift-JIS cannot hold:
// "   Shift-JIS で表せない文字があります : ..." BR "   この文字は..." + 11 blanks
std::string SearchNotShiftJis(std::string_view characters);
// 3 leading and 11 trailing blanks
inline constexpr std::string_view kNoSortKey = "   並べ替えの項目が指定されていません。           ";
inline constexpr std::string_view kNoFindText = "   検索文字が指定されていません。           ";
// "   k 項目目はこのファイルにありません（先頭行は N 項目です）。" + 11 blanks
std::string ItemNotInFile(long item, long titleItems);
// A replacement holding a CR or a 0x1A, which would cut the line or the file.
inline constexpr std::string_view kBadReplacementChar =
    "   置換文字に，行の区切りになる文字 (CR) またはファイルの終わりになる文字 (1A) があります。           ";
// "   置換文字の \N に当たる括弧が検索文字にありません。" + 11 blanks, N the group
std::string NoSuchGroup(int group);
// A pattern the regular-expression library refuses, or a search it gave up:
// the library's own (ASCII) reason on the second line.
std::string RegexRefused(std::string_view reason);
std::string RegexFailed(std::string_view reason);
// A match of no characters: there is nothing to replace at such a place.
inline constexpr std::string_view kEmptyMatch =
    "   検索文字が空の文字列に一致します。\n\r   空でない文字列に一致する検索文字を指定して下さい。           ";
// "   L 行目の項目の個数が，置換で N 項目から M 項目に変わります。" BR NOTE
std::string ItemCountChanged(long line, long before, long after);
// "   N 箇所を置換しました。   " (information, OK)
std::string ReplacedCount(std::size_t count);

// ---- settings dialogs ------------------------------------------------------------
inline constexpr std::string_view kCheckMain = "メイン";
inline constexpr std::string_view kCheckView = "閲覧/編集";
inline constexpr std::string_view kCheckItemset = "並順設定";
inline constexpr std::string_view kCheckExcahnge = "項目設定";
inline constexpr std::string_view kCheckCreate = "新規作成";
inline constexpr std::string_view kCheckInport = "並順結合";
inline constexpr std::string_view kCheckConvert = "型式変更";
inline constexpr std::string_view kCheckSort = "並べ替え";
inline constexpr std::string_view kHistoryCountLabel = "履歴個数";
inline constexpr std::string_view kHistoryCountHint = "(0-9 : 0 は履歴項目のｸﾘｱ)";
inline constexpr std::string_view kCheckGridDisp = "グリッド表示を行う";
inline constexpr std::string_view kCheckGridResum = "項目幅を前回の幅と同じにする";
inline constexpr std::string_view kCheckGridWidthSave = "終了時に項目幅を自動保存";
inline constexpr std::string_view kColWidthLabel = "項目幅の既定値(16-256)";
inline constexpr std::string_view kCheckCloseDialogDisp = "終了時の確認表示";
// 3 leading and 11 trailing blanks
inline constexpr std::string_view kColWidthOutOfRange = "   項目幅の設定が範囲外です。           ";
inline constexpr std::string_view kReadLimitLabel = "読み込む行数の上限(30000-1048576)";
inline constexpr std::string_view kReadLimitOutOfRange = "   読込上限の設定が範囲外です。           ";

}  // namespace cavel::msg

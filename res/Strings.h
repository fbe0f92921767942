#pragma once
// Every text the program shows: the numbered string table and the literal
// texts of the dialogs and message boxes, quoted exactly.

#include <QString>

namespace res {

// String-table entry by number; empty for an unknown number.
QString LoadStr(int id);

// LoadStr with every "%1" replaced by arg.
QString FormatStr(int id, const QString& arg);

namespace text {
inline constexpr const char* kCollectionReadError = "ｺﾚｸｼｮﾝﾌｧｲﾙの読み込みｴﾗｰです。";
inline constexpr const char* kCollectionNoAccess = "ｺﾚｸｼｮﾝﾌｧｲﾙにｱｸｾｽできません。";
inline constexpr const char* kCollectionCannotOpen = "ｺﾚｸｼｮﾝﾌｧｲﾙが開けません。";
inline constexpr const char* kCommandLineNotFound = "指定されたｺﾚｸｼｮﾝﾌｧｲﾙが存在しません。";
inline constexpr const char* kCommandLineNoAccess = "指定されたｺﾚｸｼｮﾝﾌｧｲﾙへｱｸｾｽできません。";
inline constexpr const char* kRegistryWriteError = "ﾚｼﾞｽﾄﾘに書き込めませんでした。";
inline constexpr const char* kNoList = "ﾘｽﾄがありません";
inline constexpr const char* kListEmpty = "ﾘｽﾄが空です。";
inline constexpr const char* kStopItem = "(停止)";
inline constexpr const char* kCdTrackWord = "CDﾄﾗｯｸ";
inline constexpr const char* kTrackNotFound = "指定のﾄﾗｯｸがCDに見つかりません。";
inline constexpr const char* kMciInitFailed = "MCI初期化に失敗しました。";
inline constexpr const char* kCdDeviceBusy = "CDﾃﾞﾊﾞｲｽが他で使用されています。";
inline constexpr const char* kNothingPlayable = "再生できる曲がありません。";
inline constexpr const char* kWriteError = "書き込みエラー";
// A save refused because no encoding holds every entry; %1 is the entry.
inline constexpr const char* kUnencodableEntry =
    "次の曲はｼﾌﾄJISでもUTF-8でも書けないため、ｺﾚｸｼｮﾝを保存できません。\n\n%1";
inline constexpr const char* kNewCollectionName = "新しいｺﾚｸｼｮﾝ";
inline constexpr const char* kCannotAddMore = "これ以上追加できません。";
inline constexpr const char* kMoveSelectOne = "移動する時は選択は一つにして下さい。";
inline constexpr const char* kNoCollection = "No Collection";
// The collection editor.
inline constexpr const char* kNoTitle = "タイトルがありません";
inline constexpr const char* kCollectionFilter = "ｺﾚｸｼｮﾝ(*.lst)|*.lst||";
inline constexpr const char* kCollectionExt = "lst";
// Column headers of the editor's list, blanks included: the column widths follow them.
inline constexpr const char* kColumnName = "ﾌｧｲﾙ名                         ";
inline constexpr const char* kColumnLocation = "場所                           ";
// Modes shown in the title of a video window of its own.
inline constexpr const char* kMediaModeStopped = "停止";
inline constexpr const char* kMediaModePlaying = "再生";
inline constexpr const char* kMediaModePaused = "一時停止";
// "Volume..." when no mixer program is installed; %1 lists the programs looked for.
inline constexpr const char* kVolumeControlMissing =
    "音量調節のﾌﾟﾛｸﾞﾗﾑが見つかりません。\n\n"
    "探したﾌﾟﾛｸﾞﾗﾑ: %1\n\n"
    "どれかをｲﾝｽﾄｰﾙするか、設定ﾌｧｲﾙ ~/.config/Quenda/Lirabox.conf の [Settings] に "
    "VolumeControl=ﾌﾟﾛｸﾞﾗﾑ名 を書いてください。";
// Where a drive letter of a collection made on Windows is; %1 is the drive ("C:").
inline constexpr const char* kDriveMissing =
    "ﾄﾞﾗｲﾌﾞ %1 が見つかりません。\n%1 の中身がある場所を選んでください。";
inline constexpr const char* kDriveChoose = "ﾄﾞﾗｲﾌﾞ文字と、その中身がある場所を選んでください。";
inline constexpr const char* kDriveFound = "(見つかった場所です。OK で使います)";
inline constexpr const char* kDiscImageFilter =
    "ﾃﾞｨｽｸｲﾒｰｼﾞ(*.cue;*.toc;*.nrg)|*.cue;*.toc;*.nrg|すべてのﾌｧｲﾙ(*.*)|*.*||";
// The settings page of the drive letters, the SoundFont and the audio output.
inline constexpr const char* kSoundFontFilter = "SoundFont(*.sf2;*.sf3)|*.sf2;*.sf3||";
// %1 is the file, %2 the reason.
inline constexpr const char* kSoundFontRefused = "次のSoundFontは読み込めません。\n\n%1\n%2";
// %1 is the system's font.
inline constexpr const char* kSoundFontDefault = "(既定: %1)";
inline constexpr const char* kDefaultOutput = "既定の出力先";
// An output chosen before that is not connected now; %1 is its id.
inline constexpr const char* kOutputMissing = "%1 (見つかりません)";
}  // namespace text

// A literal text as a QString.
inline QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace res

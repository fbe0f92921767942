#include "res/Strings.h"

#include <array>
#include <utility>

namespace res {
namespace {

constexpr std::array<std::pair<int, const char*>, 20> kTable{{
    {101, "ﾊﾞｰｼﾞｮﾝ情報 (&A)..."},
    {102, "Lirabox"},
    {103, "0/0tk 00:00:00/00:00:00"},
    {104, "0tk Past 00:00:00"},
    {105, "0tk Rest 00:00:00"},
    {106, "ｺﾚｸｼｮﾝの変更が保存されてません。変更を破棄して処理を続けますか？"},
    {107, "ｺﾚｸｼｮﾝが保存されてませんがよろしいですか？"},
    {108, "有効なCDﾄﾞﾗｲﾌﾞがありません。"},
    {109, "CDが使用できません。"},
    {110, "このﾄﾞﾗｲﾌﾞは現在有効でないか他で使用されています。"},
    {111, "MIDIﾌｧｲﾙ(*.mid)|*.mid|WAVﾌｧｲﾙ(*.wav)|*.wav|AVIﾌｧｲﾙ(*.avi)|*.avi|その他(*.*)|*.*||"},
    {112, "WAVﾌｧｲﾙ(*.wav)|*.wav|MIDIﾌｧｲﾙ(*.mid)|*.mid|AVIﾌｧｲﾙ(*.avi)|*.avi|その他(*.*)|*.*||"},
    {113, "AVIﾌｧｲﾙ(*.avi)|*.avi|MIDIﾌｧｲﾙ(*.mid)|*.mid|WAVﾌｧｲﾙ(*.wav)|*.wav|その他(*.*)|*.*||"},
    {114, "CDﾃﾞﾊﾞｲｽのｵｰﾌﾟﾝに失敗しました。"},
    {115, "CDﾃﾞﾊﾞｲｽの初期化に失敗しました。"},
    {116, "CDﾄﾞﾗｲﾌﾞ(%1)の準備ができていません。"},
    {117, "ｺﾚｸｼｮﾝﾌｧｲﾙが見つかりません。履歴から削除しますか？"},
    {118, "再生中のｺﾚｸｼｮﾝﾌｧｲﾙを停止して新しいｺﾚｸｼｮﾝﾌｧｲﾙにしますか？"},
    {120, "ﾌｧｲﾙ%1が見つかりません。"},
    {121, "ﾌｧｲﾙ%1にｱｸｾｽできません。"},
}};

}  // namespace

QString LoadStr(int id)
{
    for (const auto& [number, text] : kTable)
        if (number == id)
            return QString::fromUtf8(text);
    return {};
}

QString FormatStr(int id, const QString& arg)
{
    QString s = LoadStr(id);
    s.replace(QStringLiteral("%1"), arg);
    return s;
}

}  // namespace res

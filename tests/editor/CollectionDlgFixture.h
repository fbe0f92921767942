#pragma once
// The collection editor's tests: a temporary folder, scripted file dialogs,
// message boxes and CD drives, and the helpers they share.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QListWidget>
#include <QTemporaryDir>
#include <QScopeGuard>
#include <QTimer>
#include <QTreeWidget>
#include <fcntl.h>
#include <functional>
#include <unistd.h>
#include <set>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/FileBytes.h"

#include "editor/CCdTitleDlg.h"
#include "editor/CTrackPickDlg.h"
#include "editor/CCollectionDlg.h"
#include "collection/CollectionFile.h"
#include "res/Strings.h"
#include "tests/support/TestServices.h"

namespace editortest {

using testing::ElementsAre;
using testsupport::FakeDisc;
using Kind = platform::FileDialogRequest::Kind;

inline const QString kNoTitle = QStringLiteral("タイトルがありません");
inline const QString kAsk106 = QStringLiteral("ｺﾚｸｼｮﾝの変更が保存されてません。変更を破棄して処理を続けますか？");
inline const QString kAsk107 = QStringLiteral("ｺﾚｸｼｮﾝが保存されてませんがよろしいですか？");
inline const QString kWriteError = QStringLiteral("書き込みエラー");
inline const QString kCd03 = QStringLiteral("E:\\ CDﾄﾗｯｸ 03");

// Runs act on the next modal dialog of type T, from inside its own loop.
template <typename T>
void OnModal(std::function<void(T&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dlg = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dlg) {
            ADD_FAILURE() << "no modal " << T::staticMetaObject.className();
            if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                other->reject();
            return;
        }
        act(*dlg);
    });
}

class CollectionDlgTest : public testing::Test {
protected:
    QString PathOf(const QString& name) const { return m_dir.filePath(name); }

    QString Write(const QString& name, const QByteArray& bytes) const
    {
        EXPECT_TRUE(testsupport::WriteFileBytes(PathOf(name), bytes));
        return PathOf(name);
    }

    static QByteArray Read(const QString& path) { return testsupport::ReadFileBytes(path); }

    // An editor on the file name holding bytes, initialised.
    void OpenOn(CCollectionDlg& dlg, const QString& name, const QByteArray& bytes)
    {
        dlg.m_strPath = Write(name, bytes);
        dlg.Create();
        ASSERT_FALSE(dlg.IsEnded());
    }

    static void Click(ui::CDialog& dlg, int id) { dlg.Item<QAbstractButton>(id)->click(); }

    static void SelectRows(CCollectionDlg& dlg, std::initializer_list<int> rows)
    {
        dlg.m_playList->clearSelection();
        for (const int row : rows)
            dlg.m_playList->topLevelItem(row)->setSelected(true);
    }

    static int Image(const CCollectionDlg& dlg, int row)
    {
        return dlg.m_playList->topLevelItem(row)->data(0, CCollectionDlg::kImageRole).toInt();
    }

    static QString Location(const CCollectionDlg& dlg, int row) { return dlg.m_playList->topLevelItem(row)->text(1); }

    QStringList Boxes() const { return m_services.boxes.Texts(); }
    const std::vector<platform::FileDialogRequest>& Requests() const { return m_services.dialogs.Requests(); }

    QTemporaryDir m_dir;
    testsupport::TestServices m_services;
};

}  // namespace editortest

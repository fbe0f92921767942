// The settings file edited in place: whatever a hand-edited file holds,
// QSettings and our reader read back the values written and the names
// removed are gone.
// The input is the file as found.
#include <QFile>
#include <QHash>
#include <QSettings>

#include "app/IniText.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString folder = fuzz::ScratchFolder("settings");
    static int s_run = 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString history = QString::fromUtf8(bytes.left(40)).remove(QChar(0));
    const QList<ini::Change> changes{
        {"Skip", "1"}, {"History1", history}, {"History3", std::nullopt}, {"Anime", "0"}, {"Anime", " 2"}};
    const QByteArray edited = ini::EditGroup(bytes, QStringLiteral("Settings"), changes);

    // QSettings keeps what it read of a file name for the whole process: a new name each time.
    const QString path = folder + QStringLiteral("/%1.conf").arg(++s_run);
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write(edited) == edited.size());
    }
    {
        QSettings settings(path, QSettings::IniFormat);
        // QSettings reads a group when first asked for one of its keys, and
        // looks only at the group whose name sorts just before the key: a
        // group like [Settings\x] would hide [Settings]. SettingsStore asks
        // for the group list first, which reads them all.
        settings.childGroups();
        FUZZ_CHECK(settings.value("Settings/Skip").toString() == "1");
        FUZZ_CHECK(settings.value("Settings/History1").toString() == history);
        FUZZ_CHECK(settings.value("Settings/Anime").toString() == " 2");
        FUZZ_CHECK(!settings.contains("Settings/History3"));
    }
    {
        // And so does the program's own reader.
        QHash<QString, QString> values;
        for (const auto& [key, text] : ini::ReadGroup(edited, QStringLiteral("Settings")))
            values.insert(key, text);
        FUZZ_CHECK(values.value("Skip") == "1");
        FUZZ_CHECK(values.value("History1") == history);
        FUZZ_CHECK(values.value("Anime") == " 2");
        FUZZ_CHECK(!values.contains("History3"));
    }
    QFile::remove(path);
    return 0;
}

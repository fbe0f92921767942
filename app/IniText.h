#pragma once
// The INI text of the settings file, edited line by line: QSettings would
// write the whole file back from what it could decode, turning hand-written
// bytes that are not UTF-8 into U+FFFD. Lines are told apart as QSettings
// reads them (quotes across line ends, a backslash taking the next byte,
// ";" comments, "%XX" in names), so that it reads back what is written.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

namespace ini {

// The keys of [group] with their values in the order they first appear (a
// later line of the same key gives its value), read as QSettings reads
// them except that a comma outside quotes is text like any other: a value
// is the whole text of its line, inner spaces and commas kept.
QList<std::pair<QString, QString>> ReadGroup(QByteArrayView file, const QString& group);

// (name, text) sets a value; (name, nullopt) removes it.
using Change = std::pair<QString, std::optional<QString>>;

// file with the changes made to [group]: a value set is written in the
// place of its line (the first of them; later ones go), or added after the
// group's last line, or in a new group at the end; every other byte stays.
QByteArray EditGroup(const QByteArray& file, const QString& group, const QList<Change>& changes);

}  // namespace ini

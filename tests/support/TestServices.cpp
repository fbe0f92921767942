#include "tests/support/TestServices.h"

namespace testsupport {

TestServices::TestServices()
    : m_scope(platform::Services{
          &media, &cd, &drives, &files, &clock,
          [this](QWidget* parent, const QString& text, unsigned type) { return boxes.Show(parent, text, type); },
          [this](QWidget* parent, const platform::FileDialogRequest& request) {
              return dialogs.Show(parent, request);
          },
          [this](const QString& entry, const QString&) -> std::optional<QString> {
              proposalRequests.append(entry);
              const auto it = proposals.constFind(entry);
              return it == proposals.cend() ? std::nullopt : std::optional<QString>(*it);
          }})
{
}

FakeDisc& TestServices::AddCdDrive(const QString& driveName, FakeDisc disc)
{
    // A disc image's name makes the letter a CD-ROM drive without any file.
    MapDrive(driveName, QStringLiteral("/nonexistent/drive-%1.cue").arg(driveName.left(1)));
    return cd.AddDrive(driveName, std::move(disc));
}

void TestServices::MapDrive(const QString& driveName, const QString& target)
{
    m_targets.insert(driveName.left(1).toUpper(), target);
    drives = drives::DriveMap::Build({}, m_targets, {});
}

}  // namespace testsupport

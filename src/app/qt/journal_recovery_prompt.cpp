#include "app/qt/journal_recovery_prompt.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "base/time_text.h"
#include "core/capture_data.h"
#include "core/journal_reader.h"
#include "settings/qt/stored_settings.h"
#include "ui/qt/message_box.h"
#include "ui/qt/message_icons.h"

namespace korvalog {

std::string JournalFolderBesideSettings() {
#ifdef _WIN32
  // The settings live in the registry there (under HKCU\Software); the
  // journal goes to the user's local application data.
  const QString local = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return (local + QLatin1Char('/') + QString::fromLatin1(kSettingsOrganisation) + QLatin1Char('/') +
          QString::fromLatin1(kSettingsApplication))
      .toStdString();
#endif
  const QSettings store{QString::fromLatin1(kSettingsOrganisation), QString::fromLatin1(kSettingsApplication)};
  return QFileInfo(store.fileName()).absolutePath().toStdString();
}

bool OfferJournalRecovery(CaptureData& data, CaptureView& view, CaptureJournal& journal, const std::string& folder,
                          const MarkupStyle& style) {
  for (const std::string& path : FindLeftJournals(folder)) {
    JournalContents contents;
    std::string error;
    std::string ignored;
    if (!ReadJournal(path, contents, error)) {
      // Never deleted: moved out of the way, so that nothing of it is lost
      // and the next capture may use the name.
      std::string movedTo;
      const bool moved = MoveJournalAside(path, movedTo, error);
      MessageBoxShow(kMessageWarning,
                     "\\bA capture journal could not be read.\\b\\n\\n" + error +
                         (moved ? ".\\n\\nIt was kept as " + movedTo + "." : "."),
                     "OK", style);
      continue;
    }
    const bool damaged = contents.lost > 0;
    std::string text = "\\bA capture did not end properly.\\b\\n\\nStarted " +
                       FormatTimeStamp(contents.header.start.time) + ", " + DescribeRecovery(contents) +
                       ".\\n\\nRestore it? No discards it.";
    if (damaged) text += "\\nEither way the damaged journal is kept beside it as a .damaged file.";
    const int answer = MessageBoxShow(kMessageQuestion, text, "Yes,No", style);
    if (answer != 0 && answer != 1) continue;  // closed without an answer: asked again next time
    if (damaged) {
      // What could not be read stays on the disk: the journal is moved aside
      // rather than discarded or adopted.
      std::string movedTo;
      if (!MoveJournalAside(path, movedTo, error)) continue;
      if (answer == 1) continue;
      return RestoreJournal(contents, data, view);
    }
    if (answer == 1) {
      RemoveJournalFile(path, ignored);
      continue;
    }
    if (!RestoreJournal(contents, data, view)) return false;
    journal.Adopt(path);
    return true;
  }
  return false;
}

}  // namespace korvalog

#include "app/qt/journal_recovery_prompt.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "app/session_files.h"
#include "base/time_text.h"
#include "core/capture_data.h"
#include "core/journal_reader.h"
#include "session/journal_recovery.h"
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

bool OfferJournalRecovery(CaptureData& data, CaptureView& view, SessionJournal& journal, const std::string& folder,
                          const MarkupStyle& style) {
  ProjectSessionFiles files;
  for (const std::string& path : FindLeftJournals(folder)) {
    JournalContents contents;
    std::string error;
    std::string movedTo;
    if (!ReadLeftJournal(path, contents, error, movedTo)) {
      MessageBoxShow(kMessageWarning,
                     "\\bA capture journal could not be read.\\b\\n\\n" + error +
                         (!movedTo.empty() ? ".\\n\\nIt was kept as " + movedTo + "." : "."),
                     "OK", style);
      continue;
    }
    // A part saved just before the program died: its journal has served.
    if (contents.lost == 0 && files.HoldsJournal(contents.header.target, contents) &&
        RemoveJournalFile(path, error)) {
      continue;
    }
    std::string text = "\\bA capture did not end properly.\\b\\n\\nStarted " +
                       FormatTimeStamp(contents.header.start.time) + ", " + DescribeRecovery(contents) +
                       ".\\n\\nRestore it? No discards it.";
    if (contents.lost > 0) text += "\\nEither way the damaged journal is kept beside it as a .damaged file.";
    const int answer = MessageBoxShow(kMessageQuestion, text, "Yes,No", style);
    // Closed without an answer: asked again next time.
    const LeftJournalAnswer choice = answer == 0   ? LeftJournalAnswer::Restore
                                     : answer == 1 ? LeftJournalAnswer::Discard
                                                   : LeftJournalAnswer::AskLater;
    const SettleOutcome outcome = SettleLeftJournal(path, contents, choice, data, view, journal);
    if (outcome != SettleOutcome::Next) return outcome == SettleOutcome::Restored;
  }
  return false;
}

}  // namespace korvalog

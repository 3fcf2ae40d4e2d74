#include "session/journal_recovery.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/file_identity.h"
#include "core/file_names.h"
#include "session/continuous_parts.h"
#include "session/part_claims.h"

namespace korvalog {

namespace fs = std::filesystem;

namespace {

// Both name one file, or would once created.
bool SamePlace(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (fs::equivalent(PathFromUtf8(a), PathFromUtf8(b), ec)) return true;
  return fs::weakly_canonical(fs::absolute(PathFromUtf8(a), ec), ec) ==
         fs::weakly_canonical(fs::absolute(PathFromUtf8(b), ec), ec);
}

bool FreeName(const std::string& name) {
  std::error_code ec;
  return !fs::exists(PathFromUtf8(name), ec);
}

// A journal whose capture was saved to `target` before it could be removed
// (a crash in between) is removed now instead of being saved twice.
bool DropJournalAlreadySaved(const std::string& journal, const JournalContents& contents, const std::string& target,
                             SessionFiles& files, SessionNotes& notes) {
  if (contents.lost > 0 || target.empty() || !files.HoldsJournal(target, contents)) return false;
  JournalHold hold;
  std::string error;
  if (!hold.Take(journal, error) || !RemoveJournalFile(journal, error)) return false;
  notes.Note(NoteKind::News, journal + ": its " + DescribeRecovery(contents) + " are already in " + target +
                                 "; the journal was removed");
  return true;
}

}  // namespace

std::string FreeRecoveredName(const std::string& path, const std::string& reserved) {
  const auto mine = [&](const std::string& name) { return !reserved.empty() && SamePlace(name, reserved); };
  const auto free = [&](const std::string& name) { return FreeName(name) && !mine(name); };
  if (free(path)) return path;
  const size_t dot = path.rfind(".kv");
  const std::string stem = dot == std::string::npos ? path : path.substr(0, dot);
  const std::string tail = dot == std::string::npos ? ".kv" : path.substr(dot);
  for (int n = 1;; ++n) {
    const std::string name = stem + "-recovered" + (n == 1 ? "" : "-" + std::to_string(n)) + tail;
    std::error_code ec;
    if (!fs::exists(PathFromUtf8(name), ec) && !mine(name)) return name;
  }
}

bool LooksLikeJournal(const std::string& path) {
  std::ifstream in(PathFromUtf8(path), std::ios::binary);
  std::string head(256 * 1024, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  return HasJournalMagic(head);
}

bool KeepDamagedJournal(const std::string& journal, SessionNotes& notes) {
  std::string movedTo;
  std::string error;
  if (MoveJournalAside(journal, movedTo, error)) {
    notes.Note(NoteKind::Problem, "the damaged journal was kept as " + movedTo);
    return true;
  }
  notes.Note(NoteKind::Problem, error + "; it stays as it is");
  return false;
}

bool RecoverJournalTo(const std::string& journal, const std::string& out, CaptureData& into, CaptureView& view,
                      SessionFiles& files, SessionNotes& notes) {
  // Held until the journal is gone, so that a second recovery at the same
  // time is refused rather than restoring the capture twice.
  JournalHold hold;
  std::string error;
  if (!hold.Take(journal, error)) {
    notes.Note(NoteKind::Problem, error);
    return false;
  }
  JournalContents contents;
  if (!ReadJournal(journal, contents, error)) {
    notes.Note(NoteKind::Problem, error);
    return false;
  }
  RestoreJournal(contents, into, view);
  if (!files.WriteProject(out, into, view, into.CaptureStart, into.CaptureEnd, error)) {
    notes.Note(NoteKind::Problem, error + "; the journal is kept");
    return false;
  }
  notes.Note(NoteKind::News, DescribeRecovery(contents) + " recovered from " + journal + " to " + out);
  if (contents.lost > 0) {
    KeepDamagedJournal(journal, notes);
  } else if (!RemoveJournalFile(journal, error)) {
    notes.Note(NoteKind::Problem, error);
  }
  return true;
}

bool RecoverJournalsLeftAt(const std::string& journal, const std::string& partsFolder, const std::string& project,
                           CaptureData& scratch, SessionFiles& files, SessionNotes& notes,
                           std::vector<std::string>* recovered) {
  for (const std::string& left : {journal + ".previous", journal}) {
    const PathKind kind = KindOfPath(left);
    if (kind == PathKind::Missing) continue;
    if (kind == PathKind::Folder) {
      notes.Note(NoteKind::Problem, left + ": is a folder");
      return false;
    }
    if (kind == PathKind::Other) {
      notes.Note(NoteKind::Problem, left + ": is not a regular file");
      return false;
    }
    if (JournalInUse(left)) {
      notes.Note(NoteKind::Problem, left + ": in use by another running capture");
      return false;
    }
    if (!LooksLikeJournal(left)) {
      std::error_code ec;
      if (fs::file_size(PathFromUtf8(left), ec) > 0) {
        notes.Note(NoteKind::Problem, left + ": not a capture journal; it is not overwritten");
        return false;
      }
      continue;
    }
    JournalContents contents;
    std::string error;
    if (!ReadJournal(left, contents, error)) {
      notes.Note(NoteKind::Problem, error);
      // Its name is needed for this capture's journal.
      if (!KeepDamagedJournal(left, notes)) return false;
      continue;
    }
    std::string target = contents.header.target;
    if (DropJournalAlreadySaved(left, contents, target, files, notes)) continue;
    if (target.empty()) {
      const std::string name = "recovered-" + PartTimeStamp(contents.header.start.time) + ".kv";
      target = !partsFolder.empty() ? Utf8FromPath(PathFromUtf8(partsFolder) / name) : project;
    }
    // This run's own output is written at its end: the recovered capture
    // must not be in its way.
    const std::string out = FreeRecoveredName(target, partsFolder.empty() ? project : std::string());
    CaptureView leftView;  // the left capture's names, not this one's
    if (!RecoverJournalTo(left, out, scratch, leftView, files, notes)) return false;
    DropClaimOf(target);  // the dead capture's claim on the name it was meant for
    if (recovered != nullptr) recovered->push_back(out);
  }
  return true;
}

bool ReadLeftJournal(const std::string& path, JournalContents& contents, std::string& error, std::string& movedTo) {
  movedTo.clear();
  if (ReadJournal(path, contents, error)) return true;
  // On failure `error` says why it could not be moved either.
  if (!MoveJournalAside(path, movedTo, error)) movedTo.clear();
  return false;
}

SettleOutcome SettleLeftJournal(const std::string& path, const JournalContents& contents, LeftJournalAnswer answer,
                                CaptureData& data, CaptureView& view, SessionJournal& journal) {
  if (answer == LeftJournalAnswer::AskLater) return SettleOutcome::Next;
  const auto restore = [&] {
    return RestoreJournal(contents, data, view) ? SettleOutcome::Restored : SettleOutcome::NotRestorable;
  };
  std::string error;
  if (contents.lost > 0) {
    std::string movedTo;
    if (!MoveJournalAside(path, movedTo, error)) return SettleOutcome::Next;
    if (answer == LeftJournalAnswer::Discard) return SettleOutcome::Next;
    return restore();
  }
  if (answer == LeftJournalAnswer::Discard) {
    RemoveJournalFile(path, error);
    return SettleOutcome::Next;
  }
  const SettleOutcome restored = restore();
  if (restored == SettleOutcome::Restored) journal.Adopt(path);
  return restored;
}

}  // namespace korvalog

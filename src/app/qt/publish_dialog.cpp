#include "app/qt/publish_dialog.h"

#include <QLabel>
#include <QMetaObject>
#include <filesystem>

#include "core/file_names.h"
#include "ui/qt/btn_transparent.h"
#include "ui/qt/button_glyphs.h"
#include "ui/qt/kit_look.h"

#ifdef KORVALOG_FLEET_STORE
#include "fleet/pg_connection.h"
#include "fleet/publish_file.h"
#endif

namespace korvalog {
namespace {

// The outcome in the dialog's words: each tab-separated part on a line.
std::string Lines(std::string text) {
  for (char& c : text) c = c == '\t' ? '\n' : c;
  return text;
}

// Runs on the worker thread: no widget is touched here.
bool PublishNow(const PublishJob& job, std::string& text) {
#ifdef KORVALOG_FLEET_STORE
  PgConnection conn;
  if (!conn.Open(job.conninfo)) {
    text = "Not published: " + conn.Error();
    return false;
  }
  const FilePublish p = PublishFile(conn, job.path, {}, job.listedName);
  if (p.result.outcome == PublishOutcome::Failed) {
    text = "Not published: " + p.result.error;
    return false;
  }
  // "published\tsite S\tlift L\t..." as "Published NAME" and a line a part.
  const std::string outcome = PublishOutcomeText(p);
  const size_t tab = outcome.find('\t');
  text = (p.result.outcome == PublishOutcome::Published ? "Published " : "Already in the store: ") + job.listedName +
         " (" + job.where + ")\n" + Lines(outcome.substr(tab + 1));
  return true;
#else
  (void)job;
  text = "Not published: this build has no fleet store (it was built without libpq)";
  return false;
#endif
}

}  // namespace

TPublishDialog::TPublishDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("PublishDialog"));
  setWindowTitle(QStringLiteral("Publish"));
  setFont(KitFont());
  setFixedSize(420, 170);
  lResult = new QLabel(this);
  lResult->setObjectName(QStringLiteral("lResult"));
  lResult->setGeometry(12, 10, 396, 116);
  lResult->setWordWrap(true);
  lResult->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  lResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
  bClose = new TBtnTransparent(this);
  bClose->setObjectName(QStringLiteral("bClose"));
  bClose->SetCaption(QStringLiteral("Close"));
  bClose->SetGlyph(ButtonGlyphImage(kGlyphTick));
  bClose->setGeometry(324, 134, 84, 26);
  connect(bClose, &TBtnTransparent::Clicked, this, &QDialog::accept);
}

TPublishDialog::~TPublishDialog() {
  if (worker_.joinable()) worker_.join();
}

bool TPublishDialog::Start(const PublishJob& job) {
  if (Running()) return false;
  if (worker_.joinable()) worker_.join();
  lResult->setText(KitText("Publishing " + job.listedName + " to " + job.where + " ..."));
  bClose->setEnabled(false);
  show();
  raise();
  running_.store(true, std::memory_order_release);
  worker_ = std::thread([this, job] {
    std::string text;
    const bool published = PublishNow(job, text);
    // Back on the window's thread for the dialog.
    QMetaObject::invokeMethod(this, [this, published, text, job] { Done(published, text, job); }, Qt::QueuedConnection);
  });
  return true;
}

void TPublishDialog::Done(bool published, const std::string& text, const PublishJob& job) {
  if (job.temporary) {
    std::error_code ec;
    std::filesystem::remove(PathFromUtf8(job.path), ec);
  }
  lResult->setText(KitText(text));
  bClose->setEnabled(true);
  running_.store(false, std::memory_order_release);
  emit Finished(published);
}

}  // namespace korvalog

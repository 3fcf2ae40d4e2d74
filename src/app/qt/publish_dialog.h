#pragma once
// The window's "Publish…": the open capture into the fleet store, on a
// thread of its own so that the window goes on drawing, with a dialog that
// says what is being published and, at the end, what was published or why
// it was not.
#include <QDialog>
#include <atomic>
#include <string>
#include <thread>

class QLabel;

namespace korvalog {

class TBtnTransparent;

// What to publish: a project file, listed in the store under `listedName`;
// `temporary` when it was written for the publish and goes afterwards.
struct PublishJob {
  std::string conninfo;
  std::string path;
  std::string listedName;
  bool temporary = false;
  std::string where;  // the store as the dialog names it ("fleet on db.example")
};

class TPublishDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TPublishDialog(QWidget* parent = nullptr);
  ~TPublishDialog() override;  // waits for a publish under way

  // Shows the dialog (not modal) and publishes; false (nothing started)
  // while the previous publish still runs.
  bool Start(const PublishJob& job);
  bool Running() const { return running_.load(std::memory_order_acquire); }

  QLabel* lResult = nullptr;
  TBtnTransparent* bClose = nullptr;

 signals:
  void Finished(bool published);

 private:
  void Done(bool published, const std::string& text, const PublishJob& job);

  std::thread worker_;
  std::atomic<bool> running_{false};
};

}  // namespace korvalog

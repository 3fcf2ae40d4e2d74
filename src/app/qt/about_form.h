#pragma once
// The "About" window: icon, product name, revision, and the project's web
// and e-mail lines that open through the desktop. One window for the whole
// run; showing it again only brings it back at the pointer.
#include <QWidget>
#include <functional>

class QLabel;

namespace korvalog {

class TBtnTransparent;

inline constexpr char kAboutWebAddress[] = "https://korvalog.example/";
inline constexpr char kAboutMailAddress[] = "support@korvalog.example";

class TAboutForm : public QWidget {
  Q_OBJECT

 public:
  // Hands a URL to the desktop (web browser, mail program); replaceable for tests.
  using OpenUrlFn = std::function<void(const QString& url)>;

  explicit TAboutForm(QWidget* parent = nullptr, OpenUrlFn openUrl = {});

  // Places the window at the mouse pointer, on the screen, and shows it on top.
  void ShowAbout();
  // Icon, product name and revision, as on every activation.
  void Refresh();

  QLabel* lProduct = nullptr;
  QLabel* lRevision = nullptr;
  QLabel* lWeb = nullptr;
  QLabel* lMail = nullptr;
  TBtnTransparent* bOK = nullptr;

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* icon_ = nullptr;
  OpenUrlFn openUrl_;
};

}  // namespace korvalog

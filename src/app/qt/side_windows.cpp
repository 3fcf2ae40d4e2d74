#include "app/qt/side_windows.h"

#include <QLabel>

#include "app/qt/main_form.h"
#include "ui/qt/kit_look.h"

namespace korvalog {
namespace {

std::unique_ptr<QWidget> Pending(const char* caption, QWidget* owner) {
  auto w = std::make_unique<QWidget>(owner, Qt::Window | Qt::WindowStaysOnTopHint);
  w->setWindowTitle(QString::fromLatin1(caption));
  w->setFont(KitFont());
  auto* l = new QLabel(QStringLiteral("Not available in this build."), w.get());
  l->move(12, 12);
  w->resize(240, 60);
  return w;
}

}  // namespace

AnalysisWindows::AnalysisWindows(CaptureData& data, LoggerSettings& settings, TMainForm& main)
    : data_(data), settings_(settings), main_(main), sequencer_(Pending("Sequencer", &main)) {}

AnalysisWindows::~AnalysisWindows() = default;

void AnalysisWindows::CreateStatistics() { statistics_ = Pending("Statistics", &main_); }

}  // namespace korvalog

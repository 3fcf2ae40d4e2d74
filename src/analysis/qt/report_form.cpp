#include "analysis/qt/report_form.h"

#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cctype>
#include <cstring>

#include "analysis/qt/report_document.h"
#include "analysis/qt/report_painting.h"
#include "analysis/report_csv.h"
#include "core/file_identity.h"
#include "project/replacing_file.h"
#include "ui/qt/kit_look.h"
#include "ui/qt/light_table.h"

namespace korvalog {
namespace {

bool EndsWith(const std::string& s, const char* tail) {
  const std::string t(tail);
  if (s.size() < t.size()) return false;
  for (size_t i = 0; i < t.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(s[s.size() - t.size() + i])) != t[i]) return false;
  }
  return true;
}

QString Heading(const LiftReport& r, const std::string& source) {
  QString text = QStringLiteral("<b>%1</b>").arg(QString::fromStdString(source).toHtmlEscaped());
  if (!r.Empty()) {
    text += QStringLiteral(" &nbsp; %1 %2 to %3 %4 (%5)")
                .arg(QString::fromStdString(DateText(r.Start())), QString::fromStdString(ClockText(r.Start())),
                     QString::fromStdString(DateText(r.End())), QString::fromStdString(ClockText(r.End())),
                     QString::fromStdString(DurationText(r.SpanSeconds())));
  } else {
    text += QStringLiteral(" &nbsp; no capture");
  }
  for (const std::string& n : ReportNotes(r)) text += QStringLiteral("<br>• ") + QString::fromStdString(n).toHtmlEscaped();
  return text;
}

}  // namespace

PlotView::PlotView(QWidget* parent) : QWidget(parent) {
  setMinimumSize(360, 200);
  setCursor(Qt::PointingHandCursor);
}

void PlotView::SetPlan(PlotPlan plan) {
  plan_ = std::move(plan);
  setToolTip(QStringLiteral("Click a bar, a point or a spell to see it in the chart"));
  update();
}

void PlotView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  PaintPlot(p, plan_, rect(), KitFont(kKitSansFamily, 11));
}

void PlotView::mousePressEvent(QMouseEvent* event) {
  double from = 0, to = 0;
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::LeftButton && HitPlot(plan_, width(), height(), at.x(), at.y(), from, to) && onZoom) {
    onZoom(from, to);
  }
}

TReportForm::TReportForm(CaptureData& data, const CaptureView& view, QWidget* parent)
    : QWidget(parent, Qt::Window), data_(data), view_(view) {
  setObjectName(QStringLiteral("ReportForm"));
  setWindowTitle(QStringLiteral("Lift performance report"));
  SameLookWhenInactive(*this);
  resize(900, 680);
  auto* outer = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  heading_ = new QLabel(this);
  heading_->setObjectName(QStringLiteral("lHeading"));
  heading_->setWordWrap(true);
  heading_->setTextFormat(Qt::RichText);
  top->addWidget(heading_, 1);
  auto* roles = new QPushButton(QStringLiteral("Roles..."), this);
  roles->setObjectName(QStringLiteral("bRoles"));
  auto* targets = new QPushButton(QStringLiteral("Targets..."), this);
  targets->setObjectName(QStringLiteral("bTargets"));
  targets->setToolTip(QStringLiteral("Judge the key figures against the targets of a file (see the README)"));
  auto* refresh = new QPushButton(QStringLiteral("Refresh"), this);
  refresh->setObjectName(QStringLiteral("bRefresh"));
  auto* save = new QPushButton(QStringLiteral("Save..."), this);
  save->setObjectName(QStringLiteral("bSave"));
  save->setToolTip(QStringLiteral("The report as a page (HTML), a PDF, or every measured occurrence (CSV)"));
  for (QPushButton* b : {roles, targets, refresh, save}) top->addWidget(b, 0, Qt::AlignTop);
  connect(targets, &QPushButton::clicked, this, [this] {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Targets"), QString(),
                                                      QStringLiteral("Targets (*.txt);;Any file (*)"));
    if (!path.isEmpty()) LoadTargets(path.toStdString());
  });
  outer->addLayout(top);
  connect(roles, &QPushButton::clicked, this, [this] {
    if (onRoles_) onRoles_();
  });
  connect(refresh, &QPushButton::clicked, this, [this] { Recompute(true); });
  connect(save, &QPushButton::clicked, this, &TReportForm::SaveClicked);

  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("tabs"));
  outer->addWidget(tabs_, 1);
  BuildSummaryTab();
  auto* plotScroll = new QScrollArea(tabs_);
  plotScroll->setWidgetResizable(true);
  auto* plotPage = new QWidget(plotScroll);
  auto* grid = new QGridLayout(plotPage);
  for (int i = 0; i < 7; ++i) {
    auto* view = new PlotView(plotPage);
    view->setObjectName(QStringLiteral("plot%1").arg(i));
    view->onZoom = [this](double from, double to) { Zoom(from, to); };
    grid->addWidget(view, i / 2, i % 2);
    plots_.push_back(view);
  }
  plotScroll->setWidget(plotPage);
  tabs_->addTab(plotScroll, QStringLiteral("Plots"));
  auto* tableScroll = new QScrollArea(tabs_);
  tableScroll->setWidgetResizable(true);
  auto* tablePage = new QWidget(tableScroll);
  tablesLayout_ = new QVBoxLayout(tablePage);
  tableScroll->setWidget(tablePage);
  tabs_->addTab(tableScroll, QStringLiteral("Figures"));
  tablesScroll_ = tableScroll;
  connect(tabs_, &QTabWidget::currentChanged, this, [this] {
    if (tablesStale_ && tabs_->currentWidget() == tablesScroll_) BuildTables();
  });
}

void TReportForm::showEvent(QShowEvent* event) {
  Recompute();
  QWidget::showEvent(event);
}

bool TReportForm::SameInputs(const ComputedFrom& now) const {
  return computedFrom_ && now.capture.Settled() && computedFrom_->capture == now.capture &&
         std::memcmp(computedFrom_->pattern.data(), now.pattern.data(), sizeof(SequenceTable)) == 0 &&
         computedFrom_->roles == now.roles;
}

void TReportForm::Recompute(bool force) {
  if (data_.Capturing.load(std::memory_order_acquire) != 0) return;  // the store is still growing
  ComputedFrom now{CaptureKey::Of(data_), view_.Sequence, view_.Traces.Roles()};
  const bool keep = !force && SameInputs(now);
  const SiteDetails& site = view_.Site;
  const bool sameSite = site.site == site_.site && site.lift == site_.lift && site.engineer == site_.engineer &&
                        site.visit == site_.visit;
  if (keep && sameSite && !shownStale_ && shownSource_ == source_) return;
  if (!keep) {
    report_.Compute(data_, view_.Sequence, view_.Traces.Roles());
    computedFrom_ = std::move(now);
  }
  site_ = view_.Site;
  Rebuild();
}

void TReportForm::Rebuild() {
  shownStale_ = false;
  shownSource_ = source_;
  heading_->setText(Heading(report_, source_.empty() ? std::string("Capture") : source_));
  std::vector<PlotPlan> plans = ReportPlots(report_);
  for (size_t i = 0; i < plots_.size(); ++i) {
    plots_[i]->SetPlan(i < plans.size() ? plans[i] : PlotPlan{});
    plots_[i]->setVisible(i < plans.size());  // the daily trend only over more than two days
  }
  FillSummary();
  // The Figures page (thousands of table rows) is built when first shown.
  tablesStale_ = true;
  if (tabs_->currentWidget() == tablesScroll_) BuildTables();
}

void TReportForm::BuildTables() {
  tablesStale_ = false;
  for (QTableWidget* t : tables_) delete t;
  tables_.clear();
  while (QLayoutItem* item = tablesLayout_->takeAt(0)) {
    delete item->widget();
    delete item;
  }
  tableData_ = ReportTables(report_, view_.Traces, kMaxTableRows);
  for (size_t k = 0; k < tableData_.size(); ++k) {
    const ReportTable& t = tableData_[k];
    auto* title = new QLabel(QStringLiteral("<b>%1</b>").arg(QString::fromStdString(t.title).toHtmlEscaped()));
    tablesLayout_->addWidget(title);
    const int rows = std::min<int>(static_cast<int>(t.rows.size()), kMaxTableRows);
    auto* table = new QTableWidget(rows, static_cast<int>(t.columns.size()));
    table->setObjectName(QString::fromStdString("table_" + t.title));
    MakeTableLight(*table);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setDefaultSectionSize(20);
    QStringList header;
    for (const std::string& c : t.columns) header << QString::fromStdString(c);
    table->setHorizontalHeaderLabels(header);
    for (int r = 0; r < rows; ++r) {
      for (size_t c = 0; c < t.rows[r].size() && c < t.columns.size(); ++c) {
        auto* item = new QTableWidgetItem(QString::fromStdString(t.rows[r][c]));
        if (t.rowFrom[r] >= 0) item->setToolTip(QStringLiteral("Click to see it in the chart"));
        table->setItem(r, static_cast<int>(c), item);
      }
    }
    table->resizeColumnsToContents();
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setFixedHeight(std::min(rows, 40) * 20 + table->horizontalHeader()->sizeHint().height() + 4);
    if (rows > 40) table->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(table, &QTableWidget::cellClicked, this, [this, k](int row, int) {
      const ReportTable& data = tableData_[k];
      if (row >= 0 && static_cast<size_t>(row) < data.rowFrom.size() && data.rowFrom[row] >= 0) {
        Zoom(data.rowFrom[row], data.rowTo[row]);
      }
    });
    tablesLayout_->addWidget(table);
    tables_.push_back(table);
    if (!t.note.empty()) {
      auto* note = new QLabel(QString::fromStdString(t.note));
      note->setWordWrap(true);
      tablesLayout_->addWidget(note);
    }
    if (static_cast<int>(t.rows.size()) > rows) {
      tablesLayout_->addWidget(new QLabel(QStringLiteral("The first %1 of %2 rows; every occurrence is in the CSV.")
                                              .arg(rows)
                                              .arg(t.rows.size())));
    }
  }
  tablesLayout_->addStretch(1);
}

void TReportForm::BuildSummaryTab() {
  auto* page = new QWidget(tabs_);
  auto* layout = new QVBoxLayout(page);
  auto* form = new QFormLayout;
  static constexpr const char* kLabels[] = {"Site", "Lift", "Engineer", "Visit"};
  static constexpr const char* kNames[] = {"eSite", "eLift", "eEngineer", "eVisit"};
  for (int i = 0; i < SiteDetails::kFields; ++i) {
    auto* edit = new QLineEdit(page);
    edit->setObjectName(QString::fromLatin1(kNames[i]));
    edit->setMaxLength(static_cast<int>(SiteDetails::kMaxBytes) / 2);  // bytes of UTF-8
    connect(edit, &QLineEdit::editingFinished, this, &TReportForm::SiteEdited);
    form->addRow(QString::fromLatin1(kLabels[i]), edit);
    siteEdits_[static_cast<size_t>(i)] = edit;
  }
  layout->addLayout(form);
  verdict_ = new QLabel(page);
  verdict_->setObjectName(QStringLiteral("lVerdict"));
  verdict_->setWordWrap(true);
  layout->addWidget(verdict_);
  keyFigures_ = new QTableWidget(0, 5, page);
  keyFigures_->setObjectName(QStringLiteral("table_Key figures"));
  keyFigures_->setHorizontalHeaderLabels({QStringLiteral("Figure"), QStringLiteral("Value"), QStringLiteral("Verdict"),
                                          QStringLiteral("Target"), QStringLiteral("Based on")});
  keyFigures_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  MakeTableLight(*keyFigures_);
  keyFigures_->verticalHeader()->setVisible(false);
  layout->addWidget(keyFigures_, 1);
  tabs_->addTab(page, QStringLiteral("Summary"));
}

void TReportForm::FillSummary() {
  for (int i = 0; i < SiteDetails::kFields; ++i) {
    QLineEdit* edit = siteEdits_[static_cast<size_t>(i)];
    if (!edit->hasFocus()) edit->setText(QString::fromStdString(site_.Field(i)));
  }
  summary_ = SummarizeReport(report_, site_, targets_);
  verdict_->setText(QStringLiteral("<b>%1</b>").arg(QString::fromStdString(summary_.verdictLine).toHtmlEscaped()));
  keyFigures_->setRowCount(static_cast<int>(summary_.figures.size()));
  for (size_t r = 0; r < summary_.figures.size(); ++r) {
    const KeyFigureRow& row = summary_.figures[r];
    const std::string verdict(VerdictWord(row.verdict));
    const std::string cells[] = {row.title, row.valueText, verdict.empty() && row.measured ? "for information" : verdict,
                                 row.targetText, row.basis};
    for (int c = 0; c < 5; ++c) {
      keyFigures_->setItem(static_cast<int>(r), c, new QTableWidgetItem(QString::fromStdString(cells[c])));
    }
  }
  keyFigures_->resizeColumnsToContents();
}

bool TReportForm::LoadTargets(const std::string& path) {
  QFile file(QString::fromStdString(path));
  std::string error = "cannot read the targets";
  ReportTargets read;
  // At most a megabyte: a targets file is a few lines.
  // Checked before the open: a FIFO would wait for a writer.
  if (KindOfPath(path) == PathKind::Regular && file.open(QIODevice::ReadOnly) && file.size() <= (1 << 20) &&
      ParseTargets(file.read(1 << 20).toStdString(), read, error)) {
    targets_ = read;
    FillSummary();
    return true;
  }
  verdict_->setText(QStringLiteral("<b>%1: %2</b>")
                        .arg(QString::fromStdString(path).toHtmlEscaped(), QString::fromStdString(error).toHtmlEscaped()));
  return false;
}

void TReportForm::SiteEdited() {
  SiteDetails typed;
  for (int i = 0; i < SiteDetails::kFields; ++i) {
    typed.Field(i) = siteEdits_[static_cast<size_t>(i)]->text().trimmed().toStdString().substr(0, SiteDetails::kMaxBytes);
  }
  if (typed.site == site_.site && typed.lift == site_.lift && typed.engineer == site_.engineer &&
      typed.visit == site_.visit) {
    return;
  }
  site_ = typed;
  summary_ = SummarizeReport(report_, site_, targets_);
  if (onSiteEdited_) onSiteEdited_(site_);
}

void TReportForm::Zoom(double from, double to) {
  if (onZoom_) onZoom_(from, to);
}

FileResult TReportForm::SaveTo(const std::string& path) const {
  const ReportHeading heading{source_.empty() ? std::string("Capture") : source_, site_, targets_};
  if (EndsWith(path, ".pdf")) return WriteReportPdf(path, report_, view_.Traces, heading);
  if (EndsWith(path, ".csv")) {
    const std::string csv = ReportCsv(report_);
    ReplacingFile file(path);
    if (!file.Open() || !file.Write(csv.data(), csv.size()) || !file.Commit()) return FileResult{false, file.Error()};
    return {};
  }
  return WriteReportHtml(path, report_, view_.Traces, heading);
}

void TReportForm::SaveClicked() {
  const QString path = QFileDialog::getSaveFileName(
      this, QStringLiteral("Save the report"), QString(),
      QStringLiteral("Web page (*.html);;PDF (*.pdf);;Every occurrence, CSV (*.csv)"));
  if (path.isEmpty()) return;
  const FileResult result = SaveTo(path.toStdString());
  if (!result.ok) heading_->setText(heading_->text() + QStringLiteral("<br><b>%1</b>").arg(QString::fromStdString(result.error).toHtmlEscaped()));
}

}  // namespace korvalog

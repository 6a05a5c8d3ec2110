#include "drawing/ui/draw_widget.h"

#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolTip>
#include <QWheelEvent>

#include "drawing/draw_settings.h"
#include "drawing/ui/draw_icons.h"
#include "drawing/ui/draw_print.h"
#include "drawing/ui/draw_set_dlg.h"
#include "drawing/ui/export_cad_dlg.h"
#include "drawing/ui/qt_draw_canvas.h"
#include "platform/commands.h"
#include "platform/ports.h"
#include "table/ui/button_st.h"
#include "table/ui/table_print.h"
#include "table/ui/tips.h"
#include "table/ui/ui_scale.h"

namespace drawing_ui {
namespace {

struct ToolDef {
  int id;
  const char* caption;
  int icon;
  const char* tip;
};

constexpr ToolDef kTools[8] = {
    {drawing::kToolSettings, "设置", 146, "图形设置"},
    {drawing::kToolZoomAll, "全显", 191, "显示全部图形"},
    {drawing::kToolWindowZoom, "窗显", 192, "按住鼠标左键拖动一个窗口放大图形"},
    {drawing::kToolZoom, "缩放", 189, "按住鼠标左键上下拖动缩放图形(也可滚动鼠标中键)"},
    {drawing::kToolPan, "平移", 190, "平移图形(也可直接按住鼠标中键平移图形)"},
    {drawing::kToolCad, "CAD", 148, "输出到CAD(DXF文件)"},
    {drawing::kToolQuery, "查询", 193, "将鼠标移动至某点，显示点名及坐标，如再按下左键则将该信息拷贝入剪切板"},
    {drawing::kToolBackToTable, "表格", 201, "切换至计算表格窗口"},
};

drawing::DPoint D(const QPointF& p) { return {p.x(), p.y()}; }

}  // namespace

CDrawWidget::CDrawWidget(drawing::CDrawView& view, QWidget* parent) : QWidget(parent), view_(view) {
  setObjectName(QStringLiteral("drawView1008"));
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::ClickFocus);
  for (const ToolDef& t : kTools) {
    auto* b = new CButtonST(QString::fromUtf8(t.caption), this);
    b->setObjectName(QStringLiteral("drawTool%1").arg(t.id));
    b->SetIcon(DrawToolIcon(t.icon));
    b->setToolTip(QString::fromUtf8(t.tip));
    b->setFocusPolicy(Qt::NoFocus);
    const int id = t.id;
    connect(b, &QPushButton::clicked, this, [this, id] { view_.OnToolCommand(id); });
    buttons_.emplace_back(t.id, b);
  }
  ToolButton(drawing::kToolBackToTable)->setVisible(view_.m_bTableButtonShown);
  tips::Install(this, tips::kWideWidth);
  cad_ = std::make_unique<CExportCadSetDlg>(&view_, this);
  view_.SetHost(this);
  drawing::g_pDrawView = &view_;
  UpdateMetrics();
  LayoutButtons();
}

CDrawWidget::~CDrawWidget() {
  view_.SetHost(nullptr);
  if (drawing::g_pDrawView == &view_) drawing::g_pDrawView = nullptr;
}

CButtonST* CDrawWidget::ToolButton(int id) const {
  for (const auto& [bid, b] : buttons_)
    if (bid == id) return b;
  return nullptr;
}

void CDrawWidget::UpdateMetrics() {
  drawing::ScreenMetrics m;
  m.clientWidth = width();
  m.clientHeight = height();
  m.dpiX = logicalDpiX() > 0 ? logicalDpiX() : 96;
  m.dpiY = logicalDpiY() > 0 ? logicalDpiY() : 96;
  m.rowHeight = g_nRowHeight > 0 ? g_nRowHeight : 22;
  m.charHeight = g_nCharHeight > 0 ? g_nCharHeight : 12;
  const QColor face = g_clrBtnFace.isValid() ? g_clrBtnFace : QColor(240, 240, 240);
  m.face = {std::uint8_t(face.red()), std::uint8_t(face.green()), std::uint8_t(face.blue())};
  view_.SetMetrics(m);
}

void CDrawWidget::LayoutButtons() {
  const int r = g_nRowHeight > 0 ? g_nRowHeight : 22;
  const int c = g_nCharHeight > 0 ? g_nCharHeight : 12;
  int w = std::min(r + 4 * c + 12, (width() - 10) / 8);
  w = std::max(w, r);
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    const int left = 2 + int(i) * w;
    buttons_[i].second->setGeometry(left, 2, w + int(i) * w - left, r - 2);
  }
}

void CDrawWidget::ApplyUiScale() {
  UpdateMetrics();
  LayoutButtons();
  update();
}

void CDrawWidget::Invalidate() { update(); }

void CDrawWidget::ShowTableButton(bool show) {
  if (CButtonST* b = ToolButton(drawing::kToolBackToTable)) b->setVisible(show);
}

void CDrawWidget::SetQueryTip(const std::string& text) {
  if (text == tip_) return;
  tip_ = text;
  if (text.empty()) QToolTip::hideText();
  else tips::Show(this, QCursor::pos(), QString::fromUtf8(text.c_str()), tips::kWideWidth);
}

void CDrawWidget::BackToTable() {
  if (onBackToTable) onBackToTable();
}

void CDrawWidget::OpenSettings() {
  CDrawSetDlg dlg(view_, this);
  if (dlg.exec() == QDialog::Accepted) {
    drawing::ApplyDrawSettings(view_, dlg.Values());
    cad_->SetScaleHint(view_.m_dPrintScale);
  }
}

void CDrawWidget::OpenCadExport() {
  cad_->SetScaleHint(view_.m_dPrintScale);
  cad_->Open();
}

// The frame is painted into an image of the widget's own (so that the canvas may
// write the many small pieces of a large drawing straight into its pixels) and
// then onto the widget.
void CDrawWidget::paintEvent(QPaintEvent*) {
  UpdateMetrics();
  const qreal ratio = devicePixelRatioF();
  const QSize size = (QSizeF(this->size()) * ratio).toSize();
  if (size.isEmpty()) return;
  if (frame_.size() != size) frame_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
  frame_.setDevicePixelRatio(ratio);
  {
    QPainter p(&frame_);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QtDrawCanvas canvas(p, &paintCache_);
    view_.OnDraw(canvas);
  }
  QPainter(this).drawImage(QPointF(0, 0), frame_);
}

void CDrawWidget::resizeEvent(QResizeEvent*) {
  UpdateMetrics();
  LayoutButtons();
}

void CDrawWidget::mousePressEvent(QMouseEvent* e) {
  UpdateMetrics();
  if (e->button() == Qt::LeftButton) view_.OnLButtonDown(D(e->position()));
  else if (e->button() == Qt::MiddleButton) view_.OnMButtonDown(D(e->position()));
  else if (e->button() == Qt::RightButton) view_.OnRButtonDown();
  UpdateCursor(e->position());
}

void CDrawWidget::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) view_.OnLButtonUp(D(e->position()));
  else if (e->button() == Qt::MiddleButton) view_.OnMButtonUp(D(e->position()));
  UpdateCursor(e->position());
}

void CDrawWidget::mouseMoveEvent(QMouseEvent* e) {
  view_.OnMouseMove(D(e->position()), e->buttons() & Qt::LeftButton, e->buttons() & Qt::MiddleButton);
  UpdateCursor(e->position());
}

void CDrawWidget::wheelEvent(QWheelEvent* e) {
  UpdateMetrics();
  view_.OnMouseWheel(e->angleDelta().y(), D(e->position()));
  e->accept();
}

void CDrawWidget::UpdateCursor(const QPointF& pos) {
  switch (view_.CursorAt(D(pos))) {
    case drawing::kCursorZoom: setCursor(Qt::SizeVerCursor); break;
    case drawing::kCursorPan: setCursor(view_.Dragging() ? Qt::ClosedHandCursor : Qt::OpenHandCursor); break;
    case drawing::kCursorCross: setCursor(Qt::CrossCursor); break;
    default: unsetCursor(); break;
  }
}

void CDrawWidget::showEvent(QShowEvent*) {
  if (cad_) cad_->OwnerShown(true);
}

void CDrawWidget::hideEvent(QHideEvent*) {
  if (cad_) cad_->OwnerShown(false);
  QToolTip::hideText();
}

// The session's printer, so that 打印设置 and a choice made in any print or preview
// hold for the drawing too.
QPrinter& CDrawWidget::Printer() { return table_ui::SessionPrinter(); }

bool CDrawWidget::PrintTo(QPrinter& printer) {
  if (PrintDrawing(view_, printer)) return true;
  // Nothing came out: say so rather than leave the user waiting at the printer.
  const QString file = printer.outputFileName();
  const std::string why = file.isEmpty() ? "打印机“" + printer.printerName().toStdString() + "”无法开始打印"
                                         : "无法写入文件“" + QDir::toNativeSeparators(file).toStdString() + "”";
  platform::Messages().ShowMessage("图形打印失败：" + why + "。");
  return false;
}

void CDrawWidget::OnCommand(int command) {
  QPrinter& printer = Printer();
  switch (command) {
    case platform::ID_FILE_PRINT: {
      QPrintDialog dlg(&printer, this);
      dlg.setOption(QAbstractPrintDialog::PrintPageRange, false);
      if (dlg.exec() == QDialog::Accepted) PrintTo(printer);
      break;
    }
    case platform::ID_FILE_PRINT_DIRECT: PrintTo(printer); break;
    case platform::ID_FILE_PRINT_PREVIEW: {
      QPrintPreviewDialog dlg(&printer, this);
      connect(&dlg, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* pr) { PrintTo(*pr); });
      dlg.exec();
      break;
    }
    case platform::ID_FILE_PRINT_SETUP: table_ui::RunPrintSetup(this); break;
    default: break;
  }
}

}  // namespace drawing_ui

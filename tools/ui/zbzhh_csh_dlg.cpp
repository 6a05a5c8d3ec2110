#include "tools/ui/zbzhh_csh_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "platform/ports.h"
#include "table/ui/list_ex_widget.h"
#include "tools/aux_view.h"
#include "tools/common_points.h"

namespace {
QString T(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

CZbZhhCshDlg::CZbZhhCshDlg(CAuxView& view, int mode, QWidget* parent)
    : QDialog(parent), view_(view), mode_(mode == 2 ? 2 : 1) {
  setWindowTitle(T("坐标转换参数计算"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(T(tools::CommonPointPrompt(mode_)), this));
  const auto store = mode_ == 2 ? tools::kStoreSevenCommonPoints : tools::kStoreFourCommonPoints;
  tools::FillCommonPointList(list_, mode_, view_.m_stores[store]);
  widget_ = new CListExWidget(&list_, this);
  widget_->setMinimumSize(mode_ == 2 ? 520 : 460, 260);
  layout->addWidget(widget_, 1);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(T("确定"), QDialogButtonBox::AcceptRole);
  buttons->addButton(T("取消"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (TryAccept()) accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  widget_->AutoSizeColumns();
}

void CZbZhhCshDlg::reject() {
  const auto store = mode_ == 2 ? tools::kStoreSevenCommonPoints : tools::kStoreFourCommonPoints;
  if (tools::CommonPointsEdited(list_, mode_, view_.m_stores[store]) &&
      !platform::Messages().AskYesNo("公共点坐标已修改，是否放弃修改并关闭？"))
    return;
  QDialog::reject();
}

bool CZbZhhCshDlg::TryAccept(bool* changed) {
  std::vector<std::string> points;
  const std::string message = tools::AcceptCommonPoints(list_, mode_, points);
  if (!message.empty()) {
    platform::Messages().ShowMessage(message);
    widget_->update();
    return false;
  }
  auto& store = view_.m_stores[mode_ == 2 ? tools::kStoreSevenCommonPoints : tools::kStoreFourCommonPoints];
  if (changed) *changed = store != points;
  store = std::move(points);
  return true;
}

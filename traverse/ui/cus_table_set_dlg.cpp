#include "traverse/ui/cus_table_set_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ports.h"
#include "table/ui/dialog_buttons.h"

namespace {

QString T(const char* s) { return QString::fromUtf8(s); }

}  // namespace

CCusTableSetDlg::CCusTableSetDlg(const traverse::CCusTableSetForm& form, QWidget* parent)
    : QDialog(parent), form_(form) {
  using F = traverse::CCusTableSetForm;
  setWindowTitle(T("自定义表格"));
  auto* root = new QVBoxLayout(this);
  auto* nameRow = new QHBoxLayout;
  auto* nameLabel = new QLabel(T("表格名称"), this);
  name_ = new QLineEdit(QString::fromStdString(form_.name), this);
  name_->setObjectName(QStringLiteral("edit1037"));
  nameLabel->setBuddy(name_);
  nameRow->addWidget(nameLabel);
  nameRow->addWidget(name_, 1);
  root->addLayout(nameRow);

  auto* group = new QGroupBox(T("表格内容"), this);
  auto* grid = new QGridLayout(group);
  constexpr int kColumns = 3;
  for (int i = 0; i < F::kChoiceCount; ++i) {
    const traverse::CusTableChoice& c = F::Choices()[static_cast<std::size_t>(i)];
    auto* box = new QCheckBox(T(c.label), group);
    box->setObjectName(QStringLiteral("check%1").arg(c.id));
    box->setChecked(form_.ticked[static_cast<std::size_t>(i)]);
    checks_[static_cast<std::size_t>(i)] = box;
    grid->addWidget(box, i / kColumns, i % kColumns);
  }
  root->addWidget(group);
  auto* note = new QLabel(T(F::kNote), this);
  note->setWordWrap(true);
  root->addWidget(note);

  root->addLayout(table_ui::OkCancelRow(this, [this] { return TryAccept(); }));
}

bool CCusTableSetDlg::TryAccept() {
  traverse::CCusTableSetForm f = form_;
  f.name = name_->text().toStdString();
  for (std::size_t i = 0; i < checks_.size(); ++i) f.ticked[i] = checks_[i]->isChecked();
  const std::string why = f.Validate();
  if (!why.empty()) {
    platform::Messages().ShowMessage(why);
    name_->setFocus();
    return false;
  }
  form_ = f;
  return true;
}

#include "table/ui/dialog_buttons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace table_ui {

QHBoxLayout* OkCancelRow(QDialog* dialog, std::function<bool()> tryAccept, bool stretch) {
  auto* row = new QHBoxLayout;
  auto* ok = new QPushButton(QString::fromUtf8("确定"), dialog);
  auto* cancel = new QPushButton(QString::fromUtf8("取消"), dialog);
  ok->setDefault(true);
  if (stretch) row->addStretch();
  row->addWidget(ok);
  row->addWidget(cancel);
  QObject::connect(ok, &QPushButton::clicked, dialog, [dialog, tryAccept = std::move(tryAccept)] {
    if (tryAccept()) dialog->accept();
  });
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  return row;
}

}  // namespace table_ui

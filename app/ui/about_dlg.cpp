#include "app/ui/about_dlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "app/ui/icons.h"
#include "app/version.h"
#include "table/ui/hyperlink.h"
#include "table/ui/qt_ports.h"
#include "table/ui/ui_scale.h"

namespace app_ui {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("关于 Quintar"));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, g_clrBtnFace);
  setPalette(pal);

  auto* grid = new QGridLayout(this);
  auto* icon = new QLabel(this);
  icon->setPixmap(ProgramIcon().pixmap(32, 32));
  grid->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);

  auto* version = new QLabel(VersionLine(), this);
  version->setObjectName(QStringLiteral("versionLine"));
  auto* maker = new QLabel(QString::fromUtf8("Norvale软件  版权所有"), this);
  auto* support = new QLabel(QString::fromUtf8("技术支持："), this);
  grid->addWidget(version, 0, 1, 1, 2);
  grid->addWidget(maker, 1, 1, 1, 2);
  grid->addWidget(support, 2, 1);

  auto* site = new CHyperLink(QString::fromUtf8("官方网站"), this);
  site->SetLinkAddress(QStringLiteral("https://quintar.example.com/"));
  auto* mail = new CHyperLink(QStringLiteral("support@quintar.example.com"), this);
  mail->SetLinkAddress(QStringLiteral("mailto:support@quintar.example.com"));
  auto* forum = new CHyperLink(QString::fromUtf8("用户论坛"), this);
  forum->SetLinkAddress(QStringLiteral("https://quintar.example.com/forum/"));
  grid->addWidget(site, 2, 2);
  grid->addWidget(mail, 3, 2);
  grid->addWidget(forum, 4, 2);

  auto* ok = new QPushButton(QString::fromUtf8("确定"), this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  grid->addWidget(ok, 0, 3, Qt::AlignTop);
  for (QWidget* w : findChildren<QWidget*>()) w->setFont(g_fontUI);
}

QString CAboutDlg::VersionLine() const { return table_ui::Q(app::ProductTitle()); }

}  // namespace app_ui

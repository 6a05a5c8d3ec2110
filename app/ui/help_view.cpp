#include "app/ui/help_view.h"

#include <QFont>
#include <QUrl>

#include "app/help_topics.h"
#include "app/ui/main_frame.h"
#include "app/version.h"
#include "platform/services.h"
#include "table/ui/qt_ports.h"
#include "table/ui/ui_scale.h"

namespace app_ui {

CHelpView::CHelpView(QWidget* parent) : QTextBrowser(parent) {
  setObjectName(QStringLiteral("helpView1007"));
  // Links are ours to follow: pages inside, the desktop's browser outside.
  setOpenLinks(false);
  setOpenExternalLinks(false);
  connect(this, &QTextBrowser::anchorClicked, this, &CHelpView::OnLink);
  ApplyUiScale();
}

QUrl CHelpView::PageUrl(int page) {
  return QUrl(QStringLiteral("qrc:/quintar/help/") + QString::fromStdString(app::HelpPageFile(page)));
}

void CHelpView::OnInitialUpdate() {
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  ShowPage(app::kFirstHelpPage);
}

void CHelpView::ShowHelpTopic(const std::string& topic) {
  int page = app::HelpPageFor(topic);
  if (page == app::kHelpWebsite) {
    platform::Desktop().desktop->OpenWithDesktop(app::kWebsiteUrl);
    return;
  }
  ShowPage(page);
}

void CHelpView::ShowPage(int page) {
  if (page < app::kFirstHelpPage || page > app::kLastHelpPage) page = app::kFirstHelpPage;
  setSource(PageUrl(page));
}

int CHelpView::CurrentPage() const {
  QString name = source().fileName();
  if (!name.endsWith(QStringLiteral(".html"))) return 0;
  return name.chopped(5).toInt();
}

void CHelpView::OnLink(const QUrl& url) {
  const QString scheme = url.scheme().toLower();
  // The pages name the web site by this link, so its address lives in one place.
  if (scheme == QStringLiteral("quintar") && url.path() == QStringLiteral("website")) {
    platform::Desktop().desktop->OpenWithDesktop(app::kWebsiteUrl);
    return;
  }
  if (scheme == QStringLiteral("http") || scheme == QStringLiteral("https") || scheme == QStringLiteral("mailto")) {
    platform::Desktop().desktop->OpenWithDesktop(table_ui::S(url.toString()));
    return;
  }
  QUrl target = source().resolved(url);
  // Only the help's own pages are shown here; anything else is not ours to open.
  if (target.scheme() != QStringLiteral("qrc") || !target.path().startsWith(QStringLiteral("/quintar/help/"))) return;
  if (target.adjusted(QUrl::RemoveFragment) == source().adjusted(QUrl::RemoveFragment) && target.hasFragment())
    scrollToAnchor(target.fragment());
  else
    setSource(target);
}

void CHelpView::ApplyUiScale() {
  // The pages read a little larger than the grids, in the same face.
  QFont f = g_fontUI;
  f.setPointSizeF(g_fontUI.pointSizeF() > 0 ? g_fontUI.pointSizeF() + 1.5 : 10.5);
  document()->setDefaultFont(f);
  setFont(f);
}

void RegisterHelpView() {
  RegisterViewFactory(app::kHelpViewId, [](CMainFrame& frame) {
    auto* view = new CHelpView(&frame);
    view->OnInitialUpdate();
    ViewPlug plug;
    plug.widget = view;
    plug.help = view;
    plug.fontChanged = [view] { view->ApplyUiScale(); };
    return plug;
  });
}

}  // namespace app_ui

#pragma once
// CHelpView (view 1007): the program's help pages in a text browser. The pages are
// UTF-8 HTML among the program's resources (":/quintar/help/4500.html" ...), linked
// to each other and to their pictures by relative names. Web addresses and the
// "官方网站" topic open in the desktop's browser; the page shown stays.
#include <QTextBrowser>
#include <string>

#include "app/views.h"

namespace app_ui {

class CHelpView : public QTextBrowser, public app::IHelpNav {
  Q_OBJECT
 public:
  explicit CHelpView(QWidget* parent = nullptr);

  // First update: the frame and page 4500.
  void OnInitialUpdate();
  // The page of the first topic word in the text (app::HelpPageFor).
  void ShowHelpTopic(const std::string& topic) override;
  void ShowPage(int page);
  // The page shown (4500..4510), 0 before the first update.
  int CurrentPage() const;
  // The interface scale changed.
  void ApplyUiScale();

  static QUrl PageUrl(int page);

 private:
  void OnLink(const QUrl& url);
};

// Registers view 1007 with the main frame (call before the frame is built).
void RegisterHelpView();

}  // namespace app_ui

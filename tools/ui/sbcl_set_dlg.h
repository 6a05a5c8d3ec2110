#pragma once
// CSbClSetDlg ("碎部测量设置"): the detail-survey settings. The rules of OK live in
// tools::CSbClSetForm; the dialog shows the settings and reads them back.
#include <QDialog>
#include <map>

#include "tools/detail_survey.h"

class QLineEdit;

class CSbClSetDlg : public QDialog {
  Q_OBJECT
 public:
  // Control ids of the dialog, named after what they edit.
  enum Control : int {
    kMode = 1040, kClockwise = 1092, kBacksight = 1103, kBacksightX = 1104, kBacksightY = 1105,
    kStation = 1106, kStationX = 1107, kStationY = 1108, kStationH = 1109, kInstrument = 1110,
    kIndexError = 1111, kBacksightH = 1113, kShow = 1041, kDot = 1112,
  };

  explicit CSbClSetDlg(const tools::DetailSurveySettings& settings, QWidget* parent = nullptr);
  const tools::DetailSurveySettings& Settings() const { return form_.values; }

  QWidget* ControlOf(int id) const;
  // OK as the button runs it: false (dialog stays open) after a message.
  bool TryAccept();

 private:
  QLineEdit* Edit(int id);
  bool Fetch();

  tools::CSbClSetForm form_;
  std::map<int, QWidget*> controls_;
  // What each edit showed when the dialog opened: an edit still showing it keeps the
  // value it stood for (a number shown as "1e-09" or a name as it was).
  std::map<int, QString> shown_;
  int shownMode_ = 0, shownShow_ = 0;
};

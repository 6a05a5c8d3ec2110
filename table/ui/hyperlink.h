#pragma once
// The About box's link: an underlined static text in link colours that opens its
// address with the desktop's program and turns to the visited colour when that works.
#include <QLabel>

class CHyperLink : public QLabel {
  Q_OBJECT
 public:
  explicit CHyperLink(const QString& text = QString(), QWidget* parent = nullptr);

  static inline const QColor kLinkColour{0, 0, 238};
  static inline const QColor kVisitedColour{85, 26, 200};
  static inline const QColor kHoverColour{255, 0, 0};

  // Stores the address; refits the window and updates the tool tip.
  void SetLinkAddress(const QString& address);
  QString LinkAddress() const { return address_; }
  void SetUnderlineFont(bool underline);
  void SetVisited(bool visited);
  bool Visited() const { return visited_; }
  bool Hovered() const { return hovered_; }
  void SetAutoSize(bool fit);
  // The colour the text is drawn in now.
  QColor TextColour() const;

  // Opens the address: on success the link is visited, otherwise a beep and
  // "Unable to open hyperlink:\n\n" with the reason.
  void OnClicked();

  // The reason text of a launch failure code.
  static QString ErrorText(int code);

  // Code reported when the desktop has no program for the address.
  static constexpr int kNoAssociation = 31;

 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Fit();
  void ApplyFont();

  bool hovered_ = false;
  bool visited_ = false;
  bool underline_ = true;
  bool fit_ = true;
  QString address_;
};

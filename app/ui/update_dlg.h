#pragma once
// CUpdateDlg ("软件在线升级"): checks the update server for a newer version and
// downloads it. Everything runs on the UI thread with asynchronous network replies,
// so the user goes on working; 隐藏 hides the dialog, F3 shows it again, 退出 aborts
// whatever runs and destroys the dialog.
//
// The download goes into a private temporary folder and is kept only when the server
// answered 200, the length and the SHA-256 match the version document; then it is
// moved under a unique name into the download folder and the dialog says where.
// Nothing is executed and the program stays open.
#include <QCryptographicHash>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkReply>
#include <QPointer>
#include <QUrl>
#include <memory>
#include <string>

class QLabel;
class QNetworkAccessManager;
class QPlainTextEdit;
class QPushButton;
class QTemporaryDir;
class QTimer;
class CTextProgressCtrl;

namespace app_ui {

// Where the dialog looks and how long it waits.
struct UpdateOptions {
  QString infoUrl;      // "" -> profile "settings"/"UpdateUrl", else the default
  QString downloadDir;  // "" -> the user's download folder
  QString tempRoot;     // "" -> the system's temporary folder
  // Tests only: plain http to a server on this machine. The program never sets
  // it, so the version document, its hash and the package come over https.
  bool loopbackHttpForTests = false;
  int checkLimitMs = 30000;       // the whole check, however slowly the document comes
  int downloadWindowMs = 30000;   // each such window of a download must bring ...
  qint64 downloadWindowBytes = 16 * 1024;  // ... at least this much, or it is cut off
};

class CUpdateDlg : public QDialog {
  Q_OBJECT
 public:
  using Options = UpdateOptions;
  CUpdateDlg(const std::string& currentVersion, QWidget* parent = nullptr, Options options = {});
  ~CUpdateDlg() override;

  // Buttons: 1007 "检测更新", 1 "下载升级", 1008 "隐藏", 2 "退出".
  void OnCheckUpdate();
  void OnDownload();
  void OnHide();
  void OnQuit();
  void OnDownloadProgress(const QString& text, int percent);

  // What the dialog shows, for its owner and tests.
  std::string MessageText() const { return m_strMessage; }  // with its CR LF
  QString ProgressText() const;
  int ProgressPos() const;
  QPushButton* Button(int id) const;
  QString FieldText(int id) const;  // 1128 .. 1131
  QString TempFolder() const;       // "" when no download is in progress
  std::string SavedPath() const { return m_strSavedPath; }
  int Result() const { return m_nResult; }  // last download result code, 0 before
  bool Busy() const { return m_checkReply || m_downloadReply; }

  std::string m_strInfoUrl;
  std::string m_strLatestVersion;
  std::string m_strImportance = "0";
  std::string m_strFileSize;
  std::string m_strUpdateDate;
  std::string m_strNotes;
  std::string m_strDownloadUrl;
  std::string m_strSha256;
  std::string m_strCurrentVersion;

 signals:
  void checkFinished();
  void downloadFinished(int code);
  void progressChanged(const QString& text, int percent);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override {}  // Esc never closes; 退出 and the close box do

 private:
  void SetMessage(const std::string& text);
  void SetProgressText(const std::string& text);
  void StartCheck(const QUrl& url);
  void CheckDone();
  void StartDownload(const QUrl& url);
  // A 3xx answer: true when its target may be fetched (m_redirectTarget).
  bool FollowRedirect(QNetworkReply* reply);
  void DownloadData();
  void DownloadDone();
  void FinishDownload(int code);
  int Verify();
  bool RedirectAllowed(const QUrl& target) const;
  // https, or http to this machine when the tests ask for it.
  bool SchemeAllowed(const QUrl& url) const;
  // "" when the temporary and the download folder can take `bytes`, else why not.
  std::string SpaceProblem(qint64 bytes) const;
  void CheckTimedOut();
  void DownloadWatch();
  void DropTemp();

  Options options_;
  QNetworkAccessManager* nam_ = nullptr;
  QPointer<QNetworkReply> m_checkReply;
  QPointer<QNetworkReply> m_downloadReply;
  bool m_bDownloadStarted = false;
  QByteArray m_info;
  bool m_bInfoTooLong = false;
  bool m_bRedirectRefused = false;
  int m_nHops = 0;
  QUrl m_redirectTarget;
  QString m_finalName;
  bool m_bTooLarge = false;
  bool m_bWriteFailed = false;
  bool m_bCheckTimedOut = false;
  bool m_bDownloadStalled = false;
  QTimer* m_checkTimer = nullptr;
  QTimer* m_downloadTimer = nullptr;
  qint64 m_nWindowStart = 0;  // bytes received when the current window began
  std::unique_ptr<QTemporaryDir> m_tempDir;
  QFile m_file;
  QCryptographicHash m_hash{QCryptographicHash::Sha256};
  qint64 m_nReceived = 0;
  qint64 m_nExpected = 0;
  QElapsedTimer m_clock;
  std::string m_strMessage;
  std::string m_strSavedPath;
  int m_nResult = 0;

  CTextProgressCtrl* m_wndProgress = nullptr;
  QPlainTextEdit* m_wndMessage = nullptr;
  QLabel* fields_[4] = {};
  QPushButton* check_ = nullptr;
  QPushButton* download_ = nullptr;
  QPushButton* hide_ = nullptr;
  QPushButton* quit_ = nullptr;
};

}  // namespace app_ui

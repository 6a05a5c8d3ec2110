#include "app/ui/update_dlg.h"

#include <QCloseEvent>
#include <algorithm>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHostAddress>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include "app/update.h"
#include "app/version.h"
#include "platform/ports.h"
#include "platform/services.h"
#include "table/ui/qt_ports.h"
#include "table/ui/text_progress.h"
#include "table/ui/ui_scale.h"

namespace app_ui {

using table_ui::Q;
using table_ui::S;

namespace {

constexpr qint64 kChunk = 256 * 1024;  // bytes read and hashed per turn of the event loop
constexpr int kCheckTimeoutMs = 30000;
constexpr int kStallTimeoutMs = 60000;

QNetworkRequest Request(const QUrl& url) {
  QNetworkRequest req(url);
  // Redirects are followed by hand, each one checked against the update server.
  req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
  req.setRawHeader("Cache-Control", "no-cache");
  req.setRawHeader("Accept", "*/*");
  req.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Quintar/%1").arg(Q(app::kProgramVersion)));
  return req;
}

int Port(const QUrl& u) { return u.port(u.scheme() == QStringLiteral("https") ? 443 : 80); }

bool IsRedirect(int status) { return status == 301 || status == 302 || status == 303 || status == 307 || status == 308; }

}  // namespace

CUpdateDlg::CUpdateDlg(const std::string& currentVersion, QWidget* parent, Options options)
    : QDialog(parent), options_(std::move(options)) {
  m_strCurrentVersion = currentVersion;
  setObjectName(QStringLiteral("updateDlg209"));
  setWindowTitle(QString::fromUtf8("软件在线升级"));
  setModal(false);
  setFont(g_fontUI);

  QString info = options_.infoUrl;
  if (info.isEmpty())
    info = Q(platform::Desktop().profile->GetString("settings", "UpdateUrl", app::DefaultUpdateInfoUrl()));
  m_strInfoUrl = S(info);
  nam_ = new QNetworkAccessManager(this);
  // The desktop's proxy settings hold for the update server, but a server on this
  // machine is never reached through a proxy (nor waits for one to be discovered).
  const QString host = QUrl(info).host();
  if (host == QStringLiteral("localhost") || QHostAddress(host).isLoopback()) nam_->setProxy(QNetworkProxy::NoProxy);

  auto* group = new QGroupBox(QString::fromUtf8("版本信息"), this);
  auto* grid = new QGridLayout(group);
  const char* captions[4] = {"当前版本：", "最新版本：", "更新日期：", "文件大小："};
  for (int i = 0; i < 4; ++i) {
    grid->addWidget(new QLabel(QString::fromUtf8(captions[i]), group), i, 0);
    fields_[i] = new QLabel(group);
    fields_[i]->setObjectName(QStringLiteral("field%1").arg(1128 + i));
    fields_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    fields_[i]->setTextFormat(Qt::PlainText);  // what the server sends is never markup
    grid->addWidget(fields_[i], i, 1);
  }
  grid->setColumnStretch(1, 1);
  m_wndMessage = new QPlainTextEdit(this);
  m_wndMessage->setObjectName(QStringLiteral("message1125"));
  m_wndMessage->setReadOnly(true);
  m_wndMessage->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m_wndProgress = new CTextProgressCtrl(this);
  m_wndProgress->setObjectName(QStringLiteral("progress1127"));
  m_wndProgress->setMinimumHeight(22);

  auto mk = [this](const char* text, int id) {
    auto* b = new QPushButton(QString::fromUtf8(text), this);
    b->setObjectName(QStringLiteral("button%1").arg(id));
    b->setAutoDefault(false);  // Enter presses nothing
    return b;
  };
  check_ = mk("检测更新", 1007);
  download_ = mk("下载升级", 1);
  hide_ = mk("隐藏", 1008);
  quit_ = mk("退出", 2);
  connect(check_, &QPushButton::clicked, this, &CUpdateDlg::OnCheckUpdate);
  connect(download_, &QPushButton::clicked, this, &CUpdateDlg::OnDownload);
  connect(hide_, &QPushButton::clicked, this, &CUpdateDlg::OnHide);
  connect(quit_, &QPushButton::clicked, this, &CUpdateDlg::OnQuit);
  connect(this, &CUpdateDlg::progressChanged, this, &CUpdateDlg::OnDownloadProgress);
  m_checkTimer = new QTimer(this);
  m_checkTimer->setSingleShot(true);
  connect(m_checkTimer, &QTimer::timeout, this, &CUpdateDlg::CheckTimedOut);
  m_downloadTimer = new QTimer(this);
  connect(m_downloadTimer, &QTimer::timeout, this, &CUpdateDlg::DownloadWatch);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (QPushButton* b : {check_, download_, hide_, quit_}) buttons->addWidget(b);
  auto* lay = new QVBoxLayout(this);
  lay->addWidget(group);
  lay->addWidget(m_wndMessage, 1);
  lay->addWidget(m_wndProgress);
  lay->addLayout(buttons);
  resize(460, 360);

  // OnInitDialog
  fields_[0]->setText(Q(app::FormatVersion(m_strCurrentVersion)) + QStringLiteral(" (%1)").arg(Q(m_strCurrentVersion)));
  m_wndProgress->SetRange(0, 100);
  m_wndProgress->SetPos(0);
  m_wndProgress->SetText(QStringLiteral(" "));
  download_->setEnabled(false);
  SetMessage(app::kMsgCheckFirst);
}

CUpdateDlg::~CUpdateDlg() {
  // Replies go with the manager; their partial file and folder with us.
  if (m_checkReply) m_checkReply->abort();
  if (m_downloadReply) m_downloadReply->abort();
  DropTemp();
}

QPushButton* CUpdateDlg::Button(int id) const {
  switch (id) {
    case 1007: return check_;
    case 1: return download_;
    case 1008: return hide_;
    case 2: return quit_;
    default: return nullptr;
  }
}

QString CUpdateDlg::FieldText(int id) const {
  return id >= 1128 && id <= 1131 ? fields_[id - 1128]->text() : QString();
}

QString CUpdateDlg::ProgressText() const { return m_wndProgress->Text(); }
int CUpdateDlg::ProgressPos() const { return m_wndProgress->GetPos(); }
QString CUpdateDlg::TempFolder() const { return m_tempDir ? m_tempDir->path() : QString(); }

void CUpdateDlg::SetMessage(const std::string& text) {
  m_strMessage = text;
  QString shown = Q(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  m_wndMessage->setPlainText(shown);
}

void CUpdateDlg::SetProgressText(const std::string& text) { m_wndProgress->SetText(Q(text)); }

void CUpdateDlg::OnDownloadProgress(const QString& text, int percent) {
  m_wndProgress->SetText(text);
  if (percent >= 0) m_wndProgress->SetPos(percent);
}

bool CUpdateDlg::SchemeAllowed(const QUrl& url) const {
  if (!url.isValid()) return false;
  if (url.scheme() == QStringLiteral("https")) return true;
  if (!options_.loopbackHttpForTests || url.scheme() != QStringLiteral("http")) return false;
  return url.host() == QStringLiteral("localhost") || QHostAddress(url.host()).isLoopback();
}

bool CUpdateDlg::RedirectAllowed(const QUrl& target) const {
  // Only the update server itself: same scheme, same host, same port.
  const QUrl server(Q(m_strInfoUrl));
  return SchemeAllowed(target) && target.scheme() == server.scheme() &&
         target.host().compare(server.host(), Qt::CaseInsensitive) == 0 && Port(target) == Port(server);
}

std::string CUpdateDlg::SpaceProblem(qint64 bytes) const {
  if (bytes <= 0) return {};
  QString temp = options_.tempRoot.isEmpty() ? QDir::tempPath() : options_.tempRoot;
  QString dir = options_.downloadDir;
  if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  if (dir.isEmpty()) dir = QDir::homePath();
  // The folder itself may not exist yet: ask the nearest one that does.
  auto existing = [](QString path) {
    QFileInfo fi(path);
    while (!fi.exists() && fi.absolutePath() != fi.absoluteFilePath()) fi = QFileInfo(fi.absolutePath());
    return fi.absoluteFilePath();
  };
  const QStorageInfo tempDisk(existing(temp)), dirDisk(existing(dir));
  // A little room beyond the package for the file system's own needs.
  const qint64 needed = bytes + 1024 * 1024;
  if (tempDisk.isValid() && tempDisk.bytesAvailable() < needed)
    return app::NoSpaceMessage(S(QDir::toNativeSeparators(temp)), bytes, tempDisk.bytesAvailable());
  if (dirDisk.isValid() && dirDisk.rootPath() != tempDisk.rootPath() && dirDisk.bytesAvailable() < needed)
    return app::NoSpaceMessage(S(QDir::toNativeSeparators(dir)), bytes, dirDisk.bytesAvailable());
  return {};
}

bool CUpdateDlg::FollowRedirect(QNetworkReply* reply) {
  QUrl target = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
  target = reply->url().resolved(target);
  if (m_nHops >= app::kMaxUpdateRedirects || !RedirectAllowed(target)) {
    m_bRedirectRefused = true;
    return false;
  }
  ++m_nHops;
  m_redirectTarget = target;
  return true;
}

// ---- check ----

void CUpdateDlg::OnCheckUpdate() {
  if (m_checkReply) return;
  check_->setEnabled(false);
  SetProgressText(app::kMsgChecking);
  SetMessage(app::kMsgChecking);
  download_->setEnabled(false);
  m_strLatestVersion.clear();
  m_strDownloadUrl.clear();
  m_bRedirectRefused = false;
  m_bCheckTimedOut = false;
  m_nHops = 0;
  const QUrl url(Q(m_strInfoUrl));
  if (!SchemeAllowed(url)) {
    // The document names the package and its hash: over plain http anyone on the
    // way could offer another.
    check_->setEnabled(true);
    SetProgressText(app::kProgCheckFailed);
    SetMessage(app::InsecureAddressMessage(m_strInfoUrl));
    emit checkFinished();
    return;
  }
  m_checkTimer->start(std::max(1, options_.checkLimitMs));
  StartCheck(url);
}

void CUpdateDlg::CheckTimedOut() {
  if (!m_checkReply) return;
  m_bCheckTimedOut = true;
  m_checkReply->abort();  // its finished handler reports
}

void CUpdateDlg::StartCheck(const QUrl& url) {
  m_info.clear();
  m_bInfoTooLong = false;
  QNetworkRequest req = Request(url);
  req.setTransferTimeout(kCheckTimeoutMs);
  QNetworkReply* reply = nam_->get(req);
  m_checkReply = reply;
  connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
    if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200) {
      reply->readAll();
      return;
    }
    // The document is small; a server that sends more is cut off, not buffered.
    m_info += reply->read(qint64(app::kMaxVersionInfoBytes) + 1 - m_info.size());
    if (m_info.size() > qsizetype(app::kMaxVersionInfoBytes)) {
      m_bInfoTooLong = true;
      reply->abort();
    }
  });
  connect(reply, &QNetworkReply::finished, this, &CUpdateDlg::CheckDone);
}

void CUpdateDlg::CheckDone() {
  QNetworkReply* reply = m_checkReply;
  if (!reply) return;
  m_checkReply = nullptr;
  reply->deleteLater();
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (!m_bCheckTimedOut && IsRedirect(status) && FollowRedirect(reply)) {
    StartCheck(m_redirectTarget);
    return;
  }
  m_checkTimer->stop();
  if (m_bCheckTimedOut) {
    check_->setEnabled(true);
    SetProgressText(app::kProgCheckFailed);
    SetMessage(app::kMsgCheckTimedOut);
    emit checkFinished();
    return;
  }
  if (!m_bInfoTooLong && !m_bRedirectRefused && status == 0 && reply->error() != QNetworkReply::NoError) {
    check_->setEnabled(true);
    SetProgressText(app::kProgConnectFailed);
    SetMessage(app::kMsgConnectFailed);
    emit checkFinished();
    return;
  }
  app::VersionInfo info;
  if (!m_bInfoTooLong && !m_bRedirectRefused && status == 200 && reply->error() == QNetworkReply::NoError) {
    m_info += reply->readAll().left(qsizetype(app::kMaxVersionInfoBytes) - m_info.size());
    info = app::ParseVersionInfo(std::string_view(m_info.constData(), std::size_t(m_info.size())));
  }
  m_strLatestVersion = info.version;
  m_strFileSize = info.size;
  m_strUpdateDate = info.date;
  m_strImportance = info.importance;
  m_strNotes = info.notes;
  m_strSha256 = info.sha256;
  fields_[1]->setText(Q(info.version.empty() ? std::string() : app::FormatVersion(info.version) + " (" + info.version + ")"));
  fields_[2]->setText(Q(info.date));
  fields_[3]->setText(Q(app::FormatFileSize(info.size)));
  m_strDownloadUrl.clear();
  if (!info.url.empty()) {
    QUrl pkg = QUrl(Q(m_strInfoUrl)).resolved(QUrl(Q(info.url)));
    // A package elsewhere than on the update server, or one that cannot be verified,
    // is no offer.
    if (RedirectAllowed(pkg) && app::IsVerifiable(info)) m_strDownloadUrl = S(pkg.toString());
  }
  if (m_strLatestVersion.empty() || m_strDownloadUrl.empty()) {
    SetProgressText(app::kProgCheckFailed);
    check_->setEnabled(true);
    SetMessage(app::kMsgCheckFailed);
    emit checkFinished();
    return;
  }
  if (!app::IsNewerVersion(m_strCurrentVersion, m_strLatestVersion)) {
    SetMessage(app::kMsgUpToDate);
    SetProgressText(" ");
    emit checkFinished();
    return;
  }
  SetMessage(app::NewVersionMessage(m_strImportance, m_strNotes));
  download_->setEnabled(true);
  SetProgressText(app::kProgNewVersion);
  emit checkFinished();
}

// ---- download ----

void CUpdateDlg::OnDownload() {
  if (m_bDownloadStarted) return;
  if (m_strLatestVersion.empty()) {
    platform::Messages().ShowMessage(app::kBoxNoVersion);
    return;
  }
  if (m_strDownloadUrl.empty()) {
    platform::Messages().ShowMessage(app::kBoxNoUrl);
    return;
  }
  // Ctrl+D after "up to date": the server's package is no newer than this program.
  if (!app::IsNewerVersion(m_strCurrentVersion, m_strLatestVersion)) {
    SetMessage(app::kMsgUpToDate);
    return;
  }
  const std::string space = SpaceProblem(app::ParseSize(m_strFileSize));
  if (!space.empty()) {
    SetProgressText(app::kProgDownloadFailed);
    SetMessage(space);
    m_nResult = app::kDownloadNoSpace;
    emit downloadFinished(app::kDownloadNoSpace);
    return;
  }
  check_->setEnabled(false);
  download_->setEnabled(false);
  m_bDownloadStarted = true;
  SetProgressText(app::kProgDownloadStart);
  m_wndProgress->SetRange(0, 100);
  m_wndProgress->SetPos(0);
  SetMessage(app::kMsgDownloadStart);

  const QUrl url(Q(m_strDownloadUrl));
  QString root = options_.tempRoot.isEmpty() ? QDir::tempPath() : options_.tempRoot;
  m_tempDir = std::make_unique<QTemporaryDir>(QDir(root).filePath(QStringLiteral("quintar-update-XXXXXX")));
  QString name = QFileInfo(url.path()).fileName();
  while (name.startsWith('.')) name.remove(0, 1);
  if (name.isEmpty()) name = QString::fromUtf8("Quintar升级文件");
  if (m_tempDir->isValid()) {
    m_file.setFileName(m_tempDir->filePath(name));
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) m_file.setFileName(QString());
  }
  if (!m_tempDir->isValid() || !m_file.isOpen()) {
    FinishDownload(app::kDownloadSaveFailed);
    return;
  }
  m_hash.reset();
  m_nReceived = 0;
  m_nExpected = app::ParseSize(m_strFileSize);
  m_bRedirectRefused = m_bTooLarge = m_bWriteFailed = m_bDownloadStalled = false;
  m_clock.start();
  m_nWindowStart = 0;
  m_downloadTimer->start(std::max(1, options_.downloadWindowMs));

  m_nHops = 0;
  StartDownload(url);
}

void CUpdateDlg::StartDownload(const QUrl& url) {
  QNetworkRequest req = Request(url);
  req.setTransferTimeout(kStallTimeoutMs);
  QNetworkReply* reply = nam_->get(req);
  // Back-pressure: Qt buffers no more than this while the hash catches up.
  reply->setReadBufferSize(4 * kChunk);
  m_downloadReply = reply;
  connect(reply, &QNetworkReply::readyRead, this, &CUpdateDlg::DownloadData);
  connect(reply, &QNetworkReply::finished, this, &CUpdateDlg::DownloadDone);
}

void CUpdateDlg::DownloadData() {
  QNetworkReply* reply = m_downloadReply;
  if (!reply) return;
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (status != 200) {
    reply->readAll();  // an error page is not the package
    return;
  }
  QByteArray data = reply->read(kChunk);
  if (data.isEmpty()) return;
  m_nReceived += data.size();
  if (m_nExpected > 0 && m_nReceived > m_nExpected) {
    // More than announced: not the package, and no reason to fill the disk.
    m_bTooLarge = true;
    reply->abort();
    return;
  }
  m_hash.addData(data);
  if (m_file.write(data) != data.size()) {
    m_bWriteFailed = true;
    reply->abort();
    return;
  }
  qint64 total = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
  emit progressChanged(Q(app::DownloadProgressText(m_nReceived, m_clock.elapsed())),
                       app::DownloadPercent(m_nReceived, total));
  // The rest of what has arrived waits for the next turn, so the UI never stalls.
  if (reply->bytesAvailable() > 0)
    QTimer::singleShot(0, this, [this] { DownloadData(); });
}

// A transfer that crawls (a byte a second) would never end on its own.
void CUpdateDlg::DownloadWatch() {
  if (!m_downloadReply) {
    m_downloadTimer->stop();
    return;
  }
  if (m_nReceived - m_nWindowStart < options_.downloadWindowBytes) {
    m_bDownloadStalled = true;
    m_downloadTimer->stop();
    m_downloadReply->abort();
    return;
  }
  m_nWindowStart = m_nReceived;
}

void CUpdateDlg::DownloadDone() {
  QNetworkReply* reply = m_downloadReply;
  if (!reply) return;
  // What is still buffered belongs to the body.
  while (!m_bTooLarge && !m_bWriteFailed && reply->bytesAvailable() > 0 &&
         reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200) {
    qint64 before = m_nReceived;
    DownloadData();
    if (m_nReceived == before) break;
  }
  m_downloadReply = nullptr;
  reply->deleteLater();
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  const QNetworkReply::NetworkError error = reply->error();
  if (!m_bDownloadStalled && IsRedirect(status) && FollowRedirect(reply)) {
    StartDownload(m_redirectTarget);
    return;
  }
  m_downloadTimer->stop();
  // The name the server finally gave the package, not that of a redirecting address.
  if (status == 200) m_finalName = QFileInfo(reply->url().path()).fileName();
  int code;
  if (m_bWriteFailed) code = app::kDownloadSaveFailed;
  else if (m_bDownloadStalled) code = app::kDownloadTooSlow;
  else if (m_bTooLarge) code = app::kDownloadNotVerified;
  else if (m_bRedirectRefused) code = app::kDownloadServerRefused;
  else if (status != 0 && status != 200) code = app::kDownloadServerRefused;
  else if (status == 0 && error != QNetworkReply::NoError) code = app::kDownloadConnectFailed;
  else if (error != QNetworkReply::NoError || m_nReceived == 0) code = app::kDownloadReadFailed;
  else {
    qint64 length = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    bool hasLength = reply->header(QNetworkRequest::ContentLengthHeader).isValid();
    code = hasLength && length != m_nReceived ? app::kDownloadReadFailed : Verify();
  }
  FinishDownload(code);
}

int CUpdateDlg::Verify() {
  if (m_nReceived != m_nExpected) return app::kDownloadNotVerified;
  if (m_hash.result().toHex() != QByteArray::fromStdString(m_strSha256)) return app::kDownloadNotVerified;
  if (!m_file.flush()) return app::kDownloadSaveFailed;
  m_file.close();
  QString dir = options_.downloadDir;
  if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  if (dir.isEmpty()) dir = QDir::homePath();
  if (!QDir().mkpath(dir)) return app::kDownloadSaveFailed;
  QString finalName = m_finalName;
  while (finalName.startsWith('.')) finalName.remove(0, 1);
  const QFileInfo src(finalName.isEmpty() ? QFileInfo(m_file.fileName()).fileName() : finalName);
  const QString base = src.completeBaseName(), suffix = src.suffix();
  // Never over an existing file: name(1).ext, name(2).ext, ...
  for (int i = 0; i < 1000; ++i) {
    QString name = i == 0 ? src.fileName()
                          : QStringLiteral("%1(%2)%3").arg(base).arg(i).arg(suffix.isEmpty() ? QString() : "." + suffix);
    QString target = QDir(dir).filePath(name);
    if (QFileInfo::exists(target)) continue;
    if (QFile::rename(m_file.fileName(), target)) {
      m_strSavedPath = S(QDir::toNativeSeparators(target));
      return app::kDownloadOk;
    }
    if (!QFileInfo::exists(target)) return app::kDownloadSaveFailed;
  }
  return app::kDownloadSaveFailed;
}

void CUpdateDlg::FinishDownload(int code) {
  m_nResult = code;
  m_downloadTimer->stop();
  if (m_file.isOpen()) m_file.close();
  DropTemp();
  if (code == app::kDownloadOk) {
    SetProgressText(app::kProgDownloadDone);
    m_wndProgress->SetPos(100);
    SetMessage(app::DownloadSavedMessage(m_strSavedPath));
  } else {
    SetProgressText(app::kProgDownloadFailed);
    SetMessage(app::DownloadFailureMessage(code));
    // The message asks to try again: both ways stay open.
    m_bDownloadStarted = false;
    check_->setEnabled(true);
    download_->setEnabled(true);
  }
  emit downloadFinished(code);
}

void CUpdateDlg::DropTemp() {
  if (!m_tempDir) return;
  if (m_file.isOpen()) m_file.close();
  m_tempDir->remove();
  m_tempDir.reset();
}

// ---- hide, quit, keys ----

void CUpdateDlg::OnHide() { hide(); }

void CUpdateDlg::OnQuit() {
  // Abort first: the replies' finished handlers see no reply of ours any more.
  QNetworkReply* check = m_checkReply;
  QNetworkReply* download = m_downloadReply;
  m_checkReply = nullptr;
  m_downloadReply = nullptr;
  if (check) check->abort();
  if (download) download->abort();
  DropTemp();
  hide();
  deleteLater();
}

void CUpdateDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_D && (event->modifiers() & Qt::ControlModifier)) {
    if (!m_bDownloadStarted) OnDownload();
    return;
  }
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return;  // neither closes the dialog
    default:
      QDialog::keyPressEvent(event);
  }
}

void CUpdateDlg::closeEvent(QCloseEvent* event) {
  event->ignore();
  OnQuit();
}

}  // namespace app_ui

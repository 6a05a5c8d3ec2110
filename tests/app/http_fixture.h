#pragma once
// A tiny HTTP/1.1 server on 127.0.0.1 for the update tests, run by the test's own
// event loop: each path answers as its route says (status, headers, body, pace).
// Nothing leaves the machine.
#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <map>

struct HttpRoute {
  int status = 200;
  QByteArray body;
  QByteArray contentType = "application/octet-stream";
  bool sendLength = true;
  qint64 lengthOverride = -1;  // announce this length instead of the body's
  qint64 cutAfter = -1;        // close the connection after this many body bytes
  QByteArray location;         // for 3xx
  int paceMs = 0;              // > 0: the body goes out in paceBytes pieces at this pace
  int paceBytes = 1024;
  bool endless = false;        // body without end (until the client goes)
};

inline HttpRoute Resp(int status, QByteArray body = {}, QByteArray type = "application/octet-stream") {
  HttpRoute r;
  r.status = status;
  r.body = std::move(body);
  r.contentType = std::move(type);
  return r;
}

class HttpFixture : public QObject {
 public:
  HttpFixture() {
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* s = server_.nextPendingConnection()) Serve(s);
    });
  }
  quint16 Port() const { return server_.serverPort(); }
  QString Url(const QString& path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(Port()).arg(path); }
  void Route(const QByteArray& path, HttpRoute r) { routes_[path] = std::move(r); }

  std::vector<QByteArray> requests;  // paths in the order asked for
  int disconnects = 0;                // connections the client closed before the end

 private:
  void Serve(QTcpSocket* s) {
    auto buf = std::make_shared<QByteArray>();
    auto take = [this, s, buf] {
      *buf += s->readAll();
      int end = buf->indexOf("\r\n\r\n");
      if (end < 0) return;
      QByteArray line = buf->left(buf->indexOf("\r\n"));
      QByteArray path = line.split(' ').value(1);
      requests.push_back(path);
      buf->clear();
      Answer(s, path);
    };
    connect(s, &QTcpSocket::readyRead, s, take);
    connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
    if (s->bytesAvailable() > 0) take();  // what came before we listened
  }

  void Answer(QTcpSocket* s, const QByteArray& path) {
    auto it = routes_.find(path);
    HttpRoute r = it == routes_.end() ? Resp(404, "<html>not here</html>", "text/html") : it->second;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(r.status) + " X\r\nConnection: close\r\n";
    head += "Content-Type: " + r.contentType + "\r\n";
    if (!r.location.isEmpty()) head += "Location: " + r.location + "\r\n";
    if (r.sendLength && !r.endless)
      head += "Content-Length: " + QByteArray::number(r.lengthOverride >= 0 ? r.lengthOverride : r.body.size()) + "\r\n";
    head += "\r\n";
    s->write(head);
    QByteArray body = r.cutAfter >= 0 ? r.body.left(r.cutAfter) : r.body;
    if (r.paceMs <= 0 && !r.endless) {
      s->write(body);
      s->disconnectFromHost();
      return;
    }
    // Paced or endless: a timer feeds the socket until done or the client leaves.
    QPointer<QTcpSocket> sock(s);
    auto* timer = new QTimer(s);
    auto sent = std::make_shared<qint64>(0);
    connect(s, &QTcpSocket::disconnected, this, [this, sent, body, r] {
      if (r.endless || *sent < body.size()) ++disconnects;
    });
    connect(timer, &QTimer::timeout, s, [sock, timer, sent, body, r] {
      if (!sock || sock->state() != QAbstractSocket::ConnectedState) return;
      if (r.endless) {
        if (sock->bytesToWrite() < 1 << 20) sock->write(QByteArray(r.paceBytes, 'x'));
        return;
      }
      QByteArray piece = body.mid(*sent, r.paceBytes);
      *sent += piece.size();
      sock->write(piece);
      if (*sent >= body.size()) {
        timer->stop();
        sock->disconnectFromHost();
      }
    });
    timer->start(r.endless ? 1 : r.paceMs);
  }

  QTcpServer server_;
  std::map<QByteArray, HttpRoute> routes_;
};

// Runs the event loop until the condition holds or the time is up; true when it held.
inline bool WaitFor(const std::function<bool()>& done, int ms = 10000) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  return true;
}

#pragma once
// The sync tests' CardDAV server (tests/support/radicale.sh, started by CTest before them)
// and the test's own requests to it, written as a phone writes them.

#include "platform/AtomicFile.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace mv::test {

inline const std::string kState = MERVANE_RADICALE_STATE;

inline std::map<std::string, std::string> serverEnv() {
  std::map<std::string, std::string> env;
  std::string text;
  if (!readWholeFile(kState + "/radicale.env", text)) return env;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end - start);
    if (const auto eq = line.find('='); eq != std::string::npos)
      env[line.substr(0, eq)] = line.substr(eq + 1);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return env;
}

inline void radicale(const char* action) {
  QProcess::execute("sh", {MERVANE_RADICALE_SCRIPT, action, QString::fromStdString(kState)});
}

// The server side: plain requests to one address book, the way a phone sends them.
class Phone {
 public:
  explicit Phone(QUrl book) : book_(std::move(book)) {}
  const QUrl& url() const { return book_; }

  int request(const QByteArray& verb, const QUrl& url, const QByteArray& body = {},
              QByteArray* answer = nullptr, QByteArray depth = {}) {
    QNetworkRequest r(url);
    r.setRawHeader("Authorization", "Basic " + QByteArray("mervane:secret").toBase64());
    if (!depth.isEmpty()) r.setRawHeader("Depth", depth);
    if (verb == "PUT") r.setRawHeader("Content-Type", "text/vcard");
    QNetworkReply* reply = manager_.sendCustomRequest(r, verb, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) loop.exec();
    if (answer) *answer = reply->readAll();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    reply->deleteLater();
    return status;
  }
  bool create() {
    return request("MKCOL", book_,
                   "<?xml version=\"1.0\"?><mkcol xmlns=\"DAV:\" "
                   "xmlns:C=\"urn:ietf:params:xml:ns:carddav\"><set><prop><resourcetype>"
                   "<collection/><C:addressbook/></resourcetype></prop></set></mkcol>") == 201;
  }
  void put(const QString& name, const std::string& card) {
    EXPECT_LT(request("PUT", book_.resolved(QUrl(name)), QByteArray::fromStdString(card)), 300);
  }
  void remove(const QString& name) {
    EXPECT_LT(request("DELETE", book_.resolved(QUrl(name))), 300);
  }
  // Every card by its file name.
  std::map<QString, std::string> cards() {
    QByteArray xml;
    request("PROPFIND", book_, "<propfind xmlns=\"DAV:\"><prop><getetag/></prop></propfind>", &xml,
            "1");
    std::map<QString, std::string> out;
    static const QRegularExpression href("<href>([^<]*\\.vcf)</href>");
    for (auto m = href.globalMatch(QString::fromUtf8(xml)); m.hasNext();) {
      const QString path = m.next().captured(1);
      QByteArray card;
      request("GET", book_.resolved(QUrl(path)), {}, &card);
      out[path.section('/', -1)] = card.toStdString();
    }
    return out;
  }
  // The card whose text holds `text` replaced by `card`, under the UID it had: a phone
  // edits a contact, it does not make another one.
  void change(const std::string& text, std::string card) {
    const QString name = find(text);
    const std::string old = cards()[name];
    static const QRegularExpression uid("UID:[^\r\n]*");
    const QString oldUid = uid.match(QString::fromStdString(old)).captured(0);
    card = QString::fromStdString(card).replace(uid, oldUid).toStdString();
    put(name, card);
  }
  // The file name of the card whose text holds `text`.
  QString find(const std::string& text) {
    for (const auto& [name, card] : cards())
      if (card.find(text) != std::string::npos) return name;
    return {};
  }

 private:
  QUrl book_;
  QNetworkAccessManager manager_;
};

}  // namespace mv::test

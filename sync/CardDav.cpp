#include "sync/CardDav.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUuid>
#include <QXmlStreamReader>

namespace mv::sync {
namespace {

constexpr int kTimeoutMs = 60'000;
constexpr int kBatch = 100;  // cards per addressbook-multiget

constexpr const char* kDav = "DAV:";
constexpr const char* kCardDav = "urn:ietf:params:xml:ns:carddav";

bool isLocalHost(const QString& host) {
  return host == QLatin1String("127.0.0.1") || host == QLatin1String("::1") ||
         host == QLatin1String("[::1]") || host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0;
}

// One <response> of a multistatus: its href and what its successful propstat said.
struct DavResponse {
  QString href;
  QString etag;
  QByteArray addressData;
  bool addressBook = false;
  bool collection = false;
  QString displayName;
  QString principal;  // current-user-principal's href
  QString home;       // addressbook-home-set's href
  QString syncToken;  // the collection's, as a property
  bool ok = true;     // the response as a whole (404 for a card gone)
};

// Reads the parts of a multistatus the client asks for; the rest is skipped. `token` gets
// the sync-token a sync-collection report ends with.
std::vector<DavResponse> parseMultistatus(const QByteArray& xml, QString* token = nullptr) {
  std::vector<DavResponse> out;
  QXmlStreamReader r(xml);
  DavResponse current;
  bool inResponse = false;
  bool inPropstat = false;
  bool propOk = true;
  DavResponse props;  // of the propstat being read
  QString parent;     // the property an <href> is inside
  while (!r.atEnd()) {
    r.readNext();
    if (r.isStartElement()) {
      const QStringView name = r.name();
      const QStringView ns = r.namespaceUri();
      if (ns == QLatin1String(kDav) && name == QLatin1String("response")) {
        current = DavResponse{};
        inResponse = true;
      } else if (!inResponse) {
        if (ns == QLatin1String(kDav) && name == QLatin1String("sync-token") && token)
          *token = r.readElementText().trimmed();
        continue;
      } else if (ns == QLatin1String(kDav) && name == QLatin1String("propstat")) {
        props = DavResponse{};
        propOk = true;
        inPropstat = true;
      } else if (ns == QLatin1String(kDav) && name == QLatin1String("href")) {
        const QString text = r.readElementText().trimmed();
        if (parent == QLatin1String("current-user-principal"))
          props.principal = text;
        else if (parent == QLatin1String("addressbook-home-set"))
          props.home = text;
        else if (parent.isEmpty())
          current.href = text;
      } else if (ns == QLatin1String(kDav) && name == QLatin1String("status")) {
        const QString text = r.readElementText();
        const bool good = text.contains(QLatin1String(" 200"));
        // A status inside the propstat speaks for its properties; one directly in the
        // response (a card asked for that is gone) for the whole response.
        if (inPropstat)
          propOk = good;
        else
          current.ok = good;
      } else if (ns == QLatin1String(kDav) && name == QLatin1String("getetag")) {
        props.etag = r.readElementText().trimmed();
      } else if (ns == QLatin1String(kDav) && name == QLatin1String("sync-token")) {
        props.syncToken = r.readElementText().trimmed();
      } else if (ns == QLatin1String(kDav) && name == QLatin1String("displayname")) {
        props.displayName = r.readElementText().trimmed();
      } else if (ns == QLatin1String(kCardDav) && name == QLatin1String("address-data")) {
        props.addressData = r.readElementText().toUtf8();
      } else if (ns == QLatin1String(kCardDav) && name == QLatin1String("addressbook")) {
        props.addressBook = true;
      } else if (ns == QLatin1String(kDav) && name == QLatin1String("collection")) {
        props.collection = true;
      } else if (name == QLatin1String("current-user-principal") ||
                 name == QLatin1String("addressbook-home-set")) {
        parent = name.toString();
      }
    } else if (r.isEndElement()) {
      const QStringView name = r.name();
      if (name == QLatin1String("current-user-principal") ||
          name == QLatin1String("addressbook-home-set")) {
        parent.clear();
      } else if (name == QLatin1String("propstat") && inResponse) {
        inPropstat = false;
        if (propOk) {
          if (!props.syncToken.isEmpty()) current.syncToken = props.syncToken;
          if (!props.etag.isEmpty()) current.etag = props.etag;
          if (!props.addressData.isEmpty()) current.addressData = props.addressData;
          current.addressBook = current.addressBook || props.addressBook;
          current.collection = current.collection || props.collection;
          if (!props.displayName.isEmpty()) current.displayName = props.displayName;
          if (!props.principal.isEmpty()) current.principal = props.principal;
          if (!props.home.isEmpty()) current.home = props.home;
        }
      } else if (name == QLatin1String("response") && inResponse) {
        out.push_back(current);
        inResponse = false;
      }
    }
  }
  return out;
}

QByteArray xmlEscaped(const QString& text) { return text.toHtmlEscaped().toUtf8(); }

// Paths compare without a trailing slash and with their escapes decoded.
QString normalPath(const QString& path) {
  QString p = QUrl::fromPercentEncoding(path.toUtf8());
  while (p.size() > 1 && p.endsWith(QLatin1Char('/'))) p.chop(1);
  return p;
}

}  // namespace

std::string describe(DavError error, const QUrl& url) {
  const std::string where = url.toDisplayString(QUrl::RemoveUserInfo).toStdString();
  switch (error) {
    case DavError::None: return {};
    case DavError::PlainHttp:
      return "The server's address starts with http://: passwords and cards would travel "
             "unencrypted. Use https://, or allow plain HTTP for this account.";
    case DavError::Refused: return "The server refused the user name or password.";
    case DavError::Unreachable: return "Cannot reach the server at " + where + ".";
    case DavError::NotAddressBook: return where + " is not an address book.";
    case DavError::Failed: return "The server at " + where + " did not do what was asked.";
  }
  return {};
}

DavClient::DavClient(Account account) : account_(std::move(account)) {
  manager_.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

bool DavClient::allowed(const QUrl& url) {
  const QString scheme = url.scheme().toLower();
  if (scheme == QLatin1String("https")) return true;
  if (scheme == QLatin1String("http") && (account_.allowHttp || isLocalHost(url.host())))
    return true;
  error_ = scheme == QLatin1String("http") ? DavError::PlainHttp : DavError::Unreachable;
  return false;
}

std::optional<DavClient::Reply> DavClient::send(
    const QByteArray& verb, const QUrl& url, const QByteArray& body,
    const QList<QPair<QByteArray, QByteArray>>& headers) {
  if (!allowed(url)) return std::nullopt;
  QNetworkRequest request(url);
  // Sent with the first request: a server that asks first would cost every card a round trip.
  const QByteArray credentials = (account_.user + QLatin1Char(':') + account_.password).toUtf8();
  request.setRawHeader("Authorization", "Basic " + credentials.toBase64());
  request.setRawHeader("User-Agent", "Mervane");
  for (const auto& [name, value] : headers) request.setRawHeader(name, value);
  if (!body.isEmpty() && !request.hasRawHeader("Content-Type"))
    request.setRawHeader("Content-Type", "application/xml; charset=utf-8");
  request.setTransferTimeout(kTimeoutMs);
  QNetworkReply* reply = manager_.sendCustomRequest(request, verb, body);
  QEventLoop loop;
  QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  if (!reply->isFinished()) loop.exec();
  Reply out;
  out.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  out.body = reply->readAll();
  out.etag = reply->rawHeader("ETag");
  if (out.status >= 300 && out.status < 400)
    out.redirect = url.resolved(QUrl(QString::fromUtf8(reply->rawHeader("Location"))));
  reply->deleteLater();
  status_ = out.status;
  if (out.status == 0) {
    error_ = DavError::Unreachable;
    return std::nullopt;
  }
  if (out.status == 401 || out.status == 403) {
    error_ = DavError::Refused;
    return std::nullopt;
  }
  error_ = DavError::None;
  return out;
}

std::optional<QByteArray> DavClient::multistatus(const QByteArray& verb, const QUrl& url,
                                                 const QByteArray& depth, const QByteArray& body) {
  const auto reply = send(verb, url, body, {{"Depth", depth}});
  if (!reply) return std::nullopt;
  if (reply->status != 207) {
    error_ = reply->status == 404 || reply->status == 405 || reply->status == 501 ||
                     reply->status == 400
                 ? DavError::NotAddressBook
                 : DavError::Failed;
    return std::nullopt;
  }
  return reply->body;
}

QUrl DavClient::resolve(const QString& href) const { return account_.url.resolved(QUrl(href)); }

QString DavClient::newHref(const QString& uid) const {
  QString path = account_.url.path();
  if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
  return path + uid + QLatin1String(".vcf");
}

std::optional<Listing> DavClient::listCards(const QString& syncToken) {
  if (!syncToken.isEmpty()) {
    // Only what changed since the last sync (RFC 6578); a token the server no longer
    // knows falls back to the whole listing.
    const QByteArray body =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
        "<d:sync-collection xmlns:d=\"DAV:\"><d:sync-token>" + xmlEscaped(syncToken) +
        "</d:sync-token><d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop>"
        "</d:sync-collection>";
    const auto reply = send("REPORT", account_.url, body, {{"Depth", "1"}});
    if (!reply) return std::nullopt;
    if (reply->status == 207) {
      Listing listing;
      listing.changesOnly = true;
      const QString self = normalPath(account_.url.path());
      for (const DavResponse& r : parseMultistatus(reply->body, &listing.syncToken)) {
        if (normalPath(resolve(r.href).path()) == self) continue;
        if (!r.ok)
          listing.removed.push_back(r.href);
        else if (!r.etag.isEmpty())
          listing.cards.push_back(CardRef{r.href, r.etag});
      }
      if (!listing.syncToken.isEmpty()) return listing;
    }
  }
  const QByteArray body =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
      "<d:propfind xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\"><d:prop>"
      "<d:resourcetype/><d:getetag/><d:sync-token/></d:prop></d:propfind>";
  const auto xml = multistatus("PROPFIND", account_.url, "1", body);
  if (!xml) return std::nullopt;
  Listing listing;
  bool isBook = false;
  const QString self = normalPath(account_.url.path());
  for (const DavResponse& r : parseMultistatus(*xml)) {
    if (normalPath(resolve(r.href).path()) == self) {
      isBook = r.addressBook;
      listing.syncToken = r.syncToken;
      continue;
    }
    if (r.collection || !r.ok || r.etag.isEmpty()) continue;
    listing.cards.push_back(CardRef{r.href, r.etag});
  }
  if (!isBook) {
    error_ = DavError::NotAddressBook;
    return std::nullopt;
  }
  return listing;
}

std::optional<std::vector<FetchedCard>> DavClient::fetch(const std::vector<QString>& hrefs) {
  std::vector<FetchedCard> out;
  for (std::size_t from = 0; from < hrefs.size(); from += kBatch) {
    QByteArray body =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
        "<c:addressbook-multiget xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\">"
        "<d:prop><d:getetag/><c:address-data/></d:prop>";
    for (std::size_t i = from; i < std::min(hrefs.size(), from + kBatch); ++i)
      body += "<d:href>" + xmlEscaped(hrefs[i]) + "</d:href>";
    body += "</c:addressbook-multiget>";
    const auto xml = multistatus("REPORT", account_.url, "1", body);
    if (!xml) return std::nullopt;
    for (DavResponse& r : parseMultistatus(*xml)) {
      if (!r.ok || r.addressData.isEmpty()) continue;
      out.push_back(FetchedCard{r.href, r.etag, std::move(r.addressData)});
    }
  }
  return out;
}

std::optional<QString> DavClient::put(const QString& href, const QByteArray& card,
                                      const QString& ifMatch) {
  QList<QPair<QByteArray, QByteArray>> headers{{"Content-Type", "text/vcard; charset=utf-8"}};
  if (ifMatch.isEmpty())
    headers.append(qMakePair(QByteArray("If-None-Match"), QByteArray("*")));
  else
    headers.append(qMakePair(QByteArray("If-Match"), ifMatch.toUtf8()));
  const auto reply = send("PUT", resolve(href), card, headers);
  if (!reply) return std::nullopt;
  if (reply->status < 200 || reply->status >= 300) {
    error_ = DavError::Failed;
    return std::nullopt;
  }
  return QString::fromUtf8(reply->etag);
}

bool DavClient::remove(const QString& href, const QString& ifMatch) {
  const auto reply = send("DELETE", resolve(href), {}, {{"If-Match", ifMatch.toUtf8()}});
  if (!reply) return false;
  if ((reply->status >= 200 && reply->status < 300) || reply->status == 404) return true;
  error_ = DavError::Failed;
  return false;
}

std::optional<std::vector<AddressBookInfo>> DavClient::findAddressBooks() {
  const QByteArray body =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
      "<d:propfind xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\"><d:prop>"
      "<d:resourcetype/><d:displayname/><d:current-user-principal/><c:addressbook-home-set/>"
      "</d:prop></d:propfind>";
  QUrl url = account_.url;
  if (url.path().isEmpty() || url.path() == QLatin1String("/")) {
    // The server says where its address books are.
    url.setPath(QStringLiteral("/.well-known/carddav"));
    const auto reply = send("PROPFIND", url, body, {{"Depth", "0"}});
    if (!reply && error_ == DavError::Refused) return std::nullopt;
    url = reply && !reply->redirect.isEmpty() ? reply->redirect : account_.url;
  }
  std::vector<AddressBookInfo> books;
  // The URL, then its principal, then the principal's home: at each step the address
  // books found end the search.
  for (int step = 0; step < 3; ++step) {
    const auto xml = multistatus("PROPFIND", url, "1", body);
    if (!xml) return error_ == DavError::NotAddressBook ? std::optional(books) : std::nullopt;
    QString principal;
    QString home;
    for (const DavResponse& r : parseMultistatus(*xml)) {
      if (r.addressBook) {
        const QUrl bookUrl = url.resolved(QUrl(r.href));
        QString name = r.displayName;
        if (name.isEmpty()) name = normalPath(bookUrl.path()).section(QLatin1Char('/'), -1);
        books.push_back(AddressBookInfo{bookUrl, name});
      }
      if (principal.isEmpty()) principal = r.principal;
      if (home.isEmpty()) home = r.home;
    }
    if (!books.empty()) return books;
    const QString next = !home.isEmpty() ? home : principal;
    if (next.isEmpty() || normalPath(url.resolved(QUrl(next)).path()) == normalPath(url.path()))
      break;
    url = url.resolved(QUrl(next));
  }
  return books;
}

}  // namespace mv::sync

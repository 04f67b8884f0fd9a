#pragma once
// A CardDAV client over QtNetwork that answers synchronously: each request runs its own
// event loop until the reply is in, so the sync, the command line and the tests read as
// straight code. Finds the address books under a URL, lists a collection's cards with
// their ETags, fetches cards in batches and writes and deletes them with preconditions.

#include <QNetworkAccessManager>
#include <QUrl>

#include <optional>
#include <string>
#include <vector>

namespace mv::sync {

struct Account {
  QUrl url;  // an address book (a collection) or where to look for them
  QString user;
  QString password;
  bool allowHttp = false;  // plain HTTP to a host other than this machine
};

enum class DavError {
  None,
  PlainHttp,       // http:// to another machine without the user's leave
  Refused,         // 401 / 403: the user name or password
  Unreachable,     // no connection, a timeout, a name that does not resolve
  NotAddressBook,  // the URL answers, but is no CardDAV address book
  Failed,          // any other answer the request cannot go on from
};

// One sentence for the user (the command line prints it as it is).
std::string describe(DavError error, const QUrl& url);

struct CardRef {
  QString href;  // as the server names it: a path, or an absolute URL
  QString etag;
};
// What a collection holds, or what changed in it since a sync token.
struct Listing {
  std::vector<CardRef> cards;    // every card, or those new or changed since the token
  std::vector<QString> removed;  // changesOnly: the cards deleted since the token
  QString syncToken;             // for the next sync; empty when the server keeps none
  bool changesOnly = false;
};
struct FetchedCard {
  QString href;
  QString etag;
  QByteArray data;
};
struct AddressBookInfo {
  QUrl url;
  QString name;  // the display name, or the last part of the path
};

class DavClient {
 public:
  explicit DavClient(Account account);

  DavError error() const noexcept { return error_; }
  int lastStatus() const noexcept { return status_; }
  const Account& account() const noexcept { return account_; }

  // The address books under the account's URL: the URL itself when it is one, else
  // through current-user-principal and addressbook-home-set, after /.well-known/carddav
  // when the URL has no path.
  std::optional<std::vector<AddressBookInfo>> findAddressBooks();
  // Every card of the collection with its ETag (PROPFIND, depth 1), or with `syncToken`
  // only the changes since (sync-collection) where the server still knows the token.
  // NotAddressBook when the collection is none.
  std::optional<Listing> listCards(const QString& syncToken = {});
  // The cards named (addressbook-multiget), in batches; cards the server no longer has
  // are not in the answer.
  std::optional<std::vector<FetchedCard>> fetch(const std::vector<QString>& hrefs);
  // PUT: `ifMatch` empty creates (If-None-Match: *), else replaces that version only.
  // The new ETag (empty when the server gives none); nullopt on failure, and
  // lastStatus() 412 when the card is not the version named.
  std::optional<QString> put(const QString& href, const QByteArray& card, const QString& ifMatch);
  // DELETE of that version. A card that is gone already counts as deleted.
  bool remove(const QString& href, const QString& ifMatch);

  // An href (path or URL) as a URL on the account's server.
  QUrl resolve(const QString& href) const;
  // A new card's href in the collection.
  QString newHref(const QString& uid) const;

 private:
  struct Reply {
    int status = 0;
    QByteArray body;
    QByteArray etag;
    QUrl redirect;
  };
  std::optional<Reply> send(const QByteArray& verb, const QUrl& url, const QByteArray& body,
                            const QList<QPair<QByteArray, QByteArray>>& headers);
  // A multistatus request that must answer 207.
  std::optional<QByteArray> multistatus(const QByteArray& verb, const QUrl& url,
                                        const QByteArray& depth, const QByteArray& body);
  bool allowed(const QUrl& url);

  Account account_;
  QNetworkAccessManager manager_;
  DavError error_ = DavError::None;
  int status_ = 0;
};

}  // namespace mv::sync

#pragma once
// The optional start-up password (table UsersData).

#include <QString>

#include "store/ArticleStore.h"

namespace store {

constexpr int kMaxPasswordLength = 50;

// s without leading and trailing blanks (characters up to the space,
// control characters included); other characters are kept.
QString trimPassword(const QString& s);

// The stored password of user (compared case-insensitively); null gives "".
QString GetPassword(ArticleStore& s, const QString& user);
// Stores newPassword (empty clears it). Throws StoreError, changing nothing,
// when it is longer than kMaxPasswordLength characters.
void changePassword(ArticleStore& s, const QString& user, const QString& newPassword);

}  // namespace store

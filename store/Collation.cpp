// The collation of the program's text columns.
//
// Latin letters compare without regard to case and Chinese text sorts in
// pinyin order (QCollator for zh_CN, backed by ICU). QCollator is slow per
// call, so two shortcuts keep ORDER BY and "=" fast: byte-equal values and
// pairs of plain ASCII words (letters, digits, blanks, where ICU's order is
// the case-folded byte order) never reach ICU, and ICU sort keys are cached.
// Values that ICU ranks equal but that differ in more than the case of Latin
// letters are ordered by their case-folded bytes, so the collation is a total
// order whose equality is exactly "equal ignoring Latin case".

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>

#include "store/EngineDetail.h"
#include "store/FullText.h"
#include "store/SqlText.h"

namespace store::detail {

namespace {

inline unsigned char fold(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

bool plainAscii(const char* p, int n) {
    for (int i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(p[i]);
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == ' '))
            return false;
    }
    return true;
}

int foldedCompare(const char* a, int na, const char* b, int nb) {
    const int n = na < nb ? na : nb;
    for (int i = 0; i < n; ++i) {
        const unsigned char x = fold(static_cast<unsigned char>(a[i]));
        const unsigned char y = fold(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return na == nb ? 0 : (na < nb ? -1 : 1);
}

struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};
struct Eq {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return a == b; }
};

class KeyCache {
  public:
    KeyCache() : collator_(QLocale(QLocale::Chinese, QLocale::China)) {
        collator_.setCaseSensitivity(Qt::CaseInsensitive);
        collator_.setNumericMode(false);
    }
    // Makes room before a comparison so that references stay valid during it.
    void prepare() {
        if (keys_.size() > kMaxEntries) keys_.clear();
    }
    const QCollatorSortKey& key(const char* p, int n) {
        const std::string_view v(p, static_cast<size_t>(n));
        auto it = keys_.find(v);
        if (it != keys_.end()) return it->second;
        QCollatorSortKey k = collator_.sortKey(QString::fromUtf8(p, n));
        return keys_.emplace(std::string(v), std::move(k)).first->second;
    }

  private:
    static constexpr size_t kMaxEntries = 65536;
    QCollator collator_;
    std::unordered_map<std::string, QCollatorSortKey, Hash, Eq> keys_;
};

KeyCache& cache() {
    thread_local KeyCache c;
    return c;
}

int collate(void*, int na, const void* pa, int nb, const void* pb) {
    return compareText(static_cast<const char*>(pa), na, static_cast<const char*>(pb), nb);
}

}  // namespace

int compareText(const char* a, int na, const char* b, int nb) {
    if (na == nb && std::memcmp(a, b, static_cast<size_t>(na)) == 0) return 0;
    if (plainAscii(a, na) && plainAscii(b, nb)) return foldedCompare(a, na, b, nb);
    KeyCache& c = cache();
    c.prepare();
    const QCollatorSortKey& ka = c.key(a, na);
    const QCollatorSortKey& kb = c.key(b, nb);
    const int r = ka.compare(kb);
    if (r != 0) return r < 0 ? -1 : 1;
    return foldedCompare(a, na, b, nb);
}

void registerCollation(sqlite3* db) {
    const int rc = sqlite3_create_collation_v2(db, sqltext::kTextCollation, SQLITE_UTF8, nullptr,
                                               &collate, nullptr);
    if (rc != SQLITE_OK) fail(db, QStringLiteral("registering the text collation"));
    // Every handle of the store passes here: the full-text index's triggers
    // and table need their function and tokenizer on each of them.
    registerFullText(db);
}

}  // namespace store::detail

#include "store/RowStore.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cstring>

#include "store/EngineDetail.h"

namespace store::detail {

namespace {

enum Tag : char { kNull = 0, kInt = 1, kReal = 2, kText = 3, kBlob = 4 };

const char* skip(const char* p) {
    switch (*p) {
        case kInt:
        case kReal:
            return p + 9;
        case kText:
        case kBlob: {
            quint32 n;
            std::memcpy(&n, p + 1, 4);
            return p + 5 + n;
        }
        default:
            return p + 1;
    }
}

QVariant decode(const char* p) {
    switch (*p) {
        case kInt: {
            qint64 v;
            std::memcpy(&v, p + 1, 8);
            return QVariant(qlonglong(v));
        }
        case kReal: {
            double v;
            std::memcpy(&v, p + 1, 8);
            return QVariant(v);
        }
        case kText:
        case kBlob: {
            quint32 n;
            std::memcpy(&n, p + 1, 4);
            if (*p == kText) return QVariant(QString::fromUtf8(p + 5, qsizetype(n)));
            return QVariant(QByteArray(p + 5, qsizetype(n)));
        }
        default:
            return QVariant();
    }
}

}  // namespace

// Records in chunks of a megabyte; a larger record gets its own block.
class RowStore::Arena {
  public:
    Arena() = default;
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;
    ~Arena() {
        reset();
        for (char* c : chunks_) ::operator delete(c);
    }
    char* alloc(size_t n) {
        if (n > kChunk) {
            big_.push_back(static_cast<char*>(::operator new(n)));
            return big_.back();
        }
        if (current_ >= chunks_.size() || used_ + n > kChunk) {
            if (current_ < chunks_.size()) ++current_;
            if (current_ == chunks_.size())
                chunks_.push_back(static_cast<char*>(::operator new(kChunk)));
            used_ = 0;
        }
        char* p = chunks_[current_] + used_;
        used_ += n;
        return p;
    }
    void reset() {
        for (char* b : big_) ::operator delete(b);
        big_.clear();
        current_ = 0;
        used_ = 0;
    }

  private:
    static constexpr size_t kChunk = 1 << 20;
    std::vector<char*> chunks_;
    std::vector<char*> big_;
    size_t current_ = 0;
    size_t used_ = 0;
};

RowStore::RowStore() : arena_(std::make_unique<Arena>()) {}

RowStore::~RowStore() = default;

void RowStore::clear() {
    rows_.clear();
    arena_->reset();
}

const char* RowStore::read(sqlite3_stmt* st, int first, int n, qint64 rowid) {
    scratch_.resize(8);
    std::memcpy(scratch_.data(), &rowid, 8);
    for (int c = first; c < first + n; ++c) appendValue(st, c);
    char* p = arena_->alloc(scratch_.size());
    std::memcpy(p, scratch_.data(), scratch_.size());
    return p;
}

void RowStore::appendValue(sqlite3_stmt* st, int col) {
    const int type = sqlite3_column_type(st, col);
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
        char buf[9];
        buf[0] = type == SQLITE_INTEGER ? kInt : kReal;
        if (type == SQLITE_INTEGER) {
            const qint64 v = sqlite3_column_int64(st, col);
            std::memcpy(buf + 1, &v, 8);
        } else {
            const double v = sqlite3_column_double(st, col);
            std::memcpy(buf + 1, &v, 8);
        }
        scratch_.insert(scratch_.end(), buf, buf + 9);
    } else if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
        const void* data = type == SQLITE_TEXT
                               ? static_cast<const void*>(sqlite3_column_text(st, col))
                               : sqlite3_column_blob(st, col);
        const quint32 len = quint32(sqlite3_column_bytes(st, col));
        char head[5];
        head[0] = type == SQLITE_TEXT ? kText : kBlob;
        std::memcpy(head + 1, &len, 4);
        scratch_.insert(scratch_.end(), head, head + 5);
        const char* bytes = static_cast<const char*>(data);
        if (len) scratch_.insert(scratch_.end(), bytes, bytes + len);
    } else {
        scratch_.push_back(kNull);
    }
}

qint64 RowStore::rowid(int row) const {
    qint64 v;
    std::memcpy(&v, rows_[size_t(row)], 8);
    return v;
}

const char* RowStore::at(int row, int slot) const {
    const char* p = rows_[size_t(row)] + 8;
    for (int i = 0; i < slot; ++i) p = skip(p);
    return p;
}

QVariant RowStore::field(int row, int slot) const {
    return decode(at(row, slot));
}

bool RowStore::integersOnly(int slot) const {
    for (int r = 0; r < count(); ++r) {
        const char tag = *at(r, slot);
        if (tag != kInt && tag != kNull) return false;
    }
    return true;
}

void RowStore::shiftIntegers(int slot, qint64 lo, qint64 hi, qint64 delta, qint64 except) {
    for (int r = 0; r < count(); ++r) {
        // The records are the store's own memory; only this changes them.
        char* p = const_cast<char*>(at(r, slot));
        if (*p != kInt || rowid(r) == except) continue;
        qint64 v;
        std::memcpy(&v, p + 1, 8);
        if (v < lo || v > hi) continue;
        v += delta;
        std::memcpy(p + 1, &v, 8);
    }
}

void RowStore::sortByInteger(int slot) {
    struct Key {
        bool notNull;
        qint64 value;
        qint64 rowid;
        const char* rec;
    };
    std::vector<Key> keys;
    keys.reserve(rows_.size());
    for (int r = 0; r < count(); ++r) {
        const char* p = at(r, slot);
        qint64 v = 0;
        if (*p == kInt) std::memcpy(&v, p + 1, 8);
        keys.push_back({*p != kNull, v, rowid(r), rows_[size_t(r)]});
    }
    std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        if (a.notNull != b.notNull) return !a.notNull;
        if (a.value != b.value) return a.value < b.value;
        return a.rowid < b.rowid;
    });
    for (size_t i = 0; i < keys.size(); ++i) rows_[i] = keys[i].rec;
}

}  // namespace store::detail

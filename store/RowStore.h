#pragma once
// The loaded rows of a record set. Per row one record: the rowid, then the
// narrow fields, each a tag byte and its value; the records live in large
// chunks, so 100,000 rows cost a few bytes over their data. `field` is the
// one way to read a value; the integer operations serve renumbering and
// ordering the loaded rows in place.

#include <QVariant>
#include <memory>
#include <vector>

struct sqlite3_stmt;

namespace store::detail {

class RowStore {
  public:
    RowStore();
    ~RowStore();
    RowStore(const RowStore&) = delete;
    RowStore& operator=(const RowStore&) = delete;

    int count() const { return int(rows_.size()); }
    // Forgets the rows but keeps the memory: a record set is reopened often,
    // with about as many rows.
    void clear();

    // A record of columns first .. first+n-1 of the statement's current row;
    // placed with append or replace.
    const char* read(sqlite3_stmt* st, int first, int n, qint64 rowid);
    void append(const char* record) { rows_.push_back(record); }
    void replace(int row, const char* record) { rows_[size_t(row)] = record; }
    void erase(int row) { rows_.erase(rows_.begin() + row); }

    qint64 rowid(int row) const;
    // The value in position `slot` of a row's narrow fields (null: invalid).
    QVariant field(int row, int slot) const;

    // Whether every row holds an integer or null in the slot.
    bool integersOnly(int slot) const;
    // Adds delta to the integer in the slot of every row whose value lies in
    // [lo, hi], except the row with rowid `except`.
    void shiftIntegers(int slot, qint64 lo, qint64 hi, qint64 delta, qint64 except);
    // Orders the rows by the integer in the slot as "order by" does: nulls
    // first, then by value, ties by rowid.
    void sortByInteger(int slot);

  private:
    class Arena;
    const char* at(int row, int slot) const;
    void appendValue(sqlite3_stmt* st, int col);

    std::unique_ptr<Arena> arena_;
    std::vector<char> scratch_;  // the record being built
    std::vector<const char*> rows_;
};

}  // namespace store::detail

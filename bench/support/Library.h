#pragma once
// A generated library for the benchmarks: Chinese titles and categories,
// plain bodies of about 2 KB and every 20th article an RTF body of about
// 30 KB, written straight through the engine (the generation is not what is
// measured).

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <random>

namespace store {
class Connection;
}

namespace benchlib {

// Common characters the generated text is drawn from.
const QString& pool();

QString randomChinese(std::mt19937& rng, int n);

// A plain body of about `bytes` bytes of UTF-8: sentences and line breaks.
QString plainBody(std::mt19937& rng, int bytes);

// An RTF body of about 30 KB: code page 936 text as \'hh escapes; with
// boldEvery > 0 every such paragraph is bold.
QByteArray rtfBody(std::mt19937& rng, int boldEvery = 0);

// Category names of 2 to 4 characters.
QStringList categories(std::mt19937& rng, int n);

// Appends articles 1..n (order numbers 1..n) to `table`, which exists, in
// one transaction. Titles of 8 to 30 characters, categories drawn from
// `cats`.
void fillWorkbook(store::Connection& c, const QString& table, int n, const QStringList& cats,
                  std::mt19937& rng, int rtfBoldEvery = 0);

}  // namespace benchlib

#include "platform/core/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include "platform/core/TextCodec.h"

namespace platform {
namespace {

QStringList readLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QString text = fromGbk(f.readAll());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.split(QLatin1Char('\n'));
}

// "[name]" -> name, otherwise a null string.
QString sectionName(const QString& line) {
    QString t = line.trimmed();
    if (t.startsWith(QLatin1Char('[')) && t.contains(QLatin1Char(']')))
        return t.mid(1, t.indexOf(QLatin1Char(']')) - 1).trimmed();
    return {};
}

bool isComment(const QString& t) {
    return t.startsWith(QLatin1Char(';'));
}

}  // namespace

ProfileFile::ProfileFile(QString path) : path_(std::move(path)) {}

QString ProfileFile::readString(const QString& section, const QString& key,
                                const QString& def) const {
    const QStringList lines = readLines(path_);
    bool inSection = false;
    for (const QString& line : lines) {
        QString s = sectionName(line);
        if (!s.isNull()) {
            inSection = s.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection) continue;
        QString t = line.trimmed();
        if (t.isEmpty() || isComment(t)) continue;
        int eq = t.indexOf(QLatin1Char('='));
        if (eq < 0) continue;
        if (t.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0) continue;
        QString v = t.mid(eq + 1).trimmed();
        // A value wrapped in matching quotes loses them, as the Windows rules do.
        if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
            v.back() == v.front())
            v = v.mid(1, v.size() - 2);
        return v;
    }
    return def;
}

int ProfileFile::readInteger(const QString& section, const QString& key, int def) const {
    const QString v = readString(section, key, QString());
    if (v.isNull()) return def;
    bool ok = false;
    qint64 n = 0;
    if (v.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        n = static_cast<qint64>(v.mid(2).toULongLong(&ok, 16));
    else
        n = v.toLongLong(&ok, 10);
    if (!ok) return def;
    // Values are 32-bit: 0xFF000005 and -16777211 are the same colour code.
    return static_cast<int>(static_cast<quint32>(n & 0xFFFFFFFF));
}

bool ProfileFile::writeString(const QString& section, const QString& key, const QString& value) {
    bool encOk = true;
    toGbk(value, &encOk);
    if (!encOk || value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        return false;

    QStringList lines = readLines(path_);
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty()) lines.removeLast();

    int sectionStart = -1;
    int sectionEnd = -1;  // index of the first line after the section
    for (int i = 0; i < lines.size(); ++i) {
        QString s = sectionName(lines[i]);
        if (s.isNull()) continue;
        if (sectionStart >= 0) {
            sectionEnd = i;
            break;
        }
        if (s.compare(section, Qt::CaseInsensitive) == 0) sectionStart = i;
    }
    const QString entry = key + QLatin1Char('=') + value;
    if (sectionStart < 0) {
        if (!lines.isEmpty()) lines.append(QString());
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(entry);
    } else {
        if (sectionEnd < 0) sectionEnd = lines.size();
        bool replaced = false;
        int lastEntry = sectionStart;
        for (int i = sectionStart + 1; i < sectionEnd; ++i) {
            QString t = lines[i].trimmed();
            if (t.isEmpty() || isComment(t)) continue;
            lastEntry = i;
            int eq = t.indexOf(QLatin1Char('='));
            if (eq >= 0 && t.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
                lines[i] = entry;
                replaced = true;
                break;
            }
        }
        if (!replaced) lines.insert(lastEntry + 1, entry);
    }

    QSaveFile f(path_);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(toGbk(lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n")));
    return f.commit();
}

bool ProfileFile::writeInteger(const QString& section, const QString& key, int value) {
    return writeString(section, key, QString::number(value));
}

QString ProfileFile::pathForProgram(const QString& programPath) {
    QFileInfo fi(programPath);
    const QString name = fi.fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? name.left(dot) : name;
    return fi.absoluteDir().filePath(base + QLatin1String(".ini"));
}

}  // namespace platform

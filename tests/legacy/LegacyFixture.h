#pragma once
// Paths of the Jet test libraries and the import tool, and a reader of the
// manifest that lists every article the reference library must give.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include "tests/support/Helpers.h"

namespace legacytest {

inline QString dataPath(const QString& name) {
    return QStringLiteral(YUNJAN_SOURCE_DIR "/tests/data/legacy-mdb/") + name;
}

inline QString toolPath() {
    return QStringLiteral(YUNJAN_BINARY_DIR "/tools/yunjan-import-mdb");
}

using testsupport::fileHash;
using testsupport::readAll;

struct ManifestRow {
    QString table;
    qint64 id = 0;
    QString group;
    QString theme;
    bool isFormat = false;
    QString kind;     // "bytes", "utf8" or "null"
    QByteArray body;  // the exact bytes of the expected body file
    bool seqNull = false;
    int seqNo = 0;
};

inline QList<ManifestRow> manifest() {
    QList<ManifestRow> rows;
    const QList<QByteArray> lines =
        readAll(dataPath(QStringLiteral("expected/manifest.tsv"))).split('\n');
    for (const QByteArray& line : lines) {
        if (line.trimmed().isEmpty()) continue;
        const QStringList f = QString::fromUtf8(line).split(u'\t');
        if (f.size() < 7) continue;
        ManifestRow r;
        r.table = f[0];
        r.id = f[1].toLongLong();
        r.group = f[2];
        r.theme = f[3];
        r.isFormat = f[4] == QLatin1String("1");
        r.kind = f[5].section(u':', 0, 0);
        const QString ext =
            r.kind == QLatin1String("bytes") ? QStringLiteral("bin") : QStringLiteral("utf8");
        if (r.kind != QLatin1String("null"))
            r.body = readAll(dataPath(
                QStringLiteral("expected/%1.%2.content.%3").arg(r.table).arg(r.id).arg(ext)));
        r.seqNull = f[6] == QLatin1String("NULL");
        r.seqNo = f[6].toInt();
        rows << r;
    }
    return rows;
}

}  // namespace legacytest

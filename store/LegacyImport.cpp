#include "store/LegacyImport.h"

#include <fcntl.h>
#include <iconv.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include "store/Engine.h"

namespace store {

namespace {

QString g_toolPath;

QByteArray convert(const char* to, const char* from, const QByteArray& in, bool* lossless) {
    *lossless = true;
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) {
        *lossless = false;
        return QByteArray();
    }
    QByteArray out;
    out.resize(in.size() * 4 + 16);
    char* src = const_cast<char*>(in.constData());
    size_t srcLeft = size_t(in.size());
    char* dst = out.data();
    size_t dstLeft = size_t(out.size());
    while (srcLeft > 0) {
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != size_t(-1)) break;
        if (errno == E2BIG) break;  // cannot happen with the room given
        // A byte that is no character (or a cut one at the end): U+FFFD.
        *lossless = false;
        static const char kReplacement[] = "\xEF\xBF\xBD";
        if (dstLeft < 3) break;
        memcpy(dst, kReplacement, 3);
        dst += 3;
        dstLeft -= 3;
        ++src;
        --srcLeft;
    }
    iconv_close(cd);
    out.resize(qsizetype(dst - out.data()));
    return out;
}

bool looksLikeUtf16(const QByteArray& b) {
    if (b.size() >= 2 && uchar(b[0]) == 0xFF && uchar(b[1]) == 0xFE) return true;
    if (b.size() < 2 || b.size() % 2 != 0) return false;
    // GBK text has no zero bytes; UTF-16 text of Latin letters and digits
    // has one in every second byte.
    int zeros = 0;
    for (qsizetype i = 1; i < b.size(); i += 2)
        if (b[i] == 0) ++zeros;
    return zeros * 4 >= b.size() / 2;
}

void syncPath(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool sameFile(const QString& a, const QString& b) {
    struct stat sa, sb;
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0) return false;
    if (::stat(QFile::encodeName(b).constData(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

void removeWithJournal(const QString& path) {
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

}  // namespace

bool isJetFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = f.read(19);
    return head == QByteArray("\x00\x01\x00\x00Standard Jet DB", 19);
}

QString decodeLegacyPlainText(const QByteArray& bytes) {
    QByteArray b = bytes;
    if (looksLikeUtf16(b)) {
        if (b.size() >= 2 && uchar(b[0]) == 0xFF && uchar(b[1]) == 0xFE) b.remove(0, 2);
        QString s =
            QString::fromUtf16(reinterpret_cast<const char16_t*>(b.constData()), b.size() / 2);
        while (s.endsWith(QChar(0))) s.chop(1);
        return s;
    }
    while (b.endsWith('\0')) b.chop(1);
    bool lossless = true;
    return QString::fromUtf8(convert("UTF-8", "GB18030", b, &lossless));
}

QByteArray rtfBytesFromText(const QString& rtf) {
    QByteArray out;
    out.reserve(rtf.size() + 16);
    iconv_t cd = iconv_open("GBK", "UTF-8");
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        const QChar c = rtf[i];
        if (c.unicode() < 0x80) {
            out += char(c.unicode());
            continue;
        }
        // One character, a surrogate pair counted as one.
        QString ch(c);
        if (c.isHighSurrogate() && i + 1 < rtf.size() && rtf[i + 1].isLowSurrogate())
            ch += rtf[++i];
        QByteArray in = ch.toUtf8();
        char buf[8];
        char* src = in.data();
        size_t srcLeft = size_t(in.size());
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        if (cd != iconv_t(-1) && ch.size() == 1 &&
            iconv(cd, &src, &srcLeft, &dst, &dstLeft) != size_t(-1)) {
            out.append(buf, qsizetype(dst - buf));
        } else {
            if (cd != iconv_t(-1)) iconv(cd, nullptr, nullptr, nullptr, nullptr);
            for (const QChar u : ch) out += "\\u" + QByteArray::number(qint16(u.unicode())) + '?';
        }
    }
    if (cd != iconv_t(-1)) iconv_close(cd);
    return out;
}

QString importToolPath() {
    if (!g_toolPath.isEmpty()) return g_toolPath;
    return QDir(QCoreApplication::applicationDirPath())
        .absoluteFilePath(QStringLiteral("yunjan-import-mdb"));
}

void setImportToolPath(const QString& path) {
    g_toolPath = path;
}

int importTimeLimitMs(qint64 fileSize) {
    // libmdb reads about 80 MB a second here; leave a wide margin.
    const qint64 ms = 60000 + fileSize / (1024 * 1024) * 2000;
    return int(qMin<qint64>(ms, 3600000));
}

ImportRun runImportTool(const QString& source, const QString& dest, int timeLimitMs,
                        const ImportProgress& progress) {
    ImportRun run;
    const QString tool = importToolPath();
    if (!QFileInfo(tool).isExecutable()) {
        run.message = QStringLiteral("找不到数据库转换程序：") + tool;
        return run;
    }
    if (QFileInfo::exists(dest)) {  // never overwritten, and never removed below
        run.message = QStringLiteral("目标文件已经存在：") + dest;
        return run;
    }
    QProcess p;
    p.setProgram(tool);
    p.setArguments({QStringLiteral("--progress"), source, dest});
    // The child never outlives this process.
    p.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    p.start();
    if (!p.waitForStarted(10000)) {
        run.message = QStringLiteral("无法启动数据库转换程序：") + tool;
        return run;
    }
    const QDeadlineTimer deadline(timeLimitMs);
    QByteArray out;
    qsizetype scanned = 0;
    static const QRegularExpression progressLine(QStringLiteral("^progress (\\d+) (\\d+)$"));
    auto scan = [&] {
        out += p.readAllStandardOutput();
        qsizetype nl;
        while ((nl = out.indexOf('\n', scanned)) >= 0) {
            const QString line = QString::fromUtf8(out.mid(scanned, nl - scanned)).trimmed();
            scanned = nl + 1;
            const auto m = progressLine.match(line);
            if (m.hasMatch()) {
                if (progress) progress(m.captured(1).toLongLong(), m.captured(2).toLongLong());
                continue;
            }
            static const QRegularExpression countLine(QStringLiteral("^(datum\\d?): (\\d+)$"));
            const auto c = countLine.match(line);
            if (c.hasMatch()) run.counts << qMakePair(c.captured(1), c.captured(2).toInt());
        }
    };
    bool timedOut = false;
    while (p.state() != QProcess::NotRunning) {
        if (deadline.hasExpired()) {
            timedOut = true;
            p.kill();
            p.waitForFinished(5000);
            break;
        }
        p.waitForReadyRead(int(qMin<qint64>(50, qMax<qint64>(1, deadline.remainingTime()))));
        scan();
        if (p.state() != QProcess::NotRunning) p.waitForFinished(0);
    }
    scan();
    const QString err = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
    if (timedOut) {
        run.message = QStringLiteral("读取数据库文件超时，文件可能已损坏。");
    } else if (p.exitStatus() == QProcess::CrashExit) {
        run.message = QStringLiteral("读取数据库文件时转换程序意外终止，文件可能已损坏。");
    } else if (p.exitCode() != 0) {
        // The tool's own message is its last line; libmdb may have said more before.
        const QStringList lines = err.split(u'\n', Qt::SkipEmptyParts);
        run.message = lines.isEmpty() ? QStringLiteral("数据库文件转换失败。") : lines.back();
    } else if (run.counts.size() != 4) {
        run.message = QStringLiteral("数据库转换程序没有给出结果。");
    } else {
        run.ok = true;
    }
    if (!run.ok) removeWithJournal(dest);
    return run;
}

base::Result<void> checkImportedDatabase(const QString& dest,
                                         const QList<QPair<QString, int>>& counts) {
    try {
        Connection c;
        c.setConnectionString(makeConnectionString(dest, QString::fromLatin1(kDatabasePassword)));
        c.open();
        for (const auto& [table, n] : counts) {
            RecordSet rs(c);
            rs.setSql(QStringLiteral("select count(*) as n from ") + table);
            rs.open();
            if (rs.asInteger(QStringLiteral("n")) != n)
                return base::failure(
                    QStringLiteral("转换后的数据库中 %1 的文章数不对。").arg(table));
        }
        if (!c.tableExists(QStringLiteral("UsersData")))
            return base::failure(QStringLiteral("转换后的数据库中没有用户表。"));
        c.close();
    } catch (const std::exception&) {
        return base::failure(QStringLiteral("转换后的数据库无法打开。"));
    }
    return {};
}

QString keptOriginalPath(const QString& dbPath) {
    const QFileInfo fi(dbPath);
    const QDir dir = fi.absoluteDir();
    const QString base = fi.completeBaseName();
    for (int n = 0;; ++n) {
        const QString name =
            n == 0 ? base + QStringLiteral(".jet.mdb") : base + QStringLiteral(".jet%1.mdb").arg(n);
        const QString p = dir.absoluteFilePath(name);
        // A name already linked to this very file was left by an earlier
        // conversion that ended before its last step: use it again.
        if (!QFileInfo::exists(p) || sameFile(p, dbPath)) return p;
    }
}

JetConversion convertJetDatabase(const QString& dbPath, int timeLimitMs,
                                 const ImportProgress& progress) {
    JetConversion r;
    const QString db = QFileInfo(dbPath).absoluteFilePath();
    if (!isJetFile(db)) {
        r.message = QStringLiteral("不是 Access（Jet）格式的数据库文件：") + db;
        return r;
    }
    if (timeLimitMs <= 0) timeLimitMs = importTimeLimitMs(QFileInfo(db).size());
    const QString temp = db + QStringLiteral(".converting");
    removeWithJournal(temp);  // left by a conversion that did not finish

    const ImportRun run = runImportTool(db, temp, timeLimitMs, progress);
    if (!run.ok) {
        r.message = run.message;
        return r;
    }
    if (const auto checked = checkImportedDatabase(temp, run.counts); !checked) {
        removeWithJournal(temp);
        r.message = checked.error();
        return r;
    }
    syncPath(temp);

    // The original gets its second name first; until the rename below the
    // database name still holds it.
    const QString kept = keptOriginalPath(db);
    const QByteArray keptN = QFile::encodeName(kept), dbN = QFile::encodeName(db);
    if (!sameFile(kept, db) && ::link(dbN.constData(), keptN.constData()) != 0) {
        // No hard links here: a full copy, put in place by a rename.
        const QString part = kept + QStringLiteral(".part");
        QFile::remove(part);
        if (!QFile::copy(db, part)) {
            QFile::remove(part);
            removeWithJournal(temp);
            r.message = QStringLiteral("无法保留原数据库文件：") + kept;
            return r;
        }
        syncPath(part);
        if (::rename(QFile::encodeName(part).constData(), keptN.constData()) != 0) {
            QFile::remove(part);
            removeWithJournal(temp);
            r.message = QStringLiteral("无法保留原数据库文件：") + kept;
            return r;
        }
    }
    syncPath(QFileInfo(db).absolutePath());
    if (::rename(QFile::encodeName(temp).constData(), dbN.constData()) != 0) {
        removeWithJournal(temp);
        r.message = QStringLiteral("无法把转换后的数据库放到原位置：") + db;
        return r;
    }
    syncPath(QFileInfo(db).absolutePath());
    r.ok = true;
    r.keptAs = kept;
    return r;
}

}  // namespace store

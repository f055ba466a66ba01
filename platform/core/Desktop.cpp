#include "platform/core/Desktop.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#if !defined(YUNJAN_APP_ID) || !defined(YUNJAN_VERSION)
#error "the build defines YUNJAN_APP_ID and YUNJAN_VERSION"
#endif

namespace platform {

QString applicationName() {
    return QStringLiteral("yunjan");
}

QString desktopFileId() {
    return QStringLiteral(YUNJAN_APP_ID);
}

QString programVersion() {
    return QStringLiteral(YUNJAN_VERSION);
}

void setProgramIdentity() {
    QCoreApplication::setApplicationName(applicationName());
    QCoreApplication::setApplicationVersion(programVersion());
    QGuiApplication::setDesktopFileName(desktopFileId());
}

QString qtTranslationFile(const QStringList& uiLanguages, const QString& dir) {
    const QString name = QStringLiteral("qtbase");
    const QString prefix = QStringLiteral("_");
    QTranslator probe;
    for (const QString& tag : uiLanguages) {
        const QLocale locale(tag);
        if (locale.language() == QLocale::English || locale.language() == QLocale::C) break;
        if (probe.load(locale, name, prefix, dir)) return probe.filePath();
    }
    if (probe.load(QLocale(QLocale::Chinese, QLocale::China), name, prefix, dir))
        return probe.filePath();
    return QString();
}

namespace {

// Texts of the file dialog's type column that Qt's zh_CN file lacks; asked
// before that file, they pass everything else on.
class MissingChineseTexts : public QTranslator {
  public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* disambiguation,
                      int n) const override {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0) return QString();
        static const struct {
            const char* source;
            const char* text;
        } texts[] = {{"Folder", "文件夹"},
                     {"Drive", "驱动器"},
                     {"Shortcut", "快捷方式"},
                     {"Unknown", "未知"}};
        for (const auto& t : texts)
            if (qstrcmp(source, t.source) == 0) return QString::fromUtf8(t.text);
        return QString();
    }
};

}  // namespace

QTranslator* installQtTranslations(const QStringList& uiLanguages) {
    const QString file =
        qtTranslationFile(uiLanguages, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (file.isEmpty()) return nullptr;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(file) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    // The windows are laid out left to right whatever language Qt's texts are
    // in (a right-to-left translation would mirror them).
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
    // Installed last, asked first; it goes with the translator.
    if (translator->language() == QLatin1String("zh_CN"))
        QCoreApplication::installTranslator(new MissingChineseTexts(translator));
    return translator;
}

}  // namespace platform

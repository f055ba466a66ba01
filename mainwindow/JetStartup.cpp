#include "mainwindow/JetStartup.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <QWidget>

#include "platform/Prompt.h"
#include "store/LegacyImport.h"

namespace {

QString shown(const QString& path) {
    return QDir::current().relativeFilePath(QFileInfo(path).absoluteFilePath());
}

}  // namespace

bool convertJetAtStartup(const QString& dbPath) {
    if (!QFileInfo::exists(dbPath) || !store::isJetFile(dbPath)) return true;
    using platform::Answer;
    using platform::Buttons;
    using platform::Icon;
    const QString kept = store::keptOriginalPath(dbPath);
    const QString question =
        QStringLiteral(
            "数据库文件 %1 是 Access（Jet）格式的旧版数据库，本程序需要先把它转换为"
            "自己的格式才能使用。\n\n转换不会改动原文件，原文件将改名保留为 %2。\n\n"
            "现在转换吗？")
            .arg(shown(dbPath), shown(kept));
    if (platform::prompt().messageBox(nullptr, question, QStringLiteral("确认"), Buttons::YesNo,
                                      Icon::Question) != Answer::Yes) {
        platform::prompt().messageBox(
            nullptr,
            QStringLiteral(
                "数据库没有转换，原文件保持不变。本程序不能直接使用 Access 格式的数据库，"
                "程序将退出。"),
            QStringLiteral("提示"), Buttons::Ok, Icon::Information);
        return false;
    }

    QWidget box;
    box.setWindowTitle(QStringLiteral("转换数据库"));
    box.setWindowFlag(Qt::WindowCloseButtonHint, false);
    auto* layout = new QVBoxLayout(&box);
    auto* label = new QLabel(QStringLiteral("正在转换数据库，请稍候……"), &box);
    auto* bar = new QProgressBar(&box);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setMinimumWidth(320);
    layout->addWidget(label);
    layout->addWidget(bar);
    box.setObjectName(QStringLiteral("JetConvertProgress"));
    box.show();
    QApplication::processEvents();
    const store::JetConversion r =
        store::convertJetDatabase(dbPath, 0, [bar](qint64 done, qint64 total) {
            bar->setValue(total > 0 ? int(done * 100 / total) : 100);
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    box.hide();
    if (!r.ok) {
        platform::prompt().messageBox(
            nullptr,
            QStringLiteral("数据库转换失败：%1\n\n原数据库文件没有改动。程序将退出。")
                .arg(r.message),
            QStringLiteral("提示"), Buttons::Ok, Icon::Error);
        return false;
    }
    return true;
}

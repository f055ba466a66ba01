#include "store/InitDb.h"

#include <iconv.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "store/Engine.h"
#include "store/Fields.h"

namespace store {

namespace {

const char* const kGuideCategory = "使用说明";

// Text -> RTF text in code page 936: non-ASCII characters as \'hh bytes.
QByteArray rtfText(const QString& text) {
    QByteArray out;
    iconv_t cd = iconv_open("GBK", "UTF-8");
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\n') {
            out += "\\par\r\n";
        } else if (u < 0x80) {
            out += char(u);
        } else {
            QByteArray in = QString(c).toUtf8();
            char buf[8];
            char* src = in.data();
            size_t srcLeft = size_t(in.size());
            char* dst = buf;
            size_t dstLeft = sizeof buf;
            if (cd == iconv_t(-1) || iconv(cd, &src, &srcLeft, &dst, &dstLeft) == size_t(-1)) {
                out += '?';
                continue;
            }
            for (char* p = buf; p < dst; ++p)
                out += "\\'" + QByteArray::number(uchar(*p), 16).rightJustified(2, '0');
        }
    }
    if (cd != iconv_t(-1)) iconv_close(cd);
    return out;
}

QByteArray guideRtf() {
    QByteArray rtf;
    rtf += "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052";
    rtf += "{\\fonttbl{\\f0\\fnil\\fcharset134 " + rtfText(QStringLiteral("宋体")) +
           ";}{\\f1\\fswiss\\fcharset0 Arial;}}\r\n";
    rtf += "{\\colortbl ;\\red128\\green0\\blue0;\\red0\\green0\\blue160;}\r\n";
    rtf += "\\viewkind4\\uc1\\pard\\qc\\lang2052\\f0\\fs32\\b\\cf1 " +
           rtfText(QStringLiteral("文章的添加、修改与排序")) + "\\cf0\\b0\\par\r\n";
    rtf += "\\pard\\fi420\\sl360\\slmult1\\fs24 ";
    rtf += rtfText(QStringLiteral(
        "点击工具栏上的“添加”按钮，打开编辑窗口。填写文章分类和文章题目，在下面的编辑区中输入"
        "或粘贴正文，然后点击“将文章存入数据库”。\n"));
    rtf +=
        rtfText(QStringLiteral("勾选“是否保存文章格式”时，文章连同字体、颜色、图片等格式一起保存；"
                               "不勾选时只保存纯文本。"));
    rtf += "\\b " + rtfText(QStringLiteral("大尺寸图片会使数据库迅速增大，请慎重使用。")) +
           "\\b0\\par\r\n";
    rtf += rtfText(QStringLiteral(
        "选中标题后点击“修改”，即可在编辑窗口中修改文章；右键菜单中的“重新命名”和“更改分类”"
        "可以直接修改题目和分类。\n"));
    rtf += "\\cf2 " + rtfText(QStringLiteral("自定义排序：")) + "\\cf0 " +
           rtfText(QStringLiteral(
               "在标题列表中按住鼠标左键拖动标题，放到目标位置即可调整文章的先后次序。点击列表"
               "上方的排序按钮，可以按题目升序、降序或自定义次序显示。\n"));
    rtf += "}\r\n";
    return rtf;
}

struct Article {
    const char* theme;
    bool rtf;
    QString text;
};

QList<Article> welcomeArticles() {
    QList<Article> list;
    list << Article{
        "欢迎使用云笺录", false,
        QStringLiteral(
            "欢迎使用云笺录！\r\n\r\n"
            "云笺录是一个个人文章收藏库：文章按工作簿和分类存放，每篇文章有题目、分类和"
            "正文，正文可以是带格式的文本，也可以是纯文本。\r\n\r\n"
            "窗口上方的四个标签是四个工作簿（主工作簿、工作簿1、工作簿2、工作簿3），名称可"
            "以在“程序设置”中修改。左边的分类列表选择“全部”时显示当前工作簿的所有文章，"
            "选择某个分类时只显示该分类的文章。点击标题，右边即显示文章内容。\r\n\r\n"
            "本分类中的几篇文章介绍了程序的主要用法，阅读完毕后可以删除。")};
    list << Article{"文章的添加、修改与排序", true, QString()};
    list << Article{
        "搜索、转移与数据维护", false,
        QStringLiteral(
            "搜索：在“工具”菜单中选择“搜索主题”，输入关键字，可以按文章题目或文章内容"
            "搜索主工作簿中的文章。内容搜索不支持带格式保存的文章。\r\n\r\n"
            "转移：标题列表的右键菜单“转移文章至”可以把一篇文章移到其他工作簿；“数据维护”"
            "中的“数据转移”可以把整个工作簿或一个分类的文章复制或转移到其他工作簿。\r\n\r\n"
            "数据维护：“数据维护”中还可以压缩数据库、清空当前工作簿、更改或合并分类。压缩"
            "和清空以前，请先备份 data 文件夹中的数据库文件。")};
    list << Article{
        "启动密码", false,
        QStringLiteral("在“程序设置”的“密码设置”中可以设置启动密码。第一次设置时旧密码为空；设置"
                       "后，下次启动程序时需要输入密码。\r\n\r\n"
                       "不需要登录界面时，输入旧密码，把新密码和确认密码留空，即可取消密码。")};
    return list;
}

}  // namespace

QString installationDatabasePath(const QString& dir) {
    return QDir(dir.isEmpty() ? QStringLiteral(".") : dir)
        .absoluteFilePath(QStringLiteral("data/YunjanDB.mdb"));
}

base::Result<void> createInstallationDatabase(const QString& dir) {
    const QString path = installationDatabasePath(dir);
    if (QFileInfo::exists(path)) return {};
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        return base::failure(QStringLiteral("无法创建文件夹：") + QFileInfo(path).absolutePath());
    }
    // Built under a temporary name and renamed at the end: a failure never
    // leaves a half-made database under the real name.
    const QString temp = path + QStringLiteral(".new");
    QFile::remove(temp);
    try {
        Connection::createDatabaseFile(temp, QString::fromLatin1(kDatabasePassword));
        {
            Connection c;
            c.setConnectionString(
                makeConnectionString(temp, QString::fromLatin1(kDatabasePassword)));
            c.open();
            Transaction tx(c);
            c.createArticleTable(QStringLiteral("datum"));
            RecordSet rs(c);
            rs.setSql(QStringLiteral("select * from datum"));
            rs.open();
            int seq = 1;
            for (const Article& a : welcomeArticles()) {
                rs.append();
                rs.setValue(store::kFieldGroup, QString::fromUtf8(kGuideCategory));
                rs.setValue(store::kFieldTheme, QString::fromUtf8(a.theme));
                rs.setValue(store::kFieldIsFormat, a.rtf);
                if (a.rtf)
                    rs.writeBlob(store::kFieldContent, guideRtf());
                else
                    rs.setValue(store::kFieldContent, a.text);
                rs.setValue(store::kFieldSeqNo, seq++);
                rs.post();
            }
            rs.close();
            tx.commit();
            c.close();
        }
        if (QFileInfo::exists(path)) {  // made meanwhile by someone else: keep theirs
            QFile::remove(temp);
            return {};
        }
        if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) !=
            0) {
            QFile::remove(temp);
            return base::failure(QStringLiteral("无法创建数据库文件：") + path);
        }
    } catch (const std::exception& e) {
        QFile::remove(temp);
        return base::failure(QStringLiteral("无法创建数据库文件：") + QString::fromUtf8(e.what()));
    }
    return {};
}

}  // namespace store

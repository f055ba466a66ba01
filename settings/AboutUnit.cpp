#include "settings/AboutUnit.h"

#include <QEnterEvent>
#include <QFrame>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/Shell.h"
#include "settings/SettingsCommon.h"

namespace about {

QString mailLink() {
    return QStringLiteral("mailto:") + QString::fromUtf8(kMailAddress);
}

QIcon programIcon() {
    settings::ensureResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/settings/yunjan_32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/settings/yunjan.png"), QSize(256, 256));
    return icon;
}

QPixmap bannerPicture() {
    settings::ensureResources();
    return QPixmap(QStringLiteral(":/settings/banner.png"));
}

}  // namespace about

// ---------------------------------------------------------------------------

TLinkLabel::TLinkLabel(const QString& text, const QString& target, QWidget* parent)
    : QLabel(text, parent), target_(target) {
    setCursor(Qt::PointingHandCursor);
    setHovered(false);
}

void TLinkLabel::setHovered(bool on) {
    hovered_ = on;
    QFont f = font();
    f.setUnderline(on);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, on ? QColor(0, 0, 255) : QColor(Qt::black));
    setPalette(pal);
}

void TLinkLabel::LinkMouseEnter() {
    setHovered(true);
}
void TLinkLabel::LinkMouseLeave() {
    setHovered(false);
}

void TLinkLabel::LinkClick() {
    // The shell reports any failure itself; the about box goes on.
    platform::shellOpen(platform::ShellRequest{target_, {}, {}});
}

void TLinkLabel::enterEvent(QEnterEvent* e) {
    LinkMouseEnter();
    QLabel::enterEvent(e);
}

void TLinkLabel::leaveEvent(QEvent* e) {
    LinkMouseLeave();
    QLabel::leaveEvent(e);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) {
        LinkClick();
        e->accept();
        return;
    }
    QLabel::mouseReleaseEvent(e);
}

// ---------------------------------------------------------------------------

TAboutForm::TAboutForm(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    setFixedSize(434, 336);
    setWindowIcon(about::programIcon());

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setLineWidth(1);
    panel->setGeometry(8, 8, 418, 282);

    ProgramIcon = new QLabel(panel);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(16, 14, 40, 40);
    ProgramIcon->setAlignment(Qt::AlignCenter);
    ProgramIcon->setPixmap(about::programIcon().pixmap(QSize(32, 32)));

    Banner = new QLabel(panel);
    Banner->setObjectName(QStringLiteral("Banner"));
    Banner->setGeometry(72, 18, 288, 33);
    Banner->setPixmap(about::bannerPicture());

    Memo1 = new QPlainTextEdit(panel);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setGeometry(16, 64, 386, 112);
    QPalette pal = Memo1->palette();
    pal.setColor(QPalette::Base, palette().color(QPalette::Window));
    Memo1->setPalette(pal);
    Memo1->setPlainText(QStringList{
        QStringLiteral("云笺录 V2.8 是一个个人文章资料库。"),
        QStringLiteral("文章分四个工作簿、按分类整理，正文可以是带格式的文本或纯文本，"
                       "全部保存在一个加密的数据库文件中。"),
        QStringLiteral("可以浏览、编写、检索、排序和在工作簿之间转移文章，"
                       "也可以为程序设置启动密码。"),
    }
                            .join(u'\n'));

    ContactLine = new QLabel(QStringLiteral("意见和建议请写信给作者，或访问主页留言。"), panel);
    ContactLine->setObjectName(QStringLiteral("ContactLine"));
    ContactLine->setGeometry(16, 184, 386, 20);

    const struct {
        const char* caption;
        QString address;
        QString target;
        TLinkLabel** link;
        const char* name;
    } rows[] = {
        {"博客：", QString::fromUtf8(about::kBlog), QString::fromUtf8(about::kBlog), &BlogLink,
         "BlogLink"},
        {"邮箱：", QString::fromUtf8(about::kMailAddress), about::mailLink(), &MailLink,
         "MailLink"},
        {"主页：", QString::fromUtf8(about::kHomePage), QString::fromUtf8(about::kHomePage),
         &HomeLink, "HomeLink"},
    };
    int y = 210;
    for (const auto& row : rows) {
        auto* caption = new QLabel(QString::fromUtf8(row.caption), panel);
        caption->setGeometry(16, y, 48, 20);
        auto* link = new TLinkLabel(row.address, row.target, panel);
        link->setObjectName(QString::fromLatin1(row.name));
        link->setGeometry(64, y, link->sizeHint().width(), 20);
        *row.link = link;
        y += 22;
    }

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(180, 300, 75, 27);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    settings::centreOn(this, nullptr);  // centred on the screen
}

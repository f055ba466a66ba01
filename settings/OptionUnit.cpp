#include "settings/OptionUnit.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include "platform/ErrorReport.h"
#include "platform/Prompt.h"
#include "platform/core/AppSettings.h"
#include "platform/core/ProfileFile.h"
#include "session/MainView.h"
#include "session/Session.h"
#include "settings/SettingsCommon.h"
#include "store/ErrorText.h"
#include "store/Users.h"

using platform::ColorCode;

namespace {

struct NamedColor {
    const char* name;
    ColorCode code;  // 0x00BBGGRR
};

// The 16 standard colours and the four extended ones.
constexpr NamedColor kListedColors[] = {
    {"黑色", 0x000000},   {"褐红色", 0x000080}, {"绿色", 0x008000},   {"橄榄色", 0x008080},
    {"深蓝色", 0x800000}, {"紫色", 0x800080},   {"蓝绿色", 0x808000}, {"灰色", 0x808080},
    {"银色", 0xC0C0C0},   {"红色", 0x0000FF},   {"酸橙色", 0x00FF00}, {"黄色", 0x00FFFF},
    {"蓝色", 0xFF0000},   {"紫红色", 0xFF00FF}, {"水绿色", 0xFFFF00}, {"白色", 0xFFFFFF},
    {"钱绿色", 0xC0DCC0}, {"天蓝色", 0xF0CAA6}, {"奶油色", 0xF0FBFF}, {"中灰色", 0xA4A0A0},
};

constexpr int kLastSystemColor = platform::COLOR_MENUBAR;

QIcon swatch(ColorCode code) {
    QPixmap pm(22, 14);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.fillRect(QRect(0, 0, 22, 14), Qt::black);
    p.fillRect(QRect(1, 1, 20, 12), platform::colorFromCode(code));
    p.end();
    return QIcon(pm);
}

const char* const kCaption = "提示";

void errorBox(QWidget* owner, const QString& text) {
    platform::prompt().messageBox(owner, text, QString::fromUtf8(kCaption), platform::Buttons::Ok,
                                  platform::Icon::Error);
}

QLabel* makeLabel(const QString& text, QWidget* parent, const QRect& geometry) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(geometry);
    return l;
}

QLabel* makeRedNote(const QString& text, QWidget* parent, const QRect& geometry) {
    QLabel* l = makeLabel(text, parent, geometry);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, Qt::red);
    l->setPalette(pal);
    return l;
}

}  // namespace

// ---------------------------------------------------------------------------
// TColorBox

TColorBox::TColorBox(QWidget* parent) : QComboBox(parent) {
    setIconSize(QSize(22, 14));
    setMaxVisibleItems(16);
    addItem(swatch(custom_), QStringLiteral("自定义..."), custom_);
    for (const NamedColor& c : kListedColors)
        addItem(swatch(c.code), QString::fromUtf8(c.name), c.code);
    for (int n = 0; n <= kLastSystemColor; ++n) {
        const QString name = QString::fromUtf8(platform::systemColorName(n));
        if (name.isEmpty()) continue;
        const ColorCode code = platform::sysColorCode(n);
        addItem(swatch(code), name, code);
    }
    connect(this, &QComboBox::activated, this, &TColorBox::onActivated);
}

ColorCode TColorBox::selectedColor() const {
    return currentIndex() <= 0 ? custom_ : static_cast<ColorCode>(currentData().toInt());
}

int TColorBox::indexOfColor(ColorCode code) const {
    for (int i = 1; i < count(); ++i)
        if (static_cast<ColorCode>(itemData(i).toInt()) == code) return i;
    return 0;
}

void TColorBox::setCustomColor(ColorCode code) {
    custom_ = code;
    setItemIcon(0, swatch(code));
    setItemData(0, code);
}

void TColorBox::setSelectedColor(ColorCode code) {
    const QSignalBlocker block(this);
    const int i = indexOfColor(code);
    if (i == 0) setCustomColor(code);
    setCurrentIndex(i);
    lastIndex_ = i;
}

void TColorBox::onActivated(int index) {
    if (index == 0) {
        QColor chosen;
        if (!platform::prompt().chooseColor(window(), platform::colorFromCode(custom_), &chosen)) {
            // Cancelled: the list keeps the colour it showed.
            const QSignalBlocker block(this);
            setCurrentIndex(lastIndex_);
            return;
        }
        setCustomColor(platform::codeFromRgb(chosen));
    }
    lastIndex_ = index;
    emit colorPicked(selectedColor());
}

// ---------------------------------------------------------------------------
// TOptionForm

TOptionForm::TOptionForm(session::Session& session, session::MainView& view, QWidget* parent)
    : QDialog(parent), session_(session), view_(view) {
    setObjectName(QStringLiteral("OptionForm"));
    setWindowTitle(QStringLiteral("    程序设置"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    setFixedSize(411, 235);
    setFont(QFont(QStringLiteral("Tahoma"), 9));

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(4, 4, 403, 227);
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    TabSheet3 = new QWidget;
    PageControl1->addTab(TabSheet1, QStringLiteral("密码设置"));
    PageControl1->addTab(TabSheet2, QStringLiteral("工作簿标题背景设置"));
    PageControl1->addTab(TabSheet3, QStringLiteral("工作簿名称设置"));
    buildPasswordTab();
    buildColorTab();
    buildNamesTab();
    PageControl1->setCurrentWidget(TabSheet3);
}

void TOptionForm::buildPasswordTab() {
    auto* group = new QGroupBox(QStringLiteral("修改密码"), TabSheet1);
    group->setGeometry(8, 4, 212, 190);
    const char* const labels[] = {"旧密码：", "新密码：", "确认密码"};
    QLineEdit** fields[] = {&EdtOldPass, &EdtNewPass, &EdtRNewPass};
    const char* const names[] = {"EdtOldPass", "EdtNewPass", "EdtRNewPass"};
    for (int i = 0; i < 3; ++i) {
        const int y = 30 + i * 34;
        makeLabel(QString::fromUtf8(labels[i]), group, QRect(12, y + 2, 64, 20));
        auto* e = new QLineEdit(group);
        e->setObjectName(QString::fromLatin1(names[i]));
        settings::makePasswordField(e);
        e->setGeometry(78, y, 120, 23);
        *fields[i] = e;
    }
    Button1 = new QPushButton(QStringLiteral("确认更改"), group);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(66, 140, 90, 27);
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TOptionForm::Button1Click);

    auto* note = new QGroupBox(QStringLiteral("密码更改说明"), TabSheet1);
    note->setGeometry(226, 4, 164, 190);
    Memo1 = new QPlainTextEdit(note);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setGeometry(6, 18, 154, 168);
    Memo1->document()->setDocumentMargin(2);
    QPalette pal = Memo1->palette();
    pal.setColor(QPalette::Base, palette().color(QPalette::Window));
    Memo1->setPalette(pal);
    Memo1->setPlainText(
        QStringList{QStringLiteral("    当密码为空时，程序"), QStringLiteral("不显示登陆界面。"),
                    QStringLiteral("    在你第一次修改密码"), QStringLiteral("时，旧密码为空。"),
                    QStringLiteral("    密码不要超过20个字"), QStringLiteral("符。"),
                    QStringLiteral("    当你不需要登陆界面"),
                    QStringLiteral("时，请把新密码设置为"), QStringLiteral("空。")}
            .join(u'\n'));
}

void TOptionForm::buildColorTab() {
    const char* const labels[] = {"主工作簿背景：", "工作簿1 背景：", "工作簿2 背景：",
                                  "工作簿3 背景："};
    for (int k = 0; k < 4; ++k) {
        const int y = 14 + k * 34;
        makeLabel(QString::fromUtf8(labels[k]), TabSheet2, QRect(30, y + 3, 110, 20));
        auto* box = new TColorBox(TabSheet2);
        box->setObjectName(QStringLiteral("ColorBox%1").arg(k + 1));
        box->setGeometry(144, y, 190, 26);
        connect(box, &TColorBox::colorPicked, this, [this, k] { ColorBoxChange(k + 1); });
        colorBoxes[k] = box;
    }
    makeRedNote(QStringLiteral("注意：只有在文章题目栏『普通显示』时，背景颜色设置才生效"),
                TabSheet2, QRect(12, 160, 380, 20));
}

void TOptionForm::buildNamesTab() {
    const char* const labels[] = {"主工作簿名称：", "工作簿1 名称：", "工作簿2 名称：",
                                  "工作簿3 名称："};
    for (int k = 0; k < 4; ++k) {
        const int y = 14 + k * 32;
        makeLabel(QString::fromUtf8(labels[k]), TabSheet3, QRect(30, y + 2, 110, 20));
        auto* e = new QLineEdit(TabSheet3);
        e->setObjectName(QStringLiteral("Edit%1").arg(k + 1));
        e->setGeometry(144, y, 130, 23);
        e->setValidator(new settings::GbkLimitValidator(kNameBytes, e));
        nameEdits[k] = e;
    }
    Button2 = new QPushButton(QStringLiteral("提交设置"), TabSheet3);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(292, 108, 84, 27);
    Button2->setAutoDefault(false);
    connect(Button2, &QPushButton::clicked, this, &TOptionForm::Button2Click);
    makeRedNote(QStringLiteral("注意：请将名称设置在4个汉字内"), TabSheet3,
                QRect(30, 160, 340, 20));
}

void TOptionForm::showEvent(QShowEvent* e) {
    FormShow();
    QDialog::showEvent(e);
    settings::centreOn(this, parentWidget());
}

void TOptionForm::FormShow() {
    // Filling the controls runs none of their change handlers.
    for (int k = 0; k < 4; ++k) colorBoxes[k]->setSelectedColor(session_.workbookColors[k]);
    const QStringList captions = view_.tabCaptions();
    for (int k = 0; k < 4; ++k) {
        const QSignalBlocker block(nameEdits[k]);
        nameEdits[k]->setText(k < captions.size() ? captions[k] : QString());
    }
}

void TOptionForm::ColorBoxChange(int n) {
    if (n < 1 || n > 4) return;
    session_.workbookColors[n - 1] = colorBoxes[n - 1]->selectedColor();
    // The title list shows the colour of the selected workbook only.
    QString table;
    ColorCode color = 0;
    if (session_.workbook(view_.selectedTab(), &table, &color)) {
        ownColor_ = color;
        view_.setTitleListColor(color);
    }
}

void TOptionForm::Button2Click() {
    platform::AppSettings submitted;
    for (int k = 0; k < 4; ++k) submitted.workbookNames[k] = nameEdits[k]->text();
    platform::ProfileFile ini(view_.settingsPath());
    const bool written = submitted.saveWorkbookNames(ini);
    for (int k = 0; k < 4; ++k) view_.setWorkbookCaption(k, nameEdits[k]->text());
    if (!written)
        platform::prompt().messageBox(this, QStringLiteral("工作簿名称未能写入设置文件！"),
                                      QString::fromUtf8(kCaption), platform::Buttons::Ok,
                                      platform::Icon::Warning);
}

void TOptionForm::Button1Click() {
    const QString oldPass = EdtOldPass->text();
    const QString newPass = EdtNewPass->text();
    const QString confirm = EdtRNewPass->text();
    // Whatever happens below, the dialog closes after the press.
    struct CloseAfter {
        QDialog* d;
        ~CloseAfter() { d->accept(); }
    } closeAfter{this};

    if (oldPass.isEmpty() && newPass.isEmpty() && confirm.isEmpty()) return;
    const QString newTrimmed = store::trimPassword(newPass);
    const QString oldTrimmed = store::trimPassword(oldPass);
    if (!session_.currentPassword.isEmpty() && oldTrimmed.isEmpty()) {
        errorBox(this, QStringLiteral("请输入原设置的密码！"));
        return;
    }
    if (oldTrimmed != session_.currentPassword) {
        errorBox(this, QStringLiteral("密码不正确！"));
        return;
    }
    if (newTrimmed != store::trimPassword(confirm)) {
        errorBox(this, QStringLiteral("确认密码不一致！"));
        return;
    }
    if (newTrimmed.toUcs4().size() > store::kMaxPasswordLength) {
        errorBox(this, QStringLiteral("密码不能超过%1个字符！").arg(store::kMaxPasswordLength));
        return;
    }
    try {
        store::changePassword(session_.store(), session_.userName, newTrimmed);
    } catch (const store::StoreError& e) {
        platform::logCause(QStringLiteral("密码保存失败，密码没有改变。"), store::errorCause(e));
        platform::prompt().errorReport(this, QStringLiteral("密码保存失败，密码没有改变。"));
        return;
    }
    session_.currentPassword = newTrimmed;
    platform::prompt().messageBox(
        this,
        newTrimmed.isEmpty() ? QStringLiteral("密码已经被取消，下次将直接登陆。")
                             : QStringLiteral("密码修改成功！下次登陆将提示输入密码。"),
        QString::fromUtf8(kCaption), platform::Buttons::Ok, platform::Icon::Information);
    EdtOldPass->clear();
    EdtNewPass->clear();
    EdtRNewPass->clear();
}

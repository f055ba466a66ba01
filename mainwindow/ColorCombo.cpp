#include "mainwindow/ColorCombo.h"

#include <QPainter>
#include <QPixmap>

#include "platform/Prompt.h"

namespace {

struct Named {
    const char* name;
    platform::ColorCode code;  // 0x00BBGGRR
};

constexpr Named kColors[] = {
    {"黑色", 0x000000},   {"褐红色", 0x000080}, {"绿色", 0x008000},   {"橄榄色", 0x008080},
    {"深蓝色", 0x800000}, {"紫色", 0x800080},   {"蓝绿色", 0x808000}, {"灰色", 0x808080},
    {"银色", 0xC0C0C0},   {"红色", 0x0000FF},   {"鲜绿色", 0x00FF00}, {"黄色", 0x00FFFF},
    {"蓝色", 0xFF0000},   {"紫红色", 0xFF00FF}, {"浅绿色", 0xFFFF00}, {"白色", 0xFFFFFF},
    {"钱绿色", 0xC0DCC0}, {"天蓝色", 0xF0CAA6}, {"乳白色", 0xF0FBFF}, {"中灰色", 0xA4A0A0},
};

QIcon swatch(platform::ColorCode code) {
    QPixmap pm(16, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.setBrush(platform::colorFromCode(code));
    p.drawRect(0, 0, 15, 11);
    return QIcon(pm);
}

}  // namespace

ColorComboBox::ColorComboBox(QWidget* parent) : QComboBox(parent) {
    setIconSize(QSize(16, 12));
    addItem(swatch(0), QStringLiteral("自定义..."), QVariant::fromValue<int>(0));
    for (const Named& n : kColors)
        addItem(swatch(n.code), QString::fromUtf8(n.name), QVariant::fromValue<int>(n.code));
    for (int s = 0; s <= platform::COLOR_MENUBAR; ++s) {
        const QString name = QString::fromUtf8(platform::systemColorName(s));
        if (name.isEmpty()) continue;
        const platform::ColorCode code = platform::sysColorCode(s);
        addItem(swatch(code), name, QVariant::fromValue<int>(code));
    }
    setMaxVisibleItems(16);
    connect(this, &QComboBox::activated, this, &ColorComboBox::onActivated);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int) {
        const platform::ColorCode c = colorCode();
        if (hasLast_ && c == last_) return;
        hasLast_ = true;
        last_ = c;
        emit colorCodeChanged(c);
    });
}

platform::ColorCode ColorComboBox::colorCode() const {
    if (currentIndex() <= 0) return custom_;
    return static_cast<platform::ColorCode>(currentData().toInt());
}

void ColorComboBox::setCustom(platform::ColorCode code) {
    custom_ = code;
    setItemIcon(0, swatch(code));
    setItemData(0, QVariant::fromValue<int>(code));
}

void ColorComboBox::setColorCode(platform::ColorCode code) {
    for (int i = 1; i < count(); ++i) {
        if (static_cast<platform::ColorCode>(itemData(i).toInt()) == code) {
            setCurrentIndex(i);
            return;
        }
    }
    setCustom(code);
    if (currentIndex() == 0) {
        // Same entry, new value: announce it ourselves.
        if (!hasLast_ || last_ != code) {
            hasLast_ = true;
            last_ = code;
            emit colorCodeChanged(code);
        }
    } else {
        setCurrentIndex(0);
    }
}

void ColorComboBox::onActivated(int index) {
    if (index != 0) return;
    QColor chosen;
    if (platform::prompt().chooseColor(window(), platform::colorFromCode(custom_), &chosen) &&
        chosen.isValid())
        setColorCode(platform::codeFromRgb(chosen));
    else if (hasLast_)
        setColorCode(last_);
}

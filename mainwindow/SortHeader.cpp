#include "mainwindow/SortHeader.h"

#include <QMouseEvent>
#include <QStyleOptionHeader>
#include <QStylePainter>

#include "widgets/Icons.h"

SortHeader::SortHeader(QWidget* parent) : QWidget(parent) {
    setToolTip(QStringLiteral("题目升序、降序、自定义顺序排列"));
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void SortHeader::setArrowsOn(bool on) {
    arrowsOn_ = on;
    update();
}

void SortHeader::setTitleArrow(Arrow a) {
    arrow_ = a;
    update();
}

int SortHeader::sectionWidth(int section) const {
    if (section == 1) return kCustomWidth;
    if (section == 0) return qMax(0, width() - kCustomWidth);
    return 0;
}

QRect SortHeader::sectionRect(int section) const {
    if (section == 0) return QRect(0, 0, sectionWidth(0), height());
    if (section == 1) return QRect(sectionWidth(0), 0, kCustomWidth, height());
    return {};
}

int SortHeader::sectionAt(const QPoint& pos) const {
    for (int s = 0; s < 2; ++s)
        if (sectionRect(s).contains(pos)) return s;
    return -1;
}

QSize SortHeader::sizeHint() const {
    return QSize(200, 20);
}
QSize SortHeader::minimumSizeHint() const {
    return QSize(kCustomWidth + 20, 20);
}

namespace {
// The style's header drawing may leave the painter clipped; keep ours clean.
void drawSection(QStylePainter& p, const QStyleOptionHeader& opt) {
    p.save();
    p.drawControl(QStyle::CE_Header, opt);
    p.restore();
    p.setClipping(false);
}
}  // namespace

void SortHeader::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    for (int s = 0; s < 2; ++s) {
        QStyleOptionHeader opt;
        opt.initFrom(this);
        opt.rect = sectionRect(s);
        opt.section = s;
        opt.position = s == 0 ? QStyleOptionHeader::Beginning : QStyleOptionHeader::End;
        opt.orientation = Qt::Horizontal;
        opt.state |= QStyle::State_Raised | QStyle::State_Horizontal;
        if (isEnabled()) opt.state |= QStyle::State_Enabled;
        if (pressed_ == s) opt.state |= QStyle::State_Sunken;
        if (hover_ == s) opt.state |= QStyle::State_MouseOver;
        opt.textAlignment = Qt::AlignCenter;
        opt.iconAlignment = Qt::AlignCenter;
        if (s == 0) {
            const Arrow a = shownArrow();
            // Qt's header draws "SortDown" as an up-pointing arrow in most styles;
            // draw the arrow ourselves so it always points the way titles run.
            opt.sortIndicator = QStyleOptionHeader::None;
            drawSection(p, opt);
            if (a != NoArrow) {
                const QRect r = opt.rect;
                const int cx = r.center().x();
                const int cy = r.center().y();
                QPolygon tri;
                if (a == Up)
                    tri << QPoint(cx - 4, cy + 2) << QPoint(cx + 4, cy + 2) << QPoint(cx, cy - 3);
                else
                    tri << QPoint(cx - 4, cy - 2) << QPoint(cx + 4, cy - 2) << QPoint(cx, cy + 3);
                p.setRenderHint(QPainter::Antialiasing);
                p.setPen(Qt::NoPen);
                p.setBrush(palette().color(QPalette::ButtonText));
                p.drawPolygon(tri);
                p.setRenderHint(QPainter::Antialiasing, false);
            }
        } else {
            drawSection(p, opt);
            const QRect r = opt.rect;
            p.drawPixmap(r.center().x() - 7, r.center().y() - 7, icons::pixmap(icons::CustomOrder));
        }
    }
}

void SortHeader::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    pressed_ = sectionAt(e->position().toPoint());
    update();
}

void SortHeader::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const int s = sectionAt(e->position().toPoint());
    const bool click = s >= 0 && s == pressed_;
    pressed_ = -1;
    update();
    if (click) emit sectionClicked(s);
}

void SortHeader::mouseMoveEvent(QMouseEvent* e) {
    const int s = sectionAt(e->position().toPoint());
    if (s != hover_) {
        hover_ = s;
        update();
    }
}

void SortHeader::leaveEvent(QEvent*) {
    hover_ = -1;
    update();
}

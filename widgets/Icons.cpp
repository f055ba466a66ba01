#include "widgets/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <array>

namespace icons {
namespace {

const QColor kInk(40, 48, 64);
const QColor kPaper(255, 255, 250);
const QColor kBlue(38, 110, 200);
const QColor kGreen(40, 150, 60);
const QColor kRed(200, 50, 40);
const QColor kGold(230, 170, 40);

// A sheet of paper with a folded corner and a few text lines.
void paper(QPainter& p, const QColor& fill = kPaper) {
    QPolygonF sheet{{2.5, 1.5}, {10.5, 1.5}, {13.5, 4.5}, {13.5, 14.5}, {2.5, 14.5}};
    p.setPen(QPen(kInk, 1));
    p.setBrush(fill);
    p.drawPolygon(sheet);
    p.drawLine(QPointF(10.5, 1.5), QPointF(10.5, 4.5));
    p.drawLine(QPointF(10.5, 4.5), QPointF(13.5, 4.5));
    p.setPen(QPen(QColor(150, 160, 180), 1));
    for (int y = 6; y <= 12; y += 2) p.drawLine(QPointF(4.5, y + 0.5), QPointF(11.5, y + 0.5));
}

void plus(QPainter& p, const QPointF& c, const QColor& col) {
    p.setPen(Qt::NoPen);
    p.setBrush(col);
    p.drawEllipse(c, 4, 4);
    p.setPen(QPen(Qt::white, 1.6));
    p.drawLine(c + QPointF(-2.2, 0), c + QPointF(2.2, 0));
    p.drawLine(c + QPointF(0, -2.2), c + QPointF(0, 2.2));
}

void minus(QPainter& p, const QPointF& c, const QColor& col) {
    p.setPen(Qt::NoPen);
    p.setBrush(col);
    p.drawEllipse(c, 4, 4);
    p.setPen(QPen(Qt::white, 1.6));
    p.drawLine(c + QPointF(-2.2, 0), c + QPointF(2.2, 0));
}

void pencil(QPainter& p) {
    p.save();
    p.translate(9, 9);
    p.rotate(45);
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(kGold);
    p.drawRect(QRectF(-1.8, -7, 3.6, 9));
    p.setBrush(QColor(240, 200, 160));
    p.drawPolygon(QPolygonF{{-1.8, 2}, {1.8, 2}, {0, 5.5}});
    p.setBrush(QColor(230, 120, 130));
    p.drawRect(QRectF(-1.8, -8.5, 3.6, 1.5));
    p.restore();
}

void magnifier(QPainter& p, const QPointF& c, double r) {
    p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(r * 0.7, r * 0.7), c + QPointF(r * 0.7 + 4, r * 0.7 + 4));
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(c, r, r);
}

void printer(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(180, 185, 195));
    p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1.5, 1.5);
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
    p.setPen(QPen(kGreen, 1));
    p.drawPoint(QPointF(12.5, 8.5));
}

void arrow(QPainter& p, bool up, const QColor& col) {
    p.setPen(Qt::NoPen);
    p.setBrush(col);
    if (up)
        p.drawPolygon(
            QPolygonF{{8, 2}, {14, 9}, {10.5, 9}, {10.5, 14}, {5.5, 14}, {5.5, 9}, {2, 9}});
    else
        p.drawPolygon(
            QPolygonF{{8, 14}, {14, 7}, {10.5, 7}, {10.5, 2}, {5.5, 2}, {5.5, 7}, {2, 7}});
}

void book(QPainter& p, const QColor& cover) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(cover);
    p.drawRoundedRect(QRectF(2.5, 1.5, 11, 13), 1, 1);
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 3.5, 7, 3));
    p.setPen(QPen(cover.darker(150), 1));
    p.drawLine(QPointF(4.5, 1.5), QPointF(4.5, 14.5));
}

void folder(QPainter& p, bool open) {
    p.setPen(QPen(QColor(150, 110, 20), 1));
    p.setBrush(QColor(245, 205, 90));
    p.drawPolygon(QPolygonF{{1.5, 3.5}, {6.5, 3.5}, {8, 5}, {14.5, 5}, {14.5, 13.5}, {1.5, 13.5}});
    if (open) {
        p.setBrush(QColor(255, 228, 130));
        p.drawPolygon(QPolygonF{{1.5, 13.5}, {3.5, 7.5}, {15.5, 7.5}, {14.5, 13.5}});
    } else {
        p.drawLine(QPointF(1.5, 6.5), QPointF(14.5, 6.5));
    }
}

void gear(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 120, 140));
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(8, 8);
        p.rotate(i * 45);
        p.drawRect(QRectF(-1.5, -7, 3, 3));
        p.restore();
    }
    p.drawEllipse(QPointF(8, 8), 5, 5);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(8, 8), 2, 2);
}

void letter(QPainter& p, const QString& s, const QColor& bg) {
    p.setPen(Qt::NoPen);
    p.setBrush(bg);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, s);
}

void envelope(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 3.5, 13, 9));
    p.drawPolyline(QPolygonF{{1.5, 3.5}, {8, 9}, {14.5, 3.5}});
}

void globe(QPainter& p) {
    p.setPen(QPen(QColor(20, 80, 150), 1));
    p.setBrush(QColor(120, 190, 240));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(5, 1.5, 6, 13));
    p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QRectF(3, 4, 4, 3));
    p.drawEllipse(QRectF(9, 9, 4, 3));
}

void title(QPainter& p, bool selected) {
    // A small leaf of paper with a coloured bookmark.
    p.setPen(QPen(selected ? QColor(20, 70, 150) : QColor(90, 100, 120), 1));
    p.setBrush(selected ? QColor(255, 250, 220) : kPaper);
    p.drawRect(QRectF(3.5, 2.5, 9, 11));
    p.setPen(QPen(QColor(150, 160, 180), 1));
    for (int y = 5; y <= 11; y += 2) p.drawLine(QPointF(5.5, y + 0.5), QPointF(10.5, y + 0.5));
    p.setPen(Qt::NoPen);
    p.setBrush(selected ? kRed : kBlue);
    p.drawPolygon(QPolygonF{{9, 2}, {12, 2}, {12, 7}, {10.5, 5.5}, {9, 7}});
}

void paint(int index, QPainter& p) {
    switch (index) {
        case Add:
            paper(p);
            plus(p, {11.5, 11.5}, kGreen);
            break;
        case Modify:
            paper(p);
            pencil(p);
            break;
        case Delete:
            paper(p);
            p.setPen(QPen(kRed, 2.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(8, 8), QPointF(14, 14));
            p.drawLine(QPointF(14, 8), QPointF(8, 14));
            break;
        case Search:
            book(p, kBlue);
            magnifier(p, {9, 9}, 3.5);
            break;
        case FindText:
            paper(p);
            magnifier(p, {8, 8}, 3.5);
            break;
        case Print:
            printer(p);
            break;
        case Import:
            paper(p);
            arrow(p, false, kGreen);
            break;
        case Export:
            paper(p);
            arrow(p, true, kBlue);
            break;
        case Exit:
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(160, 110, 60));
            p.drawRect(QRectF(2.5, 1.5, 8, 13));
            arrow(p, true, kRed);
            break;
        case ZoomIn:
            magnifier(p, {6.5, 6.5}, 5);
            plus(p, {6.5, 6.5}, kGreen);
            break;
        case ZoomOut:
            magnifier(p, {6.5, 6.5}, 5);
            minus(p, {6.5, 6.5}, kRed);
            break;
        case Maintain:
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(200, 205, 215));
            p.drawEllipse(QRectF(2.5, 1.5, 11, 4));
            p.drawRect(QRectF(2.5, 3.5, 11, 10));
            p.drawEllipse(QRectF(2.5, 11.5, 11, 3));
            gear(p);
            break;
        case Options:
            gear(p);
            break;
        case About:
            letter(p, QStringLiteral("i"), kBlue);
            break;
        case Help:
            letter(p, QStringLiteral("?"), kGreen);
            break;
        case CustomOrder:
            p.setPen(QPen(kInk, 1));
            for (int i = 0; i < 3; ++i) {
                p.setBrush(i == 1 ? kGold : kPaper);
                p.drawRect(QRectF(1.5, 1.5 + i * 5, 8, 3));
            }
            arrow(p, true, kBlue);
            break;
        case PrintSetup:
            printer(p);
            gear(p);
            break;
        case AppendDb:
            book(p, kGreen);
            plus(p, {11.5, 11.5}, kGold);
            break;
        case Update:
            globe(p);
            arrow(p, false, kGreen);
            break;
        case HomePage:
            globe(p);
            break;
        case Mail:
            envelope(p);
            break;
        case Copy:
            paper(p);
            p.translate(3, 0);
            paper(p, QColor(235, 245, 255));
            p.translate(-3, 0);
            break;
        case SortAscending:
            arrow(p, true, kBlue);
            break;
        case SortDescending:
            arrow(p, false, kBlue);
            break;
        case Workbook:
            book(p, QColor(180, 60, 60));
            break;
        case LineSpacing:
            p.setPen(QPen(kInk, 1));
            for (int y = 3; y <= 13; y += 5) p.drawLine(QPointF(6, y + 0.5), QPointF(15, y + 0.5));
            p.setPen(QPen(kBlue, 1));
            p.drawLine(QPointF(2.5, 2), QPointF(2.5, 14));
            break;
        case Move:
            book(p, kGold);
            arrow(p, false, kBlue);
            break;
        case TitleSelected:
            title(p, true);
            break;
        case Title:
            title(p, false);
            break;
        case CategorySelected:
            folder(p, true);
            break;
        case Category:
            folder(p, false);
            break;
        case Program:
            p.setPen(QPen(QColor(30, 60, 120), 1));
            p.setBrush(QColor(70, 130, 210));
            p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
            paper(p);
            break;
        default:
            break;
    }
}

QPixmap render(int index, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    paint(index, p);
    return pm;
}

}  // namespace

const QPixmap& pixmap(int index) {
    static std::array<QPixmap, Count> cache;
    static const QPixmap none;
    if (index < 0 || index >= Count) return none;
    if (cache[index].isNull()) cache[index] = render(index, 16);
    return cache[index];
}

QIcon icon(int index) {
    if (index < 0 || index >= Count) return {};
    QIcon i(pixmap(index));
    i.addPixmap(render(index, 32));
    return i;
}

QIcon programIcon() {
    QIcon i;
    for (int s : {16, 24, 32, 48, 64}) i.addPixmap(render(Program, s));
    return i;
}

}  // namespace icons

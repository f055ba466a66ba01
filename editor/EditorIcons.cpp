#include "editor/EditorIcons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace editoricons {
namespace {

const QColor kInk(40, 40, 40);
const QColor kBlue(30, 80, 170);

QFont glyphFont(int pixel, bool bold = true, bool italic = false, bool underline = false) {
    QFont f(QStringLiteral("Noto Serif"));
    f.setPixelSize(pixel);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    return f;
}

void letter(QPainter& p, const QRect& r, const QString& s, const QFont& f, const QColor& c = kInk) {
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, s);
}

void page(QPainter& p, const QRect& r) {
    p.setPen(kInk);
    p.setBrush(Qt::white);
    p.drawRect(r);
}

void lines(QPainter& p, int left, int top, const int* widths, int count, int step) {
    p.setPen(QPen(kInk, 1));
    for (int i = 0; i < count; ++i)
        p.drawLine(left, top + i * step, left + widths[i], top + i * step);
}

void alignLines(QPainter& p, int mode) {
    static const int w[] = {13, 9, 13, 7, 11};
    p.setPen(QPen(kInk, 1));
    for (int i = 0; i < 5; ++i) {
        int x = 1;
        if (mode == 1) x = 15 - w[i];
        if (mode == 2) x = (16 - w[i]) / 2;
        p.drawLine(x, 2 + i * 3, x + w[i], 2 + i * 3);
    }
}

void arrow(QPainter& p, bool back) {
    QPainterPath path;
    if (back) {
        path.moveTo(13, 12);
        path.cubicTo(13, 5, 8, 4, 4, 6);
    } else {
        path.moveTo(3, 12);
        path.cubicTo(3, 5, 8, 4, 12, 6);
    }
    p.setPen(QPen(kBlue, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    QPolygon head;
    if (back)
        head << QPoint(2, 6) << QPoint(7, 2) << QPoint(7, 9);
    else
        head << QPoint(14, 6) << QPoint(9, 2) << QPoint(9, 9);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(head);
}

void lens(QPainter& p, int x, int y) {
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(200, 225, 250));
    p.drawEllipse(QRect(x, y, 7, 7));
    p.drawLine(x + 7, y + 7, x + 10, y + 10);
}

using Painter = std::function<void(QPainter&)>;

Painter painterFor(const QString& n) {
    if (n == QLatin1String("cut"))
        return [](QPainter& p) {
            p.setPen(QPen(kInk, 1));
            p.drawLine(5, 1, 10, 10);
            p.drawLine(11, 1, 6, 10);
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(kBlue, 1.5));
            p.drawEllipse(QRect(2, 10, 4, 4));
            p.drawEllipse(QRect(10, 10, 4, 4));
        };
    if (n == QLatin1String("copy"))
        return [](QPainter& p) {
            page(p, QRect(1, 1, 8, 10));
            page(p, QRect(6, 4, 8, 10));
        };
    if (n == QLatin1String("paste") || n == QLatin1String("pasteweb"))
        return [n](QPainter& p) {
            p.setPen(kInk);
            p.setBrush(QColor(190, 140, 70));
            p.drawRect(QRect(1, 2, 10, 12));
            p.setBrush(QColor(160, 160, 160));
            p.drawRect(QRect(4, 1, 4, 2));
            page(p, QRect(6, 6, 8, 9));
            if (n == QLatin1String("pasteweb")) {
                p.setPen(QPen(kBlue, 1));
                p.setBrush(QColor(170, 210, 250));
                p.drawEllipse(QRect(8, 8, 6, 6));
            }
        };
    if (n == QLatin1String("undo")) return [](QPainter& p) { arrow(p, true); };
    if (n == QLatin1String("redo")) return [](QPainter& p) { arrow(p, false); };
    if (n == QLatin1String("selectall"))
        return [](QPainter& p) {
            p.setPen(QPen(kInk, 1, Qt::DotLine));
            p.setBrush(QColor(180, 200, 240));
            p.drawRect(QRect(1, 1, 13, 13));
            static const int w[] = {9, 7, 9};
            lines(p, 3, 4, w, 3, 3);
        };
    if (n == QLatin1String("delete"))
        return [](QPainter& p) {
            p.setPen(QPen(QColor(200, 30, 30), 2));
            p.drawLine(3, 3, 12, 12);
            p.drawLine(12, 3, 3, 12);
        };
    if (n == QLatin1String("find")) return [](QPainter& p) { lens(p, 2, 2); };
    if (n == QLatin1String("replace"))
        return [](QPainter& p) {
            letter(p, QRect(0, 0, 9, 9), QStringLiteral("a"), glyphFont(9, false));
            letter(p, QRect(7, 7, 9, 9), QStringLiteral("b"), glyphFont(9, false), kBlue);
            p.setPen(kInk);
            p.drawLine(9, 3, 13, 3);
            p.drawLine(13, 3, 13, 6);
        };
    if (n == QLatin1String("picture"))
        return [](QPainter& p) {
            p.setPen(kInk);
            p.setBrush(QColor(170, 215, 250));
            p.drawRect(QRect(1, 2, 13, 11));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(60, 150, 60));
            p.drawPolygon(QPolygon() << QPoint(2, 12) << QPoint(6, 6) << QPoint(10, 12));
            p.setBrush(QColor(240, 200, 40));
            p.drawEllipse(QRect(9, 4, 3, 3));
        };
    if (n == QLatin1String("object"))
        return [](QPainter& p) {
            page(p, QRect(2, 1, 11, 13));
            p.setPen(kBlue);
            p.setBrush(QColor(170, 215, 250));
            p.drawRect(QRect(5, 5, 5, 5));
        };
    if (n == QLatin1String("bold"))
        return
            [](QPainter& p) { letter(p, QRect(0, 0, 16, 16), QStringLiteral("B"), glyphFont(13)); };
    if (n == QLatin1String("italic"))
        return [](QPainter& p) {
            letter(p, QRect(0, 0, 16, 16), QStringLiteral("I"), glyphFont(13, true, true));
        };
    if (n == QLatin1String("underline"))
        return [](QPainter& p) {
            letter(p, QRect(0, -1, 16, 16), QStringLiteral("U"), glyphFont(12, true, false, true));
        };
    if (n == QLatin1String("textcolor"))
        return [](QPainter& p) {
            letter(p, QRect(0, -2, 16, 14), QStringLiteral("A"), glyphFont(12));
            p.fillRect(QRect(2, 12, 12, 3), QColor(220, 0, 0));
        };
    if (n == QLatin1String("backcolor"))
        return [](QPainter& p) {
            p.fillRect(QRect(1, 1, 14, 10), QColor(255, 240, 0));
            letter(p, QRect(0, -2, 16, 14), QStringLiteral("ab"), glyphFont(10, false));
            p.fillRect(QRect(2, 12, 12, 3), QColor(255, 240, 0));
        };
    if (n == QLatin1String("left")) return [](QPainter& p) { alignLines(p, 0); };
    if (n == QLatin1String("right")) return [](QPainter& p) { alignLines(p, 1); };
    if (n == QLatin1String("center")) return [](QPainter& p) { alignLines(p, 2); };
    if (n == QLatin1String("bullets"))
        return [](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(kInk);
            for (int i = 0; i < 3; ++i) p.drawEllipse(QRect(1, 2 + i * 5, 3, 3));
            static const int w[] = {9, 9, 9};
            lines(p, 6, 3, w, 3, 5);
        };
    if (n == QLatin1String("superscript") || n == QLatin1String("subscript"))
        return [n](QPainter& p) {
            letter(p, QRect(0, 2, 10, 12), QStringLiteral("x"), glyphFont(12, false));
            const bool sup = n == QLatin1String("superscript");
            letter(p, QRect(9, sup ? 0 : 8, 7, 8), QStringLiteral("2"), glyphFont(8, false), kBlue);
        };
    if (n == QLatin1String("font"))
        return [](QPainter& p) {
            letter(p, QRect(0, 0, 10, 16), QStringLiteral("A"), glyphFont(12), kBlue);
            letter(p, QRect(7, 4, 9, 12), QStringLiteral("a"), glyphFont(9, false));
        };
    if (n == QLatin1String("paragraph"))
        return [](QPainter& p) {
            letter(p, QRect(0, 0, 16, 16), QString(QChar(0x00B6)), glyphFont(13, false));
        };
    return {};
}

}  // namespace

QIcon icon(const QString& name) {
    const Painter draw = painterFor(name);
    if (!draw) return {};
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        draw(p);
    }
    return QIcon(pm);
}

}  // namespace editoricons

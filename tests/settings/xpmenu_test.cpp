// The owner-drawn menu items: pixels at the stated positions for normal,
// highlighted, disabled, separator, checked and image items, and the style
// that hands QMenu's requests to the routines.

#include <QMenu>
#include <QPainter>
#include <QPixmap>

#include "mainwindow/DrawXpMenu.h"
#include "tests/settings/SettingsFixture.h"

using namespace xpmenu;

namespace {

constexpr int W = 180;
constexpr int H = 24;
const QColor kUnpainted(255, 0, 255);

QImage render(const XpMenuItem& item, bool highlighted, bool disabled, int h = H,
              QPoint origin = {0, 0}) {
    QImage img(W + origin.x(), h + origin.y(), QImage::Format_RGB32);
    img.fill(kUnpainted);
    QPainter p(&img);
    XpDrawItem(item, p, QRect(origin, QSize(W, h)), highlighted, disabled);
    p.end();
    return img;
}

QColor at(const QImage& img, int x, int y) {
    return img.pixelColor(x, y);
}

bool isDark(const QColor& c) {
    return c.red() < 90 && c.green() < 90 && c.blue() < 90;
}

// Columns [x0, x1) of rows [y0, y1) that hold a pixel passing test.
template <class Test>
QList<int> columnsWith(const QImage& img, int x0, int x1, int y0, int y1, Test test) {
    QList<int> cols;
    for (int x = x0; x < x1; ++x)
        for (int y = y0; y < y1; ++y)
            if (test(img.pixelColor(x, y))) {
                cols << x;
                break;
            }
    return cols;
}

XpMenuItem textItem() {
    XpMenuItem it;
    it.caption = QStringLiteral("导入文件(&O)");
    it.shortcut = QStringLiteral("Ctrl+Shift+O");
    return it;
}

QIcon redIcon() {
    QPixmap pm(16, 16);
    pm.fill(Qt::red);
    return QIcon(pm);
}

}  // namespace

TEST(XpMeasureItem, AddsTenToTheWidthAndSixToTheHeight) {
    int w = 100, h = 20;
    XpMeasureItem(w, h);
    EXPECT_EQ(w, 110);
    EXPECT_EQ(h, 26);
}

TEST(XpDrawItem, BackgroundFrameAndStripe) {
    const struct {
        const char* name;
        bool highlighted, disabled;
        QColor frame, background;
        bool stripe;
    } cases[] = {
        {"normal", false, false, kItemBackground, kItemBackground, true},
        {"highlighted", true, false, kHighlightFrame, kHighlightBackground, false},
        {"disabled", false, true, kDisabledBackground, kDisabledBackground, true},
        {"disabled highlighted", true, true, kDisabledBackground, kDisabledBackground, true},
    };
    for (const auto& c : cases) {
        const QImage img = render(textItem(), c.highlighted, c.disabled);
        SCOPED_TRACE(c.name);
        // The one-pixel frame on all four edges (the stripe covers the left one).
        EXPECT_EQ(at(img, 100, 0), c.frame);
        EXPECT_EQ(at(img, 100, H - 1), c.frame);
        EXPECT_EQ(at(img, W - 1, 12), c.frame);
        EXPECT_EQ(at(img, 100, 1), c.background);
        EXPECT_EQ(at(img, W - 2, 12), c.background);
        EXPECT_EQ(at(img, 20, 12), c.background);
        // The stripe: 20 pixels wide, full height.
        const QColor stripeOrNot = c.stripe ? kStripe : c.frame;
        EXPECT_EQ(at(img, 0, 0), stripeOrNot);
        EXPECT_EQ(at(img, 19, H - 1), stripeOrNot);
        EXPECT_EQ(at(img, 5, 12), c.stripe ? kStripe : c.background);
    }
}

TEST(XpDrawItem, CaptionAndShortcutPositions) {
    const QImage img = render(textItem(), false, false);
    const QList<int> ink = columnsWith(img, 0, W, 0, H, isDark);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.first(), kCaptionLeft);
    EXPECT_LE(ink.first(), kCaptionLeft + 2);
    EXPECT_LE(ink.last(), W - kShortcutRightGap - 1);
    EXPECT_GE(ink.last(), W - kShortcutRightGap - 4);
    // Text starts 3 from the top: nothing dark above.
    EXPECT_TRUE(columnsWith(img, 0, W, 0, kCaptionTop, isDark).isEmpty());
    // The access key is underlined, not shown as "&".
    XpMenuItem plain = textItem();
    plain.caption = QStringLiteral("导入文件(O)");
    plain.shortcut.clear();
    XpMenuItem amp = textItem();
    amp.shortcut.clear();
    EXPECT_NE(render(plain, false, false), render(amp, false, false));
}

TEST(XpDrawItem, DisabledTextUsesTheButtonShadowColour) {
    const QImage img = render(textItem(), true, true);
    const QColor shadow = disabledTextColor();
    EXPECT_FALSE(
        columnsWith(img, 0, W, 0, H, [&](const QColor& c) { return c == shadow; }).isEmpty());
    EXPECT_TRUE(columnsWith(img, 0, W, 0, H, isDark).isEmpty());
}

TEST(XpDrawItem, SeparatorLine) {
    XpMenuItem sep;
    sep.separator = true;
    for (int h : {9, 10}) {
        SCOPED_TRACE(h);
        const QImage img = render(sep, false, false, h, QPoint(7, 5));
        const int m = 5 + h / 2;
        const int left = 7, right = 7 + W;
        EXPECT_EQ(at(img, left + 23, m - 1), kSeparator);
        EXPECT_EQ(at(img, right - 3, m - 1), kSeparator);
        EXPECT_EQ(at(img, left + 22, m - 1), kItemBackground);
        EXPECT_EQ(at(img, right - 2, m - 1), kItemBackground);
        EXPECT_EQ(at(img, left + 60, m), kItemBackground);
        EXPECT_EQ(at(img, left + 60, m - 2), kItemBackground);
        EXPECT_EQ(at(img, left + 3, m - 1), kStripe);
        EXPECT_EQ(at(img, left - 1, m - 1), kUnpainted);  // stays inside R
    }
    // A disabled separator keeps the normal colours and its line.
    const QImage img = render(sep, false, true, 9);
    EXPECT_EQ(at(img, 30, 3), kSeparator);
}

TEST(XpDrawItem, CheckAndRadioMarks) {
    XpMenuItem item = textItem();
    item.caption = QStringLiteral("x");
    item.shortcut.clear();
    const auto marks = [](const QImage& img) {
        return columnsWith(img, 0, kStripeWidth, 0, H, isDark);
    };
    EXPECT_TRUE(marks(render(item, false, false)).isEmpty());
    item.checked = true;
    QList<int> cols = marks(render(item, false, false));
    ASSERT_FALSE(cols.isEmpty());
    EXPECT_GE(cols.first(), 2);
    EXPECT_LT(cols.last(), 2 + 16);
    item.radio = true;
    cols = marks(render(item, false, false));
    ASSERT_FALSE(cols.isEmpty());
    EXPECT_GE(cols.first(), 4);
    EXPECT_LT(cols.last(), 4 + 12);
}

TEST(XpDrawItem, ImagePositions) {
    XpMenuItem item = textItem();
    item.image = redIcon();
    const QColor red(Qt::red);

    QImage img = render(item, false, false);
    EXPECT_EQ(at(img, 3, 3), red);
    EXPECT_EQ(at(img, 18, 18), red);
    EXPECT_EQ(at(img, 2, 2), kStripe);

    img = render(item, true, false);  // lifted one pixel up and left
    EXPECT_EQ(at(img, 2, 2), red);
    EXPECT_EQ(at(img, 17, 17), red);
    EXPECT_EQ(at(img, 18, 18), kHighlightBackground);

    img = render(item, true, true);  // greyed, at rest
    EXPECT_NE(at(img, 5, 5), red);
    EXPECT_NE(at(img, 5, 5), kStripe);
    EXPECT_EQ(at(img, 2, 2), kStripe);

    item.hasImageList = false;
    img = render(item, false, false);
    EXPECT_EQ(at(img, 5, 5), kStripe);
}

TEST(XpMenuStyle, MenuItemsAreEnlargedAndDrawnByTheRoutine) {
    QMenu plain;
    QMenu drawn;
    XpMenuStyle style;
    drawn.setStyle(&style);
    for (QMenu* m : {&plain, &drawn}) {
        m->addAction(redIcon(), QStringLiteral("导入文件(&O)"))
            ->setShortcut(QKeySequence("Ctrl+O"));
        m->addSeparator();
        m->addAction(QStringLiteral("退出(&X)"));
        m->ensurePolished();
        m->adjustSize();
    }
    for (int i : {0, 1, 2})
        EXPECT_EQ(drawn.actionGeometry(drawn.actions()[i]).height(),
                  plain.actionGeometry(plain.actions()[i]).height() + kExtraHeight)
            << i;
    EXPECT_GE(drawn.sizeHint().width(), plain.sizeHint().width() + kExtraWidth - 2);

    QAction* first = drawn.actions()[0];
    drawn.setActiveAction(first);
    const QRect r = drawn.actionGeometry(first);
    const QImage img = drawn.grab().toImage();
    EXPECT_EQ(img.pixelColor(r.left() + r.width() / 2, r.top()), kHighlightFrame);
    EXPECT_EQ(img.pixelColor(r.right() - 2, r.center().y()), kHighlightBackground);
    const QRect exit = drawn.actionGeometry(drawn.actions()[2]);
    EXPECT_EQ(img.pixelColor(exit.left() + 5, exit.center().y()), kStripe);
}

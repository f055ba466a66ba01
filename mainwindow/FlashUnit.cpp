#include "mainwindow/FlashUnit.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

TFlashForm::TFlashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("程序加载"));
    setFixedSize(300, 158);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xF0, 0xFB, 0xFF));  // 0x00FFFBF0 as BGR
    setPalette(pal);
    setWindowOpacity(188.0 / 255.0);

    Label1 = new QLabel(QStringLiteral("正在加载数据库数据……"), this);
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSize(9);
    Label1->setFont(f);
    Label1->move(83, 48);
    Label1->adjustSize();

    DBPBar = new QProgressBar(this);
    DBPBar->setGeometry(32, 96, 233, 17);
    DBPBar->setRange(0, 100);
    DBPBar->setValue(0);
    DBPBar->setTextVisible(false);
}

TFlashForm::~TFlashForm() = default;

void TFlashForm::stepIt() {
    int v = DBPBar->value() + 10;
    if (v > DBPBar->maximum()) v = DBPBar->maximum();
    DBPBar->setValue(v);
    if (isVisible()) DBPBar->repaint();
}

int TFlashForm::position() const {
    return DBPBar->value();
}

void TFlashForm::showNow() {
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect a = s->availableGeometry();
        move(a.center() - rect().center());
    }
    show();
    repaint();
    QApplication::processEvents();
}

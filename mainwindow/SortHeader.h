#pragma once
// The sort header above the category list: section 0 (titles, with the sort
// arrow) and section 1 (custom order, 55 pixels, with its picture).

#include <QWidget>

class SortHeader : public QWidget {
    Q_OBJECT
  public:
    enum Arrow { NoArrow, Up, Down };
    static constexpr int kCustomWidth = 55;

    explicit SortHeader(QWidget* parent = nullptr);

    void setArrowsOn(bool on);
    bool arrowsOn() const { return arrowsOn_; }
    void setTitleArrow(Arrow a);
    Arrow titleArrow() const { return arrow_; }
    // The shown arrow: the title arrow while arrows are on, otherwise none.
    Arrow shownArrow() const { return arrowsOn_ ? arrow_ : NoArrow; }

    int sectionWidth(int section) const;
    QRect sectionRect(int section) const;
    int sectionAt(const QPoint& pos) const;  // -1 outside both sections

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    void sectionClicked(int section);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;

  private:
    bool arrowsOn_ = false;
    Arrow arrow_ = NoArrow;
    int pressed_ = -1;
    int hover_ = -1;
};

#pragma once
// The title list: an owner-drawn list of article titles (striped or plain
// rows, running numbers, a prefix sign or title pictures), three line heights,
// dragging a title onto another one in custom order with a focus-rectangle
// feedback, and a right button that selects before the popup menu opens.

#include <QLineEdit>
#include <QListWidget>
#include <QPoint>
#include <QRect>
#include <functional>

class TitleList : public QListWidget {
    Q_OBJECT
  public:
    static constexpr int kHeightLarge = 23;
    static constexpr int kHeightMedium = 18;
    static constexpr int kHeightSmall = 13;

    explicit TitleList(QWidget* parent = nullptr);
    ~TitleList() override;

    // Display state read by the drawing.
    int numberDisplayMode() const { return numberMode_; }
    void setNumberDisplayMode(int m) { numberMode_ = m; }
    int titleDisplayMode() const { return titleMode_; }
    void setTitleDisplayMode(int m);
    int itemHeight() const { return itemHeight_; }
    void setItemHeight(int h);
    QColor listColor() const { return listColor_; }
    void setListColor(const QColor& c);

    // Dragging starts only while this is on (custom order) and the condition,
    // when one is set, holds (the list shows rows a drop can reorder).
    bool titleDragEnabled() const { return dragOn_; }
    void setTitleDragEnabled(bool on) { dragOn_ = on; }
    void setDragCondition(std::function<bool()> condition) {
        dragCondition_ = std::move(condition);
    }
    // Whether a press at pos followed by a move would start a drag.
    bool wouldStartDrag(const QPoint& pos) const;

    // The remembered drag rectangle (empty when none is shown).
    QRect feedbackRect() const { return feedback_; }
    // Marks the item under pos (viewport coordinates) as the drop target; over
    // the empty part of the list nothing changes. Called while dragging.
    void markDropTarget(const QPoint& pos);
    // Erases the remembered rectangle and sets its bottom edge to 0.
    void eraseFeedback();

    // Selects row without announcing it as a user selection.
    void selectQuietly(int row);
    // The selected row, -1 when none (the current row may differ: the view
    // makes the first row current when it gets the focus).
    int selectedRow() const;

    // Builds the whole list at once (faster than adding items one by one).
    void setTitles(const QStringList& texts);

    // The in-place title editor placed inside the list; it follows the
    // list's width.
    void setInPlaceEditor(QWidget* editor) { editor_ = editor; }

  signals:
    // The user selected an item (mouse press, right button, keyboard).
    void userSelected();
    // A title was dropped: s the dragged row, t the row under the pointer (-1 none).
    void titleDropped(int s, int t);
    // A popup was requested at pos (viewport coordinates); fromKeyboard when
    // it came from the keyboard (no pointer position).
    void popupRequested(const QPoint& pos, bool fromKeyboard);

  protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dragLeaveEvent(QDragLeaveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

  private:
    void startTitleDrag();
    bool dragAllowed() const { return dragOn_ && (!dragCondition_ || dragCondition_()); }

    int numberMode_ = 2;
    int titleMode_ = 0;
    int itemHeight_ = kHeightMedium;
    bool dragOn_ = true;
    std::function<bool()> dragCondition_;
    QColor listColor_;
    QWidget* editor_ = nullptr;
    QRect feedback_;
    QPoint pressPos_;
    int pressRow_ = -1;
    bool pressed_ = false;
};

// The in-place title editor: flat, borderless, hidden until a rename starts.
// Enter commits; the focus moving to another control of the window hides
// it (a popup menu or another window does not). Its context menu is the
// title list's popup, whose "复制标题" copies from it.
class TitleEditor : public QLineEdit {
    Q_OBJECT
  public:
    explicit TitleEditor(QWidget* parent = nullptr);

  signals:
    void commitRequested();
    // A context menu was asked for at global (screen coordinates): the title
    // list's popup stands in for the line edit's own menu.
    void popupRequested(const QPoint& global);

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
};

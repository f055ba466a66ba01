#pragma once
// The category list: an owner-drawn drop-down whose entries show a folder
// picture (open for the selected entry and in the closed field) and the text.

#include <QComboBox>

class CategoryCombo : public QComboBox {
  public:
    static constexpr int kEntryHeight = 16;
    explicit CategoryCombo(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* e) override;
};

#pragma once
// The splash window shown while the database is loaded.

#include <QWidget>

class QLabel;
class QProgressBar;

class TFlashForm : public QWidget {
    Q_OBJECT
  public:
    explicit TFlashForm(QWidget* parent = nullptr);
    ~TFlashForm() override;

    QProgressBar* DBPBar = nullptr;
    QLabel* Label1 = nullptr;

    // Advances the progress bar by one step (10) and repaints at once.
    void stepIt();
    int position() const;
    // Shows the window centred and paints it before returning.
    void showNow();
};

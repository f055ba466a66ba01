#pragma once
// A colour drop-down whose value is a colour code: a first entry that opens
// the colour chooser (and shows any colour that is none of the listed ones),
// the 16 standard colours, four extended colours and the system colours.

#include <QComboBox>

#include "platform/core/ColorCode.h"

class ColorComboBox : public QComboBox {
    Q_OBJECT
  public:
    explicit ColorComboBox(QWidget* parent = nullptr);

    platform::ColorCode colorCode() const;
    // Selects the entry of code (the first entry when none is listed).
    // Emits colorCodeChanged when the value changes.
    void setColorCode(platform::ColorCode code);

  signals:
    void colorCodeChanged(platform::ColorCode code);

  private:
    void onActivated(int index);
    void setCustom(platform::ColorCode code);

    platform::ColorCode custom_ = 0;
    platform::ColorCode last_ = 0;
    bool hasLast_ = false;
};

#pragma once
// Small helpers shared by the settings, login and about dialogs.

#include <QString>
#include <QValidator>

class QLineEdit;
class QWidget;

namespace settings {

// Moves w so it is centred on owner (or on its screen when owner is null).
void centreOn(QWidget* w, QWidget* owner);

// A password field that shows "*" for every character typed.
void makePasswordField(QLineEdit* field);

// Makes sure the program's own pictures (icon, banner) are registered.
void ensureResources();

// Accepts text of at most maxBytes bytes in GBK; characters GBK cannot hold
// are refused as well, since the settings file could not keep them.
class GbkLimitValidator : public QValidator {
    Q_OBJECT
  public:
    GbkLimitValidator(int maxBytes, QObject* parent);
    State validate(QString& input, int& pos) const override;

  private:
    int maxBytes_;
};

}  // namespace settings

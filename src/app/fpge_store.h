#pragma once

#include <QWidget>

class QComboBox;

namespace tavlo {

// The hidden form that holds what belongs to no one widget. For now it carries
// the combo box whose height, in the message font, is the height of every
// one-line control of the dialogs.
class fpge_STORE final : public QWidget
{
    Q_OBJECT
public:
    explicit fpge_STORE(QWidget *parent = nullptr);

    QComboBox *cboDEFAULT = nullptr;
};

// The menu form, loaded (hidden) on first use.
fpge_STORE &menuForm();
// Unloads the menu form if it is loaded.
void unloadMenuForm();

} // namespace tavlo

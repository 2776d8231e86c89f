#pragma once

#include "app/panels/settingspanel.h"

#include <QString>

class Form2;
class QLineEdit;
class QWidget;

// The hints of the settings fields: balloon tooltips on the address, login and password fields
// and on the frame around the Search button, attached the first time the pointer moves over the
// field; and the input fields select their text, from the caret to the end, when they get focus.

// While the main window loads: the six tooltip objects of the window get their style, icon and
// delay.
void createTooltips(Form2& form);

// Pointer move over the address, login or password field or the frame around Search: attaches
// that hint's tip once.
void attachFieldHint(Form2& form, SettingsPanel::Hint hint);

// Focus gained by the address, login or password field: selects from the caret to the end of the
// text.
void selectFieldText(QLineEdit* field);

// The address shown as an example in the address hint (a private-range address).
inline constexpr const char* kExampleAddress = "192.168.20.15";

#pragma once

#include "app/panels/settingspanel.h"

#include <QString>

class Form2;

// The hints of the settings fields: balloon tooltips on the address, login and password fields
// and on the frame around the Search button, attached the first time the pointer moves over the
// field.

// While the main window loads: the six tooltip objects of the window get their style, icon and
// delay.
void createTooltips(Form2& form);

// Pointer move over the address, login or password field or the frame around Search: attaches
// that hint's tip once.
void attachFieldHint(Form2& form, SettingsPanel::Hint hint);

// The address shown as an example in the address hint (a private-range address).
inline constexpr const char* kExampleAddress = "192.168.20.15";

#pragma once

class Form2;
class QString;

// Where the window keeps the server password: in "auto.ini", or in the desktop keyring when the
// settings panel's choice "Keep the password in the desktop keyring" is ticked.

// At start, when "auto.ini" keeps the password in the keyring: ticks the choice and fills the
// password field from the keyring (a locked keyring is unlocked through the desktop's prompt). A
// keyring that cannot be reached, or stays locked, is said once; the field stays as it was for
// the operator to type the password for this run.
void loadPasswordFromKeyring(Form2& form);

// The choice clicked: ticked, the password moves into the keyring and then leaves "auto.ini";
// unticked, it moves back into "auto.ini" once the operator agrees to keep it there in plain
// text. When the move fails or the operator says No, the choice goes back.
void switchPasswordPlace(Form2& form);

// The end of a search: the connection fields saved where they belong. The message the search
// ends with when the settings file could not be written, "" otherwise; a password the keyring
// could not take is said once and written nowhere else.
QString saveSearchSettings(Form2& form);

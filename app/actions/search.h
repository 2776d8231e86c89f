#pragma once

class Form2;

// The Search button: checks the three connection fields, lists the merge files of the server
// folder "/u/vantrelle/accounts/", downloads each into the data folder, rebuilds the browser with
// one entry per downloaded file, saves the fields to "auto.ini" and arms the guidance balloon that
// fits the outcome. Failures of the checks and of the listing end in a message box.
void searchServer(Form2& form);

// Delete on the server: after the operator confirms, deletes the selected merge file (the one the
// details panel shows) in the server folder, goes back to the settings panel and searches again.
void deleteOnServer(Form2& form);

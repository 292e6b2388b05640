#pragma once

// Loads Qt's own Spanish texts (dialog buttons, context menus of text boxes and scroll bars)
// into the running application, whatever the user's locale: every text of the program is
// Spanish, and its dialogs should not say "OK" and "Cancel". Returns whether they were found.
bool installQtSpanishTexts();

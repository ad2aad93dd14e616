#pragma once
// Caption translation for the windows' controls: each window calls it for the controls whose captions
// are to be shown in the user's language when it loads.
class QObject;
class QTabBar;

namespace orvia {

// Replaces the caption of one control by its translation: the text of a push button, label or radio
// button, the title of a group box or menu, the text of a menu action, the title of a window. Other
// controls (check boxes, text boxes, lists, ...) are left alone, as is a null control.
void TranslateCaption(QObject *control);

// Replaces the caption of one tab by its translation; an index outside the tab bar is ignored.
void TranslateTabCaption(QTabBar *tabs, int index);

} // namespace orvia

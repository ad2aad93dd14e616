#include "shell/TranslateCaption.h"

#include "common/Translation.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

namespace orvia {

void TranslateCaption(QObject *control)
{
    if (!control)
        return;
    // Check boxes are buttons too, but their captions are not translated.
    if (qobject_cast<QCheckBox *>(control))
        return;
    if (auto *button = qobject_cast<QPushButton *>(control)) {
        button->setText(Translate(button->text()));
    } else if (auto *option = qobject_cast<QRadioButton *>(control)) {
        option->setText(Translate(option->text()));
    } else if (auto *label = qobject_cast<QLabel *>(control)) {
        label->setText(Translate(label->text()));
    } else if (auto *frame = qobject_cast<QGroupBox *>(control)) {
        frame->setTitle(Translate(frame->title()));
    } else if (auto *menu = qobject_cast<QMenu *>(control)) {
        // Before the window test: a menu is a top-level popup widget.
        menu->setTitle(Translate(menu->title()));
    } else if (auto *action = qobject_cast<QAction *>(control)) {
        action->setText(Translate(action->text()));
    } else if (auto *window = qobject_cast<QWidget *>(control); window && window->isWindow()) {
        window->setWindowTitle(Translate(window->windowTitle()));
    }
}

void TranslateTabCaption(QTabBar *tabs, int index)
{
    if (!tabs || index < 0 || index >= tabs->count())
        return;
    tabs->setTabText(index, Translate(tabs->tabText(index)));
}

} // namespace orvia

#include "shell/WidgetMessageBox.h"
#include <QMessageBox>
#include <QPushButton>
#include <vector>

namespace orvia {

namespace {

struct ButtonMap
{
    QMessageBox::StandardButton button;
    int answer;
};

std::vector<ButtonMap> buttonsFor(int style)
{
    switch (style & 7) {
    case mb::OkCancel:
        return {{QMessageBox::Ok, mb::Ok}, {QMessageBox::Cancel, mb::Cancel}};
    case mb::AbortRetryIgnore:
        return {{QMessageBox::Abort, mb::Abort},
                {QMessageBox::Retry, mb::Retry},
                {QMessageBox::Ignore, mb::Ignore}};
    case mb::YesNoCancel:
        return {{QMessageBox::Yes, mb::Yes}, {QMessageBox::No, mb::No}, {QMessageBox::Cancel, mb::Cancel}};
    case mb::YesNo:
        return {{QMessageBox::Yes, mb::Yes}, {QMessageBox::No, mb::No}};
    case mb::RetryCancel:
        return {{QMessageBox::Retry, mb::Retry}, {QMessageBox::Cancel, mb::Cancel}};
    default:
        return {{QMessageBox::Ok, mb::Ok}};
    }
}

QMessageBox::Icon iconFor(int style)
{
    switch (style & 0x70) {
    case mb::Critical:
        return QMessageBox::Critical;
    case mb::Question:
        return QMessageBox::Question;
    case mb::Exclamation:
        return QMessageBox::Warning;
    case mb::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int WidgetMessageBox::show(const QString &text, int style, const QString &title)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(title.isEmpty() ? kAppTitle : title);
    box.setText(text);
    box.setIcon(iconFor(style));
    const std::vector<ButtonMap> buttons = buttonsFor(style);
    QMessageBox::StandardButtons set;
    for (const ButtonMap &b : buttons)
        set |= b.button;
    box.setStandardButtons(set);
    // The default button: the first, or the second or third when the style asks for it.
    const std::size_t def = std::min<std::size_t>(std::size_t((style >> 8) & 3), buttons.size() - 1);
    box.setDefaultButton(buttons[def].button);
    if (style & mb::Foreground) {
        // Nothing else of this program is on screen: the box must not open behind other windows.
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        box.show();
        box.raise();
        box.activateWindow();
    }
    // Closing the box answers with its cancelling button: Cancel, No or (for a single button) OK.
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const ButtonMap &b : buttons)
        if (b.button == clicked)
            return b.answer;
    for (const ButtonMap &b : buttons)
        if (b.answer == mb::Cancel)
            return mb::Cancel;
    return (style & 7) == mb::YesNo ? mb::No : buttons.front().answer;
}

} // namespace orvia

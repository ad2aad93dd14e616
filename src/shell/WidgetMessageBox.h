#pragma once
// The real message box: a modal Qt Widgets box (its nested event loop keeps timers and the serial
// link running, as the classic modal box did).
#include "platform/MessageBox.h"

class QWidget;

namespace orvia {

class WidgetMessageBox : public IMessageBox
{
public:
    explicit WidgetMessageBox(QWidget *parent = nullptr) : m_parent(parent) {}
    int show(const QString &text, int style = mb::OkOnly, const QString &title = QString()) override;

private:
    QWidget *m_parent;
};

} // namespace orvia

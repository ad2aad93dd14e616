#include "shell/WidgetMessageBox.h"
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace orvia;

namespace {
// Shows a box and acts on it from inside its own event loop, as a user would.
int showAndDo(int style, const std::function<void(QMessageBox *)> &act, QString *title = nullptr)
{
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        if (title)
            *title = box->windowTitle();
        act(box);
    });
    WidgetMessageBox wmb;
    return wmb.show(QStringLiteral("Text"), style);
}
} // namespace

TEST(WidgetMessageBox, AnswersWithTheClickedButtonAndCancelsOnClose)
{
    QString title;
    EXPECT_EQ(showAndDo(
                  mb::OkOnly, [](QMessageBox *b) { b->button(QMessageBox::Ok)->click(); }, &title),
              mb::Ok);
    EXPECT_EQ(title, kAppTitle);
    EXPECT_EQ(
        showAndDo(mb::YesNo + mb::Question, [](QMessageBox *b) { b->button(QMessageBox::No)->click(); }),
        mb::No);
    EXPECT_EQ(
        showAndDo(mb::AbortRetryIgnore, [](QMessageBox *b) { b->button(QMessageBox::Ignore)->click(); }),
        mb::Ignore);
    // Closing the window picks the cancelling answer.
    EXPECT_EQ(showAndDo(mb::YesNoCancel, [](QMessageBox *b) { b->reject(); }), mb::Cancel);
    EXPECT_EQ(showAndDo(mb::YesNo, [](QMessageBox *b) { b->reject(); }), mb::No);
    // The default button follows the style's default-button bits.
    EXPECT_EQ(showAndDo(mb::YesNo + 256, [](QMessageBox *b) { b->defaultButton()->click(); }), mb::No);
}

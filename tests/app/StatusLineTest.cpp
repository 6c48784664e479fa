#include "app/StatusLine.h"
#include "app/StatusText.h"

#include "common/LayoutRequests.h"

#include <QTextDocument>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// Shows `content` at the top of `window`, as wide as `characters` average
// characters; false if the window is not exposed.
bool showAtTheTop(QWidget& window, QWidget* content, int characters)
{
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(content);
    layout->addStretch();
    window.resize(content->fontMetrics().averageCharWidth() * characters, 200);
    window.show();
    return QTest::qWaitForWindowExposed(&window);
}

TEST(StatusLineTest, MarkupIsShownAsTextAndANoticeIsALineOfItsOwn)
{
    // A failure quoting markup shows it as text, in the tooltip too; a notice
    // is a line of its own under any state.
    StatusLine line;
    const QString kick = QStringLiteral("Kicked: <b>bold</b> &amp; <img src=x>");
    line.setState(ConnectionState::failed(kick));
    const QWidget* text = line.findChild<QWidget*>(QStringLiteral("statusText"));
    ASSERT_TRUE(text);
    QTextDocument tip;
    tip.setHtml(text->toolTip());
    EXPECT_EQ(tip.toPlainText(), kick);
    line.setNotice(QStringLiteral("Your settings could not be saved."));
    line.setState(ConnectionState::connected());
    EXPECT_EQ(line.text(), QStringLiteral("Connected\nYour settings could not be saved."));
    line.setNotice(QString());
    EXPECT_EQ(line.text(), QStringLiteral("Connected"));
    EXPECT_TRUE(text->toolTip().isEmpty());
}

TEST(StatusLineTest, LongTextIsCutAfterThreeLinesWithAnEllipsis)
{
    StatusText text(StatusLine::maximumLines);
    const int width = text.fontMetrics().averageCharWidth() * 30;

    text.setText(QStringLiteral("Connected"));
    EXPECT_EQ(text.linesForWidth(width), QStringList{"Connected"});
    EXPECT_EQ(text.heightForWidth(width), text.fontMetrics().lineSpacing());

    QString story;
    for (int i = 0; i < 40; ++i)
        story += QStringLiteral("word%1 ").arg(i);
    text.setText(story);
    const QStringList lines = text.linesForWidth(width);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("word0 word1")));
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral("…")));
    for (const QString& line : lines)
        EXPECT_LE(text.fontMetrics().horizontalAdvance(line), width) << line.toStdString();
    EXPECT_EQ(text.heightForWidth(width), 3 * text.fontMetrics().lineSpacing());

    // Line breaks from a server count as lines and cannot add a fourth.
    text.setText(QStringLiteral("one\ntwo\nthree\nfour"));
    EXPECT_EQ(text.linesForWidth(width), (QStringList{"one", "two", "three four"}));
    // No width, nothing to show; no text, one empty line's height.
    EXPECT_TRUE(text.linesForWidth(0).isEmpty());
    text.setText(QString());
    EXPECT_EQ(text.heightForWidth(width), text.fontMetrics().lineSpacing());

    // A larger font wraps the same text at the same width again.
    text.setText(QStringLiteral("one two three four"));
    ASSERT_EQ(text.linesForWidth(width).size(), 1);
    const QSize hint = text.sizeHint();
    QFont larger = text.font();
    larger.setPointSizeF(larger.pointSizeF() * 3);
    text.setFont(larger);
    EXPECT_GT(text.linesForWidth(width).size(), 1);
    EXPECT_GT(text.sizeHint().height(), hint.height());
}

// A countdown's ticking repaints the text without laying the window out
// again; a text that needs another line does.
TEST(StatusLineTest, ATickingCountdownLeavesTheLayoutAlone)
{
    QWidget window;
    auto* text = new StatusText(StatusLine::maximumLines);
    ASSERT_TRUE(showAtTheTop(window, text, 40));
    text->setText(QStringLiteral("Reconnecting in 19 s"));
    QCoreApplication::processEvents();

    const LayoutRequests layouts(window);
    for (int seconds = 18; seconds >= 11; --seconds) {
        text->setText(QStringLiteral("Reconnecting in %1 s").arg(seconds));
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(layouts.count, 0);

    text->setText(QStringLiteral("The receiver went away. Reconnecting in 10 s, then every minute after."));
    QCoreApplication::processEvents();
    EXPECT_GT(layouts.count, 0);
    EXPECT_GT(text->height(), text->fontMetrics().lineSpacing());
    EXPECT_EQ(text->height(), text->heightForWidth(text->width()));
}

// The whole line, symbol and colour included, ticks without a layout too.
TEST(StatusLineTest, ATickingReconnectCountdownLeavesTheLayoutAlone)
{
    QWidget window;
    auto* line = new StatusLine;
    ASSERT_TRUE(showAtTheTop(window, line, 60));
    const ConnectionState dropped = ConnectionState::failed(QStringLiteral("The receiver went away."));
    line->setState(dropped, ReconnectWait{2, 10, 9});
    // The new symbol's layout asks for a second pass.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    const LayoutRequests layouts(window);
    for (int seconds = 8; seconds >= 1; --seconds) {
        line->setState(dropped, ReconnectWait{2, 10, seconds});
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(layouts.count, 0);
    EXPECT_EQ(line->text(), QStringLiteral("Reconnecting in 1 s (try 2 of 10)"));

    // The try shows the spinner instead of the symbol.
    line->setState(ConnectionState::connecting());
    QCoreApplication::processEvents();
    EXPECT_GT(layouts.count, 0);
    EXPECT_TRUE(line->isBusy());
}

} // namespace

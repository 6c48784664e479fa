#pragma once
// Shared by the widget tests: texts in failure messages as text, and where
// screenshots go.

#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

// Writes a picture of the widget next to the test program, under screenshots/.
inline void saveScreenshot(QWidget& widget, const QString& name)
{
    const QDir dir(QCoreApplication::applicationDirPath());
    dir.mkpath(QStringLiteral("screenshots"));
    EXPECT_TRUE(widget.grab().save(dir.filePath(QStringLiteral("screenshots/") + name)));
}

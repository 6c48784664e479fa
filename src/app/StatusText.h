#pragma once
// Plain text wrapped to the width it is given and cut after a number of
// lines, the last one ending in "…" when text was left out. Its height
// follows its width, so the row around it grows up to that many lines.

#include <QString>
#include <QStringList>
#include <QWidget>

#include <optional>
#include <utility>

class StatusText : public QWidget {
    Q_OBJECT
public:
    explicit StatusText(int maximumLines, QWidget* parent = nullptr);

    void setText(const QString& text);
    const QString& text() const { return m_text; }

    // The lines shown at a width: at most maximumLines, the last elided.
    QStringList linesForWidth(int width) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QStringList wrappedLines(int width) const;
    void forgetLayout();

    int m_maximumLines;
    QString m_text;
    // The lines at the last width asked for, and the size hint: each tick of
    // a countdown asks for both before and after its text changes, and the
    // paint for the lines again.
    mutable std::optional<std::pair<int, QStringList>> m_lines;
    mutable std::optional<QSize> m_sizeHint;
};

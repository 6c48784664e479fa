#pragma once
// A list's text as plain text: tags dropped (a tag cut off at the end drops
// the rest), entities decoded, control and invisible format characters gone,
// blanks collapsed, and the result cut to a bound. A '<' that starts no tag
// ("<3", "a < b") is text. The result is meant for plain-text display only.

#include <QString>
#include <QStringView>

QString plainListText(QStringView markup, qsizetype maxLength);

#pragma once
// Menu and button texts that show user text verbatim.

#include <QString>

// The text with every "&" doubled, so that Qt shows it instead of taking it
// as the mark of a keyboard mnemonic.
inline QString verbatimActionText(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

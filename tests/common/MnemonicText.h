#pragma once
// Menu texts as the tests name them: without the mnemonic mark.

#include <QString>

// The text without its mnemonic "&"; a doubled "&" stays as it is.
inline QString withoutMnemonic(QString text)
{
    return text.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(QLatin1Char('&'))
        .replace(QStringLiteral("\x01"), QStringLiteral("&&"));
}

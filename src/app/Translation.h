#pragma once
// The program's texts in the user's language: the translation that ships for
// the locale's first language that has one (LANGUAGE, LC_ALL, LC_MESSAGES,
// LANG on Linux), with Qt's own texts (standard buttons) when installed.

#include <QLocale>
#include <QTranslator>

#include <memory>
#include <vector>

// Empty when no translation ships for the locale: the texts stay English.
std::vector<std::unique_ptr<QTranslator>> loadTranslations(const QLocale& locale);

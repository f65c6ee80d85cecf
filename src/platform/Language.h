#pragma once

#include <QString>
#include <QStringList>

namespace Orvoinstaller::Language {

// The languages the program speaks besides Chinese, its source language: one code ("en")
// per translation compiled into it.
QStringList translations();

// The first language of `preferred` (BCP 47 tags, most wanted first) the program speaks:
// a code of `translations`, or an empty string for Chinese, which is also the answer when
// it speaks none of them.
QString choose(const QStringList& preferred, const QStringList& translations);

// Puts the translation of `language` (empty: Chinese) in place of the one before; every
// widget hears of it through a LanguageChange event. False when it cannot be loaded.
bool use(const QString& language);

// The language in use: a code of `translations`, or an empty string for Chinese.
QString current();

// The language of the system's preferred interface languages.
void useSystemPreference();

} // namespace Orvoinstaller::Language

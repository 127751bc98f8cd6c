#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

/// Windows code page the locale `localeName` ("fa_IR.UTF-8", "ru_RU", "C") uses for text that is
/// not Unicode: 1256 for Arabic-script languages (Persian, Arabic, Urdu, Pashto, Uyghur, Sorani),
/// 1250 Central European, 1251 Cyrillic, 1253 Greek, 1254 Turkish, 1255 Hebrew, 1257 Baltic,
/// 1258 Vietnamese, 874 Thai, 932 Japanese, 936 and 950 Chinese (950 for Taiwan, Hong Kong and
/// Macao), 949 Korean; 1252 for every other language and for "C", "POSIX" or an empty name.
int AnsiCodePageOfLocale(QStringView localeName);

/// The ANSI code page of this system, read once. Windows: the system's own. POSIX: the code page
/// of the locale that decides character types (LC_ALL, else LC_CTYPE, else LANG).
int SystemAnsiCodePage();

/// Converts `bytes` from the Windows code page `codePage` to UTF-16, one character per byte for
/// the single-byte pages: every byte counts, zero bytes included. Code pages 1252 and 1256 use
/// the program's own tables, so they read the same on every system; the others use the system's
/// converter when it has one and otherwise read as 1252.
QString AnsiToString(QByteArrayView bytes, int codePage);

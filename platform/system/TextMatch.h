#pragma once

#include <QString>
#include <QStringView>

// Searching names for the search field's text: case is ignored, a character
// written composed (U+00E9) and decomposed (e + U+0301) is the same character,
// and accents stay significant ("e" does not find "é").
//
// Both sides are brought into one search form first: decomposed, case-folded,
// then composed again. Items keep the search form of their names, so a list
// of tens of thousands of items folds each name once and only runs substring
// searches when the text changes.
namespace TextMatch {

// The search form of text (a null string stays null).
QString searchForm(const QString& text);

// Whether haystack contains needle, both already in search form. A match must
// not end inside a character: "e" does not match the start of "e" followed by
// a combining accent that has no composed form.
bool containsSearchForm(QStringView haystack, QStringView needle);

// Whether text starts with a combining mark: a match followed by one would
// end inside a character.
bool startsWithMark(QStringView text);

// Appends the search form of text to out (ASCII text is folded in place,
// without an intermediate string).
void appendSearchForm(QString& out, const QString& text);

// Whether haystack (in search form) contains text (as typed). The search form
// of the last text asked for is kept, so filtering many items with one text
// folds it once.
bool contains(QStringView haystack, const QString& text);

} // namespace TextMatch

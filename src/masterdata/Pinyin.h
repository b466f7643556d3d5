#pragma once

#include <QString>

// The pinyin short code of a product name: the first letter of each character's reading, upper
// case, as the till's pinyin lookup expects (可口可乐 → KKKL). The readings come from ICU's
// Han-Latin transliteration.
namespace Pinyin {

// ICU needs about a second to build its Han-Latin rules. A dialog that will propose codes
// calls this when it opens, so the rules are built in the background while the person types the
// number; the first proposal waits only for what is left of that.
void prepare();

// The code for a name: a Chinese character gives the first letter of its reading, a Latin letter
// stays itself; digits, blanks and signs are left out (a code of letters only is what the till
// looks up as pinyin). At most `maxLength` letters; empty when ICU cannot be used.
QString initials(const QString& name, int maxLength = 10);

} // namespace Pinyin

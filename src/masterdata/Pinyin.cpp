#include "masterdata/Pinyin.h"

#include <QHash>
#include <QStringView>

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <future>
#include <memory>
#include <mutex>

namespace {

using Rules = std::shared_ptr<const icu::Transliterator>;

std::shared_ptr<const icu::Transliterator> buildRules()
{
    UErrorCode status = U_ZERO_ERROR;
    std::shared_ptr<const icu::Transliterator> rules(
        icu::Transliterator::createInstance(icu::UnicodeString::fromUTF8("Han-Latin"), UTRANS_FORWARD, status));
    if (U_FAILURE(status))
        return {};
    return rules;
}

std::once_flag g_started;
std::shared_future<Rules> g_rules;

const icu::Transliterator* rules()
{
    Pinyin::prepare();
    static const Rules ready = g_rules.get();
    return ready.get();
}

bool isAsciiLetter(char32_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The first letter of a Han character's reading, upper case; 0 when ICU gives no Latin reading.
char16_t initialOf(char32_t han)
{
    static QHash<char32_t, char16_t> known;
    const auto found = known.constFind(han);
    if (found != known.cend())
        return *found;
    char16_t letter = 0;
    if (const icu::Transliterator* t = rules()) {
        icu::UnicodeString text(static_cast<UChar32>(han));
        t->transliterate(text);
        std::string utf8;
        text.toUTF8String(utf8);
        // "kě" → "k"; a reading that starts with a marked vowel ("ān") gives its plain letter.
        const QString reading = QString::fromStdString(utf8).normalized(QString::NormalizationForm_D);
        if (!reading.isEmpty() && isAsciiLetter(reading.at(0).unicode()))
            letter = reading.at(0).toUpper().unicode();
    }
    known.insert(han, letter);
    return letter;
}

} // namespace

namespace Pinyin {

void prepare()
{
    std::call_once(g_started, [] { g_rules = std::async(std::launch::async, buildRules).share(); });
}

QString initials(const QString& name, int maxLength)
{
    QString code;
    // Full-width letters typed with a Chinese input method count as the letters they are.
    const QString text = name.normalized(QString::NormalizationForm_KC);
    for (const char32_t c : QStringView(text).toUcs4()) {
        if (code.size() >= maxLength)
            break;
        if (isAsciiLetter(c)) {
            code += QChar(char16_t(c)).toUpper();
        } else if (QChar::script(c) == QChar::Script_Han) {
            if (const char16_t letter = initialOf(c))
                code += QChar(letter);
        }
    }
    return code;
}

} // namespace Pinyin

// Locale queries, Kazakh keyboard translation and conversion to Unicode.
#include "app/lmtranslate.h"

#include <mutex>

#include "app/globals.h"
#include "util/cp1251.h"

namespace lm {

int GetCountryID()
{
    const Variant v = SelectValue("select country_id from pr_locale");
    return v.IsNullOrEmpty() ? 0 : v.AsInteger();
}

std::string GetLocale()
{
    return SelectValue("select country from pr_locale").AsString();
}

std::string GetLocaleFont()
{
    return GetLocale() == "KZ" ? "LM Microsoft Sans Serif KZ" : std::string();
}

std::string GetLocaleFields() { return "USER_NAME;FULL_NAME;USER_ID_NAME;USERNAME"; }

namespace {

std::mutex g_localeMutex;
std::string g_locale;
bool g_localeKnown = false;

// The locale for key translation, read from the database on first use. Called from key
// handlers, so it never raises: without glVars, a database or the locale table there is no
// locale (and the next key tries again, as the host may connect later).
std::string translateLocale()
{
    std::lock_guard lock(g_localeMutex);
    if (!g_localeKnown) {
        try {
            g_locale = GetLocale();
            g_localeKnown = true;
        } catch (const std::exception&) {
            return {};
        }
    }
    return g_locale;
}

struct KeyMap { unsigned key; unsigned char shifted, plain; };
const KeyMap kKazakhKeys[] = {
    {50, 170, 186}, {51, 175, 191}, {52, 140, 156}, {53, 129, 131}, {56, 135, 137},
    {57, 166, 177}, {48, 141, 157}, {187, 142, 158}, {189, 164, 181},
};

constexpr unsigned kVkOem2 = 191;  // the "/?" key
constexpr unsigned kVk7 = 55;      // Shift+7 types "?" in the Russian layout

char16_t kazakhLetter(unsigned char c)
{
    switch (c) {
    case 129: return u'\u0492'; case 131: return u'\u0493'; case 135: return u'\u04AE';
    case 137: return u'\u04AF'; case 140: return u'\u04A2'; case 141: return u'\u049A';
    case 142: return u'\u04BA'; case 156: return u'\u04A3'; case 157: return u'\u049B';
    case 158: return u'\u04BB'; case 164: return u'\u04E8'; case 166: return u'\u04B0';
    case 170: return u'\u04D8'; case 175: return u'\u0406'; case 177: return u'\u04B1';
    case 181: return u'\u04E9'; case 186: return u'\u04D9'; case 191: return u'\u0456';
    default: return 0;
    }
}

} // namespace

std::string TranslateLocale()
{
    return translateLocale();
}

void SetTranslateLocale(const std::string& locale)
{
    std::lock_guard lock(g_localeMutex);
    g_locale = locale;
    g_localeKnown = !locale.empty();
}

char Translate(unsigned key, unsigned shift, char ch)
{
    const bool questionKey = key == kVkOem2 || (key == kVk7 && (shift & ssShift));
    if (ch != '?' || questionKey || translateLocale() != "KZ")
        return ch;
    for (const KeyMap& m : kKazakhKeys)
        if (m.key == key)
            return static_cast<char>((shift & ssShift) ? m.shifted : m.plain);
    return 0;
}

std::u16string ReTranslate(const Variant& value, const std::string& locale)
{
    const std::string text = value.AsString();
    std::u16string out;
    out.reserve(text.size());
    const bool kz = locale == "KZ";
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        const char16_t k = kz ? kazakhLetter(b) : 0;
        const char16_t u = cp1251ToUnicode(b);
        out += k ? k : (u != 0 || b == 0 ? u : u'?');  // 0x98 has no character
    }
    return out;
}

std::string ReTranslateUtf8(const Variant& value, const std::string& locale)
{
    return utf16ToUtf8(ReTranslate(value, locale));
}

} // namespace lm

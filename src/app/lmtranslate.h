// Locale support for a Windows-1251 interface over a Kazakh database: the database's locale,
// keys typed on a Kazakh keyboard mapped to private code points, and such text converted to
// Unicode for export.
#pragma once

#include <string>

#include "util/variant.h"

namespace lm {

// "select country_id from pr_locale" through SelectValue; 0 when the table has no row.
int GetCountryID();
// "select country from pr_locale" (for example "RU" or "KZ"); "" when the table has no row.
std::string GetLocale();
// "LM Microsoft Sans Serif KZ" when the locale is "KZ", else "".
std::string GetLocaleFont();
// The fields whose editors always use the locale font.
std::string GetLocaleFields();

// Shift state bits of a key press.
enum TShiftStateBits : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4 };

// The character to use for a key press: `ch` is what the keyboard produced for the virtual key
// `key`. When it is "?" from a key other than the "?" key (VK_OEM_2, or Shift+7 of the Russian
// layout) and the locale is "KZ", the Kazakh letter of the key, as its private code point (0
// for a key without one). Otherwise `ch` unchanged. The locale is read once and cached (see
// SetTranslateLocale); when it cannot be read (no glVars or database yet) the key passes
// unchanged and the next one tries again. Never raises.
char Translate(unsigned key, unsigned shift, char ch);
// Sets the locale Translate uses instead of reading it from the database; "" reads it again.
void SetTranslateLocale(const std::string& locale);
// The locale Translate uses (read from the database on first use).
std::string TranslateLocale();

// `value` as text converted to Unicode, character by character: for locale "KZ" the private code
// points become their Kazakh letters; every other byte converts as Windows-1251.
std::u16string ReTranslate(const Variant& value, const std::string& locale);
std::string ReTranslateUtf8(const Variant& value, const std::string& locale);

} // namespace lm

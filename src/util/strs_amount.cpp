// Amounts in Russian words and the number-driven choice of a noun's ending.
#include "util/strs_amount.h"

#include <cmath>

#include "util/cp1251.h"
#include "util/exceptions.h"

namespace lm {

namespace {

enum class Gender { Masculine, Feminine };

// The three forms of a noun after a number: one (1, 21...), few (2-4, 22-24...), many.
struct NounForms {
    const char* one;
    const char* few;
    const char* many;
};

struct CurrencyWords {
    NounForms whole;
    Gender wholeGender;
    NounForms fraction;
    Gender fractionGender;
};

const char* const kUnits[20] = {
    "", "один "_w, "два "_w, "три "_w, "четыре "_w, "пять "_w, "шесть "_w, "семь "_w, "восемь "_w,
    "девять "_w, "десять "_w, "одиннадцать "_w, "двенадцать "_w, "тринадцать "_w, "четырнадцать "_w,
    "пятнадцать "_w, "шестнадцать "_w, "семнадцать "_w, "восемнадцать "_w, "девятнадцать "_w,
};
const char* const kTens[10] = {
    "", "десять "_w, "двадцать "_w, "тридцать "_w, "сорок "_w, "пятьдесят "_w, "шестьдесят "_w,
    "семьдесят "_w, "восемьдесят "_w, "девяносто "_w,
};
const char* const kHundreds[10] = {
    "", "сто "_w, "двести "_w, "триста "_w, "четыреста "_w, "пятьсот "_w, "шестьсот "_w,
    "семьсот "_w, "восемьсот "_w, "девятьсот "_w,
};

const NounForms kThousand{"тысяча "_w, "тысячи "_w, "тысяч "_w};
const NounForms kMillion{"миллион "_w, "миллиона "_w, "миллионов "_w};
const NounForms kMilliard{"миллиард "_w, "миллиарда "_w, "миллиардов "_w};

const CurrencyWords kRoubles{
    {"рубль "_w, "рубля "_w, "рублей "_w}, Gender::Masculine,
    {"копейка"_w, "копейки"_w, "копеек"_w}, Gender::Feminine,
};
const CurrencyWords kDollars{
    {"доллар "_w, "доллара "_w, "долларов "_w}, Gender::Masculine,
    {"цент"_w, "цента"_w, "центов"_w}, Gender::Masculine,
};

constexpr double kLargestWhole = 999999999999.0;  // the milliards group holds three digits
const char* const kOutOfRange = "Сумма вне допустимого диапазона"_w;

const char* unitWord(int u, Gender gender)
{
    if (gender == Gender::Feminine && (u == 1 || u == 2))
        return u == 1 ? "одна "_w : "две "_w;
    return kUnits[u];
}

const char* nounFor(int u, const NounForms& forms)
{
    if (u == 1)
        return forms.one;
    if (u >= 2 && u <= 4)
        return forms.few;
    return forms.many;
}

// Words of a number below 1000. `u` receives the units that choose the noun: the last digit,
// or 10-19 for the teens.
std::string groupWords(int64_t g, Gender gender, int& u)
{
    const int h = static_cast<int>(g / 100);
    int t = static_cast<int>(g / 10 % 10);
    u = static_cast<int>(g % 10);
    if (t == 1) {
        t = 0;
        u += 10;
    }
    return std::string(kHundreds[h]) + kTens[t] + unitWord(u, gender);
}

std::string valueToText(double v, const CurrencyWords& words)
{
    if (!std::isfinite(v) || std::fabs(v) > kLargestWhole + 1.0)
        throw EConvertError(kOutOfRange);
    const bool negative = v < 0;
    const double a = std::fabs(v);
    const double whole = std::trunc(a);
    int64_t n = static_cast<int64_t>(whole);
    int fraction = static_cast<int>(std::nearbyint((a - whole) * 100));
    if (fraction == 100) {  // 0.999 is one whole, not "сто копеек"
        ++n;
        fraction = 0;
    }
    if (static_cast<double>(n) > kLargestWhole)
        throw EConvertError(kOutOfRange);

    int u = 0;
    std::string fractionText;
    if (fraction != 0) {
        fractionText = groupWords(fraction, words.fractionGender, u);
        fractionText += nounFor(u, words.fraction);
    }

    std::string text = groupWords(n % 1000, words.wholeGender, u);
    if (text.empty() && n / 1000 == 0)
        text = "ноль "_w;
    text += nounFor(u, words.whole);
    text += fractionText;

    const struct {
        const NounForms* forms;
        Gender gender;
    } groups[] = {{&kThousand, Gender::Feminine}, {&kMillion, Gender::Masculine}, {&kMilliard, Gender::Masculine}};
    for (const auto& group : groups) {
        n /= 1000;
        if (n % 1000 != 0) {
            std::string groupText = groupWords(n % 1000, group.gender, u);
            groupText += nounFor(u, *group.forms);
            text.insert(0, groupText);
        }
    }
    return negative ? "минус "_w + text : text;
}

} // namespace

std::string ValuetoTextRUR(double v) { return valueToText(v, kRoubles); }

std::string ValuetoTextUSD(double v) { return valueToText(v, kDollars); }

std::string CorrectForm(std::string_view stem, std::string_view formMany, std::string_view formOne,
                        std::string_view formFew, int64_t n)
{
    const int64_t m = (n < 0 ? -(n % 100) : n % 100);
    const int64_t d = (m >= 11 && m <= 18) ? 0 : m % 10;
    std::string out(stem);
    if (d == 1)
        out += formOne;
    else if (d >= 2 && d <= 4)
        out += formFew;
    else
        out += formMany;
    return out;
}

} // namespace lm

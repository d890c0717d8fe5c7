// Uses the installed core library: Windows-1251 text, an amount in words, a Firebird-free query
// of the string list, so both the headers and the static libraries are exercised.
#include <cstdio>
#include <string>

#include "util/cp1251.h"
#include "util/fastlist.h"
#include "util/strs_amount.h"

int main()
{
    using namespace lm;
    if (cp1251ToUtf8(upperCase("щука"_w)) != "ЩУКА")
        return 1;
    if (cp1251ToUtf8(ValuetoTextRUR(21.01)) != "двадцать один рубль одна копейка")
        return 1;
    TFastList list;
    list.SetSorted(true);
    list.Add("b");
    list.Add("a");
    if (list.Get(0) != "a")
        return 1;
    std::puts("ok");
    return 0;
}

// The string library in one include: amounts in words, transliteration, numbers, dates, words
// and tokens, encoders, the "Q_" primitives, code pages and the whole-file helpers.
#pragma once

#include "util/codepages.h"
#include "util/lmstrutils.h"
#include "util/qstr.h"
#include "util/strs_amount.h"
#include "util/strs_dates.h"
#include "util/strs_encode.h"
#include "util/strs_files.h"
#include "util/strs_numbers.h"
#include "util/strs_words.h"
#include "util/translit.h"

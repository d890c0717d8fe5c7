// Access to the libfbclient OO API shared by the Firebird classes: the master interface, status
// handling that turns server errors into lm::Exception, and the value codec between message
// buffers and Variant.
#pragma once

#include <firebird/Interface.h>

#include <cstdint>
#include <string>

#include "util/variant.h"

namespace lm::fib {

using Firebird::IMaster;
using Firebird::IStatus;
using Firebird::IMessageMetadata;

IMaster* master();
Firebird::IUtil* util();

// A status wrapper for one call sequence. After each API call `check()` raises lm::Exception
// carrying the server's status vector text (Windows-1251 as the server sent it) when the call
// failed.
class Status {
public:
    Status();
    ~Status();
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;
    Firebird::CheckStatusWrapper* operator&() { return &m_wrapper; }
    Firebird::CheckStatusWrapper* get() { return &m_wrapper; }
    void check();
    bool failed() const;
    // The formatted message of a failed call (empty when none).
    std::string message();
    // Whether the failed call's status vector holds the error `code` (an isc_* number).
    bool hasError(intptr_t code) const;

private:
    IStatus* m_status;
    Firebird::CheckStatusWrapper m_wrapper;
};

// Days between the Firebird date origin (17 November 1858) and TDateTime's (30 December 1899).
inline constexpr int kDateShift = 15018;

// One column or parameter of a message: where it lives in the buffer and how it is typed.
struct Slot {
    unsigned type = 0;       // SQL_* without the nullable bit
    int subType = 0;
    int scale = 0;
    unsigned length = 0;
    unsigned charSet = 0;
    unsigned offset = 0;
    unsigned nullOffset = 0;
    bool nullable = false;
};

Slot slotOf(IMessageMetadata* meta, unsigned index, Status& status);

// Reads the value of a slot from a message buffer. Text blobs are read through `att`/`tra`
// (both may be null for messages without blobs). NUMERIC/DECIMAL with up to four decimals come
// back as Currency, larger scales as double; dates and times as TDateTime.
Variant readValue(const Slot& slot, const unsigned char* buffer, Firebird::IAttachment* att,
                  Firebird::ITransaction* tra, Status& status);

// Writes `value` into the slot, converting it to the slot's type (text through AsString, numbers
// through AsFloat/AsInt64/AsCurrency, blobs created through `att`/`tra`). A null or unassigned
// value sets the null flag. Raises lm::Exception when the value does not fit the type.
void writeValue(const Slot& slot, unsigned char* buffer, const Variant& value,
                Firebird::IAttachment* att, Firebird::ITransaction* tra, Status& status);

// Conversions between Firebird's date and time representation and TDateTime.
TDateTime fromIscDate(int date);
TDateTime fromIscTime(unsigned time);
int toIscDate(TDateTime dt);
unsigned toIscTime(TDateTime dt);

} // namespace lm::fib

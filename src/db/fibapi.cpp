// The libfbclient OO API glue: master interface, status to exception, value codec.
#include "db/fibapi.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "db/fibengineconfig.h"
#include "util/exceptions.h"

namespace lm::fib {

using namespace Firebird;

IMaster* master()
{
    static IMaster* m = [] {
        ConfigureEmbeddedEngine();
        return fb_get_master_interface();
    }();
    return m;
}

IUtil* util()
{
    static IUtil* u = master()->getUtilInterface();
    return u;
}

Status::Status() : m_status(master()->getStatus()), m_wrapper(m_status) {}

Status::~Status() { m_status->dispose(); }

bool Status::failed() const
{
    return (m_status->getState() & IStatus::STATE_ERRORS) != 0;
}

std::string Status::message()
{
    if (!failed())
        return {};
    char buf[2048];
    util()->formatStatus(buf, sizeof buf, m_status);
    std::string text(buf);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

bool Status::hasError(intptr_t code) const
{
    if (!failed())
        return false;
    // clauses of the vector: a kind, then one argument (two for a counted string)
    for (const intptr_t* v = m_status->getErrors(); *v != isc_arg_end;) {
        const intptr_t kind = *v++;
        if (kind == isc_arg_gds && *v == code)
            return true;
        v += kind == isc_arg_cstring ? 2 : 1;
    }
    return false;
}

void Status::check()
{
    if (failed()) {
        std::string text = message();
        m_wrapper.clearException();
        throw Exception(text);
    }
}

Slot slotOf(IMessageMetadata* meta, unsigned index, Status& st)
{
    Slot s;
    s.type = meta->getType(&st, index) & ~1u;
    s.subType = meta->getSubType(&st, index);
    s.scale = meta->getScale(&st, index);
    s.length = meta->getLength(&st, index);
    s.charSet = meta->getCharSet(&st, index);
    s.offset = meta->getOffset(&st, index);
    s.nullOffset = meta->getNullOffset(&st, index);
    s.nullable = meta->isNullable(&st, index);
    st.check();
    return s;
}

TDateTime fromIscDate(int date) { return static_cast<double>(date - kDateShift); }

TDateTime fromIscTime(unsigned time) { return static_cast<double>(time) / (86400.0 * 10000.0); }

int toIscDate(TDateTime dt) { return static_cast<int>(std::floor(dt)) + kDateShift; }

unsigned toIscTime(TDateTime dt)
{
    const double frac = std::fabs(dt - std::floor(dt));
    auto t = static_cast<int64_t>(std::llround(frac * 86400.0 * 10000.0));
    return static_cast<unsigned>(t >= 864000000 ? 864000000 - 1 : t);
}

namespace {

const int64_t kPow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000,
                          1000000000, 10000000000LL, 100000000000LL, 1000000000000LL,
                          10000000000000LL, 100000000000000LL, 1000000000000000LL,
                          10000000000000000LL, 100000000000000000LL, 1000000000000000000LL};

Variant scaled(int64_t raw, int scale)
{
    if (scale == 0)
        return raw >= std::numeric_limits<int>::min() && raw <= std::numeric_limits<int>::max()
                   ? Variant(static_cast<int>(raw)) : Variant(raw);
    if (scale >= -4) {
        const int64_t mul = kPow10[4 + scale];
        return Variant(Currency::FromRaw(raw * mul));
    }
    return Variant(static_cast<double>(raw) / static_cast<double>(kPow10[-scale < 18 ? -scale : 18]));
}

std::string readBlob(const unsigned char* data, IAttachment* att, ITransaction* tra, Status& st)
{
    if (!att || !tra)
        throw Exception("Blob column read without a connection");
    ISC_QUAD id;
    std::memcpy(&id, data, sizeof id);
    IBlob* blob = att->openBlob(&st, tra, &id, 0, nullptr);
    st.check();
    std::string out;
    char chunk[32768];
    for (;;) {
        unsigned got = 0;
        const int rc = blob->getSegment(&st, sizeof chunk, chunk, &got);
        if (rc == IStatus::RESULT_OK || rc == IStatus::RESULT_SEGMENT) {
            out.append(chunk, got);
            continue;
        }
        break;
    }
    if (st.failed()) {
        blob->release();
        st.check();
    }
    blob->close(&st);
    st.check();
    return out;
}

int64_t toScaled(const Variant& v, int scale)
{
    if (scale == 0) {
        if (v.VarType() == TVarType::varDouble || v.VarType() == TVarType::varCurrency) {
            const double d = v.AsFloat();
            if (d != std::nearbyint(d))
                return static_cast<int64_t>(std::llround(d));
            return static_cast<int64_t>(d);
        }
        return v.AsInt64();
    }
    if (scale >= -4 && v.VarType() != TVarType::varDouble) {
        const int64_t raw = v.AsCurrency().Raw();
        const int64_t div = kPow10[4 + scale];
        // round half away from zero to the column's decimals
        return raw >= 0 ? (raw + div / 2) / div : -((-raw + div / 2) / div);
    }
    return static_cast<int64_t>(std::llround(v.AsFloat() * static_cast<double>(kPow10[-scale])));
}

// The text for a column of `length` bytes, a boolean as "1" or "0"; raises when it is longer.
std::string columnText(const Variant& v, unsigned length)
{
    std::string text = v.VarType() == TVarType::varBoolean ? (v.AsBoolean() ? "1" : "0") : v.AsString();
    if (text.size() > length)
        throw Exception(Format("String truncation: %d bytes for a column of %d", {text.size(), length}));
    return text;
}

// The integer for a column of that scale, a boolean as 1 or 0.
int64_t integerOf(const Variant& v, int scale)
{
    return v.VarType() == TVarType::varBoolean ? (v.AsBoolean() ? 1 : 0) : toScaled(v, scale);
}

// Stores `x` as a T at `p`; raises the server's overflow error when it does not fit.
template <typename T>
void putInteger(unsigned char* p, int64_t x)
{
    if (x < std::numeric_limits<T>::min() || x > std::numeric_limits<T>::max())
        throw Exception("Arithmetic overflow or division by zero has occurred.");
    const auto y = static_cast<T>(x);
    std::memcpy(p, &y, sizeof y);
}

} // namespace

Variant readValue(const Slot& s, const unsigned char* buf, IAttachment* att, ITransaction* tra,
                  Status& st)
{
    if (s.nullable && *reinterpret_cast<const short*>(buf + s.nullOffset))
        return Variant::Null();
    const unsigned char* p = buf + s.offset;
    switch (s.type) {
    case SQL_TEXT: {
        // CHAR columns are blank-padded by the server; trailing blanks are dropped as the
        // datasets of the platform do.
        std::size_t n = s.length;
        while (n > 0 && p[n - 1] == ' ')
            --n;
        return Variant(std::string(reinterpret_cast<const char*>(p), n));
    }
    case SQL_VARYING: {
        unsigned short n;
        std::memcpy(&n, p, 2);
        return Variant(std::string(reinterpret_cast<const char*>(p + 2), n));
    }
    case SQL_SHORT: { int16_t v; std::memcpy(&v, p, 2); return scaled(v, s.scale); }
    case SQL_LONG: { int32_t v; std::memcpy(&v, p, 4); return scaled(v, s.scale); }
    case SQL_INT64: { int64_t v; std::memcpy(&v, p, 8); return scaled(v, s.scale); }
    case SQL_FLOAT: { float v; std::memcpy(&v, p, 4); return Variant(static_cast<double>(v)); }
    case SQL_DOUBLE:
    case SQL_D_FLOAT: { double v; std::memcpy(&v, p, 8); return Variant(v); }
    case SQL_TYPE_DATE: { int32_t d; std::memcpy(&d, p, 4); return Variant::FromDate(fromIscDate(d)); }
    case SQL_TYPE_TIME: { uint32_t t; std::memcpy(&t, p, 4); return Variant::FromDate(fromIscTime(t)); }
    case SQL_TIMESTAMP: {
        int32_t d; uint32_t t;
        std::memcpy(&d, p, 4);
        std::memcpy(&t, p + 4, 4);
        return Variant::FromDate(fromIscDate(d) + fromIscTime(t));
    }
    case SQL_BOOLEAN: return Variant(*p != 0);
    case SQL_BLOB: return Variant(readBlob(p, att, tra, st));
    case SQL_NULL: return Variant::Null();
    default:
        throw Exception(Format("Unsupported column type %d", {static_cast<int>(s.type)}));
    }
}

void writeValue(const Slot& s, unsigned char* buf, const Variant& v, IAttachment* att,
                ITransaction* tra, Status& st)
{
    auto* nullFlag = reinterpret_cast<short*>(buf + s.nullOffset);
    if (v.IsNullOrEmpty()) {
        *nullFlag = -1;
        return;
    }
    *nullFlag = 0;
    unsigned char* p = buf + s.offset;
    switch (s.type) {
    case SQL_TEXT: {
        const std::string text = columnText(v, s.length);
        std::memset(p, ' ', s.length);
        std::memcpy(p, text.data(), text.size());
        break;
    }
    case SQL_VARYING: {
        const std::string text = columnText(v, s.length);
        const auto n = static_cast<unsigned short>(text.size());
        std::memcpy(p, &n, 2);
        std::memcpy(p + 2, text.data(), n);
        break;
    }
    case SQL_SHORT: putInteger<int16_t>(p, integerOf(v, s.scale)); break;
    case SQL_LONG: putInteger<int32_t>(p, integerOf(v, s.scale)); break;
    case SQL_INT64: putInteger<int64_t>(p, integerOf(v, s.scale)); break;
    case SQL_FLOAT: { const auto x = static_cast<float>(v.AsFloat()); std::memcpy(p, &x, 4); break; }
    case SQL_DOUBLE:
    case SQL_D_FLOAT: { const double x = v.AsFloat(); std::memcpy(p, &x, 8); break; }
    case SQL_TYPE_DATE: { const int32_t d = toIscDate(v.AsDateTime()); std::memcpy(p, &d, 4); break; }
    case SQL_TYPE_TIME: { const uint32_t t = toIscTime(v.AsDateTime()); std::memcpy(p, &t, 4); break; }
    case SQL_TIMESTAMP: {
        const TDateTime dt = v.AsDateTime();
        const int32_t d = toIscDate(dt);
        const uint32_t t = toIscTime(dt);
        std::memcpy(p, &d, 4);
        std::memcpy(p + 4, &t, 4);
        break;
    }
    case SQL_BOOLEAN: *p = v.AsBoolean() ? 1 : 0; break;
    case SQL_BLOB: {
        if (!att || !tra)
            throw Exception("Blob parameter written without a connection");
        const std::string text = v.AsString();
        ISC_QUAD id;
        IBlob* blob = att->createBlob(&st, tra, &id, 0, nullptr);
        st.check();
        for (std::size_t pos = 0; pos < text.size(); pos += 32768) {
            const auto n = static_cast<unsigned>(std::min<std::size_t>(32768, text.size() - pos));
            blob->putSegment(&st, n, text.data() + pos);
            if (st.failed()) {
                blob->release();
                st.check();
            }
        }
        blob->close(&st);
        st.check();
        std::memcpy(p, &id, sizeof id);
        break;
    }
    default:
        throw Exception(Format("Unsupported parameter type %d", {static_cast<int>(s.type)}));
    }
}

} // namespace lm::fib

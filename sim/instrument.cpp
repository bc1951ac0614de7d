#include "sim/instrument.h"

#include "sim/reply_forms.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace sim {
namespace {

constexpr char kDefaultIdentity[] = "SIMULATED,SIM-DMM,000001,1.02";
constexpr char kNoError[] = "+0,\"No error\"";
constexpr char kUndefinedHeader[] = "-113,\"Undefined header\"";
constexpr char kQueueOverflow[] = "-350,\"Queue overflow\"";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Lower case, blanks trimmed at both ends and single inside: the instrument
// reads "READ?  BUF " as "read? buf".
QByteArray normalised(const QByteArray &command)
{
    QByteArray out;
    out.reserve(command.size());
    bool blank = false;
    for (char c : command) {
        if (isBlank(c)) {
            blank = !out.isEmpty();
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    }
    return out;
}

// A DC voltage near 1.2 V that drifts slowly, with a little noise on top;
// the same sequence every run, so tests can rely on it.
double wobble(quint64 n)
{
    const double x = double(n);
    return 1.2 + 4e-4 * std::sin(x * 0.05) + 3e-5 * std::sin(x * 1.7);
}

std::optional<double> number(QStringView text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);  // C locale, blanks allowed
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

QByteArray exponentForm(double value, int decimals)
{
    // The instrument shows overload as 9.9E+37; a value that is no number
    // at all has no other form to take.
    if (!std::isfinite(value))
        value = std::signbit(value) && !std::isnan(value) ? -9.9e37 : 9.9e37;
    if (value == 0)
        value = 0;  // no "-0"
    decimals = std::clamp(decimals, 0, 17);
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                         std::chars_format::scientific, decimals);
    if (ec != std::errc())
        return {};
    QByteArray out(value < 0 ? "-" : "+");
    for (const char *p = buffer; p != end; ++p)
        out += *p == 'e' ? 'E' : *p;
    return out;
}

Instrument::Instrument()
    : m_idn(kDefaultIdentity)
{
}

std::optional<QByteArray> Instrument::handle(const QByteArray &command)
{
    const QByteArray query = normalised(command);
    if (!query.contains('?'))
        return std::nullopt;  // a command: done without a word
    const ReplyForm *row = findReplyForm(query);
    if (!row) {
        pushError(kUndefinedHeader);
        return std::nullopt;
    }
    return render(row->form);
}

QByteArray Instrument::render(const char *form)
{
    QByteArray out;
    for (const char *p = form; *p;) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        const char *name = ++p;
        while ((*p >= 'a' && *p <= 'z') || (*p >= '0' && *p <= '9'))
            ++p;
        const QByteArrayView key(name, p - name);
        // An unknown name stays in the reply as written, where a test of
        // the table sees it.
        out += field(key).value_or('%' + key.toByteArray());
    }
    return out;
}

std::optional<QByteArray> Instrument::field(QByteArrayView name)
{
    if (name == "idn")
        return m_idn;
    if (name == "error")
        return popError();
    if (name == "display1")
        return display1Reading();
    if (name == "display2")
        return display2Reading();
    return std::nullopt;
}

void Instrument::setIdentity(const QByteArray &idn)
{
    m_idn = idn;
}

bool Instrument::setState(QStringView key, QStringView value, QString *why)
{
    auto fail = [why](const QString &reason) {
        if (why)
            *why = reason;
        return false;
    };
    auto reading = [&](std::optional<double> &fixed) {
        if (value.trimmed() == u"auto") {
            fixed.reset();
            return true;
        }
        const std::optional<double> v = number(value);
        if (!v)
            return fail(QStringLiteral("%1 needs a number or \"auto\", not \"%2\"")
                            .arg(key, value));
        fixed = v;
        return true;
    };
    if (key == u"display1")
        return reading(m_fixedDisplay1);
    if (key == u"display2")
        return reading(m_fixedDisplay2);
    if (key == u"idn") {
        setIdentity(value.toUtf8());  // any text: tests feed malformed ones on purpose
        return true;
    }
    return fail(QStringLiteral("unknown state key \"%1\" (known: display1, display2, idn)").arg(key));
}

bool Instrument::setStates(QStringView list, QString *why)
{
    // "display1=1.5,idn=A,B,C,D": an item without "=" continues the value
    // before it, so an identity keeps its commas.
    QList<std::pair<QString, QString>> items;
    for (QStringView item : list.split(u',')) {
        const qsizetype eq = item.indexOf(u'=');
        if (eq < 0) {
            if (items.isEmpty()) {
                if (item.trimmed().isEmpty())
                    continue;
                if (why)
                    *why = QStringLiteral("\"%1\" is not key=value").arg(item);
                return false;
            }
            items.last().second += u',' + item.toString();
            continue;
        }
        items.append({item.left(eq).trimmed().toString(), item.mid(eq + 1).toString()});
    }
    for (const auto &[key, value] : items)
        if (!setState(key, value, why))
            return false;
    return true;
}

QByteArray Instrument::display1Reading()
{
    return exponentForm(m_fixedDisplay1.value_or(wobble(m_readCount++)));
}

QByteArray Instrument::display2Reading()
{
    return exponentForm(m_fixedDisplay2.value_or(0.0));
}

void Instrument::pushError(const QByteArray &entry)
{
    if (m_errors.size() >= kErrorQueueSize)
        return;
    m_errors.push_back(m_errors.size() + 1 == kErrorQueueSize ? QByteArray(kQueueOverflow) : entry);
}

QByteArray Instrument::popError()
{
    if (m_errors.empty())
        return kNoError;
    QByteArray entry = m_errors.front();
    m_errors.pop_front();
    return entry;
}

} // namespace sim

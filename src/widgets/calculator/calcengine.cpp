// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/calculator/calcengine.h"

#include <QLoggingCategory>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace tavlo {
namespace {

Q_LOGGING_CATEGORY(lcCalc, "tavlo.calculator", QtCriticalMsg)

const QLatin1StringView kAdd("ADD");
const QLatin1StringView kSubtract("SUBTRACT");
const QLatin1StringView kMultiply("MULTIPLY");
const QLatin1StringView kDivide("DIVIDE");

// Beyond this many decimal places either way a number is certainly out of the
// double range, so long exponents never reach the library conversion.
constexpr int64_t kMagnitudeLimit = 400;

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r');
}

// The parts of a number as read from text.
struct Scanned
{
    bool found = false;
    bool negative = false;
    std::string digits;  // integer and fraction digits, point left out
    int64_t pointAt = 0; // how many of the digits stand before the point
    int64_t exponent = 0;
    qsizetype end = 0; // index just past the number
};

// Reads the number at the start of text: sign, digits, at most one point, then an exponent
// only when it has digits. Lenient reading skips blanks between the parts.
Scanned scanNumber(const QString &text, bool skipBlanks)
{
    Scanned s;
    qsizetype i = 0;
    const qsizetype n = text.size();
    const auto skip = [&](qsizetype &at) {
        while (skipBlanks && at < n && isBlank(text[at]))
            ++at;
    };
    skip(i);
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        s.negative = text[i] == QLatin1Char('-');
        ++i;
        skip(i);
    }
    for (; i < n && isDigit(text[i]); skip(i))
        s.digits.push_back(char(text[i++].unicode()));
    s.pointAt = int64_t(s.digits.size());
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        skip(i);
        for (; i < n && isDigit(text[i]); skip(i))
            s.digits.push_back(char(text[i++].unicode()));
    }
    if (s.digits.empty())
        return Scanned{};
    s.found = true;
    s.end = i;

    if (i < n && (text[i] == QLatin1Char('E') || text[i] == QLatin1Char('e'))) {
        qsizetype j = i + 1;
        skip(j);
        bool expNegative = false;
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-'))) {
            expNegative = text[j] == QLatin1Char('-');
            ++j;
            skip(j);
        }
        int64_t exponent = 0;
        bool expDigits = false;
        for (; j < n && isDigit(text[j]); skip(j)) {
            // Saturates; anything this large is out of range anyway.
            if (exponent < 1'000'000'000)
                exponent = exponent * 10 + (text[j].unicode() - '0');
            ++j;
            expDigits = true;
        }
        if (expDigits) {
            s.exponent = expNegative ? -exponent : exponent;
            s.end = j;
        }
    }
    return s;
}

// The value of a scanned number; nullopt when it lies beyond the double range.
std::optional<double> valueOf(const Scanned &s)
{
    const double zero = s.negative ? -0.0 : 0.0;
    const auto first = s.digits.find_first_not_of('0');
    if (first == std::string::npos)
        return zero;
    // Decimal exponent of the leading significant digit.
    const int64_t magnitude = s.exponent + s.pointAt - int64_t(first) - 1;
    if (magnitude > kMagnitudeLimit)
        return std::nullopt;
    if (magnitude < -kMagnitudeLimit)
        return zero;

    std::string normal;
    if (s.negative)
        normal.push_back('-');
    normal.push_back(s.digits[first]);
    if (first + 1 < s.digits.size()) {
        normal.push_back('.');
        normal.append(s.digits, first + 1);
    }
    normal.push_back('e');
    normal.append(std::to_string(magnitude));

    double value = 0;
    const auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (ec == std::errc::result_out_of_range)
        return magnitude < 0 ? std::optional<double>(zero) : std::nullopt;
    if (ec != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

namespace calc {

std::optional<double> lenientParse(const QString &text)
{
    const Scanned s = scanNumber(text, true);
    if (!s.found)
        return 0.0;
    return valueOf(s);
}

std::optional<double> strictConvert(const QString &text)
{
    const QString trimmed = text.trimmed();
    const Scanned s = scanNumber(trimmed, false);
    if (!s.found || s.end != trimmed.size())
        return std::nullopt;
    return valueOf(s);
}

std::optional<QString> numberToText(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    if (value == 0)
        return QStringLiteral("0"); // negative zero too

    // "-d.dddddddddddddde-XXX": the digits rounded by the C++ library, which
    // ignores the C locale's decimal separator.
    char buffer[32];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    if (written.ec != std::errc())
        return std::nullopt;
    const std::string_view sci(buffer, size_t(written.ptr - buffer));
    const bool negative = sci.front() == '-';
    const auto e = sci.find('e');
    std::string digits;
    for (const char c : sci.substr(0, e))
        if (c >= '0' && c <= '9')
            digits.push_back(c);
    int exponent = 0;
    std::from_chars(sci.data() + e + (sci[e + 1] == '+' ? 2 : 1), sci.data() + sci.size(),
                    exponent);
    digits.erase(digits.find_last_not_of('0') + 1);

    std::string out;
    if (negative)
        out.push_back('-');
    // Where the classic runtime's "%.15G" switches: below 1E-04 and from 1E+15 up.
    if (exponent < -4 || exponent >= 15) {
        out.push_back(digits[0]);
        if (digits.size() > 1) {
            out.push_back('.');
            out.append(digits, 1);
        }
        out.push_back('E');
        out.push_back(exponent < 0 ? '-' : '+');
        const int magnitude = std::abs(exponent);
        if (magnitude < 10)
            out.push_back('0');
        out.append(std::to_string(magnitude));
    } else if (exponent < 0) {
        out.append("0.");
        out.append(size_t(-exponent - 1), '0');
        out.append(digits);
    } else {
        const size_t whole = size_t(exponent) + 1;
        if (digits.size() <= whole) {
            out.append(digits);
            out.append(whole - digits.size(), '0');
        } else {
            out.append(digits, 0, whole);
            out.push_back('.');
            out.append(digits, whole);
        }
    }
    return QString::fromLatin1(out);
}

std::optional<CalcKey> keyForKeyboard(int key, const QString &text)
{
    switch (key) {
    case Qt::Key_Backspace:
        return CalcKey::DeleteLast;
    case Qt::Key_Delete:
        return CalcKey::ClearEntry;
    case Qt::Key_Escape:
        return CalcKey::Clear;
    case Qt::Key_F9:
        return CalcKey::ChangeSign;
    case Qt::Key_Enter:
    case Qt::Key_Return:
        return CalcKey::Equals;
    default:
        break;
    }
    if (text.size() != 1)
        return std::nullopt;
    const char16_t c = text[0].unicode();
    if (c >= u'0' && c <= u'9')
        return CalcKey(int(CalcKey::Digit0) + (c - u'0'));
    switch (c) {
    // The keypad's separator types "," in many layouts; the key still types ".".
    case u'.':
    case u',':
        return CalcKey::Point;
    case u'+':
        return CalcKey::Add;
    case u'-':
        return CalcKey::Subtract;
    case u'*':
    case u'x':
    case u'X':
        return CalcKey::Multiply;
    case u'/':
        return CalcKey::Divide;
    case u'=':
        return CalcKey::Equals;
    case u'%':
        return CalcKey::Percent;
    case u'r':
    case u'R':
        return CalcKey::Reciprocal;
    case u'@':
        return CalcKey::SquareRoot;
    default:
        return std::nullopt;
    }
}

} // namespace calc

namespace {

// Writes the text of value into target; a failed step (no value, division by
// zero, overflow, root of a negative number) leaves target as it was.
void writeNumber(QString &target, std::optional<double> value, const char *step)
{
    const auto text = value ? calc::numberToText(*value) : std::nullopt;
    if (text)
        target = *text;
    else
        qCDebug(lcCalc) << "skipped" << step;
}

} // namespace

void CalcEngine::press(CalcKey key)
{
    switch (key) {
    case CalcKey::Digit0:
    case CalcKey::Digit1:
    case CalcKey::Digit2:
    case CalcKey::Digit3:
    case CalcKey::Digit4:
    case CalcKey::Digit5:
    case CalcKey::Digit6:
    case CalcKey::Digit7:
    case CalcKey::Digit8:
    case CalcKey::Digit9: {
        const char digit = char('0' + (int(key) - int(CalcKey::Digit0)));
        append(QLatin1StringView(&digit, 1));
        break;
    }
    case CalcKey::TripleZero:
        append(QLatin1StringView("000"));
        break;
    case CalcKey::Point:
        point();
        break;
    case CalcKey::Add:
        operation(kAdd, QLatin1Char('+'));
        break;
    case CalcKey::Subtract:
        operation(kSubtract, QLatin1Char('-'));
        break;
    case CalcKey::Multiply:
        operation(kMultiply, QLatin1Char('x'));
        break;
    case CalcKey::Divide:
        operation(kDivide, QLatin1Char('/'));
        break;
    case CalcKey::Equals:
        equals();
        break;
    case CalcKey::Percent:
        percent();
        break;
    case CalcKey::ChangeSign:
        changeSign();
        break;
    case CalcKey::SquareRoot:
        squareRoot();
        break;
    case CalcKey::Reciprocal:
        reciprocal();
        break;
    case CalcKey::DeleteLast:
        deleteLast();
        break;
    case CalcKey::ClearEntry:
        clear(false);
        break;
    case CalcKey::Clear:
        clear(true);
        break;
    case CalcKey::MemoryClear:
        memoryClear();
        break;
    case CalcKey::MemoryRecall:
        memoryRecall();
        break;
    case CalcKey::MemoryStore:
        memoryStore();
        break;
    case CalcKey::MemoryAdd:
        memoryAdd(1);
        break;
    case CalcKey::MemorySubtract:
        memoryAdd(-1);
        break;
    }
}

bool CalcEngine::paste(const QString &text)
{
    if (text.size() > kMaxTextLength)
        return false;
    const auto value = calc::strictConvert(text);
    const auto shown = value ? calc::numberToText(*value) : std::nullopt;
    if (!shown)
        return false;
    m_display = *shown;
    return true;
}

void CalcEngine::setMemoryText(const QString &text)
{
    m_memoryText = text.left(kMaxTextLength);
}

void CalcEngine::append(QLatin1StringView text)
{
    if (m_display.size() + text.size() <= kMaxTextLength)
        m_display.append(text);
}

void CalcEngine::point()
{
    if (m_pointCount == 0)
        append(QLatin1StringView("."));
    m_pointCount += 1;
}

void CalcEngine::operation(QLatin1StringView name, QLatin1Char symbol)
{
    // A pending operation completes first, so 2 + 3 x works on 5.
    if (m_opPending)
        equals();
    m_operation = name;
    if (const auto value = calc::lenientParse(m_display))
        m_firstValue = *value;
    m_display.clear();
    m_pointCount = 0;
    m_function = symbol;
    m_opPending = true;
}

void CalcEngine::equals()
{
    const auto value = calc::lenientParse(m_display);
    if (value && m_operation == kAdd)
        writeNumber(m_display, *value + m_firstValue, "add");
    else if (value && m_operation == kSubtract)
        writeNumber(m_display, m_firstValue - *value, "subtract");
    else if (value && m_operation == kMultiply)
        writeNumber(m_display, *value * m_firstValue, "multiply");
    else if (value && m_operation == kDivide)
        writeNumber(m_display, m_firstValue / *value, "divide");
    else if (!value)
        qCDebug(lcCalc) << "skipped equals: display out of range";
    m_function.clear();
    m_opPending = false;
    m_sub.clear();
}

void CalcEngine::percent()
{
    const auto value = calc::lenientParse(m_display);
    writeNumber(m_display, value ? std::optional(*value / 100 * m_firstValue) : std::nullopt,
                "percent");
    m_function.clear();
}

void CalcEngine::changeSign()
{
    // Through text and back once more: a negated maximum can round beyond the
    // range, and then the display stays.
    const auto value = calc::strictConvert(m_display);
    const auto negated = value ? calc::numberToText(-*value) : std::nullopt;
    writeNumber(m_display, negated ? calc::lenientParse(*negated) : std::nullopt, "sign");
}

void CalcEngine::squareRoot()
{
    if (const auto value = calc::lenientParse(m_display))
        m_firstValue = *value;
    writeNumber(m_display, std::sqrt(m_firstValue), "square root");
}

void CalcEngine::reciprocal()
{
    if (const auto value = calc::lenientParse(m_display))
        m_firstValue = *value;
    writeNumber(m_display, 1 / m_firstValue, "reciprocal");
}

void CalcEngine::deleteLast()
{
    m_opPending = false;
    if (!m_display.isEmpty())
        m_display.chop(1);
    m_function.clear();
}

void CalcEngine::clear(bool resetPointCount)
{
    m_opPending = false;
    if (resetPointCount)
        m_pointCount = 0;
    m_display.clear();
    m_function.clear();
    m_sub.clear();
}

void CalcEngine::memoryAdd(double sign)
{
    const auto value = calc::strictConvert(m_display);
    if (value && std::isfinite(m_memory + sign * *value)) {
        m_memory += sign * *value;
        // Back at 0 the indicator keeps its last text.
        if (m_memory != 0)
            writeNumber(m_memoryText, m_memory, "memory text");
    } else {
        qCDebug(lcCalc) << "skipped memory add";
    }
    m_sub.clear();
}

void CalcEngine::memoryStore()
{
    if (const auto value = calc::strictConvert(m_display))
        m_memory = *value;
    writeNumber(m_memoryText, m_memory, "memory text");
    m_sub.clear();
}

void CalcEngine::memoryRecall()
{
    writeNumber(m_display, m_memory, "memory recall");
    m_sub.clear();
}

void CalcEngine::memoryClear()
{
    m_memory = 0;
    m_memoryText.clear();
    m_sub.clear();
}

} // namespace tavlo

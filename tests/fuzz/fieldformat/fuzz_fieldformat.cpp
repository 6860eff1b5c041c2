// The edit mask and the display format: a mask puts the value's characters in
// order between its literals, and a number shown with a "#,##0.00" format
// reads back as that number rounded to the format's decimals.

#include "FieldFormat.h"
#include "FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace
{

bool IsSubsequence(const QString& part, const QString& whole)
{
    qsizetype at = 0;
    for (QChar c : whole)
        if (at < part.size() && part[at] == c) ++at;
    return at == part.size();
}

void CheckMask(const QString& mask, const QString& value)
{
    const QString text = FormatMaskText(mask, value);
    FUZZ_CHECK(IsSubsequence(value, text), mask + " | " + value + " | " + text);
    FUZZ_CHECK(text.size() <= mask.size() + value.size(), mask + " | " + value + " | " + text);
}

void CheckFormat(const QString& format, double value)
{
    const QString text = FormatFloat(format, value);
    if (!std::isfinite(value) || std::fabs(value) >= 1e15) return;
    for (QChar c : format)
        if (!QStringLiteral("0#,.").contains(c)) return;
    const QString detail = format + " | " + QString::number(value, 'g', 17) + " | " + text;
    // No minus sign before a number shown as zero.
    QString digits = text;
    digits.remove(QLatin1Char(','));
    FUZZ_CHECK(
        !(digits.startsWith(QLatin1Char('-')) &&
          digits.count(QLatin1Char('0')) + digits.count(QLatin1Char('.')) + 1 == digits.size()),
        detail);
    const qsizetype point = format.indexOf(QLatin1Char('.'));
    int decimals = 0;
    if (point >= 0)
        for (qsizetype i = point + 1; i < format.size(); ++i)
            decimals += format[i] == QLatin1Char('0') || format[i] == QLatin1Char('#');
    const double shown = std::strtod(digits.toLatin1().constData(), nullptr);
    FUZZ_CHECK(std::fabs(shown - value) <=
                   0.5 * std::pow(10.0, -decimals) * (1 + 1e-9) + std::fabs(value) * 1e-15,
               detail);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const QString mask = QString::fromStdString(in.ConsumeRandomLengthString(40));
    const QString value = QString::fromStdString(in.ConsumeRandomLengthString(40));
    const QString format = QString::fromStdString(in.ConsumeRandomLengthString(24));
    const double number = in.ConsumeFloatingPoint<double>();
    CheckMask(mask, value);
    CheckFormat(format, number);
    CheckFormat(format, in.ConsumeFloatingPointInRange(-1e6, 1e6));
    qint32 integer = 0;
    double real = 0;
    TextToInteger(value, integer);
    TextToFloat(value, real);
    return 0;
}

// The numeric text rules: what a field takes from text is what the drivers
// take as a parameter, with the same value, and the field keeps it.

#include "FieldFormat.h"
#include "FuzzCheck.h"
#include "NumericText.h"
#include "TClientDataSet.h"
#include "TField.h"

#include <cmath>
#include <cstdint>

namespace
{

// Only blanks the drivers know: spaces and tabs.
TClientDataSet& Table()
{
    static TClientDataSet* table = [] {
        auto* t = new TClientDataSet;
        t->FieldDefs().Add(QStringLiteral("I"), TFieldType::ftInteger);
        t->FieldDefs().Add(QStringLiteral("F"), TFieldType::ftFloat);
        t->CreateDataSet();
        t->Append();
        return t;
    }();
    return *table;
}

// Whether the field takes the text; its value then, as text.
bool FieldTakes(const QString& name, const QString& text, QString& stored)
{
    TField* field = Table().FieldByName(name);
    try {
        field->SetAsString(text);
    } catch (...) {
        return false;
    }
    stored = field->AsString();
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    QString reason;

    qint64 integer = 0;
    const bool driverInteger = NumericText::ToInteger(text, integer, reason);
    // IsInteger is the syntax alone: an integer out of range still has it.
    FUZZ_CHECK(!driverInteger || NumericText::IsInteger(text), text);
    double real = 0;
    const bool driverReal = NumericText::ToReal(text, real, reason);
    QString trimmed;
    bool exponent = false;
    const bool realSyntax = NumericText::IsReal(text, trimmed, exponent, reason);
    FUZZ_CHECK(!driverReal || realSyntax, text);
    FUZZ_CHECK(!driverInteger || realSyntax, text);

    qint32 fieldInteger = 0;
    const bool isFieldInteger = TextToInteger(text, fieldInteger);
    if (isFieldInteger) FUZZ_CHECK(driverInteger && integer == fieldInteger, text);
    if (driverInteger && integer >= INT32_MIN && integer <= INT32_MAX)
        FUZZ_CHECK(isFieldInteger && integer == fieldInteger, text);
    QString stored;
    // Blank text (spaces and tabs, the one rule of fields and drivers)
    // clears a field rather than failing.
    if (NumericText::IsBlank(text)) {
        FUZZ_CHECK(FieldTakes(QStringLiteral("I"), text, stored) && stored.isEmpty(), text);
        FUZZ_CHECK(FieldTakes(QStringLiteral("F"), text, stored) && stored.isEmpty(), text);
        return 0;
    }
    FUZZ_CHECK(FieldTakes(QStringLiteral("I"), text, stored) == isFieldInteger, text);
    if (isFieldInteger) FUZZ_CHECK(stored == QString::number(fieldInteger), text + " " + stored);

    double fieldReal = 0;
    const bool isFieldReal = TextToFloat(text, fieldReal);
    if (isFieldReal) FUZZ_CHECK(driverReal && real == fieldReal, text);
    if (driverReal && std::isfinite(real)) FUZZ_CHECK(isFieldReal && real == fieldReal, text);
    FUZZ_CHECK(FieldTakes(QStringLiteral("F"), text, stored) == isFieldReal, text);
    if (isFieldReal) {
        FUZZ_CHECK(Table().FieldByName(QStringLiteral("F"))->AsFloat() == fieldReal, text);
        // The general format reads back, and is its own fixed point.
        const QString general = FloatToGeneral(fieldReal);
        double again = 0;
        FUZZ_CHECK(TextToFloat(general, again), text + " " + general);
        FUZZ_CHECK(FloatToGeneral(again) == general, text + " " + general);
    }
    return 0;
}

#include "DBSBtn.h"

#include "Exceptions.h"
#include "TDataSource.h"

namespace
{
const std::array<QStringView, DBButtonTypeCount> TypeNames{
    u"nbCustom", u"nbFirst",  u"nbPrior", u"nbNext", u"nbLast",   u"nbInsert",
    u"nbAppend", u"nbDelete", u"nbEdit",  u"nbPost", u"nbCancel", u"nbRefresh"};
const std::array<QStringView, DBButtonLanguageCount> LanguageNames{
    u"blUSEnglish", u"blHebrew", u"blPortugues", u"blGerman", u"blSpanish"};
const std::array<QStringView, 6> ReasonNames{u"drBOF",        u"drEOF",     u"drReadonly",
                                             u"drNotEditing", u"drEditing", u"drEmpty"};

template <typename T> T* Resolve(const TComponentResolver& resolve, const QString& name)
{
    auto* component = dynamic_cast<T*>(resolve(TStoredProperties::ReadIdent(name)));
    if (!component) throw Exception(QStringLiteral("Invalid property value"));
    return component;
}
} // namespace

void TDBSpeedButton::WriteProperties(TStoredProperties& stored) const
{
    TCustomDBSpeedButton::WriteProperties(stored);
    if (!ConfirmDelete()) stored.WriteBoolean(QStringLiteral("ConfirmDelete"), false);
    stored.WriteIdent(QStringLiteral("DataButtonType"),
                      TypeNames[int(DataButtonType())].toString());
    if (Language() != TDBButtonLanguage::blUSEnglish)
        stored.WriteIdent(QStringLiteral("Language"), LanguageNames[int(Language())].toString());
    if (DataSource()) stored.WriteIdent(QStringLiteral("DataSource"), DataSource()->objectName());
    if (MenuItem()) stored.WriteIdent(QStringLiteral("MenuItem"), MenuItem()->objectName());
    stored.WriteSet(QStringLiteral("DisableReasons"),
                    TStoredProperties::SetMembers(DisableReasons(), ReasonNames));
}

bool TDBSpeedButton::ReadProperty(const TStoredProperty& property,
                                  const TComponentResolver& resolve)
{
    const QString& name = property.Name;
    const QString& value = property.Value;
    if (name == QLatin1String("ConfirmDelete"))
        SetConfirmDelete(TStoredProperties::ReadBoolean(value));
    else if (name == QLatin1String("DataButtonType"))
        SetDataButtonType(TStoredProperties::ReadEnum<TDBButtonType>(value, TypeNames));
    else if (name == QLatin1String("Language"))
        SetLanguage(TStoredProperties::ReadEnum<TDBButtonLanguage>(value, LanguageNames));
    else if (name == QLatin1String("DataSource"))
        SetDataSource(Resolve<TDataSource>(resolve, value));
    else if (name == QLatin1String("MenuItem"))
        SetMenuItem(Resolve<TMenuItem>(resolve, value));
    else if (name == QLatin1String("DisableReasons"))
        SetDisableReasons(TStoredProperties::ReadEnumSet<TDBBDisableReasons>(value, ReasonNames));
    else
        return TCustomDBSpeedButton::ReadProperty(property, resolve);
    return true;
}

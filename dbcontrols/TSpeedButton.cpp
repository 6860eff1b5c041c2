#include "TSpeedButton.h"

#include "Exceptions.h"
#include "TApplication.h"

#include <QBuffer>
#include <QEvent>
#include <QIcon>
#include <QPixmap>

namespace
{
const std::array<QStringView, 2> LayoutNames{u"blGlyphLeft", u"blGlyphTop"};
}

TSpeedButton::TSpeedButton(QWidget* owner) : QToolButton(owner)
{
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setFocusPolicy(Qt::NoFocus);
    OnGlyphChange = [this] { GlyphChanged(); };
    connect(this, &QAbstractButton::clicked, this,
            [this] { Application()->Guard([&] { Click(); }); });
}

void TSpeedButton::SetLayout(TButtonLayout layout)
{
    FLayout = layout;
    setToolButtonStyle(layout == TButtonLayout::blGlyphTop ? Qt::ToolButtonTextUnderIcon
                                                           : Qt::ToolButtonTextBesideIcon);
}

void TSpeedButton::SetEnabled(bool enabled)
{
    setEnabled(enabled);
    // Under a disabled parent Qt sends no notice for the button's own flag.
    SyncEnabled();
}

void TSpeedButton::SyncEnabled()
{
    if (Enabled() == FEnabled) return;
    FEnabled = Enabled();
    EnabledChanged();
}

void TSpeedButton::changeEvent(QEvent* event)
{
    QToolButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) Application()->Guard([&] { SyncEnabled(); });
}

void TSpeedButton::EnabledChanged()
{
    update();
}

void TSpeedButton::SetGlyph(const QImage& glyph)
{
    FGlyph = glyph;
    if (OnGlyphChange) OnGlyphChange();
}

void TSpeedButton::SetNumGlyphs(int count)
{
    count = qBound(1, count, 4);
    if (count == FNumGlyphs) return;
    FNumGlyphs = count;
    GlyphChanged();
}

void TSpeedButton::GlyphChanged()
{
    if (FGlyph.isNull()) {
        setIcon(QIcon());
        return;
    }
    const int width = FGlyph.width() / FNumGlyphs;
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(FGlyph.copy(0, 0, width, FGlyph.height())), QIcon::Normal);
    if (FNumGlyphs >= 2)
        icon.addPixmap(QPixmap::fromImage(FGlyph.copy(width, 0, width, FGlyph.height())),
                       QIcon::Disabled);
    setIconSize(QSize(width, FGlyph.height()));
    setIcon(icon);
}

void TSpeedButton::Click()
{
    if (OnClick) OnClick(this);
}

TStoredProperties TSpeedButton::SaveProperties() const
{
    TStoredProperties stored;
    WriteProperties(stored);
    DefineProperties(stored);
    return stored;
}

void TSpeedButton::WriteProperties(TStoredProperties& stored) const
{
    if (!Caption().isEmpty()) stored.WriteString(QStringLiteral("Caption"), Caption());
    if (!Enabled()) stored.WriteBoolean(QStringLiteral("Enabled"), false);
    if (Flat()) stored.WriteBoolean(QStringLiteral("Flat"), true);
    if (GlyphStored() && !FGlyph.isNull()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        FGlyph.save(&buffer, "PNG");
        stored.WriteBinary(QStringLiteral("Glyph.Data"), png);
    }
    if (!Hint().isEmpty()) stored.WriteString(QStringLiteral("Hint"), Hint());
    if (FLayout != TButtonLayout::blGlyphLeft)
        stored.WriteIdent(QStringLiteral("Layout"), LayoutNames[int(FLayout)].toString());
    if (FNumGlyphs != 1) stored.WriteInteger(QStringLiteral("NumGlyphs"), FNumGlyphs);
}

bool TSpeedButton::ReadProperty(const TStoredProperty& property, const TComponentResolver&)
{
    const QString& name = property.Name;
    const QString& value = property.Value;
    if (name == QLatin1String("Caption"))
        SetCaption(TStoredProperties::ReadString(value));
    else if (name == QLatin1String("Enabled"))
        SetEnabled(TStoredProperties::ReadBoolean(value));
    else if (name == QLatin1String("Flat"))
        SetFlat(TStoredProperties::ReadBoolean(value));
    else if (name == QLatin1String("Glyph.Data")) {
        QImage glyph;
        if (!glyph.loadFromData(TStoredProperties::ReadBinary(value), "PNG"))
            throw Exception(QStringLiteral("Invalid property value"));
        SetGlyph(glyph);
    } else if (name == QLatin1String("Hint"))
        SetHint(TStoredProperties::ReadString(value));
    else if (name == QLatin1String("Layout"))
        SetLayout(TStoredProperties::ReadEnum<TButtonLayout>(value, LayoutNames));
    else if (name == QLatin1String("NumGlyphs"))
        SetNumGlyphs(TStoredProperties::ReadInteger(value));
    else
        return false;
    return true;
}

void TSpeedButton::LoadProperties(const TStoredProperties& stored,
                                  const TComponentResolver& resolve)
{
    // Component names are looked up on the button's form unless the caller
    // knows better.
    const TComponentResolver find = resolve ? resolve : [this](const QString& name) {
        return window()->findChild<QObject*>(name);
    };
    FLoading = true;
    try {
        for (const TStoredProperty& property : stored.Items())
            if (!ReadProperty(property, find))
                throw Exception(QStringLiteral("Property %1 does not exist").arg(property.Name));
    } catch (...) {
        FLoading = false;
        throw;
    }
    Loaded();
}

void TSpeedButton::Loaded()
{
    FLoading = false;
}

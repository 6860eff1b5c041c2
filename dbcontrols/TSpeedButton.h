#pragma once

#include "TNotifyEvent.h"
#include "TStoredProperties.h"

#include <QImage>
#include <QToolButton>
#include <functional>

enum class TButtonLayout { blGlyphLeft, blGlyphTop };

// Resolves a component name of a stored form to the component.
using TComponentResolver = std::function<QObject*(const QString& name)>;

// A picture button. Glyph is a strip of NumGlyphs images side by side: the
// normal look, then the disabled look. Enabled() is the button's own flag,
// whatever its parent's state; a change of it reaches EnabledChanged().
//
// Stored forms: SaveProperties() writes the properties that differ from
// their defaults, then the extra values of DefineProperties();
// LoadProperties() reads them back in their order with Loading() set and
// then runs Loaded().
class TSpeedButton : public QToolButton
{
public:
    explicit TSpeedButton(QWidget* owner = nullptr);

    QString Caption() const { return text(); }
    void SetCaption(const QString& caption) { setText(caption); }
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    bool Flat() const { return autoRaise(); }
    void SetFlat(bool flat) { setAutoRaise(flat); }
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout layout);
    bool Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }
    void SetEnabled(bool enabled);

    const QImage& Glyph() const { return FGlyph; }
    // Every assignment raises OnGlyphChange, whose default redraws the button.
    void SetGlyph(const QImage& glyph);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int count);
    std::function<void()> OnGlyphChange;

    TNotifyEvent OnClick;
    // Raises OnClick; a mouse click comes here.
    virtual void Click();

    TStoredProperties SaveProperties() const;
    void LoadProperties(const TStoredProperties& stored, const TComponentResolver& resolve = {});
    bool Loading() const { return FLoading; }

protected:
    virtual void EnabledChanged();
    virtual void Loaded();
    virtual bool GlyphStored() const { return true; }
    virtual void WriteProperties(TStoredProperties& stored) const;
    virtual void DefineProperties(TStoredProperties& stored) const {}
    // Takes one stored value; false when the name is not one of ours.
    virtual bool ReadProperty(const TStoredProperty& property, const TComponentResolver& resolve);
    // Rebuilds the shown images from the strip.
    void GlyphChanged();

    void changeEvent(QEvent* event) override;

private:
    void SyncEnabled();

    QImage FGlyph;
    int FNumGlyphs = 1;
    TButtonLayout FLayout = TButtonLayout::blGlyphLeft;
    bool FEnabled = true;
    bool FLoading = false;
};

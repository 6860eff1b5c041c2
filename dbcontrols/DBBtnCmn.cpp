#include "DBBtnCmn.h"

const std::array<std::array<QStringView, DBButtonTypeCount>, DBButtonLanguageCount> DBButtonHints{{
    {u"", u"First", u"Prior", u"Next", u"Last", u"New", u"New", u"Delete", u"Edit", u"Save",
     u"Cancel", u"Refresh"},
    {u"", u"ראשונה", u"הקודמת", u"הבאה", u"האחרונה", u"חדשה", u"חדשה", u"מחיקה", u"עריכה", u"שמירה",
     u"ביטול", u"רענון"},
    {u"", u"Primeiro", u"Anterior", u"Próximo", u"Último", u"Insere", u"Insere", u"Exclui",
     u"Edita", u"Salva", u"Cancela", u"Atualiza"},
    {u"", u"Anfang", u"Zurück", u"Vor", u"Ende", u"Neu", u"Neu", u"Löschen", u"Ändern", u"Sichern",
     u"Abbrechen", u"Aktualisieren"},
    {u"", u"Primero", u"Anterior", u"Siguiente", u"Último", u"Insertar", u"Insertar", u"Borrar",
     u"Editar", u"Guardar", u"Cancelar", u"Actualizar"},
}};

TDBButtonLanguage DefaultButtonLanguage = TDBButtonLanguage::blUSEnglish;

bool IsDefaultHint(const QString& Hint, TDBButtonLanguage Language)
{
    for (QStringView entry : DBButtonHints[static_cast<int>(Language)])
        if (Hint == entry) return true;
    return false;
}

void TDBBtnDataLink::ActiveChanged()
{
    if (OnActiveChanged) OnActiveChanged();
}

void TDBBtnDataLink::DataSetChanged()
{
    if (OnDataSetChanged) OnDataSetChanged();
}

void TDBBtnDataLink::EditingChanged()
{
    if (OnEditingChanged) OnEditingChanged();
}

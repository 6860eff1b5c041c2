#pragma once

#include <QImage>

// The small pictures of the query dialog's own buttons, drawn here (16 by 16
// pixels, transparent ground). The navigation buttons carry the data-aware
// buttons' standard pictures instead.
namespace GetdataPictures
{
QImage AddCondition(); // a green plus
QImage Search();       // a magnifying glass
QImage Reset();        // a turning arrow
QImage Ok();           // a green check mark
QImage Cancel();       // a red cross
} // namespace GetdataPictures

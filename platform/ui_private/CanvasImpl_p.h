// Helpers shared by the canvas's own units (shapes, text, pictures): the
// translation of pen/brush to Qt and the recording of calls. Nothing outside
// the canvas units includes this.
#pragma once

#include <QBrush>
#include <QPainter>
#include <QPen>

#include "Graphics.h"
#include "Metafile.h"

namespace canvasimpl {
QPainter::CompositionMode PenComposition(TPenMode m);
QPen MakePen(const TPen& pen);
QBrush MakeBrush(const TBrush& brush, TPenMode mode);
void Prepare(QPainter* p, const TCanvas* c, bool fill);
// A record of kind with the canvas's current pen, brush, font and clip.
TMetafileRecord MakeRecord(const TCanvas* c, TMetafileRecordKind kind, const TRect& bounds);
void Record(const TCanvas* c, TMetafileRecord&& r);
TRect PointsBounds(const std::vector<TPoint>& pts, int grow);
// Throws EInvalidOperation "Canvas does not allow drawing" when unbound.
void RequireDevice(const TCanvas* c);
} // namespace canvasimpl

#pragma once
// Export naming and the printed page of the article viewer.

#include <QRect>
#include <QSize>
#include <QString>

// The file an export writes for the name chosen in the save dialog: the name
// itself when it ends in ".rtf" exactly, otherwise the name with ".rtf" added.
QString exportTargetPath(const QString& chosen);

// The page rectangle in printer pixels: 20 mm inside each edge of the
// printable area, the margins rounded to whole pixels.
QRect printPageRect(int dpiX, int dpiY, const QSize& printable);

#pragma once
// The product's icon, shown by the about box of both programs, and the rounded sign
// tile it is drawn as, which the printing program's pictures use too.

#include <QIcon>
#include <QImage>
#include <QString>

// A rounded tile of `size` pixels in a colour (0xRRGGBB) with a short white sign on it.
QImage SignTile(int size, unsigned rgb, const QString& sign);
// The product's icon: the red tile with "票".
QImage ProductPicture();
QIcon ProductIcon();

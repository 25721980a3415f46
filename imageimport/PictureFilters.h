#pragma once

#include <QStringList>

// The name filters of every picture dialog, in Qt's syntax: first
// "Alle Bilddateien (...)" with every format the picture loader reads (what
// Qt's image readers offer, plus PCX), then one entry per format.
QStringList PictureFileFilters();

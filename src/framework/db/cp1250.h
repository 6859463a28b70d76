// Code page 1250, the character set of every text the database holds.
#pragma once

#include <QByteArray>
#include <QString>

// Throws DbError naming the first character that code page 1250 cannot hold.
QByteArray encodeCp1250(const QString& text);
QString decodeCp1250(const char* data, int size);

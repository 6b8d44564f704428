#pragma once
#include <QByteArray>
#include <QString>

// windows-1251 at the edges of the program: documents, archives, the database
// connection and the password digest.  Characters the code page lacks become "?".
QByteArray Win1251Encode(const QString& text);
QString Win1251Decode(const QByteArray& bytes);

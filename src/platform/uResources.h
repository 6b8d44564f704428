#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// Text resources carried inside the program (the resource table of "TEXT"
// entries).  Names compare without regard to letter case.

// The resource's bytes (windows-1251), cut at the first zero byte.
// Throws std::runtime_error when no resource of that name exists.
QByteArray LoadTextResource(const QString& name);

// The same, decoded from windows-1251.
QString LoadTextResourceString(const QString& name);

bool HasTextResource(const QString& name);

// Every resource name known to the program (as stored).
QStringList TextResourceNames();

// Catalogue path to resource name: every "\" and every "." becomes "_".
QString ResourceNameOf(const QString& path);

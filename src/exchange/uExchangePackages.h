#pragma once
#include <QByteArray>
#include <QString>
#include <optional>

#include "exchange/uExchangeFormats.h"

// The form data package: written by concatenation in its fixed layout
// (line feeds and tabs included), windows-1251 encoded.
QString FormDataPackageText(const TFormDataPackage& package);
QByteArray WriteFormDataPackage(const TFormDataPackage& package);

// The relation items a form writes: one per object after the class object,
// from that object to the class object.
std::vector<TPackageRelation> FormRelations(const std::vector<TPackageObject>& objects, const QString& relation);

// In the first element starting with <attribute name="school" the text from
// valuetitle=" up to the element's closing "/>" becomes blanks, so that the
// school's display text is never parsed.  Anything else is left as it is.
QByteArray BlankSchoolTitle(QByteArray raw);

// Reads a package (after BlankSchoolTitle).  None when the text is not XML
// or its document element is not "root".  Children of "root" other than
// "objects", "data" and "relations" are ignored.
std::optional<TFormDataPackage> ReadFormDataPackage(const QByteArray& raw);

// Service answers.  a/b raise EXmlError for a body that is not XML; the list
// readers treat such a body as one without a document element.
bool ReadOkAnswer(const QByteArray& body);       // "checkversion", "trylogin": top-level "root" is exactly "OK"
bool ReadServiceAnswer(const QByteArray& body);  // "checkservice": a top-level "root"
std::optional<TServiceItem> ReadSchoolInfo(const QByteArray& body);  // first "item" of "root"
TServiceList<TServiceItem> ReadServiceItems(const QByteArray& body);
TServiceList<TCLSItem> ReadClassesList(const QByteArray& body);
TServiceList<TTSDItem> ReadPupilsList(const QByteArray& body);
TServiceList<TFormState> ReadFormStates(const QByteArray& body);

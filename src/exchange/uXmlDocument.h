#pragma once
#include <libxml/tree.h>

#include <QByteArray>
#include <QString>
#include <memory>
#include <stdexcept>
#include <vector>

// A document that is not well-formed XML.
class EXmlError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An XML document tree read from bytes (the encoding comes from the
// declaration, windows-1251 included).  No network access, no entity expansion.
class TXmlDocument {
 public:
  // Throws EXmlError with the parser's message when the bytes are not a
  // well-formed document (an empty text included).
  static TXmlDocument Parse(const QByteArray& bytes);
  // The same, but answers an empty document instead of throwing.
  static TXmlDocument TryParse(const QByteArray& bytes);

  xmlNodePtr Root() const;  // nullptr when there is none
  bool IsEmpty() const { return !Doc; }

 private:
  struct TFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
  };
  std::unique_ptr<xmlDoc, TFree> Doc;
};

bool XmlIsNamed(xmlNodePtr node, const char* name);
bool XmlHasAttr(xmlNodePtr node, const char* name);
QString XmlAttr(xmlNodePtr node, const char* name);  // empty when absent
QString XmlText(xmlNodePtr node);                    // all text inside the node
std::vector<xmlNodePtr> XmlElements(xmlNodePtr parent);                    // element children
std::vector<xmlNodePtr> XmlElements(xmlNodePtr parent, const char* name);  // ... named exactly so

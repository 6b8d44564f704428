#pragma once
#include <libxml/tree.h>

#include <QByteArray>
#include <QString>
#include <memory>
#include <stdexcept>
#include <vector>

// A document that is not well-formed XML.
class EExchangeXmlError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The exchange's XML reading on libxml2 (helpers prefixed "Ex" to stay
// clear of other subsystems' XML code).

// An XML document tree read from bytes (the encoding comes from the
// declaration, windows-1251 included).  No network access, no entity expansion.
class TExchangeXml {
 public:
  // Throws EExchangeXmlError with the parser's message when the bytes are not a
  // well-formed document (an empty text included).
  static TExchangeXml Parse(const QByteArray& bytes);
  // The same, but answers an empty document instead of throwing.
  static TExchangeXml TryParse(const QByteArray& bytes);

  xmlNodePtr Root() const;  // nullptr when there is none
  bool IsEmpty() const { return !Doc; }

 private:
  struct TFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
  };
  std::unique_ptr<xmlDoc, TFree> Doc;
};

bool ExIsNamed(xmlNodePtr node, const char* name);
bool ExHasAttr(xmlNodePtr node, const char* name);
QString ExAttr(xmlNodePtr node, const char* name);  // empty when absent
QString ExText(xmlNodePtr node);                    // all text inside the node
std::vector<xmlNodePtr> ExElements(xmlNodePtr parent);                    // element children
std::vector<xmlNodePtr> ExElements(xmlNodePtr parent, const char* name);  // ... named exactly so

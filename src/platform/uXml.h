#pragma once
#include <QByteArray>
#include <QString>
#include <memory>
#include <stdexcept>
#include <vector>

// A small read-only view over a libxml2 document tree.  Documents are parsed
// from their bytes, so the encoding declaration (windows-1251) is honoured;
// names and values come out as QString.

struct _xmlDoc;
struct _xmlNode;

// A text that is not well-formed XML.
class EXmlError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TXmlElement {
 public:
  TXmlElement() = default;
  explicit TXmlElement(_xmlNode* node) : Node(node) {}

  bool IsNull() const { return Node == nullptr; }
  explicit operator bool() const { return Node != nullptr; }

  QString Name() const;
  bool HasAttribute(const char* name) const;
  QString Attribute(const char* name) const;  // empty when absent
  QString Text() const;                        // concatenated text content

  std::vector<TXmlElement> Children() const;  // child elements in document order
  std::vector<TXmlElement> Children(const char* name) const;
  TXmlElement FirstChild(const char* name) const;
  TXmlElement FirstChild() const;
  TXmlElement NextSibling() const;  // next element sibling

 private:
  _xmlNode* Node = nullptr;
};

class TXmlDocument {
 public:
  // Throws EXmlError with the parser's message when the text is not
  // well-formed XML (an empty text included).  Never touches the network and
  // never expands entities.
  static std::unique_ptr<TXmlDocument> Parse(const QByteArray& bytes);
  // The same, but answers nullptr instead of throwing.
  static std::unique_ptr<TXmlDocument> TryParse(const QByteArray& bytes);
  ~TXmlDocument();

  TXmlElement Root() const;

 private:
  explicit TXmlDocument(_xmlDoc* doc) : Doc(doc) {}
  _xmlDoc* Doc;
};

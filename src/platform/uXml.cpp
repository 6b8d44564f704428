#include "platform/uXml.h"

#include <libxml/parser.h>
#include <libxml/tree.h>


namespace {
QString FromXml(const xmlChar* text) { return text ? QString::fromUtf8(reinterpret_cast<const char*>(text)) : QString(); }

bool NameIs(xmlNode* node, const char* name) {
  return node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

xmlNode* NextElement(xmlNode* node) {
  while (node && node->type != XML_ELEMENT_NODE) node = node->next;
  return node;
}
}  // namespace

QString TXmlElement::Name() const { return Node ? FromXml(Node->name) : QString(); }

bool TXmlElement::HasAttribute(const char* name) const {
  return Node && xmlHasProp(Node, reinterpret_cast<const xmlChar*>(name)) != nullptr;
}

QString TXmlElement::Attribute(const char* name) const {
  if (!Node) return {};
  xmlChar* value = xmlGetProp(Node, reinterpret_cast<const xmlChar*>(name));
  QString result = FromXml(value);
  xmlFree(value);
  return result;
}

QString TXmlElement::Text() const {
  if (!Node) return {};
  xmlChar* value = xmlNodeGetContent(Node);
  QString result = FromXml(value);
  xmlFree(value);
  return result;
}

std::vector<TXmlElement> TXmlElement::Children() const {
  std::vector<TXmlElement> result;
  if (!Node) return result;
  for (xmlNode* child = Node->children; child; child = child->next)
    if (child->type == XML_ELEMENT_NODE) result.emplace_back(child);
  return result;
}

std::vector<TXmlElement> TXmlElement::Children(const char* name) const {
  std::vector<TXmlElement> result;
  if (!Node) return result;
  for (xmlNode* child = Node->children; child; child = child->next)
    if (NameIs(child, name)) result.emplace_back(child);
  return result;
}

TXmlElement TXmlElement::FirstChild(const char* name) const {
  if (!Node) return {};
  for (xmlNode* child = Node->children; child; child = child->next)
    if (NameIs(child, name)) return TXmlElement(child);
  return {};
}

TXmlElement TXmlElement::FirstChild() const { return Node ? TXmlElement(NextElement(Node->children)) : TXmlElement(); }

TXmlElement TXmlElement::NextSibling() const { return Node ? TXmlElement(NextElement(Node->next)) : TXmlElement(); }

std::unique_ptr<TXmlDocument> TXmlDocument::Parse(const QByteArray& bytes) {
  static const bool initialised = (xmlInitParser(), true);
  (void)initialised;
  // A context of its own, so the message is this parse's and never a stale one
  // left in the global error by an earlier document.
  std::unique_ptr<xmlParserCtxt, decltype(&xmlFreeParserCtxt)> ctxt(xmlNewParserCtxt(), xmlFreeParserCtxt);
  if (!ctxt) throw EXmlError("XML parser unavailable");
  xmlDoc* doc = xmlCtxtReadMemory(ctxt.get(), bytes.constData(), static_cast<int>(bytes.size()), nullptr, nullptr,
                                  XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (doc && !ctxt->wellFormed) {
    xmlFreeDoc(doc);
    doc = nullptr;
  }
  if (!doc) {
    const xmlError& error = ctxt->lastError;
    QString message = QStringLiteral("Ошибка разбора XML");
    if (error.message)
      message += QStringLiteral(" (строка %1): %2").arg(error.line).arg(QString::fromUtf8(error.message).trimmed());
    throw EXmlError(message.toStdString());
  }
  return std::unique_ptr<TXmlDocument>(new TXmlDocument(doc));
}

std::unique_ptr<TXmlDocument> TXmlDocument::TryParse(const QByteArray& bytes) {
  try {
    return Parse(bytes);
  } catch (const EXmlError&) {
    return nullptr;
  }
}

TXmlDocument::~TXmlDocument() { xmlFreeDoc(Doc); }

TXmlElement TXmlDocument::Root() const { return TXmlElement(xmlDocGetRootElement(Doc)); }

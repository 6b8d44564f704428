#include "exchange/uXmlDocument.h"

#include <libxml/parser.h>

#include <cstring>

namespace {
struct TParserInit {
  TParserInit() { xmlInitParser(); }
};

struct TCtxtFree {
  void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};

QString FromXmlChars(const xmlChar* text) { return text ? QString::fromUtf8(reinterpret_cast<const char*>(text)) : QString(); }

const int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
}  // namespace

TXmlDocument TXmlDocument::Parse(const QByteArray& bytes) {
  static TParserInit init;
  std::unique_ptr<xmlParserCtxt, TCtxtFree> ctxt(xmlNewParserCtxt());
  if (!ctxt) throw EXmlError("XML parser unavailable");
  TXmlDocument result;
  result.Doc.reset(xmlCtxtReadMemory(ctxt.get(), bytes.constData(), static_cast<int>(bytes.size()), nullptr, nullptr,
                                     kParseOptions));
  if (!result.Doc || !ctxt->wellFormed) {
    result.Doc.reset();
    const xmlError* error = &ctxt->lastError;
    QString message = error->message ? QString::fromUtf8(error->message).trimmed() : QStringLiteral("not an XML document");
    if (error->line > 0) message += QStringLiteral(" (line %1)").arg(error->line);
    throw EXmlError(message.toStdString());
  }
  return result;
}

TXmlDocument TXmlDocument::TryParse(const QByteArray& bytes) {
  try {
    return Parse(bytes);
  } catch (const EXmlError&) {
    return TXmlDocument();
  }
}

xmlNodePtr TXmlDocument::Root() const { return Doc ? xmlDocGetRootElement(Doc.get()) : nullptr; }

bool XmlIsNamed(xmlNodePtr node, const char* name) {
  return node && node->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

bool XmlHasAttr(xmlNodePtr node, const char* name) {
  return node && xmlHasProp(node, reinterpret_cast<const xmlChar*>(name)) != nullptr;
}

QString XmlAttr(xmlNodePtr node, const char* name) {
  if (!node) return QString();
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
  const QString text = FromXmlChars(value);
  xmlFree(value);
  return text;
}

QString XmlText(xmlNodePtr node) {
  if (!node) return QString();
  xmlChar* value = xmlNodeGetContent(node);
  const QString text = FromXmlChars(value);
  xmlFree(value);
  return text;
}

std::vector<xmlNodePtr> XmlElements(xmlNodePtr parent) {
  std::vector<xmlNodePtr> out;
  if (!parent) return out;
  for (xmlNodePtr child = parent->children; child; child = child->next)
    if (child->type == XML_ELEMENT_NODE) out.push_back(child);
  return out;
}

std::vector<xmlNodePtr> XmlElements(xmlNodePtr parent, const char* name) {
  std::vector<xmlNodePtr> out;
  for (xmlNodePtr child : XmlElements(parent))
    if (XmlIsNamed(child, name)) out.push_back(child);
  return out;
}

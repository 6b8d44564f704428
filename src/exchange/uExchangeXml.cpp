#include "exchange/uExchangeXml.h"

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

TExchangeXml TExchangeXml::Parse(const QByteArray& bytes) {
  static TParserInit init;
  std::unique_ptr<xmlParserCtxt, TCtxtFree> ctxt(xmlNewParserCtxt());
  if (!ctxt) throw EExchangeXmlError("XML parser unavailable");
  TExchangeXml result;
  result.Doc.reset(xmlCtxtReadMemory(ctxt.get(), bytes.constData(), static_cast<int>(bytes.size()), nullptr, nullptr,
                                     kParseOptions));
  if (!result.Doc || !ctxt->wellFormed) {
    result.Doc.reset();
    const xmlError* error = &ctxt->lastError;
    QString message = error->message ? QString::fromUtf8(error->message).trimmed() : QStringLiteral("not an XML document");
    if (error->line > 0) message += QStringLiteral(" (line %1)").arg(error->line);
    throw EExchangeXmlError(message.toStdString());
  }
  return result;
}

TExchangeXml TExchangeXml::TryParse(const QByteArray& bytes) {
  try {
    return Parse(bytes);
  } catch (const EExchangeXmlError&) {
    return TExchangeXml();
  }
}

xmlNodePtr TExchangeXml::Root() const { return Doc ? xmlDocGetRootElement(Doc.get()) : nullptr; }

bool ExIsNamed(xmlNodePtr node, const char* name) {
  return node && node->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

bool ExHasAttr(xmlNodePtr node, const char* name) {
  return node && xmlHasProp(node, reinterpret_cast<const xmlChar*>(name)) != nullptr;
}

QString ExAttr(xmlNodePtr node, const char* name) {
  if (!node) return QString();
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
  const QString text = FromXmlChars(value);
  xmlFree(value);
  return text;
}

QString ExText(xmlNodePtr node) {
  if (!node) return QString();
  xmlChar* value = xmlNodeGetContent(node);
  const QString text = FromXmlChars(value);
  xmlFree(value);
  return text;
}

std::vector<xmlNodePtr> ExElements(xmlNodePtr parent) {
  std::vector<xmlNodePtr> out;
  if (!parent) return out;
  for (xmlNodePtr child = parent->children; child; child = child->next)
    if (child->type == XML_ELEMENT_NODE) out.push_back(child);
  return out;
}

std::vector<xmlNodePtr> ExElements(xmlNodePtr parent, const char* name) {
  std::vector<xmlNodePtr> out;
  for (xmlNodePtr child : ExElements(parent))
    if (ExIsNamed(child, name)) out.push_back(child);
  return out;
}

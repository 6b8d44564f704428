#include "store/uIBEngine.h"

#include <QStringDecoder>

#include "platform/uCodec.h"

namespace fbapi {

namespace {

// Engine texts carry file names (UTF-8 here) and object names (windows-1251).
QString DecodeEngineText(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString text = utf8(bytes);
  return utf8.hasError() ? Win1251Decode(bytes) : text;
}

std::vector<long> ErrorCodes(const intptr_t* v) {
  std::vector<long> codes;
  while (v && *v != isc_arg_end) {
    const intptr_t kind = *v++;
    if (kind == isc_arg_gds) codes.push_back(static_cast<long>(*v));
    v += kind == isc_arg_cstring ? 2 : 1;
  }
  return codes;
}

}  // namespace

void Raise(const FbException& e) {
  char text[4096];
  Master()->getUtilInterface()->formatStatus(text, sizeof text, e.getStatus());
  text[sizeof text - 1] = 0;
  throw EDBError(DecodeEngineText(QByteArray(text)), ErrorCodes(e.getStatus()->getErrors()));
}

}  // namespace fbapi

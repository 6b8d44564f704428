#include "store/uIBSQL.h"

#include <QDateTime>
#include <cstring>

#include "platform/uCodec.h"
#include "store/uIBEngine.h"

using namespace fbapi;

TParsedSQL ParseParamMarkers(const QString& sql) {
  TParsedSQL r;
  const int n = static_cast<int>(sql.size());
  auto isNameChar = [](QChar ch) { return ch.isLetterOrNumber() || ch == '_' || ch == '$'; };
  int i = 0;
  while (i < n) {
    const QChar ch = sql[i];
    if (ch == '\'' || ch == '"') {  // a literal (a doubled quote inside reopens it at once)
      const int end = sql.indexOf(ch, i + 1);
      const int stop = end < 0 ? n : end + 1;
      r.Text += sql.mid(i, stop - i);
      i = stop;
    } else if (ch == '-' && i + 1 < n && sql[i + 1] == '-') {
      const int end = sql.indexOf('\n', i);
      const int stop = end < 0 ? n : end;
      r.Text += sql.mid(i, stop - i);
      i = stop;
    } else if (ch == '/' && i + 1 < n && sql[i + 1] == '*') {
      const int end = sql.indexOf(QLatin1String("*/"), i + 2);
      const int stop = end < 0 ? n : end + 2;
      r.Text += sql.mid(i, stop - i);
      i = stop;
    } else if (ch == ':' && i + 1 < n && isNameChar(sql[i + 1])) {
      int j = i + 1;
      while (j < n && isNameChar(sql[j])) ++j;
      const QString name = sql.mid(i + 1, j - i - 1).toUpper();
      int index = static_cast<int>(r.Names.indexOf(name));
      if (index < 0) {
        index = static_cast<int>(r.Names.size());
        r.Names << name;
      }
      r.Markers.push_back(index);
      r.Text += '?';
      i = j;
    } else {
      r.Text += ch;
      ++i;
    }
  }
  return r;
}

TIBSQL::~TIBSQL() { Close(); }

void TIBSQL::SetSQL(const QString& sql) {
  Close();
  Text = sql;
  ParamNames.clear();
  Markers.clear();
  if (ParamCheck) {
    TParsedSQL parsed = ParseParamMarkers(sql);
    EngineText = Win1251Encode(parsed.Text);
    ParamNames = parsed.Names;
    Markers = parsed.Markers;
  } else {
    EngineText = Win1251Encode(sql);
  }
  Values.assign(ParamNames.size(), QVariant());
}

void TIBSQL::SetParam(int index, const QVariant& value) {
  if (index < 0 || index >= ParamCount())
    throw EDBError("Нет параметра с номером " + QString::number(index));
  Values[static_cast<size_t>(index)] = value;
}

void TIBSQL::Close() { Release(Stmt); }

namespace {

QByteArray ParamBytes(const QVariant& v, unsigned targetType) {
  switch (v.typeId()) {
    case QMetaType::QByteArray:
      return v.toByteArray();
    case QMetaType::Double:
      return QByteArray::number(v.toDouble(), 'g', 17);
    case QMetaType::Bool:
      if (targetType == SQL_BOOLEAN) return v.toBool() ? "TRUE" : "FALSE";
      return v.toBool() ? "1" : "0";
    case QMetaType::QDateTime:
      return v.toDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss.zzz")).toLatin1();
    case QMetaType::QDate:
      return v.toDate().toString(QStringLiteral("dd.MM.yyyy")).toLatin1();
    default:
      return Win1251Encode(v.toString());
  }
}

ISC_QUAD CreateBlob(IAttachment* att, ITransaction* tra, const QByteArray& bytes) {
  ISC_QUAD id{};
  TStatus st;
  IBlob* blob = Call([&] { return att->createBlob(&st, tra, &id, 0, nullptr); });
  try {
    for (int pos = 0; pos < bytes.size(); pos += 32768) {
      const int part = std::min<int>(32768, static_cast<int>(bytes.size()) - pos);
      blob->putSegment(&st, static_cast<unsigned>(part), bytes.constData() + pos);
    }
    blob->close(&st);
  } catch (const FbException& e) {
    blob->release();
    Raise(e);
  }
  return id;
}

// The input message of a statement.  Each parameter travels as text (the
// engine converts it to the declared type) or, for a blob, as the id of a
// blob written first.
struct TInputMessage {
  TInputMessage(IAttachment* att, ITransaction* tra, IStatement* stmt, const std::vector<QVariant>& values) {
    TStatus st;
    TRef<IMessageMetadata> declared{Call([&] { return stmt->getInputMetadata(&st); })};
    const unsigned count = Call([&] { return declared->getCount(&st); });
    Data.resize(count);
    IsNull.assign(count, true);
    TRef<IMetadataBuilder> builder{Call([&] { return declared->getBuilder(&st); })};
    for (unsigned i = 0; i < count; ++i) {
      const QVariant& v = i < values.size() ? values[i] : QVariant();
      IsNull[i] = v.isNull();
      if (IsNull[i]) continue;
      const unsigned type = Call([&] { return declared->getType(&st, i); });
      if (type == SQL_BLOB) {
        const ISC_QUAD id = CreateBlob(att, tra, ParamBytes(v, type));
        Data[i] = QByteArray(reinterpret_cast<const char*>(&id), sizeof id);
        continue;
      }
      Data[i] = ParamBytes(v, type);
      Call([&] {
        builder->setType(&st, i, SQL_VARYING);
        builder->setSubType(&st, i, 0);
        builder->setScale(&st, i, 0);
        builder->setLength(&st, i, static_cast<unsigned>(std::max<qsizetype>(1, Data[i].size())));
      });
    }
    Meta = Call([&] { return builder->getMetadata(&st); });
    Fill();
  }
  ~TInputMessage() {
    if (Meta) Meta->release();
  }
  TInputMessage(const TInputMessage&) = delete;
  TInputMessage& operator=(const TInputMessage&) = delete;

  IMessageMetadata* Meta = nullptr;
  std::vector<unsigned char> Buffer;

 private:
  std::vector<QByteArray> Data;
  std::vector<bool> IsNull;

  void Fill() {
    TStatus st;
    Buffer.assign(Call([&] { return Meta->getMessageLength(&st); }), 0);
    for (unsigned i = 0; i < Data.size(); ++i) {
      const short flag = IsNull[i] ? -1 : 0;
      std::memcpy(Buffer.data() + Call([&] { return Meta->getNullOffset(&st, i); }), &flag, sizeof flag);
      if (IsNull[i]) continue;
      unsigned char* p = Buffer.data() + Call([&] { return Meta->getOffset(&st, i); });
      if (Call([&] { return Meta->getType(&st, i); }) == SQL_VARYING) {
        const auto length = static_cast<unsigned short>(Data[i].size());
        std::memcpy(p, &length, sizeof length);
        p += sizeof length;
      }
      std::memcpy(p, Data[i].constData(), static_cast<size_t>(Data[i].size()));
    }
  }
};

}  // namespace

void TIBSQL::ExecQuery() {
  Close();
  IAttachment* att = Transaction.Database.Handle();
  ITransaction* tra = Transaction.Handle();
  const unsigned dialect = Transaction.Database.Dialect();
  TStatus st;
  Stmt = Call([&] {
    return att->prepare(&st, tra, 0, EngineText.constData(), dialect, IStatement::PREPARE_PREFETCH_METADATA);
  });
  std::vector<QVariant> values;  // one per "?" in the text
  for (int marker : Markers) values.push_back(Values[static_cast<size_t>(marker)]);
  TInputMessage in(att, tra, Stmt, values);
  const bool hasIn = !values.empty();
  // EXECUTE PROCEDURE of a procedure with outputs returns one row, not read here.
  TRef<IMessageMetadata> outMeta{Call([&] { return Stmt->getOutputMetadata(&st); })};
  const bool hasOut = Call([&] { return outMeta->getCount(&st); }) > 0;
  std::vector<unsigned char> out(Call([&] { return outMeta->getMessageLength(&st); }) + 1, 0);
  Call([&] {
    Stmt->execute(&st, tra, hasIn ? in.Meta : nullptr, hasIn ? in.Buffer.data() : nullptr,
                  hasOut ? outMeta.P : nullptr, hasOut ? out.data() : nullptr);
  });
}

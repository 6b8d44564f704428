#pragma once
#include <QString>
#include <QTemporaryDir>

// A fresh folder for one test, removed afterwards; Path() ends with "/".
class TTempFolder {
 public:
  TTempFolder();
  QString Path() const { return Dir.path() + '/'; }
  QString File(const QString& name) const { return Dir.filePath(name); }

 private:
  QTemporaryDir Dir;
};

// Reads and writes whole files (bytes).
QByteArray ReadFileBytes(const QString& path);
void WriteFileBytes(const QString& path, const QByteArray& bytes);

class QWidget;
// Saves a picture of the widget to $TALVEX_SCREENSHOTS/<name>.png when that
// variable is set (to look at what a test built); otherwise does nothing.
void SaveScreenshot(QWidget* widget, const QString& name);

// Readable QString values in test failure messages.
#include <ostream>
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline std::ostream& operator<<(std::ostream& out, const QString& text) { return out << text.toStdString(); }

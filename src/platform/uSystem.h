#pragma once
#include <QString>
#include <functional>

// Folder for temporary files, with a trailing separator.
QString TempPath();

// A new GUID in the 38-character registry form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
QString NewGuidText();

// Clipboard text (Unicode).  Copying an empty text empties the clipboard.
void CopyTextToClipboard(const QString& text);
QString ClipboardText();

// Opens a file with the desktop's default application (the spreadsheet for
// exported tables).  Tests replace the launcher; returns false on failure.
using TFileLauncher = std::function<bool(const QString& path)>;
bool OpenWithDefaultApplication(const QString& path);
void SetFileLauncher(TFileLauncher launcher);  // empty restores the desktop's

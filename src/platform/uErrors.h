#pragma once
#include <QString>
#include <stdexcept>

// Errors are exceptions carrying a message for the operator (UTF-8 inside).
class EAppError : public std::runtime_error {
 public:
  explicit EAppError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

inline QString ErrorText(const std::exception& error) { return QString::fromUtf8(error.what()); }

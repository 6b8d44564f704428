#pragma once
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class TXmlElement;
class TRBManager;

// One coded answer: code, display order and caption.
class TRBItem {
 public:
  int Code = 0;
  int Order = 0;
  QString Caption;
};

// A reference book: codes and their captions.
class TRBook {
 public:
  TRBManager* Manager = nullptr;
  QString Name;
  QString Caption;
  std::map<int, std::unique_ptr<TRBItem>> Items;  // ascending code

  TRBItem* ItemByCode(int code) const;
  // The items by ascending Order (ties keep ascending code).
  std::vector<TRBItem*> SortedItems() const;
  // Captions in SortedItems order, with the item of each.
  void FillTexts(QStringList& texts, std::vector<TRBItem*>* items = nullptr) const;
  // A typed text back to a code: a number must be a known code; otherwise
  // the first item (by code) whose caption matches without regard to case.
  std::optional<int> ResolveCode(const QString& text) const;
  TRBItem* AddItem(int code, int order, const QString& caption);
};

// All reference books of the current process, by exact name.
class TRBManager {
 public:
  std::map<QString, std::unique_ptr<TRBook>> Books;

  TRBook* GetOrCreateBook(const QString& name, const QString& caption);
  TRBook* FindBook(const QString& name) const;
  // Reads every "rb-codes" section under root.
  void LoadRbCodes(const TXmlElement& root);
};

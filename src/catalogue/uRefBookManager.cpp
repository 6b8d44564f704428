#include "catalogue/uRefBookManager.h"

#include <algorithm>

#include "catalogue/uStringRoutines.h"
#include "platform/uXml.h"

TRBItem* TRBook::ItemByCode(int code) const {
  const auto it = Items.find(code);
  return it == Items.end() ? nullptr : it->second.get();
}

std::vector<TRBItem*> TRBook::SortedItems() const {
  std::vector<TRBItem*> sorted;
  sorted.reserve(Items.size());
  for (const auto& [code, item] : Items) sorted.push_back(item.get());
  std::stable_sort(sorted.begin(), sorted.end(), [](const TRBItem* a, const TRBItem* b) { return a->Order < b->Order; });
  return sorted;
}

void TRBook::FillTexts(QStringList& texts, std::vector<TRBItem*>* items) const {
  for (TRBItem* item : SortedItems()) {
    texts << item->Caption;
    if (items) items->push_back(item);
  }
}

std::optional<int> TRBook::ResolveCode(const QString& text) const {
  bool isNumber = false;
  const int number = text.toInt(&isNumber, 10);
  if (isNumber) return ItemByCode(number) ? std::optional<int>(number) : std::nullopt;
  const QString wanted = LowerCaseRu(text);
  for (const auto& [code, item] : Items)
    if (LowerCaseRu(item->Caption) == wanted) return code;
  return std::nullopt;
}

TRBItem* TRBook::AddItem(int code, int order, const QString& caption) {
  auto item = std::make_unique<TRBItem>();
  item->Code = code;
  item->Order = order;
  item->Caption = caption;
  TRBItem* added = item.get();
  Items[code] = std::move(item);  // a repeated code replaces the earlier item
  return added;
}

TRBook* TRBManager::GetOrCreateBook(const QString& name, const QString& caption) {
  auto& slot = Books[name];
  if (!slot) {
    slot = std::make_unique<TRBook>();
    slot->Manager = this;
    slot->Name = name;
    slot->Caption = caption;
  }
  return slot.get();
}

TRBook* TRBManager::FindBook(const QString& name) const {
  const auto it = Books.find(name);
  return it == Books.end() ? nullptr : it->second.get();
}

void TRBManager::LoadRbCodes(const TXmlElement& root) {
  for (const TXmlElement& section : root.Children("rb-codes")) {
    for (const TXmlElement& code : section.Children("code")) {
      TRBook* book = GetOrCreateBook(code.Attribute("name"), code.Attribute("caption"));
      for (const TXmlElement& item : code.Children())
        book->AddItem(item.Attribute("code").toInt(), item.Attribute("order").toInt(), item.Attribute("caption"));
    }
  }
}

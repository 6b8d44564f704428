#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "catalogue/uObjsManager.h"
#include "catalogue/uProcessManager.h"
#include "platform/uAppGlobals.h"
#include "store/uTALVEXDB.h"
#include "TestSupport.h"

// A store over a fresh database in a temp folder, loading a small class
// document ("RC_TEST\classes_test.xml") unless a test names another.
class StoreFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    App().AppDir = Folder.Path();
    Processes = std::make_unique<TProcessManager>();
    auto process = std::make_unique<TProcessItem>();
    process->Id = "p_test";
    process->Classes = "RC_TEST\\classes_test.xml";
    process->Period = "month_2018_4";
    Processes->Items.push_back(std::move(process));
    Processes->CurrentProcess = Processes->Item(0);
    App().ProcessManager = Processes.get();
  }
  void TearDown() override {
    Store.reset();
    ResetAppGlobals();
  }

  TTALVEXDB& Open() {
    Store.reset();
    Store = std::make_unique<TTALVEXDB>();
    return *Store;
  }
  TMClass* Class(const char* name) { return App().ObjsManager->FindClass(name); }
  TDObject* Object(const char* name) { return App().ObjsManager->FindObjectByName(name); }
  // Rows of a one-number query, read through a private dataset.
  int Count(const QString& sql) {
    Store->CloseQuery();  // a fresh snapshot: the read transaction may be older than the last write
    auto data = Store->GetData(sql);
    if (!data) return -1;
    data->First();
    return Store->FieldAsInteger("N", data.get());
  }

  TTempFolder Folder;
  std::unique_ptr<TProcessManager> Processes;
  std::unique_ptr<TTALVEXDB> Store;
};

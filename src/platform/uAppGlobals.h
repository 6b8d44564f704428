#pragma once
#include <QString>

class TProcessManager;
class TTALVEXDB;
class TObjsManager;
class TRBManager;
class TConditionManager;
class TCalcsManager;
class TRDataManager;
class TDObject;
class IScriptProgress;

// The application-wide singletons.  Owners (the main window, the store) set
// and clear them; tests set up what they need and call ResetAppGlobals.
struct TAppGlobals {
  QString VersionTag = QStringLiteral("April_2018");
  QString AppDir;  // with a trailing separator
  TProcessManager* ProcessManager = nullptr;
  TTALVEXDB* Store = nullptr;
  TObjsManager* ObjsManager = nullptr;
  TRBManager* RBManager = nullptr;
  TConditionManager* ConditionManager = nullptr;
  TCalcsManager* CalcsManager = nullptr;
  TRDataManager* RequestManager = nullptr;
  TDObject* CurrentSchool = nullptr;
  IScriptProgress* ProgressWindow = nullptr;  // the progress window while it exists
};

TAppGlobals& App();
void ResetAppGlobals();

#pragma once
// The current user's browser data on the local machine, as host programs
// call it directly.
//
// colUserInformation holds the user's folders, keyed and in this order:
// "UserProfileDir" (the profile folder P), "CookiesDir" (P + "\Cookies"),
// "History" (P + "\Local Settings\History") and "TempInternetFiles"
// (P + "\Local Settings\Temporary Internet Files"). A new object has filled
// it already. colCookiesFiles holds the names in the cookies folder, each
// keyed by itself. Both are created empty when first used and again after
// they were set to nothing; neither is ever cleared by the object, so a
// second UserInformation or GetCookiesFiles reports each key already present
// to the framework's error report and adds only what is new.
//
// Failing steps of UserInformation and GetCookiesFiles are reported through
// KvMarrow10.clsKvcoreErrorHandlerA and passed over; such a member fails only
// when the report itself fails. GetCacheEntryInfoPro never fails: True when
// the URL cache holds an entry for the exact text of sUrl, False otherwise.

#include <cstdint>

#include "skein10/Collection.h"
#include "skein10/Object.h"
#include "skein10/Status.h"
#include "skein10/String.h"
#include "skein10/Export.h"

namespace skein10 {

class SKEIN10_API _clsKvInetURLCacheA : public skein10::Object {
 public:
  virtual Status get_colUserInformation(Ref<Collection>* result) = 0;
  virtual Status putref_colUserInformation(Ref<Collection> value) = 0;
  virtual Status get_colCookiesFiles(Ref<Collection>* result) = 0;
  virtual Status putref_colCookiesFiles(Ref<Collection> value) = 0;
  virtual Status UserInformation() = 0;
  virtual Status GetCookiesFiles() = 0;
  virtual Status GetCacheEntryInfoPro(const int32_t& lWhnd, const String& sUrl, bool* result) = 0;
};

}  // namespace skein10
